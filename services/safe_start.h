// The first thing both programs do: DLLs come from the system folder only, never from
// the program's own folder (a download folder) or the current one.
#pragma once

// What both programs say when StartSafely fails.
inline constexpr char kNoCommonControls[] = "Fatal Error: Can't load the common controls.";

// Also turns on Windows' redirection trust (no junction made by a non-administrator is
// followed), where Windows has it; RedirectionTrustEnforced says whether it took.
// Limits every later DLL search to the system folder, then loads the common controls
// from there and registers their classes. False when they could not be loaded or
// registered: then no window can be made.
bool StartSafely();
bool RedirectionTrustEnforced();
