// What the uninstaller's dialog shows during the walk: the progress bar, the status
// line and the message line. The walk processes no window messages, so it draws them
// itself, at the display's pace: the bar answers every position of the walk and is
// drawn at most once per frame, and a text goes on its line at most once per frame.
// The walk's last position and last texts are always shown.
#pragma once
#include <windows.h>

#include <cstdint>

#include "controls/bar_extent.h"
#include "controls/repaint_pace.h"

struct WalkLine {
  HWND item;
  PacedLine line;
};

struct WalkDisplay {
  HWND bar;
  WNDPROC replacedProc;    // the bar's own procedure
  BarThrottle throttle;
  WalkLine status, message;
  std::uint64_t interval;  // a frame, in performance-counter ticks
  bool walking;            // texts are paced only during the walk
  bool behind;             // the control has not been given the walk's position yet
};

// Subclasses the bar for the rest of its life; the display stays where it is as long.
void AttachWalkDisplay(WalkDisplay& display, HWND bar, HWND status, HWND message);
// Outside the walk the text goes on at once; during it, at the display's pace.
// A text given twice in a row is not set again: a static control repaints itself
// for every text it is given, even the one it shows.
void ShowLine(WalkDisplay& display, WalkLine& line, const char* text);
// The bar is shown already; the walk's positions go up to `range`.
void BeginWalkDisplay(WalkDisplay& display, std::uint32_t range);
void ShowWalkPosition(WalkDisplay& display, std::uint32_t position);
// Draws what still waits and gives the bar its repaint back.
void EndWalkDisplay(WalkDisplay& display);
