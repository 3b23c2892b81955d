// The wizard's dialog procedure.
#include "setup/wizard.h"

#include "setup/setup_state.h"

void ShowStep() {}

INT_PTR CALLBACK WizardDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) {
    gSetup.dialog = dialog;
    return TRUE;
  }
  if (message == WM_CLOSE) {
    ReleaseSetupState();
    EndDialog(dialog, 0);
  }
  return FALSE;
}
