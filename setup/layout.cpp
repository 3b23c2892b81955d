// The wizard window's two layout passes over gSetup.dialog: measure, then apply the
// placement tables row by row; and the window made again for another DPI.
#include "setup/layout.h"

#include "controls/check_list.h"
#include "controls/dpi_scale.h"
#include "controls/dpi_window.h"
#include "engine/setup_state.h"
#include "setup/layout_geometry.h"

static_assert(kKeepSize == SWP_NOSIZE && kKeepPosition == SWP_NOMOVE && kShow == SWP_SHOWWINDOW);

HWND PlaceControl(int id, int x, int y, int width, int height, HWND insertAfter, UINT flags) {
  HWND control = GetDlgItem(gSetup.dialog, id);
  SetWindowPos(control, insertAfter, x, y, width, height, flags);
  return control;
}

namespace {

// A pass for another DPI leaves every control's visibility to the page shown.
UINT gFlagsKept = ~0u;

// A length at 96 DPI at the layout's DPI, and back.
int Up(int length) { return ScaleDpi(length, gSetup.dpi); }
int Down(int length) { return ScaleDpi(length, kBaseDpi, gSetup.dpi); }

// A row of the tables, in pixels at 96 DPI, placed at the layout's DPI.
HWND Apply(Placement p) {
  p.flags &= gFlagsKept;
  const int x = Up(p.x), y = Up(p.y), width = Up(p.width), height = Up(p.height);
  HWND insertAfter = p.order == ZOrder::Bottom ? HWND_BOTTOM : nullptr;
  if (p.id == kWizardWindow) {
    SetWindowPos(gSetup.dialog, insertAfter, x, y, width, height, p.flags);
    return gSetup.dialog;
  }
  return PlaceControl(p.id, x, y, width, height, insertAfter, p.flags);
}

// A window's client size in pixels at 96 DPI.
SIZE ClientOf(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  return {Down(r.right - r.left), Down(r.bottom - r.top)};
}

// The kept sizes, the check list's rows and the picture for gSetup.dpi.
void FitToDpi() {
  const int dpi = gSetup.dpi;
  for (const KeptSize& k : kKeptSizes) {
    SetWindowPos(GetDlgItem(gSetup.dialog, k.id), nullptr, 0, 0, Up(k.width), Up(k.height),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  RescaleCheckList(gSetup.checkList, dpi);
  HBITMAP scaled = ScaledBitmap(gSetup.bitmap, kPictureWidth, kPictureHeight, dpi);
  if (scaled == nullptr) return;
  SendDlgItemMessageA(gSetup.dialog, 300, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(scaled));
  DeleteObject(gSetup.scaledBitmap);  // none before: refused, harmless
  gSetup.scaledBitmap = scaled;
}

}  // namespace

void LayoutWizard() {
  if (gSetup.dpi == 0) {
    // The first pass: the template made the window at the start's DPI.
    gSetup.dpi = WindowDpi(gSetup.dialog);
    if (gSetup.dpi != kBaseDpi) FitToDpi();
  }
  const SIZE cancel = ClientOf(GetDlgItem(gSetup.dialog, 203));
  WizardMeasures m = {};
  m.bw = cancel.cx;
  m.bh = cancel.cy;
  for (std::size_t i = 0; i < kWizardPlacementCount; ++i) {
    const Placement p = WizardPlacements(m)[i];
    const SIZE placed = ClientOf(Apply(p));
    const int height = placed.cy;
    switch (p.readBack) {
      case ReadBack::WizardClient:
        m.W = placed.cx;
        m.H = height;
        gSetup.contentWidth = ContentWidth(m.W);
        break;
      case ReadBack::Height101: m.h101 = height; break;
      case ReadBack::Height102: m.h102 = height; break;
      case ReadBack::Height105: m.h105 = height; break;
      case ReadBack::None: break;
    }
  }
}

void LayoutChoosePage() {
  RECT edit = {};
  GetWindowRect(GetDlgItem(gSetup.dialog, 120), &edit);
  ChoosePageMeasures m = {gSetup.contentWidth, 0, Down(edit.bottom - edit.top)};
  for (std::size_t i = 0; i < kChoosePagePlacementCount; ++i) {
    const Placement p = ChoosePagePlacements(m)[i];
    const SIZE placed = ClientOf(Apply(p));
    if (p.readBack == ReadBack::Height101) m.h101 = placed.cy;
  }
  gSetup.choosePageLaidOut = true;
}

void RescaleWizard(WPARAM wParam, LPARAM lParam) {
  const int dpi = LOWORD(wParam);
  const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
  const int from = gSetup.dpi;
  // Laid out once already: WM_INITDIALOG runs before the window can meet another DPI.
  if (dpi == 0 || dpi == from) return;
  HWND dialog = gSetup.dialog;
  HFONT font = SetFontForDpi(dialog, reinterpret_cast<HFONT>(SendDlgItemMessageA(dialog, 203, WM_GETFONT, 0, 0)),
                             from, dpi);
  if (font == nullptr) return;
  // The template's own font stays the dialog's, which deletes it; ours goes when replaced.
  DeleteObject(gSetup.font);  // none before the first change: refused, harmless
  gSetup.font = font;
  gSetup.dpi = dpi;
  FitToDpi();
  // The suggested rectangle's place; its size is the layout's.
  SetWindowPos(dialog, nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  gFlagsKept = ~UINT{kShow};
  LayoutWizard();
  if (gSetup.choosePageLaidOut) LayoutChoosePage();
  gFlagsKept = ~0u;
}
