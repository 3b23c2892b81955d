// The wizard's dialog procedure, its page table and the switch between pages.
#include "setup/wizard.h"

#include <shlobj.h>

#include "controls/check_list.h"
#include "controls/quiet_progress.h"
#include "engine/detection.h"
#include "engine/install_run.h"
#include "engine/text.h"
#include "services/diag_log.h"
#include "setup/layout.h"
#include "engine/setup_state.h"
#include "setup/wizard_pages.h"

namespace {

void SetItemText(int id, const char* text) { SetDlgItemTextA(gSetup.dialog, id, text); }

void WelcomePage() {
  SetItemText(Item::UpperText, kProductBanner);
  SetItemText(Item::MiddleText,
              "This programm will install Tarvel Lib on your computer\r\rClick NEXT for continue SETUP program.");
  SetItemText(Item::LowerText, "WARNING: Close all Delphi and CBuilder programs before !!!");
  // The first two pages wait for a person: what was logged up to here is on disk.
  DiagFlush();
}

void ComponentPage() {
  SetItemText(Item::UpperText, "Choose that you necessary:");
  SetItemText(Item::MiddleText, "");
  SetItemText(Item::LowerText, "Choose destination path:");
  PrepareComponentPage();
  LayoutChoosePage();
  DiagFlush();
}

using namespace Item;

constexpr std::uint32_t kWelcomeControls[] = {
    Hidden(Prev),      Shown(Next),      Shown(Cancel),        Shown(Picture),
    Shown(UpperText),  Shown(MiddleText), Shown(LowerText),    Shown(StepLabel),
    Hidden(Progress),  Hidden(Destination), Hidden(ComponentList), Hidden(Browse), 0};
constexpr std::uint32_t kComponentControls[] = {
    Shown(Prev),       Shown(Next),      Shown(Cancel),        Shown(Picture),
    Shown(UpperText),  Hidden(MiddleText), Hidden(LowerText),  Shown(StepLabel),
    Hidden(Progress),  Shown(Destination), Shown(ComponentList), Shown(Browse), 0};
constexpr std::uint32_t kInstallControls[] = {
    Hidden(Prev),      Hidden(Next),     Shown(Cancel),        Shown(Picture),
    Shown(UpperText),  Shown(MiddleText), Shown(LowerText),    Shown(StepLabel),
    Shown(Progress),   Hidden(Destination), Hidden(ComponentList), Hidden(Browse), 0};
constexpr std::uint32_t kFinishControls[] = {
    Hidden(Prev),      Hidden(Next),     Shown(Cancel),        Shown(Picture),
    Shown(UpperText),  Shown(MiddleText), Shown(LowerText),    Shown(StepLabel),
    Hidden(Progress),  Hidden(Destination), Hidden(ComponentList), Hidden(Browse), 0};

constexpr int ListLength(const std::uint32_t* list) {
  int n = 0;
  while (list[n] != 0) ++n;
  return n;
}
static_assert(ListLength(kWelcomeControls) == kWizardControlCount);
static_assert(ListLength(kComponentControls) == kWizardControlCount);
static_assert(ListLength(kInstallControls) == kWizardControlCount);
static_assert(ListLength(kFinishControls) == kWizardControlCount);

void EndWizard() {
  ReleaseSetupState();
  EndDialog(gSetup.dialog, 0);
}

// While the worker runs it owns the macro values, scratch strings and log, so a close
// request then is refused; the finish page offers the way out.
void EndRequest() {
  if (InstallationRunning()) return;
  if (gSetup.wizardStep == 3) {
    EndWizard();
    return;
  }
  if (MessageBoxA(gSetup.dialog, "Are you want terminate installation ?", "Quillon presents ...",
                  MB_ICONQUESTION | MB_YESNO) != IDNO) {
    EndWizard();
  }
}

void BrowseForDestination() {
  static bool comReady = false;
  // The new dialog style needs COM on this thread.
  if (!comReady) comReady = SUCCEEDED(CoInitialize(nullptr));
  LPITEMIDLIST item = SHBrowseForFolderA(&gSetup.browseInfo);
  if (item != nullptr) {
    char path[MAX_PATH] = {};
    if (SHGetPathFromIDListA(item, path)) CopyText(gSetup.destination, kPathCapacity, path);
    CoTaskMemFree(item);
  }
  SetItemText(Item::Destination, gSetup.destination);
}

void InitDialog(HWND dialog) {
  gSetup.dialog = dialog;
  gSetup.showStep = ShowStep;
  gSetup.browseInfo.hwndOwner = dialog;
  gSetup.browseInfo.pszDisplayName = gSetup.browseDisplayName;
  gSetup.browseInfo.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_NEWDIALOGSTYLE;
  SetWindowTextA(dialog, "Tarvel Lib Installation");
  gSetup.icon = LoadIconA(gSetup.instance, MAKEINTRESOURCEA(1));
  SetClassLongPtrA(dialog, GCLP_HICON, reinterpret_cast<LONG_PTR>(gSetup.icon));
  gSetup.bitmap = LoadBitmapA(gSetup.instance, MAKEINTRESOURCEA(1));
  gSetup.bitmapControl = GetDlgItem(dialog, Item::Picture);
  SendMessageA(gSetup.bitmapControl, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(gSetup.bitmap));
  gSetup.checkList = AttachCheckList(GetDlgItem(dialog, Item::ComponentList));
  AttachQuietProgress(GetDlgItem(dialog, Item::Progress), &gSetup.stepsDone);
  LayoutWizard();
  ShowStep();
}

}  // namespace

const PageEntry kPages[kPageCount] = {
    {kWelcomeControls, WelcomePage},
    {kComponentControls, ComponentPage},
    {kInstallControls, StartInstallation},
    {kFinishControls, FinishInstallation},
};

void ShowStep() {
  if (gSetup.wizardStep >= 4) gSetup.wizardStep = 3;
  gSetup.stepLabel[5] = static_cast<char>('1' + gSetup.wizardStep);
  SetItemText(Item::StepLabel, gSetup.stepLabel);
  gSetup.currentPage = &kPages[gSetup.wizardStep];
  for (const std::uint32_t* entry = gSetup.currentPage->visibility; *entry != 0; ++entry) {
    ShowWindow(GetDlgItem(gSetup.dialog, static_cast<int>(*entry & 0xFFFF)), (*entry >> 16) ? SW_SHOW : SW_HIDE);
  }
  gSetup.currentPage->handler();
}

INT_PTR CALLBACK WizardDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      InitDialog(dialog);
      return TRUE;
    case WM_COMMAND:
      if (HIWORD(wParam) != 0) return FALSE;
      switch (LOWORD(wParam)) {
        case Item::Next:
          // A running IDE is asked about before the destination check makes a folder.
          if (gSetup.wizardStep == 1 && (!SelectedIdesClosed(gSetup.dialog, false) || !AcceptDestination())) break;
          ++gSetup.wizardStep;
          ShowStep();
          break;
        case Item::Prev:
          --gSetup.wizardStep;
          ShowStep();
          break;
        case Item::Browse:
          BrowseForDestination();
          break;
        case Item::Cancel:
          EndRequest();
          break;
        default:
          break;
      }
      return FALSE;
    case WM_CLOSE:
      EndRequest();
      return FALSE;
    case kDpiChangedMessage:
      // Handled here, the change is not the dialog manager's, which would lay the
      // controls out again from the template.
      RescaleWizard(wParam, lParam);
      return TRUE;
    default:
      return FALSE;
  }
}
