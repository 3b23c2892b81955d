// Pixel layout of the wizard window, computed from the Cancel button's size and the DPI.
#pragma once
#include <windows.h>

#include "controls/dpi_window.h"

HWND PlaceControl(int id, int x, int y, int width, int height, HWND insertAfter, UINT flags);
void LayoutWizard();
void LayoutChoosePage();
// WM_DPICHANGED: the window takes the suggested rectangle, and its font, kept sizes,
// check list, picture and both layout passes are made for the new DPI; the page, the
// ticks and the progress stay.
void RescaleWizard(WPARAM wParam, LPARAM lParam);
