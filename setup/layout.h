// Pixel layout of the wizard window, computed from the Cancel button's size.
#pragma once
#include <windows.h>

HWND PlaceControl(int id, int x, int y, int width, int height, HWND insertAfter, UINT flags);
void LayoutWizard();
void LayoutChoosePage();
