// What the stand-in IDE build tools share: the IDE root they live in, the journal
// of their runs, their command-line arguments and the output files they leave.
#pragma once
#include <windows.h>

inline constexpr char kJournalName[] = "buildtools.log";  // in the IDE root
inline constexpr char kToolConfigName[] = "standin.cfg";  // in the IDE's Bin folder
inline constexpr int kMaxArgs = 8;

struct ToolRun {
  char root[MAX_PATH];     // parent of the folder holding the tool
  char current[MAX_PATH];  // the tool's current directory
  char args[kMaxArgs][MAX_PATH];
  int argCount;
  char packageExt[16];     // ".bpl", or what standin.cfg says (".dpl" for Delphi 3)
  DWORD delayMs;           // standin.cfg: how long a build takes
};

// Reads the command line, the root and standin.cfg, and appends the journal line:
// command line verbatim, TAB, current directory, TAB, how the tool was shown. Then
// notes an inherited handle and holds, when standin.cfg asks for either.
void BeginRun(ToolRun& run);

bool FileThere(const char* name);
// name without its extension and directory, cut to capacity.
void BaseName(const char* name, char* base, DWORD capacity);
// Writes base + ext into the current directory; says what it was built from.
bool WriteOutput(const char* base, const char* ext, const char* project);
// The pause standin.cfg asks for before outputs appear (0: none).
void SimulateBuildTime(const ToolRun& run);
