// The uninstaller's dialog made again for another DPI from its template's rectangles,
// by the dialog manager's own rule, so a move lays it out as a start at that DPI does.
#include "uninstaller/dialog_scale.h"

#include "controls/dpi_scale.h"
#include "controls/dpi_window.h"
#include "uninstaller/qlnclear_ids.h"

namespace {

// A control's rectangle, or the dialog's client size (id 0): x, y, width, height.
struct DialogItem {
  int id;
  int box[4];
};

constexpr DialogItem kItems[] = {
    {IDC_UNINSTALL, {DLU_UNINSTALL}}, {IDC_CANCEL, {DLU_CANCEL}}, {IDC_LOGO, {DLU_LOGO}}, {IDC_PROGRESS, {DLU_PROGRESS}},
    {IDC_MESSAGE, {DLU_MESSAGE}},     {IDC_TITLE, {DLU_TITLE}},   {IDC_STATUS, {DLU_STATUS}}, {0, {0, 0, DLU_DIALOG}},
};

// The dialog manager's units of `font`: the alphabet's mean width, rounded, and the height.
SIZE BaseUnits(HFONT font) {
  HDC screen = GetDC(nullptr);
  HGDIOBJ kept = SelectObject(screen, font);
  TEXTMETRICA metrics = {};
  GetTextMetricsA(screen, &metrics);
  SIZE alphabet = {};
  GetTextExtentPoint32A(screen, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &alphabet);
  SelectObject(screen, kept);
  ReleaseDC(nullptr, screen);
  return {(alphabet.cx / 26 + 1) / 2, metrics.tmHeight};
}

void ScaleLogo(DialogScale& s, HWND dialog) {
  BITMAP size = {};
  GetObjectA(s.logo, sizeof size, &size);
  HBITMAP scaled = ScaledBitmap(s.logo, size.bmWidth, size.bmHeight, s.dpi);
  if (scaled == nullptr) return;
  SendDlgItemMessageA(dialog, IDC_LOGO, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(scaled));
  DeleteObject(s.scaledLogo);  // none before: refused, harmless
  s.scaledLogo = scaled;
}

}  // namespace

void StartDialogScale(DialogScale& s, HWND dialog) {
  s.dpi = WindowDpi(dialog);
  s.logo = reinterpret_cast<HBITMAP>(SendDlgItemMessageA(dialog, IDC_LOGO, STM_GETIMAGE, IMAGE_BITMAP, 0));
  if (s.dpi != 96) ScaleLogo(s, dialog);
}

void RescaleDialog(DialogScale& s, HWND dialog, WPARAM wParam, LPARAM lParam) {
  const int dpi = LOWORD(wParam);
  if (dpi == 0 || dpi == s.dpi) return;
  HFONT font = SetFontForDpi(dialog, reinterpret_cast<HFONT>(SendDlgItemMessageA(dialog, IDC_CANCEL, WM_GETFONT, 0, 0)),
                             s.dpi, dpi);
  if (font == nullptr) return;
  // The template's own font stays the dialog's, which deletes it; ours goes when replaced.
  DeleteObject(s.font);
  s.font = font;
  s.dpi = dpi;
  const SIZE base = BaseUnits(font);
  // Dialog units to pixels as the dialog manager rounds them: a quarter of the width
  // unit across, an eighth of the height unit down.
  int px[4];
  for (const DialogItem& i : kItems) {
    for (int k = 0; k < 4; ++k) px[k] = k & 1 ? ScaleDpi(i.box[k], base.cy, 8) : ScaleDpi(i.box[k], base.cx, 4);
    if (i.id != 0) SetWindowPos(GetDlgItem(dialog, i.id), nullptr, px[0], px[1], px[2], px[3], SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ScaleLogo(s, dialog);
  // The client size of the last row; the frame is measured, not computed, since the
  // caption follows the new DPI on Windows and not under Wine. A frame that changed
  // with the first resize is met by the second.
  const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
  for (int pass = 0; pass < 2; ++pass) {
    RECT window, client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    SetWindowPos(dialog, nullptr, suggested.left, suggested.top, px[2] + (window.right - window.left) - client.right,
                 px[3] + (window.bottom - window.top) - client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}
