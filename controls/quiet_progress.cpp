// The installation page's progress bar, kept from repainting for a step that moves
// none of its pixels. The control repaints its whole area on every position change,
// and an installation has several hundred steps to a bar a few hundred pixels wide.
#include "controls/quiet_progress.h"

// windows.h first: the common-controls header builds on its types.
#include <commctrl.h>

#include "controls/bar_extent.h"

namespace {

WNDPROC gReplacedProc;
HWND gBar;
bool gQuiet;  // the position change being handled moves no pixel

// True when a change by `delta` leaves the drawn fill as it is and nothing else of
// the bar waits to be painted.
bool MovesNoPixel(HWND bar, WPARAM delta) {
  if (GetUpdateRect(bar, nullptr, FALSE)) return false;
  PBRANGE range = {};
  CallWindowProcA(gReplacedProc, bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
  const int low = range.iLow, high = range.iHigh;
  const int position = static_cast<int>(CallWindowProcA(gReplacedProc, bar, PBM_GETPOS, 0, 0));
  if (low < 0 || high <= low) return false;
  long long next = static_cast<long long>(position) + static_cast<int>(delta);
  if (next < low) next = low;
  if (next > high) next = high;
  RECT client = {};
  GetClientRect(bar, &client);
  const auto span = static_cast<std::uint32_t>(high - low);
  return !BarMoves(static_cast<std::uint32_t>(position - low), static_cast<std::uint32_t>(next - low), span,
                   static_cast<int>(client.right - client.left));
}

LRESULT CALLBACK QuietProgressProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == PBM_DELTAPOS && !gQuiet && MovesNoPixel(bar, wParam)) {
    gQuiet = true;
    const LRESULT result = CallWindowProcA(gReplacedProc, bar, message, wParam, lParam);
    gQuiet = false;
    return result;
  }
  if (message == WM_PAINT && gQuiet) {
    // What the control would paint is what the screen already shows.
    ValidateRect(bar, nullptr);
    return 0;
  }
  return CallWindowProcA(gReplacedProc, bar, message, wParam, lParam);
}

}  // namespace

void AttachQuietProgress(HWND bar) {
  if (bar == nullptr || gBar != nullptr) return;
  gReplacedProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(QuietProgressProc)));
  if (gReplacedProc == nullptr) return;
  gBar = bar;
}
