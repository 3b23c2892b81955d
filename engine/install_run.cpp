// The installation run: prepared on the dialog thread, carried out by the worker,
// closed by the finish page, which writes the uninstall log.
#include "engine/install_run.h"

#include <windows.h>

#include "engine/component_table.h"
#include "engine/detection.h"
#include "engine/interpreter.h"
#include "engine/text.h"
#include "services/file_edits.h"
#include "services/registry.h"
#include "setup/setup_state.h"
#include "setup/wizard.h"
#include "setup/wizard_pages.h"
#include "uninstlog/log_format.h"

namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvel Lib";
constexpr char kProductKey[] = "Software\\Quillon\\Tarvel Lib";

// Set when the worker could not be started, so the finish page does not claim success.
bool workerMissing = false;

void SetItemText(int id, const char* text) { SetDlgItemTextA(gSetup.dialog, id, text); }

void SetIdeMacros(const ComponentEntry& row) {
  SetMacroValue(gSetup.macros, Macro::DelphiDir, row.ideRoot != nullptr ? row.ideRoot : "");
  SetMacroValue(gSetup.macros, Macro::DelphiReg, row.ideKey);
  char* shortForm = MacroValue(gSetup.macros, Macro::DelphiDirShort);
  const DWORD n = row.ideRoot != nullptr ? GetShortPathNameA(row.ideRoot, shortForm, kPathCapacity) : 0;
  // A root that does not exist, or whose short form would not fit, has no short form.
  if (n == 0 || n >= kPathCapacity) shortForm[0] = '\0';
}

// The registered uninstall command in its /S form, for the tools that remove without
// asking. The uninstall deletes the key whole, so the log need not name the value.
void RegisterQuietUninstall() {
  ExpandMacros(gSetup.macros, "qlnclear.exe /S $HOME_DIR$\\uninst.qln", gSetup.pathBuffer, kPathBufferCapacity);
  WriteRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString", gSetup.pathBuffer);
}

DWORD WINAPI InstallWorker(LPVOID) {
  for (ComponentEntry* row = ComponentTable(); row->caption != nullptr; ++row) {
    if (row->selection != 1) continue;
    if (row->ideKey != nullptr) SetIdeMacros(*row);
    AppendLog(gSetup.log, LogType::Component, row->caption);
    RunScript(row->script);
  }
  WriteRegString(HKEY_LOCAL_MACHINE, kProductKey, "RootDir", MacroValue(gSetup.macros, Macro::HomeDir));
  RegisterQuietUninstall();
  ++gSetup.wizardStep;
  ShowStep();
  return 0;
}

}  // namespace

bool InstallationRunning() { return gSetup.installRunning != 0; }

void StartInstallation() {
  SetItemText(Item::UpperText, "\rNow is installations process. Please wait ...");
  SetItemText(Item::MiddleText, "Progress of installation :");
  SetItemText(Item::LowerText, "Current Satus");
  EnableWindow(GetDlgItem(gSetup.dialog, Item::Cancel), FALSE);
  CollectChoices();
  CountSelectedSteps();
  CreateDirectoryPath(MacroValue(gSetup.macros, Macro::HomeDir));
  ExpandMacros(gSetup.macros, "$HOME_DIR$\\uninst.qln", gSetup.pathBuffer, kPathBufferCapacity);
  OpenLog(gSetup.log, gSetup.pathBuffer);
  AppendLog(gSetup.log, LogType::Banner, kProductBanner);
  AppendLog(gSetup.log, LogType::Directory, MacroValue(gSetup.macros, Macro::HomeDir));
  InterlockedExchange(&gSetup.installRunning, 1);
#ifdef TARVEL_FAULT_NO_WORKER
  gSetup.workerThread = nullptr;  // test build: the worker can never be created
#else
  gSetup.workerThread = CreateThread(nullptr, 0, InstallWorker, nullptr, 0, &gSetup.workerThreadId);
#endif
  if (gSetup.workerThread == nullptr) {
    InterlockedExchange(&gSetup.installRunning, 0);
    workerMissing = true;
    ++gSetup.wizardStep;
    ShowStep();
  }
}

void FinishInstallation() {
  if (workerMissing) {
    SetItemText(Item::UpperText, "\rThe installation could not be started:\r nothing was installed.");
    SetItemText(Item::MiddleText, "Quillon  Welcome to www.quillon.example");
    SetItemText(Item::LowerText, "Press Finish button.");
  } else {
    SetItemText(Item::UpperText, "\rThe installation process was\r successfully complete !");
    SetItemText(Item::MiddleText, "Quillon  Welcome to www.quillon.example");
    SetItemText(Item::LowerText, "Press Finish button.");
  }
  SetItemText(Item::Cancel, "Finish");
  if (gSetup.workerThread != nullptr) {
    CloseHandle(gSetup.workerThread);
    gSetup.workerThread = nullptr;
  }
  AppendLog(gSetup.log, LogType::MachineKeyGone, kUninstallKey);
  WriteLog(gSetup.log);
  // From here on the worker touches nothing of the state: Finish may end the wizard.
  InterlockedExchange(&gSetup.installRunning, 0);
  EnableWindow(GetDlgItem(gSetup.dialog, Item::Cancel), TRUE);
}
