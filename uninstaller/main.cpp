// Process entry of qlnclear.exe: DLLs from the system folder and the common controls,
// the command line, the modal dialog or its quiet run, the exit status.
#include <windows.h>

#include "services/diag_log.h"
#include "services/safe_start.h"
#include "uninstaller/exit_codes.h"
#include "uninstaller/ide_check.h"
#include "uninstaller/qlnclear_ids.h"
#include "uninstaller/restart_removal.h"
#include "uninstaller/uninstaller.h"

namespace {

// "Success, restart required", as the Windows Installer and deployment tools know it.
constexpr int kExitRestartNeeded = 3010;

// The same dialog, never shown (its template has no WS_VISIBLE, and nothing here
// shows it), run as the Uninstall button runs it, but with no box for a running IDE,
// then closed by Finish. A log that could not be loaded ends the run with 1 and a
// running IDE with 4, both having removed nothing; a file other than its own left for
// the restart ends it with 3010.
int RemoveQuietly(HINSTANCE instance) {
  HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_UNINSTALL), nullptr, UninstallDialogProc, 0);
  if (dialog == nullptr) return 1;
  const bool loaded = DiagResult(gUninstaller.logBlock != nullptr, "Read", gUninstaller.logPath);
  const bool idle = loaded && NoIdeRunning(nullptr);
  if (idle) RunRemoval();
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CANCEL, BN_CLICKED), 0);
  DestroyWindow(dialog);
  if (!loaded) return gUninstaller.refused ? kUninstallLogRefused : kUninstallNotRead;
  if (!idle) return kUninstallIdeRunning;
  return RestartNeeded() ? kExitRestartNeeded : 0;
}

int RunUninstaller(HINSTANCE instance) {
  const bool started = StartSafely();
  bool quiet = false;
  std::string_view diagLog;
  ParseLogPath(GetCommandLineA(), gUninstaller.logPath, sizeof gUninstaller.logPath, &quiet, &diagLog);
  // Nothing is removed; a quiet run shows no window.
  if (!started) {
    if (!quiet) MessageBoxA(nullptr, kNoCommonControls, "QLN UnInstallation Error", MB_ICONHAND | MB_OK);
    return 1;
  }
  if (quiet) {
    // A log asked for and not created: nothing is removed.
    if (diagLog.data() != nullptr && !OpenDiagLog(diagLog, "Tarvel Lib removal")) return 1;
    return static_cast<int>(CloseDiagLog(static_cast<unsigned>(RemoveQuietly(instance))));
  }
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
