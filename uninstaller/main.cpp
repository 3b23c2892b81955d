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

// The run's outcome as a deployment tool reads it, the same for the dialog and the
// quiet run: a dialog closed before Uninstall left everything the log names. Neither
// inlined nor specialised: the state is reached through one reference, which the
// relocation table counts once, not once per field.
[[gnu::noipa]] UninstallExit RunExitCode(const UninstallerState& u) {
  if (!u.loaded) return u.refused ? kUninstallLogRefused : kUninstallNotRead;
  if (u.ideRunning) return kUninstallIdeRunning;
  if (!u.removed || DiagFailures() != 0 || u.leftByLink != 0) return kUninstallLeft;
  return RestartNeeded() ? kUninstallRestartNeeded : kUninstallRemoved;
}

// The same dialog, never shown (its template has no WS_VISIBLE, and nothing here
// shows it), pressed as a person presses it: Uninstall, then Finish. False when the
// dialog cannot be made.
bool RemoveQuietly(HINSTANCE instance) {
  HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_UNINSTALL), nullptr, UninstallDialogProc, 0);
  if (dialog == nullptr) return false;
  // Run as the Uninstall button runs it, but with no box for a running IDE.
  if (DiagResult(gUninstaller.loaded, "Read", gUninstaller.logPath)) {
    gUninstaller.ideRunning = !NoIdeRunning(nullptr);
    if (!gUninstaller.ideRunning) RunRemoval();
  }
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CANCEL, BN_CLICKED), 0);
  DestroyWindow(dialog);
  return true;
}

int RunUninstaller(HINSTANCE instance) {
  const bool started = StartSafely();
  bool quiet = false;
  std::string_view diagLog;
  ParseLogPath(GetCommandLineA(), gUninstaller.logPath, sizeof gUninstaller.logPath, &quiet, &diagLog);
  // Not started, nothing is removed; a quiet run shows no window.
  const char* fatal = kNoCommonControls;
  bool ran = false;
  if (started && quiet) {
    // A log asked for and not created: nothing is removed.
    if (diagLog.data() != nullptr && !OpenDiagLog(diagLog, "Tarvel Lib removal")) return kUninstallNotRead;
    ran = RemoveQuietly(instance);
  } else if (started) {
    ran = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_UNINSTALL), nullptr, UninstallDialogProc, 0) == 0;
    fatal = "Fatal Error: Can't load resource.";
  }
  if (!ran && !quiet) MessageBoxA(nullptr, fatal, "QLN UnInstallation Error", MB_ICONHAND | MB_OK);
  // The dialog run has no /LOG= file: the close only ends the count.
  return static_cast<int>(CloseDiagLog(ran ? RunExitCode(gUninstaller) : kUninstallNotRead));
}

}  // namespace

// The process entry itself: the C runtime's start-up (argument parsing, atexit, TLS
// callbacks, its exception tables) is not linked in, since nothing here uses it.
extern "C" __attribute__((force_align_arg_pointer)) void QlnclearEntry() {
  ExitProcess(static_cast<UINT>(RunUninstaller(GetModuleHandleA(nullptr))));
}
