// Process entry of setup.exe: state, common controls, then the modal wizard or what
// the command line asks for, and the end.
#include <windows.h>
// windows.h first: the common-controls header builds on its types.
#include <commctrl.h>

#include "engine/install_run.h"
#include "engine/setup_state.h"
#include "services/diag_log.h"
#include "setup/command_line.h"
#include "setup/silent_run.h"
#include "setup/wizard.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The whole line, program name included, whichever entry came first.
  const SetupOptions options = ReadSetupCommandLine(GetCommandLineA());
  AllocateSetupState();
  gSetup.instance = GetModuleHandleA(nullptr);
  InitCommonControls();
  UINT code = 0;
  if (options.kind != StartKind::Wizard) {
    code = RunFromCommandLine(options);
  } else if (!OpenRunLog(options)) {
    code = kExitBadOption;
  } else {
    const INT_PTR result = DialogBoxParamA(gSetup.instance, MAKEINTRESOURCEA(1), nullptr, WizardDialogProc, 0);
    if (result != 0) {
      MessageBoxA(nullptr, "Fatal Error: Can't load resource.", "QLN Installation Error", MB_ICONERROR);
    }
    // The code an unattended run with the same outcome returns; the wizard itself ends with 0.
    CloseDiagLog(InstallFailureCount() != 0 ? kExitNotAllWritten : kExitInstalled);
  }
  if (gSetup.bitmap != nullptr) DeleteObject(gSetup.bitmap);
  // A dialog that never started never ran its end request.
  ReleaseSetupState();
  ExitProcess(code);
}

// The process entry of the shipped program: the C runtime's start-up (argument parsing,
// atexit, TLS callbacks, its exception tables) is not linked in, since nothing uses it.
// Builds that keep the runtime's start-up come in through WinMain as before.
extern "C" __attribute__((force_align_arg_pointer)) void SetupEntry() {
  WinMain(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), SW_SHOWDEFAULT);
}
