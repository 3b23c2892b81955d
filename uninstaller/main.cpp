// Process entry of qlnclear.exe: common controls, the modal dialog, the exit status.
#include <windows.h>
// windows.h first: the common-controls header builds on its types.
#include <commctrl.h>

#include "uninstaller/qlnclear_ids.h"
#include "uninstaller/uninstaller.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  InitCommonControls();
  const INT_PTR result =
      DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_UNINSTALL), nullptr, UninstallDialogProc, 0);
  if (result != 0) {
    MessageBoxA(nullptr, "Fatal Error: Can't load resource.", "QLN UnInstallation Error", MB_ICONHAND | MB_OK);
    return 1;
  }
  return 0;
}
