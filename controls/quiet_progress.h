// The installation page's progress bar, repainted at the display's pace: at most once
// per frame, the last step of a run at once, a step that waits drawn by a timer.
#pragma once
#include <windows.h>

// Subclasses the bar for the rest of its life (one bar per process); its messages,
// position and range stay those of the control, which holds every step exactly.
void AttachQuietProgress(HWND bar);
