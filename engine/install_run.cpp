// The installation run: prepared on the dialog thread, carried out by the worker,
// closed by the finish page, which writes the uninstall log.
#include "engine/install_run.h"

#include <windows.h>

#include "engine/component_table.h"
#include "engine/detection.h"
#include "engine/interpreter.h"
#include "engine/script_tables.h"
#include "engine/setup_state.h"
#include "engine/text.h"
#include "engine/uninstall_entry.h"
#include "engine/wizard_items.h"
#include "services/diag_log.h"
#include "services/file_edits.h"
#include "services/folder_takeover.h"
#include "services/link_check.h"
#include "services/registry.h"
#include "uninstlog/log_format.h"

namespace {

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

// Unused only in the test build whose worker can never be created.
[[maybe_unused]] DWORD WINAPI InstallWorker(LPVOID) {
  for (ComponentEntry* row = ComponentTable(); row->caption != nullptr; ++row) {
    if (row->selection != 1) continue;
    DiagLog("Component%s", row->caption);
    if (row->ideKey != nullptr) SetIdeMacros(*row);
    AppendLog(gSetup.log, LogType::Component, row->caption);
    RunScript(row->script, scripts::kTexts);
  }
  if (!DiagResult(WriteRegString(HKEY_LOCAL_MACHINE, kProductKey, "RootDir", MacroValue(gSetup.macros, Macro::HomeDir)),
                  "Machine value", kProductKey, "RootDir"))
    NoteValueFailure(gSetup.failures, "HKEY_LOCAL_MACHINE", kProductKey, "RootDir");
  WriteUninstallEntry();
  ++gSetup.wizardStep;
  gSetup.showStep();
  return 0;
}

}  // namespace

bool InstallationRunning() { return gSetup.installRunning != 0; }

bool InstallationNotStarted() { return workerMissing; }

int InstallFailureCount() { return gSetup.failures.count; }

const char* FirstInstallFailure() { return gSetup.failures.first; }

void StartInstallation() {
  SetItemText(Item::UpperText, "\rNow is installations process. Please wait ...");
  SetItemText(Item::MiddleText, "Progress of installation :");
  SetItemText(Item::LowerText, "Current Satus");
  EnableWindow(GetDlgItem(gSetup.dialog, Item::Cancel), FALSE);
  CollectChoices();
  CountSelectedSteps();
  if (!DiagResult(CreateDirectoryPath(MacroValue(gSetup.macros, Macro::HomeDir)), "Folder",
                  MacroValue(gSetup.macros, Macro::HomeDir)))
    NoteFailure(gSetup.failures, MacroValue(gSetup.macros, Macro::HomeDir));
  // Held since Next accepted it; a root that is no longer sound lets nothing below it be written.
  GuardRoot(MacroValue(gSetup.macros, Macro::HomeDir), TakeOverFolder);
  ExpandMacros(gSetup.macros, "$HOME_DIR$\\uninst.qln", gSetup.pathBuffer, kPathBufferCapacity);
  OpenLog(gSetup.log, gSetup.pathBuffer);
  AppendLog(gSetup.log, LogType::Banner, kProductBanner);
  AppendLog(gSetup.log, LogType::Directory, MacroValue(gSetup.macros, Macro::HomeDir));
  // From here the worker writes the diagnostic log; what this thread logged goes first.
  DiagFlush();
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
    gSetup.showStep();
  }
}

namespace {

// The finish page's message line (item 101): the usual text, or that the run could not
// start, or how many of its objects could not be written and the first of them.
void ShowOutcome() {
  char line[kFailureLineCapacity] = {};
  if (workerMissing) {
    CopyText(line, sizeof line, "\rThe installation could not be started:\r nothing was installed.");
  } else if (!FormatFailureLine(gSetup.failures, line, sizeof line)) {
    CopyText(line, sizeof line, "\rThe installation process was\r successfully complete !");
  }
  SetItemText(Item::UpperText, line);
}

}  // namespace

void FinishInstallation() {
  SetItemText(Item::MiddleText, "Quillon  Welcome to www.quillon.example");
  SetItemText(Item::LowerText, "Press Finish button.");
  SetItemText(Item::Cancel, "Finish");
  if (gSetup.workerThread != nullptr) {
    CloseHandle(gSetup.workerThread);
    gSetup.workerThread = nullptr;
  }
  AppendLog(gSetup.log, LogType::MachineKeyGone, kUninstallKey);
  // Named by the macro: a name too long for the log leaves the log without one.
  ExpandMacros(gSetup.macros, "$HOME_DIR$\\uninst.qln", gSetup.pathBuffer, kPathBufferCapacity);
  if (!DiagResult(WriteLog(gSetup.log), "Uninstall log", gSetup.pathBuffer))
    NoteFailure(gSetup.failures, gSetup.pathBuffer);
  ShowOutcome();
  ReleaseAllFolders();
  DiagFlush();
  // From here on the worker touches nothing of the state: Finish may end the wizard.
  InterlockedExchange(&gSetup.installRunning, 0);
  EnableWindow(GetDlgItem(gSetup.dialog, Item::Cancel), TRUE);
}
