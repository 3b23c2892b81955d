// The uninstaller's dialog at its display's DPI: the dialog manager lays the template
// out at the start's DPI; the logo, and a later move to another DPI, are ours.
#pragma once
#include <windows.h>

struct DialogScale {
  int dpi;              // the DPI the dialog is laid out for
  HBITMAP logo;         // the template's, at 96 DPI
  HBITMAP scaledLogo;   // the logo at `dpi`; null at 96 DPI
  HFONT font;           // the controls' font made for a DPI change; null before one
};

// WM_INITDIALOG: the logo for the DPI the dialog was made at.
void StartDialogScale(DialogScale& scale, HWND dialog);
// WM_DPICHANGED: the dialog takes the suggested rectangle's place, and its font, its
// controls' rectangles (from the template, as the dialog manager places them) and the
// logo are made for the new DPI; every text and the bar's position stay.
void RescaleDialog(DialogScale& scale, HWND dialog, WPARAM wParam, LPARAM lParam);
