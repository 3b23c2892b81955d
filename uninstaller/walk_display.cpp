// The uninstaller's progress bar, status line and message line during the walk, drawn
// by the walk itself at the display's pace. A progress bar repaints itself for every
// position it is given, and a log has several records to each pixel of the bar and
// several to each frame of the screen.
#include "uninstaller/walk_display.h"

// windows.h first: the common-controls header builds on its types.
#include <commctrl.h>

namespace {

std::uint64_t Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<std::uint64_t>(t.QuadPart);
}

// Redraw held, the control still takes every position but paints nothing.
void HoldBar(WalkDisplay& d, bool hold) {
  SendMessageA(d.bar, WM_SETREDRAW, hold ? FALSE : TRUE, 0);
  d.held = hold;
}

// A frame counts from the end of a repaint, so that repaints of uneven cost still
// come at most once per frame.
void DrawBar(WalkDisplay& d) {
  if (d.held) HoldBar(d, false);
  InvalidateRect(d.bar, nullptr, FALSE);
  UpdateWindow(d.bar);
  HoldBar(d, true);
  PaceDrawn(d.throttle.pace, Now());
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
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  d.interval = RepaintInterval(static_cast<std::uint64_t>(frequency.QuadPart));
  d.bar = bar;
  d.status = WalkLine{status, StartLine(nullptr, d.interval)};
  d.message = WalkLine{message, StartLine(nullptr, d.interval)};
  d.walking = false;
  d.held = false;
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
  HoldBar(d, true);
}

void ShowWalkPosition(WalkDisplay& d, std::uint32_t position) {
  SendMessageA(d.bar, PBM_SETPOS, position, 0);
  const std::uint64_t now = Now();
  if (BarNeedsDraw(d.throttle, position, now)) DrawBar(d);
  // A text that waited is set once its frame has come, also when no new text is asked for.
  for (WalkLine* l : Lines(d)) {
    if (LineDue(l->line, now)) SetLine(*l);
  }
}

void EndWalkDisplay(WalkDisplay& d) {
  const std::uint64_t now = Now();
  if (BarNeedsFinalDraw(d.throttle, now)) DrawBar(d);
  if (d.held) HoldBar(d, false);
  for (WalkLine* l : Lines(d)) {
    if (LineNeedsFinalSet(l->line, now)) SetLine(*l);
  }
  d.walking = false;
}
