// Process entry of setup.exe: state, common controls, the modal wizard, and the end.
#include <windows.h>
// windows.h first: the common-controls header builds on its types.
#include <commctrl.h>

#include "setup/setup_state.h"
#include "setup/wizard.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  AllocateSetupState();
  gSetup.instance = GetModuleHandleA(nullptr);
  InitCommonControls();
  const INT_PTR result = DialogBoxParamA(gSetup.instance, MAKEINTRESOURCEA(1), nullptr, WizardDialogProc, 0);
  if (result != 0) {
    MessageBoxA(nullptr, "Fatal Error: Can't load resource.", "QLN Installation Error", MB_ICONERROR);
  }
  if (gSetup.bitmap != nullptr) DeleteObject(gSetup.bitmap);
  // A dialog that never started never ran its end request.
  ReleaseSetupState();
  ExitProcess(0);
}
