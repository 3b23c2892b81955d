// The uninstaller's progress bar, status line and message line during the walk, drawn
// by the walk itself at the display's pace. A progress bar repaints itself for every
// position it is given, and a log has several records to each pixel of the bar and
// several to each frame of the screen; each costs the uninstall time of its own.
#include "uninstaller/walk_display.h"

// windows.h first: the common-controls header builds on its types.
#include <commctrl.h>

namespace {

std::uint64_t Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<std::uint64_t>(t.QuadPart);
}

LRESULT Replaced(const WalkDisplay& d, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(d.replacedProc, d.bar, message, wParam, lParam);
}

// The control gets the walk's position, and repaints what of the fill has moved.
void SyncBar(WalkDisplay& d) {
  if (!d.behind) return;
  d.behind = false;
  Replaced(d, PBM_SETPOS, d.throttle.wanted, 0);
}

// A frame counts from the end of a repaint, so that repaints of uneven cost still
// come at most once per frame.
void DrawBar(WalkDisplay& d) {
  SyncBar(d);
  UpdateWindow(d.bar);
  PaceDrawn(d.throttle.pace, Now());
}

// During the walk the bar answers the walk's position, which the control itself gets
// once per frame: a position given to the control is a repaint, and no screen shows
// more than a frame's worth of them. Anything else asked of the bar first brings the
// control up to date.
LRESULT CALLBACK WalkBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  WalkDisplay& d = *reinterpret_cast<WalkDisplay*>(GetWindowLongPtrA(bar, GWLP_USERDATA));
  if (d.walking) {
    if (message == PBM_GETPOS) return static_cast<LRESULT>(d.throttle.wanted);
    if (message != WM_PAINT && message != WM_NCPAINT && message != WM_ERASEBKGND) SyncBar(d);
  }
  return Replaced(d, message, wParam, lParam);
}

void SetLine(WalkLine& l) {
  SetWindowTextA(l.item, l.line.shown);
  PaceDrawn(l.line.pace, Now());
}

struct LinePair {
  WalkLine* lines[2];
  WalkLine* const* begin() const { return lines; }
  WalkLine* const* end() const { return lines + 2; }
};
LinePair Lines(WalkDisplay& d) { return LinePair{{&d.status, &d.message}}; }

}  // namespace

void AttachWalkDisplay(WalkDisplay& d, HWND bar, HWND status, HWND message) {
  d = WalkDisplay{};
  d.bar = bar;
  if (bar != nullptr) {
    SetWindowLongPtrA(bar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&d));
    d.replacedProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WalkBarProc)));
  }
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  d.interval = RepaintInterval(static_cast<std::uint64_t>(frequency.QuadPart));
  d.status = WalkLine{status, StartLine(nullptr, d.interval)};
  d.message = WalkLine{message, StartLine(nullptr, d.interval)};
}

void ShowLine(WalkDisplay& d, WalkLine& l, const char* text) {
  if (d.walking) {
    if (LineNeedsSet(l.line, text, Now())) SetLine(l);
    return;
  }
  if (text == l.line.shown) return;
  l.line.shown = l.line.wanted = text;
  SetLine(l);
}

void BeginWalkDisplay(WalkDisplay& d, std::uint32_t range) {
  RECT client = {};
  GetClientRect(d.bar, &client);
  d.throttle = StartBarThrottle(range, static_cast<int>(client.right - client.left), d.interval);
  for (WalkLine* l : Lines(d)) l->line.pace = StartPace(d.interval);
  d.walking = true;
}

void ShowWalkPosition(WalkDisplay& d, std::uint32_t position) {
  const std::uint64_t now = Now();
  if (position != d.throttle.wanted) d.behind = true;
  if (BarNeedsDraw(d.throttle, position, now)) DrawBar(d);
  // A text that waited is set once its frame has come, also when no new text is asked for.
  for (WalkLine* l : Lines(d)) {
    if (LineDue(l->line, now)) SetLine(*l);
  }
}

void EndWalkDisplay(WalkDisplay& d) {
  const std::uint64_t now = Now();
  BarNeedsFinalDraw(d.throttle, now);
  // The control ends holding the walk's last position, drawn.
  DrawBar(d);
  for (WalkLine* l : Lines(d)) {
    if (LineNeedsFinalSet(l->line, now)) SetLine(*l);
  }
  d.walking = false;
}
