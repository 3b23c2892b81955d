// The installation page's progress bar, repainted at the display's pace. The control
// repaints for every position it is given, and an installation counts several hundred
// steps: the worker only counts them, and the bar reads the count on its timer.
#include "controls/quiet_progress.h"

// windows.h first: the common-controls header builds on its types.
#include <commctrl.h>

#include "controls/bar_extent.h"
#include "controls/repaint_pace.h"

namespace {

constexpr UINT_PTR kPaceTimer = 0x7E51;

WNDPROC gReplacedProc;
HWND gBar;
const volatile LONG* gCount;
RepaintPace gPace;
int gPosition;  // the count in the bar's range, as it was last read
bool gBehind;   // the control has not been given gPosition yet
int gDrawn;     // the position the screen shows

std::uint64_t Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<std::uint64_t>(t.QuadPart);
}

LRESULT Replaced(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(gReplacedProc, bar, message, wParam, lParam);
}

// Reads the count, clamped as the control would clamp it.
PBRANGE Follow(HWND bar) {
  PBRANGE range = {};
  Replaced(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
  int next = static_cast<int>(*gCount);
  if (next > range.iHigh) next = range.iHigh;
  if (next < range.iLow) next = range.iLow;
  if (next != gPosition) gBehind = true;
  gPosition = next;
  return range;
}

// The control gets the count and repaints what of the fill has moved; the paint notes
// itself as drawn. False when it was up to date.
bool Sync(HWND bar) {
  Follow(bar);
  if (!gBehind) return false;
  gBehind = false;
  Replaced(bar, PBM_SETPOS, static_cast<WPARAM>(gPosition), 0);
  return true;
}

void DrawNow(HWND bar) {
  Sync(bar);
  UpdateWindow(bar);
}

// A tick comes twice a frame; the fill is drawn when the count has moved it and a frame
// has passed since the last repaint, and the complete count at once.
void Tick(HWND bar) {
  const PBRANGE range = Follow(bar);
  RECT client = {};
  GetClientRect(bar, &client);
  const auto low = static_cast<std::uint32_t>(range.iLow);
  if (!BarMoves(static_cast<std::uint32_t>(gDrawn) - low, static_cast<std::uint32_t>(gPosition) - low,
                static_cast<std::uint32_t>(range.iHigh) - low, static_cast<int>(client.right))) {
    return;
  }
  if (gPosition == range.iHigh || PaceChange(gPace, Now())) DrawNow(bar);
}

LRESULT Paint(HWND bar, WPARAM wParam, LPARAM lParam) {
  // Something else asked for the repaint: the control is given the count, and its
  // repaint draws all that waits.
  if (Sync(bar)) {
    ValidateRect(bar, nullptr);
    return 0;
  }
  const LRESULT result = Replaced(bar, WM_PAINT, wParam, lParam);
  gDrawn = gPosition;
  // A frame counts from the end of a repaint, so that repaints of uneven cost still
  // come at most once per frame.
  PaceDrawn(gPace, Now());
  return result;
}

LRESULT CALLBACK QuietProgressProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case PBM_GETPOS:
      Follow(bar);
      return gPosition;
    case WM_PAINT:
      return Paint(bar, wParam, lParam);
    case WM_TIMER:
      if (wParam != kPaceTimer) break;
      Tick(bar);
      return 0;
    case WM_SHOWWINDOW:
      // Shown for a run, it follows the count; hidden as the run ends (the finish page),
      // the control holds the count exactly. A window's timers end with it.
      if (wParam != FALSE) {
        SetTimer(bar, kPaceTimer, kRepaintIntervalMs / 2, nullptr);
      } else {
        KillTimer(bar, kPaceTimer);
      }
      [[fallthrough]];
    case WM_GETOBJECT:
      // Read by an accessibility client: the control is given the count, which is drawn.
      Sync(bar);
      break;
    default:
      if (message < WM_USER) break;
      // Any other request of the control (its range, a step of its own) finds it up to
      // date, and what it does to the position holds until the count moves.
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

void AttachQuietProgress(HWND bar, const volatile LONG* count) {
  if (bar == nullptr || gBar != nullptr) return;
  gCount = count;
  gPosition = gDrawn = static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0));
  gReplacedProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(QuietProgressProc)));
  if (gReplacedProc == nullptr) return;
  gBar = bar;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  gPace = StartPace(RepaintInterval(static_cast<std::uint64_t>(frequency.QuadPart)));
}
