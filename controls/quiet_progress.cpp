// The installation page's progress bar, repainted at the display's pace. The control
// repaints for every position it is given, and an installation sends several hundred
// steps, each a message from the worker that waits for its answer.
#include "controls/quiet_progress.h"

// windows.h first: the common-controls header builds on its types.
#include <commctrl.h>

#include "controls/bar_extent.h"
#include "controls/repaint_pace.h"

namespace {

constexpr UINT_PTR kPaceTimer = 0x7E51;

WNDPROC gReplacedProc;
HWND gBar;
RepaintPace gPace;
int gPosition;  // the bar's position, exact at every step
bool gBehind;   // the control has not been given gPosition yet
int gDrawn;     // the position the screen shows
bool gTimerArmed;

std::uint64_t Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<std::uint64_t>(t.QuadPart);
}

LRESULT Replaced(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(gReplacedProc, bar, message, wParam, lParam);
}

PBRANGE Range(HWND bar) {
  PBRANGE range = {};
  Replaced(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
  return range;
}

void Disarm(HWND bar) {
  if (gTimerArmed) KillTimer(bar, kPaceTimer);
  gTimerArmed = false;
}

// The control gets the bar's position and repaints what of the fill has moved; the
// paint notes itself as drawn.
void Sync(HWND bar) {
  if (!gBehind) return;
  gBehind = false;
  Replaced(bar, PBM_SETPOS, static_cast<WPARAM>(gPosition), 0);
}

void DrawNow(HWND bar) {
  Sync(bar);
  UpdateWindow(bar);
}

// The worker is answered at once; the control gets the step when it is to be drawn:
// now, at the run's last step, or when the frame is over, by the timer.
LRESULT Step(HWND bar, UINT message, WPARAM wParam) {
  const PBRANGE range = Range(bar);
  const int old = gPosition;
  if (range.iHigh <= range.iLow || range.iLow < 0) {
    // No scale to draw to: the control takes the step as it is.
    Sync(bar);
    const LRESULT result = Replaced(bar, message, wParam, 0);
    gPosition = static_cast<int>(Replaced(bar, PBM_GETPOS, 0, 0));
    return result;
  }
  ReplyMessage(old);
  long long next = message == PBM_SETPOS ? static_cast<int>(wParam) : static_cast<long long>(old) + static_cast<int>(wParam);
  if (next < range.iLow) next = range.iLow;
  if (next > range.iHigh) next = range.iHigh;
  gPosition = static_cast<int>(next);
  if (gPosition != old) gBehind = true;
  RECT client = {};
  GetClientRect(bar, &client);
  const auto low = static_cast<std::uint32_t>(range.iLow);
  if (!BarMoves(static_cast<std::uint32_t>(gDrawn) - low, static_cast<std::uint32_t>(gPosition) - low,
                static_cast<std::uint32_t>(range.iHigh - range.iLow), static_cast<int>(client.right - client.left))) {
    gPace.pending = false;
    return old;
  }
  if (gPosition == range.iHigh || PaceChange(gPace, Now())) {
    DrawNow(bar);
  } else if (!gTimerArmed) {
    gTimerArmed = SetTimer(bar, kPaceTimer, kRepaintIntervalMs, nullptr) != 0;
    // Without a timer a waiting step could wait for ever: draw it now.
    if (!gTimerArmed) DrawNow(bar);
  }
  return old;
}

LRESULT Paint(HWND bar, WPARAM wParam, LPARAM lParam) {
  if (gBehind) {
    // Something else asked for the repaint: the control is given the bar's position,
    // and its repaint draws all that waits.
    Sync(bar);
    ValidateRect(bar, nullptr);
    return 0;
  }
  const LRESULT result = Replaced(bar, WM_PAINT, wParam, lParam);
  gDrawn = gPosition;
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
      return Step(bar, message, wParam);
    case PBM_GETPOS:
      return gPosition;
    case WM_PAINT:
      return Paint(bar, wParam, lParam);
    case WM_TIMER:
      if (wParam != kPaceTimer) break;
      Disarm(bar);
      if (gPace.pending) DrawNow(bar);
      return 0;
    case WM_SHOWWINDOW:
    case WM_GETOBJECT:
      // Hidden as the page changes, or read by an accessibility client: the control is
      // given the last position, which is drawn.
      Sync(bar);
      break;
    case WM_DESTROY:
      Disarm(bar);
      break;
    default:
      if (message < WM_USER) break;
      // Any other request of the control (its range, a step of its own) finds it up to
      // date, and what it does to the position is the bar's.
      Sync(bar);
      {
        const LRESULT result = Replaced(bar, message, wParam, lParam);
        gPosition = static_cast<int>(Replaced(bar, PBM_GETPOS, 0, 0));
        return result;
      }
  }
  return Replaced(bar, message, wParam, lParam);
}

}  // namespace

void AttachQuietProgress(HWND bar) {
  if (bar == nullptr || gBar != nullptr) return;
  gPosition = gDrawn = static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0));
  gReplacedProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(QuietProgressProc)));
  if (gReplacedProc == nullptr) return;
  gBar = bar;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  gPace = StartPace(RepaintInterval(static_cast<std::uint64_t>(frequency.QuadPart)));
}
