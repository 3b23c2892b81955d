// The wizard window's two layout passes over gSetup.dialog: measure, then apply the
// placement tables row by row.
#include "setup/layout.h"

#include "setup/layout_geometry.h"
#include "engine/setup_state.h"

static_assert(kKeepSize == SWP_NOSIZE && kKeepPosition == SWP_NOMOVE && kShow == SWP_SHOWWINDOW);

HWND PlaceControl(int id, int x, int y, int width, int height, HWND insertAfter, UINT flags) {
  HWND control = GetDlgItem(gSetup.dialog, id);
  SetWindowPos(control, insertAfter, x, y, width, height, flags);
  return control;
}

namespace {

HWND Apply(const Placement& p) {
  HWND insertAfter = p.order == ZOrder::Bottom ? HWND_BOTTOM : nullptr;
  if (p.id == kWizardWindow) {
    SetWindowPos(gSetup.dialog, insertAfter, p.x, p.y, p.width, p.height, p.flags);
    return gSetup.dialog;
  }
  return PlaceControl(p.id, p.x, p.y, p.width, p.height, insertAfter, p.flags);
}

RECT ClientOf(HWND window) {
  RECT r = {};
  GetClientRect(window, &r);
  return r;
}

}  // namespace

void LayoutWizard() {
  const RECT cancel = ClientOf(GetDlgItem(gSetup.dialog, 203));
  WizardMeasures m = {};
  m.bw = cancel.right - cancel.left;
  m.bh = cancel.bottom - cancel.top;
  for (std::size_t i = 0; i < kWizardPlacementCount; ++i) {
    const Placement p = WizardPlacements(m)[i];
    const RECT placed = ClientOf(Apply(p));
    const int height = placed.bottom - placed.top;
    switch (p.readBack) {
      case ReadBack::WizardClient:
        m.W = placed.right - placed.left;
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
  ChoosePageMeasures m = {gSetup.contentWidth, 0, edit.bottom - edit.top};
  for (std::size_t i = 0; i < kChoosePagePlacementCount; ++i) {
    const Placement p = ChoosePagePlacements(m)[i];
    const RECT placed = ClientOf(Apply(p));
    if (p.readBack == ReadBack::Height101) m.h101 = placed.bottom - placed.top;
  }
}
