// Whether an IDE is running, before anything is installed or removed: a program whose
// image lies in the IDE's Bin folder (the IDE itself or any tool of it) holds its
// packages open and writes its own registry keys back when it closes.
#pragma once
#include <windows.h>

struct IdeFolder {
  char name[32];       // as a person knows the IDE: "Borland Delphi 7"
  char bin[MAX_PATH];  // its Bin folder, in the long form
};

// At most this many IDEs are looked for (one bit each), and this many programs kept.
inline constexpr int kMaxIdes = 32;
inline constexpr int kMaxPrograms = 16;

struct IdePrograms {
  int count;
  DWORD pid[kMaxPrograms];
};

// Fills bin from the IDE's root. False for an empty root or one too long for it.
bool SetIdeBin(IdeFolder& ide, const char* root);

// Bit i set: a program runs from ides[i].bin. Each one is named in the diagnostic log
// and, with programs given, kept there (as many as fit).
unsigned FindRunningIdes(const IdeFolder* ides, int count, IdePrograms* programs);

// True when none of the IDEs runs. Otherwise, with an owner, a box names the IDEs
// and asks to close them: Retry looks again, Cancel gives false. Without one (an
// unattended run): false.
bool IdesClosed(HWND owner, const char* caption, const IdeFolder* ides, int count);

// /CLOSEAPPLICATIONS: WM_CLOSE to the visible top-level windows of every program
// running from the IDEs' folders, as a person closes them, then a wait of up to 30 s
// for those programs to end. Nothing is ended by force. True when none runs then.
bool CloseIdes(const IdeFolder* ides, int count);
