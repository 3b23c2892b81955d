// The installation page's progress bar, kept from repainting for a step that moves
// none of its pixels.
#pragma once
#include <windows.h>

// Subclasses the bar for the rest of its life (one bar per process); its messages,
// position and range stay those of the control.
void AttachQuietProgress(HWND bar);
