// qlnclear.exe's exit codes, in the dialog and in the quiet run alike: what a
// deployment tool reads to know whether the library is gone. Portable.
#pragma once

enum UninstallExit : unsigned {
  kUninstallRemoved = 0,         // everything the log names is gone (or was already)
  kUninstallNotRead = 1,         // malformed start, the log or the /LOG= file could not be had
  kUninstallLogRefused = 2,      // someone other than the administrators could change the log
  kUninstallLeft = 3,            // something the log names is still there, not scheduled
  kUninstallIdeRunning = 4,      // a detected IDE is running; nothing was removed
  kUninstallRestartNeeded = 3010,  // removed, but a file waits for the next restart
};
