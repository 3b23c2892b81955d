// The installation page's progress bar, repainted at the display's pace. The control
// repaints on every position change, and an installation sends several hundred steps,
// each a message from the worker that waits for it: its repaint included.
#include "controls/quiet_progress.h"

// windows.h first: the common-controls header builds on its types.
#include <commctrl.h>

#include "controls/bar_extent.h"
#include "controls/repaint_pace.h"

namespace {

constexpr UINT_PTR kPaceTimer = 0x7E51;

WNDPROC gReplacedProc;
HWND gBar;
bool gQuiet;         // the position change being handled paints nothing
bool gTimerArmed;
RepaintPace gPace;
std::uint32_t gDrawn;  // the position the screen shows, from the range's low end

std::uint64_t Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<std::uint64_t>(t.QuadPart);
}

LRESULT Replaced(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(gReplacedProc, bar, message, wParam, lParam);
}

struct BarState {
  std::uint32_t position, span;  // from the range's low end
  int clientWidth;
};

bool ReadBar(HWND bar, BarState* out) {
  PBRANGE range = {};
  Replaced(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
  const int position = static_cast<int>(Replaced(bar, PBM_GETPOS, 0, 0));
  if (range.iLow < 0 || range.iHigh <= range.iLow || position < range.iLow) return false;
  RECT client = {};
  GetClientRect(bar, &client);
  *out = BarState{static_cast<std::uint32_t>(position - range.iLow), static_cast<std::uint32_t>(range.iHigh - range.iLow),
                  static_cast<int>(client.right - client.left)};
  return true;
}

void Disarm(HWND bar) {
  if (gTimerArmed) KillTimer(bar, kPaceTimer);
  gTimerArmed = false;
}

// The paint that follows notes itself as drawn.
void DrawNow(HWND bar) {
  InvalidateRect(bar, nullptr, FALSE);
  UpdateWindow(bar);
}

// The control takes the step but paints nothing; the worker goes on at once, and the
// bar is drawn now, or by the timer when the frame is not over.
LRESULT Step(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  // Something else wants the bar painted: the step's own paint draws all of it.
  if (GetUpdateRect(bar, nullptr, FALSE)) return Replaced(bar, message, wParam, lParam);
  gQuiet = true;
  const LRESULT result = Replaced(bar, message, wParam, lParam);
  gQuiet = false;
  ReplyMessage(result);
  BarState now = {};
  if (!ReadBar(bar, &now)) {
    DrawNow(bar);
    return result;
  }
  if (!BarMoves(gDrawn, now.position, now.span, now.clientWidth)) {
    gPace.pending = false;
    return result;
  }
  // The last step of a run is drawn at once, whatever the pace.
  if (now.position == now.span || PaceChange(gPace, Now())) {
    DrawNow(bar);
  } else if (!gTimerArmed) {
    gTimerArmed = SetTimer(bar, kPaceTimer, kRepaintIntervalMs, nullptr) != 0;
    // Without a timer a waiting step could wait for ever: draw it now.
    if (!gTimerArmed) DrawNow(bar);
  }
  return result;
}

LRESULT Paint(HWND bar, WPARAM wParam, LPARAM lParam) {
  if (gQuiet) {
    // What the control would paint waits for the next frame.
    ValidateRect(bar, nullptr);
    return 0;
  }
  const LRESULT result = Replaced(bar, WM_PAINT, wParam, lParam);
  BarState drawn = {};
  if (ReadBar(bar, &drawn)) gDrawn = drawn.position;
  // A frame counts from the end of a repaint, so that repaints of uneven cost still
  // come at most once per frame.
  PaceDrawn(gPace, Now());
  Disarm(bar);
  return result;
}

LRESULT CALLBACK QuietProgressProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case PBM_DELTAPOS:
    case PBM_SETPOS:
    case PBM_STEPIT:
      if (!gQuiet) return Step(bar, message, wParam, lParam);
      break;
    case WM_PAINT:
      return Paint(bar, wParam, lParam);
    case WM_TIMER:
      if (wParam != kPaceTimer) break;
      Disarm(bar);
      if (gPace.pending) DrawNow(bar);
      return 0;
    case WM_SHOWWINDOW:
      // The page changes: what waits is drawn before the bar goes.
      if (wParam == FALSE && gPace.pending) DrawNow(bar);
      break;
    case WM_DESTROY:
      Disarm(bar);
      break;
    default:
      break;
  }
  return Replaced(bar, message, wParam, lParam);
}

}  // namespace

void AttachQuietProgress(HWND bar) {
  if (bar == nullptr || gBar != nullptr) return;
  gReplacedProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(QuietProgressProc)));
  if (gReplacedProc == nullptr) return;
  gBar = bar;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  gPace = StartPace(RepaintInterval(static_cast<std::uint64_t>(frequency.QuadPart)));
}
