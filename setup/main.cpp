// Process entry of setup.exe: DLLs from the system folder and the common controls,
// state, then the modal wizard or what the command line asks for, and the end.
#include <windows.h>

#include "engine/install_run.h"
#include "engine/setup_state.h"
#include "services/diag_log.h"
#include "services/payload.h"
#include "services/safe_start.h"
#include "setup/command_line.h"
#include "setup/silent_run.h"
#include "setup/wizard.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const bool started = StartSafely();
  // The whole line, program name included, whichever entry came first.
  const SetupOptions options = ReadSetupCommandLine(GetCommandLineA());
  // Nothing is written yet; an unattended run shows no window.
  if (!started) {
    if (options.kind == StartKind::Wizard) MessageBoxA(nullptr, kNoCommonControls, "QLN Installation Error", MB_ICONERROR);
    ExitProcess(kExitNotStarted);
  }
  AllocateSetupState();
  gSetup.instance = GetModuleHandleA(nullptr);
  UINT code = 0;
  const char* fatal = nullptr;
  if (options.kind != StartKind::Wizard) {
    code = RunFromCommandLine(options);
  } else if (!OpenRunLog(options)) {
    code = kExitBadOption;
  } else {
    // The wizard's /D= is its proposal; the rest of the line is the destination.
    for (std::size_t i = 0; i < options.destination.size() && i < kPathCapacity; ++i)
      gSetup.givenDestination[i] = options.destination[i];
    if (!PayloadIntact(nullptr)) {
      fatal = kDamagedText;
      code = kExitDamaged;
    } else if (DialogBoxParamA(gSetup.instance, MAKEINTRESOURCEA(1), nullptr, WizardDialogProc, 0) != 0) {
      fatal = "Fatal Error: Can't load resource.";
      code = kExitNotStarted;
    } else {
      // The code an unattended run with the same outcome returns; left before the
      // third page, nothing was installed.
      code = gSetup.wizardStep < 2         ? kExitCancelled
             : InstallationNotStarted() ? kExitNotStarted
                                        : FinishedRunExitCode();
    }
    CloseDiagLog(code);
  }
  if (fatal != nullptr) MessageBoxA(nullptr, fatal, "QLN Installation Error", MB_ICONERROR);
  if (gSetup.bitmap != nullptr) DeleteObject(gSetup.bitmap);
  // Made only at another DPI; DeleteObject refuses the null handle otherwise.
  DeleteObject(gSetup.scaledBitmap);
  DeleteObject(gSetup.font);
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
