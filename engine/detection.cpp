// Detection of the installed IDEs in the registry, the component list filled from
// the component table, the destination proposal, and the choices read back.
#include "engine/detection.h"

#include <windows.h>
// windows.h first: the common-controls header builds on its types.
#include <commctrl.h>

#include "controls/check_list.h"
#include "engine/component_table.h"
#include "engine/script_step.h"
#include "engine/text.h"
#include "services/registry.h"
#include "setup/setup_state.h"
#include "setup/wizard_pages.h"

namespace {

constexpr char kProductKey[] = "Software\\Quillon\\Tarvel Lib";

void DetectIde(ComponentEntry& row) {
  if (row.ideRoot == nullptr) row.ideRoot = static_cast<char*>(AllocateBlock(kPathCapacity));
  if (row.ideRoot == nullptr) return;
  row.ideRoot[0] = '\0';
  DWORD n = ReadRegString(HKEY_LOCAL_MACHINE, row.ideKey, row.rootValueName, row.ideRoot, kPathCapacity);
  row.visibility = kNotOffered;
  row.selection = kNotAvailable;
  if (n == 0 || row.ideRoot[0] == '\0') {
    row.ideRoot[0] = '\0';
    n = ReadRegString(HKEY_CURRENT_USER, row.ideKey, row.rootValueName, row.ideRoot, kPathCapacity);
    if (n == 0 || row.ideRoot[0] == '\0') {
      row.ideRoot[0] = '\0';
      return;
    }
  }
  row.visibility = 1;
  row.selection = 1;
  if (gSetup.destinationProposed == 0) CopyText(gSetup.destination, kPathCapacity, row.ideRoot);
}

}  // namespace

void PrepareComponentPage() {
  ResetCheckList(gSetup.checkList);
  for (ComponentEntry* row = ComponentTable(); row->caption != nullptr; ++row) {
    if (row->ideKey != nullptr) DetectIde(*row);
    if (row->visibility != kNotOffered) row->listIndex = AddCheckItem(gSetup.checkList, row->caption, row->selection);
  }
  if (gSetup.destinationProposed == 0) {
    StripTrailingSeparator(gSetup.destination);
    CutToParent(gSetup.destination);
    AppendText(gSetup.destination, kPathCapacity, "\\TarvelLib");
    gSetup.destinationProposed = 1;
  }
  // Read aside first: a failed read must leave $HOME_OLD$ as it was, and an empty
  // recorded root must not blank the destination (files would land at a drive root).
  char earlier[kMacroValueCapacity] = {};
  if (ReadRegString(HKEY_LOCAL_MACHINE, kProductKey, "RootDir", earlier, kMacroValueCapacity - 1) != 0 &&
      earlier[0] != '\0') {
    SetMacroValue(gSetup.macros, Macro::HomeOld, earlier);
    CopyText(gSetup.destination, kPathCapacity, earlier);
  }
  SetDlgItemTextA(gSetup.dialog, Item::Destination, gSetup.destination);
  ++gSetup.destinationProposed;
}

void CollectChoices() {
  for (ComponentEntry* row = ComponentTable(); row->caption != nullptr; ++row) {
    if (row->visibility != kNotOffered) row->selection = GetCheckItemData(gSetup.checkList, row->listIndex);
  }
  GetDlgItemTextA(gSetup.dialog, Item::Destination, gSetup.destination, kPathCapacity);
  StripTrailingSeparator(gSetup.destination);
  SetMacroValue(gSetup.macros, Macro::HomeDir, gSetup.destination);
  char* sys = MacroValue(gSetup.macros, Macro::SysDir);
  const UINT n = GetSystemDirectoryA(sys, kPathCapacity);
  if (n == 0 || n >= kPathCapacity) sys[0] = '\0';
}

int CountSelectedSteps() {
  int total = 0;
  for (const ComponentEntry* row = ComponentTable(); row->caption != nullptr; ++row) {
    if (row->selection == 1) total += CountSteps(row->script);
  }
  SendDlgItemMessageA(gSetup.dialog, Item::Progress, PBM_SETRANGE, 0, MAKELPARAM(0, total));
  return total;
}

void ReleaseComponentRoots() {
  for (ComponentEntry* row = ComponentTable(); row->caption != nullptr; ++row) {
    ReleaseBlock(row->ideRoot);
    row->ideRoot = nullptr;
  }
}
