// A window at its display's DPI: the DPI it is shown at, its font and a picture remade
// for another DPI, one copy for the wizard and the uninstaller's dialog. Defined here
// with internal linkage, so each program's single caller takes them in: a call of its
// own would cost the wizard bytes it does not have.
#pragma once
#include <windows.h>

#include "controls/dpi_scale.h"

// WM_DPICHANGED: wParam the new DPI (both words), lParam the suggested window rectangle.
inline constexpr UINT kDpiChangedMessage = 0x02E0;

// The window's DPI (its monitor's where Windows knows it), else the screen's: Windows
// before 10 lacks GetDpiForWindow, so it is looked up. Cast through a plain function
// pointer type, which the compiler lets be cast to any.
static inline int WindowDpi(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  using AnyFunction = void (*)();
  const auto get = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<AnyFunction>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  if (get != nullptr) return static_cast<int>(get(window));
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

// A font like `font`, made at `fromDpi`, of the same point size at `toDpi`, given to
// every child of `dialog`; null (and nothing given) when it cannot be made.
static inline HFONT SetFontForDpi(HWND dialog, HFONT font, int fromDpi, int toDpi) {
  LOGFONTA lf;
  if (GetObjectA(font, sizeof lf, &lf) == 0) return nullptr;
  // Through the point size, as the dialog made its font: the font of a start at toDpi.
  lf.lfHeight = ScaleDpi(ScaleDpi(lf.lfHeight, 72, fromDpi), toDpi, 72);
  HFONT made = CreateFontIndirectA(&lf);
  if (made == nullptr) return nullptr;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
  }
  return made;
}

// A copy of `bitmap` (width x height) at its size scaled from 96 DPI to `dpi`, smoothed
// by HALFTONE stretching; null when it cannot be made.
static inline HBITMAP ScaledBitmap(HBITMAP bitmap, int width, int height, int dpi) {
  const int toWidth = ScaleDpi(width, dpi), toHeight = ScaleDpi(height, dpi);
  HDC screen = GetDC(nullptr);
  HDC from = CreateCompatibleDC(screen);
  HDC to = CreateCompatibleDC(screen);
  HBITMAP copy = CreateCompatibleBitmap(screen, toWidth, toHeight);
  ReleaseDC(nullptr, screen);
  // Deleting the contexts gives both bitmaps free again. Without a copy the stretch
  // draws into the context's own one-pixel bitmap, and nothing is shown of it.
  SelectObject(from, bitmap);
  SelectObject(to, copy);
  // HALFTONE averages the source pixels; its brush origin is set after the mode.
  SetStretchBltMode(to, HALFTONE);
  SetBrushOrgEx(to, 0, 0, nullptr);
  StretchBlt(to, 0, 0, toWidth, toHeight, from, 0, 0, width, height, SRCCOPY);
  DeleteDC(from);
  DeleteDC(to);
  return copy;
}
