// qlnclear.exe's look for a running IDE before it removes anything.
#pragma once
#include <windows.h>

// None of the IDEs recorded in the registry runs (with an owner: none runs once the
// box that names them is answered with Retry). False: remove nothing.
bool NoIdeRunning(HWND owner);
