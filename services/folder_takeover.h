// An existing folder that anyone but the administrators could change is made theirs
// before the installer writes anything in it.
#pragma once
#include <windows.h>

// The link check's folder check for setup.exe: true when only the administrators can
// change the folder, or once they own it and it has the protected folder descriptor
// (Windows then applies it again to what inside inherits). What was found and done goes
// to the diagnostic log. folder needs READ_CONTROL; path names it while it is held.
bool TakeOverFolder(HANDLE folder, const char* path);
