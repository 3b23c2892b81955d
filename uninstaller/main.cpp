// Process entry of qlnclear.exe: common controls, the modal dialog, the exit status.
#include <windows.h>
// windows.h first: the common-controls header builds on its types.
#include <commctrl.h>

#include "uninstaller/qlnclear_ids.h"
#include "uninstaller/uninstaller.h"

namespace {

int RunUninstaller(HINSTANCE instance) {
  InitCommonControls();
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
