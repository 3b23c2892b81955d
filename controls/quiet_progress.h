// The installation page's progress bar: it follows a count the worker keeps, read on
// the bar's own timer and drawn at the display's pace.
#pragma once
#include <windows.h>

// Subclasses the bar for the rest of its life (one bar per process). While shown it
// follows *count, clamped to its range; PBM_GETPOS answers the count at once, and the
// bar's hiding gives the control the count exactly. count stays valid as long as the bar.
void AttachQuietProgress(HWND bar, const volatile LONG* count);
