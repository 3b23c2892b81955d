// Detection of the installed IDEs in the registry, the component list filled from
// the component table, the destination proposal, and the choices read back.
#include "engine/detection.h"

#include <windows.h>
// windows.h first: the common-controls header builds on its types.
#include <commctrl.h>

#include "controls/check_list.h"
#include "engine/component_table.h"
#include "engine/ide_table.h"
#include "engine/script_step.h"
#include "engine/script_tables.h"
#include "engine/text.h"
#include "services/file_edits.h"
#include "services/diag_log.h"
#include "services/directory_path.h"
#include "services/folder_takeover.h"
#include "services/link_check.h"
#include "services/registry.h"
#include "services/running_ide.h"
#include "engine/setup_state.h"
#include "engine/wizard_items.h"

namespace {

constexpr char kProductKey[] = "Software\\Quillon\\Tarvel Lib";

void DetectIde(ComponentEntry& row) {
  if (row.ideRoot == nullptr) row.ideRoot = static_cast<char*>(AllocateBlock(kPathCapacity));
  if (row.ideRoot == nullptr) return;
  row.visibility = kNotOffered;
  row.selection = kNotAvailable;
  if (!ReadIdeRoot(row.ideKey, row.rootValueName, row.ideRoot, kPathCapacity)) return;
  DiagLog("IDE %s: %s", row.ideKey, row.ideRoot);
  row.visibility = 1;
  row.selection = 1;
  if (gSetup.destinationProposed == 0) CopyText(gSetup.destination, kPathCapacity, row.ideRoot);
}

// With no IDE there is no parent to propose: "\TarvelLib" alone names no drive and
// the page would refuse it. The drive of the Windows folder is the one every machine has.
void ProposeWindowsDrive(char* destination) {
  char windows[kPathCapacity] = {};
  const UINT n = GetWindowsDirectoryA(windows, kPathCapacity);
  if (n >= 2 && n < kPathCapacity && windows[1] == ':') CopyText(destination, 3, windows);
}

// A row's tick as the component page shows it now; rows not offered count by their selection.
int TickedNow(const ComponentEntry& row) {
  return row.visibility != kNotOffered ? GetCheckItemData(gSetup.checkList, row.listIndex) : row.selection;
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
    if (gSetup.destination[0] == '\0') ProposeWindowsDrive(gSetup.destination);
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
  const char* proposal = gSetup.givenDestination[0] != '\0' ? gSetup.givenDestination : gSetup.destination;
  SetDlgItemTextA(gSetup.dialog, Item::Destination, proposal);
  DiagLog("Proposed destination: %s", proposal);
  ++gSetup.destinationProposed;
}

namespace {

bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

// A drive path ("C:\...") or a share ("\\\\server\..."), no folder name ending in a blank or
// a dot: Windows drops those from the last name only, so the folder it makes would not
// be the one the files below it are written to. A relative path would depend on the
// current directory.
bool IsPlainAbsolutePath(const char* path) {
  const bool drive = ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z' && path[1] == ':' && IsPathSeparator(path[2]));
  const bool share = IsPathSeparator(path[0]) && IsPathSeparator(path[1]);
  if (!drive && !share) return false;
  for (std::size_t i = 1; path[i] != '\0'; ++i) {
    const bool endOfName = IsPathSeparator(path[i + 1]) || path[i + 1] == '\0';
    if (endOfName && (path[i] == ' ' || path[i] == '.')) return false;
  }
  return true;
}

// The longest destination that holds every file and folder of the components ticked
// now (rows not offered count by their selection) and the uninstall log.
int LongestDestination() {
  constexpr int kLogRoom = sizeof "\\uninst.qln" - 1;
  // The root is a folder too: with only the log below it, it is the longest folder Windows makes.
  static_assert(scripts::kLongestFilePath - kLogRoom == scripts::kLongestFolderPath);
  static_assert(scripts::kLongestFilePath == static_cast<int>(kPathCapacity) - 1);
  int room = kLogRoom;
  for (const ComponentEntry* row = ComponentTable(); row->caption != nullptr; ++row) {
    const int ticked = TickedNow(*row);
    const int needs = scripts::RoomBelowHome(row->script);
    if (ticked == 1 && needs > room) room = needs;
  }
  return scripts::kLongestFilePath - room;
}

// Each pass of the expansion searches the values of the macros before it again: a
// destination holding a macro name would expand into another folder than the root.
bool NamesAMacro(const char* path) {
  for (std::string_view name : kMacroNames)
    if (FindNoCase(name.data(), path) != nullptr) return true;
  return false;
}

bool NoteExisting(void* longest, const char* prefix) {
  if (GetFileAttributesA(prefix) != INVALID_FILE_ATTRIBUTES) *static_cast<std::size_t*>(longest) = TextLength(prefix);
  return true;
}

// Makes every missing level of path. When the folder still cannot be had, the levels
// made on the way go again, deepest first, so a refused destination leaves nothing:
// only levels longer than the longest one that was there before are touched, and a
// folder is removed only while empty.
bool MakeDestinationFolder(char* path) {
  std::size_t existing = 0;
  WalkDirectoryPrefixes(path, NoteExisting, &existing);
  if (CreateDirectoryPath(path)) return true;
  for (std::size_t n = TextLength(path); n > existing; --n) {
    if (path[n] == '\0' || IsPathSeparator(path[n])) {
      const char c = path[n];
      path[n] = '\0';
      RemoveDirectoryA(path);
      path[n] = c;
    }
  }
  return false;
}

}  // namespace

const char* DestinationRefusal() {
  HWND edit = GetDlgItem(gSetup.dialog, Item::Destination);
  char path[kPathCapacity] = {};
  // A longer text would be cut when it is read, and the cut names another folder.
  const bool fits = GetWindowTextLengthA(edit) < static_cast<int>(kPathCapacity);
  if (fits) GetWindowTextA(edit, path, kPathCapacity);
  StripTrailingSeparator(path);
  const char* problem = nullptr;
  // The root and every level above it are held from here to the end of the run.
  PathState state = PathState::Link;
  if (!fits || TextLength(path) > static_cast<std::size_t>(LongestDestination())) {
    problem = "The destination path is too long.";
  } else if (NamesAMacro(path)) {
    problem = "The destination path must not contain a macro name such as $SUB_DIR$.";
  } else if (!IsPlainAbsolutePath(path)) {
    problem = "Can't create the destination folder.";
  } else if ((state = GuardRoot(path, TakeOverFolder)) == PathState::Missing) {
    // Made below levels that are held and no link; new folders are the administrators'.
    state = MakeDestinationFolder(path) ? GuardRoot(path, TakeOverFolder) : PathState::Missing;
  }
  if (problem == nullptr && state == PathState::Link) {
    problem = "The destination folder is reached through a link, or other users can change it.";
  } else if (problem == nullptr && (state != PathState::Safe || !IsDirectory(path))) {
    problem = "Can't create the destination folder.";
  }
  if (problem != nullptr) ReleaseAllFolders();
  DiagLog("Destination %s: %s", path, problem != nullptr ? problem : "accepted");
  return problem;
}

bool AcceptDestination() {
  const char* problem = DestinationRefusal();
  if (problem == nullptr) return true;
  DiagFlush();
  MessageBoxA(gSetup.dialog, problem, "Quillon presents ...", MB_ICONEXCLAMATION | MB_OK);
  return false;
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

bool SelectedIdesClosed(HWND owner, bool closeApplications) {
  IdeFolder ides[kIdeCount];
  int count = 0;
  const ComponentEntry* rows = ComponentTable();
  for (int i = 0; i < kIdeCount; ++i) {
    if (rows[i].ideRoot == nullptr || TickedNow(rows[i]) != 1 || !SetIdeBin(ides[count], rows[i].ideRoot)) continue;
    lstrcpynA(ides[count++].name, rows[i].caption + sizeof kIdeCaptionLead - 1, sizeof ides->name);
  }
  return closeApplications ? CloseIdes(ides, count) : IdesClosed(owner, "Quillon presents ...", ides, count);
}

void ReleaseComponentRoots() {
  for (ComponentEntry* row = ComponentTable(); row->caption != nullptr; ++row) {
    ReleaseBlock(row->ideRoot);
    row->ideRoot = nullptr;
  }
}
