// Process entry of qlnclear.exe: DLLs from the system folder and the common controls,
// the command line, the modal dialog or its quiet run, the exit status.
#include <windows.h>

#include "services/safe_start.h"
#include "uninstaller/qlnclear_ids.h"
#include "uninstaller/uninstaller.h"

namespace {

// The same dialog, never shown (its template has no WS_VISIBLE, and nothing here
// shows it), pressed as a person presses it: Uninstall, then Finish. A log that
// could not be loaded leaves Uninstall without effect and the run ends with 1.
int RemoveQuietly(HINSTANCE instance) {
  HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_UNINSTALL), nullptr, UninstallDialogProc, 0);
  if (dialog == nullptr) return 1;
  const bool loaded = gUninstaller.logBlock != nullptr;
  if (loaded) SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_UNINSTALL, BN_CLICKED), 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CANCEL, BN_CLICKED), 0);
  DestroyWindow(dialog);
  return loaded ? 0 : 1;
}

int RunUninstaller(HINSTANCE instance) {
  const bool started = StartSafely();
  bool quiet = false;
  ParseLogPath(GetCommandLineA(), gUninstaller.logPath, sizeof gUninstaller.logPath, &quiet);
  // Nothing is removed; a quiet run shows no window.
  if (!started) {
    if (!quiet) MessageBoxA(nullptr, kNoCommonControls, "QLN UnInstallation Error", MB_ICONHAND | MB_OK);
    return 1;
  }
  if (quiet) return RemoveQuietly(instance);
  const INT_PTR result =
      DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_UNINSTALL), nullptr, UninstallDialogProc, 0);
  if (result != 0) {
    MessageBoxA(nullptr, "Fatal Error: Can't load resource.", "QLN UnInstallation Error", MB_ICONHAND | MB_OK);
    return 1;
  }
  return 0;
}

}  // namespace

// The process entry itself: the C runtime's start-up (argument parsing, atexit, TLS
// callbacks, its exception tables) is not linked in, since nothing here uses it.
extern "C" __attribute__((force_align_arg_pointer)) void QlnclearEntry() {
  ExitProcess(static_cast<UINT>(RunUninstaller(GetModuleHandleA(nullptr))));
}
