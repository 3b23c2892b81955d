// The uninstaller's process state and its dialog: loading the log, the removal
// run and the Windows actions of the record walk.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "uninstaller/dialog_scale.h"
#include "uninstaller/log_path.h"
#include "uninstaller/log_walk.h"
#include "uninstaller/walk_display.h"

struct UninstallerState {
  HWND dialog;
  char logPath[kLogPathCapacity];
  std::uint8_t* logBlock;  // exactly the file's size; nullptr while no log is loaded
  std::size_t logSize;
  LogWalk walk;
  HKEY openKey;            // from the last type 4 or 5 record, for the type 6 after it
  DirectoryStack directories;
  unsigned leftByLink;     // logged paths below the root not removed: they pass through a link
  bool refused;            // the log or its folder can be changed by others than the administrators
  bool rootChecked;        // the log's folder, the root, has had its rights checked
  bool loaded;             // the log was read at start-up (the block goes when the dialog ends)
  bool ideRunning;         // the removal was not run: an IDE was running
  bool removed;            // the walk runs at most once
  WalkDisplay display;     // the bar, the status line and the message line
  DialogScale scale;       // the dialog's DPI, its logo and font at that DPI
};

extern UninstallerState gUninstaller;

// Reads the log when it and its folder can be changed by the administrators alone;
// refused says when that was why it was not read.
bool LoadLog(const char* path);
void RunRemoval();
void RemoveDirectories();
INT_PTR CALLBACK UninstallDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
