// qlnclear.exe's dialog: start-up, the log load, the removal run and the Windows
// calls behind each record action.
#include "uninstaller/uninstaller.h"
// windows.h first: the common-controls header builds on its types.
#include <commctrl.h>

#include <array>

#include "controls/dpi_window.h"
#include "engine/part_timing.h"
#include "services/diag_log.h"
#include "services/link_check.h"
#include "services/trust_check.h"
#include "engine/text.h"
#include "uninstaller/ide_check.h"
#include "uninstaller/qlnclear_ids.h"
#include "uninstaller/restart_removal.h"
#include "uninstaller/walk_timing.h"

UninstallerState gUninstaller;

namespace {

void SetItem(int id, const char* text) { SetDlgItemTextA(gUninstaller.dialog, id, text); }

void SetStatus(const char* text) { ShowLine(gUninstaller.display, gUninstaller.display.status, text); }
void SetMessage(const char* text) { ShowLine(gUninstaller.display, gUninstaller.display.message, text); }

void CloseOpenKey() {
  if (gUninstaller.openKey != nullptr) RegCloseKey(gUninstaller.openKey);
  gUninstaller.openKey = nullptr;
}

// The registry's status as the last error, for the diagnostic log.
bool Succeeded(LONG status) {
  SetLastError(static_cast<DWORD>(status));
  return status == ERROR_SUCCESS;
}

bool OpenKey(HKEY root, const char* path) {
  // The installer follows each key by one value; a second key in a row must not leak the first.
  CloseOpenKey();
  HKEY key = nullptr;
  if (!Succeeded(RegOpenKeyExA(root, path, 0, KEY_WRITE, &key))) return false;
  gUninstaller.openKey = key;
  return true;
}

bool DeleteKey(HKEY root, const char* path) {
  const bool deleted = Succeeded(RegDeleteKeyA(root, path));
  RegFlushKey(root);
  return deleted;
}

// A level below the root that is a link would lead the deletion anywhere: such a path
// is left alone, and counted. A level already gone leaves nothing to delete.
bool LeftByLink(const char* path, PathState state) {
  if (state != PathState::Link) return false;
  ++gUninstaller.leftByLink;
  DiagLog("Left alone, reached through a link: %s", path);
  return true;
}

// The text lies in the log block, the uninstaller's own copy of the file, which the
// check cuts level by level and gives back as it was.
PathState Check(const char* path, bool lastIsCallers = false) {
  return CheckPath(const_cast<char*>(path), lastIsCallers);
}

bool SetTitle(const char* text) {
  SetItem(IDC_TITLE, text);
  return true;
}
bool ShowMessage(const char* text) {
  SetMessage(text);
  return true;
}
// The file itself is checked through the handle that deletes it.
bool RemoveFile(const char* text) {
  TimePartBegin(TimedPart::LinkCheck);
  const PathState state = Check(text, true);
  TimePartEnd(TimedPart::LinkCheck);
  if (state == PathState::Missing) {
    DiagLog("Delete %s: not there", text);
    return true;
  }
  if (LeftByLink(text, state)) return true;
  TimePartBegin(TimedPart::Deletion);
  const bool sound = DeleteOrSchedule(text);  // logs its own line
  TimePartEnd(TimedPart::Deletion);
  if (!sound) LeftByLink(text, PathState::Link);
  return true;
}
bool OpenUserKey(const char* text) { return OpenKey(HKEY_CURRENT_USER, text); }
bool OpenMachineKey(const char* text) { return OpenKey(HKEY_LOCAL_MACHINE, text); }
bool DeleteValue(const char* text) {
  if (gUninstaller.openKey == nullptr) return Succeeded(ERROR_INVALID_HANDLE);
  const bool deleted = Succeeded(RegDeleteValueA(gUninstaller.openKey, text));
  RegFlushKey(gUninstaller.openKey);
  CloseOpenKey();
  return deleted;
}
bool DeleteUserKey(const char* text) { return DeleteKey(HKEY_CURRENT_USER, text); }
bool DeleteMachineKey(const char* text) { return DeleteKey(HKEY_LOCAL_MACHINE, text); }
bool PushDirectoryText(const char* text) {
  PushDirectory(gUninstaller.directories, text);
  return true;
}

// Indexed by RecordAction.
constexpr std::array<bool (*)(const char*), kRecordActionCount> kActions = {
    SetTitle,    ShowMessage,   RemoveFile,       OpenUserKey,       OpenMachineKey,
    DeleteValue, DeleteUserKey, DeleteMachineKey, PushDirectoryText,
};
// Each action's line in the diagnostic log; empty: none (the file deletion writes its own).
// Texts in place, not pointers: a table of pointers needs a relocation for each.
constexpr char kActionLines[kRecordActionCount][sizeof "Delete machine key"] = {
    "", "", "", "Open user key", "Open machine key", "Delete value", "Delete user key", "Delete machine key", "",
};
static_assert(static_cast<std::size_t>(RecordAction::PushDirectory) + 1 == kActions.size());

void SinkStatus(void*, const char* text) { SetStatus(text); }
void SinkAct(void*, RecordAction action, const char* text) {
  const auto i = static_cast<std::size_t>(action);
  const bool ok = kActions[i](text);
  if (kActionLines[i][0] != '\0') DiagRemoval(ok, kActionLines[i], text);
  DiagFlush();  // a run ended from outside leaves every record it acted on in the log
}
void SinkProgress(void*, std::size_t taken) {
  ShowWalkPosition(gUninstaller.display, ProgressPosition(taken, gUninstaller.logSize));
}

constexpr RecordSink kDialogSink = {nullptr, SinkStatus, SinkAct, SinkProgress};

bool GrowDirectories(DirectoryStack& stack) {
  const std::size_t capacity = stack.capacity == 0 ? kDirectoryStackCapacity : stack.capacity * 2;
  const SIZE_T bytes = capacity * sizeof(const char*);
  HLOCAL grown = stack.entries == nullptr
                     ? LocalAlloc(LPTR, bytes)
                     : LocalReAlloc(reinterpret_cast<HLOCAL>(stack.entries), bytes, LMEM_MOVEABLE | LMEM_ZEROINIT);
  if (grown == nullptr) return false;
  stack.entries = static_cast<const char**>(grown);
  stack.capacity = capacity;
  return true;
}

void TakeDirectoryStack() {
  DirectoryStack& stack = gUninstaller.directories;
  stack.entries = static_cast<const char**>(LocalAlloc(LPTR, kDirectoryStackCapacity * sizeof(const char*)));
  stack.capacity = stack.entries != nullptr ? kDirectoryStackCapacity : 0;
  stack.count = 0;
  stack.grow = GrowDirectories;
}

void ReleaseDirectoryStack() {
  DirectoryStack& stack = gUninstaller.directories;
  if (stack.entries != nullptr) LocalFree(reinterpret_cast<HLOCAL>(stack.entries));
  stack.entries = nullptr;
  stack.capacity = 0;
  stack.count = 0;
}

void ReleaseLog() {
  if (gUninstaller.logBlock != nullptr) LocalFree(gUninstaller.logBlock);
  gUninstaller.logBlock = nullptr;
  gUninstaller.walk = LogWalk{};
}

void StartDialog(HWND dialog) {
  gUninstaller.dialog = dialog;
  AttachWalkDisplay(gUninstaller.display, GetDlgItem(dialog, IDC_PROGRESS), GetDlgItem(dialog, IDC_STATUS),
                    GetDlgItem(dialog, IDC_MESSAGE));
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_UNINSTALL));
  if (icon != nullptr) SetClassLongPtrA(dialog, GCLP_HICON, reinterpret_cast<LONG_PTR>(icon));
  StartDialogScale(gUninstaller.scale, dialog);
  SetStatus(gUninstaller.logPath);
  const bool loaded = gUninstaller.loaded = LoadLog(gUninstaller.logPath);
  TakeDirectoryStack();
  if (gUninstaller.refused) SetMessage("Refused: others can change this log; nothing removed.");
  if (!loaded) return;
  BeginWalk(gUninstaller.walk, gUninstaller.logBlock, gUninstaller.logSize);
  SetMessage("Press the <Uninstall> button for start the removing:");
  EnableWindow(GetDlgItem(dialog, IDC_UNINSTALL), TRUE);
  const std::uint8_t type = NextRecord(gUninstaller.walk);
  DispatchRecord(type, gUninstaller.walk.currentText, kDialogSink);
}

void CloseDialog() {
  CloseOpenKey();
  ReleaseDirectoryStack();
  ReleaseLog();
  ReleaseAllFolders();
  EndDialog(gUninstaller.dialog, 0);
}

}  // namespace

namespace {

constexpr char kRefusedLine[] = "Log refused: %s: %s";
constexpr char kLinkText[] = "a link or a second name";

// The log's folder is the root: it is held from here to the end of the run, and only
// the administrators may change it.
bool RootTrusted(HANDLE folder, const char* path) {
  if (gUninstaller.rootChecked) return true;
  gUninstaller.rootChecked = true;
  char why[kTrustWhyCapacity];
  if (OnlyAdministratorsCanChange(folder, why)) return true;
  DiagLog(kRefusedLine, path, why);
  return false;
}

// Opens the log without following a link, and takes it only when its folder and the
// file itself can be changed by the administrators alone: a log lists what an
// administrator's uninstall deletes. Its bytes are read from that same handle.
HANDLE OpenTrustedLog(const char* path) {
  char root[kLogPathCapacity];
  CopyText(root, sizeof root, path);
  CutToParent(root);
  if (lstrlenA(root) == lstrlenA(path)) CopyText(root, sizeof root, ".");
  gUninstaller.rootChecked = false;
  const PathState state = GuardRoot(root, RootTrusted);
  if (state == PathState::Missing) return INVALID_HANDLE_VALUE;
  // A drive's root has no level to check, and is no installation's folder.
  if (state == PathState::Link || !gUninstaller.rootChecked) {
    if (!gUninstaller.rootChecked) DiagLog(kRefusedLine, root, kLinkText);
    gUninstaller.refused = true;
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  FileFacts info;
  HANDLE file = OpenUnfollowed(path, GENERIC_READ | READ_CONTROL, FILE_SHARE_READ, OPEN_EXISTING, &info);
  if (file == INVALID_HANDLE_VALUE) return file;
  char why[kTrustWhyCapacity];
  CopyText(why, sizeof why, kLinkText);
  const bool plain = IsPlainFile(info);
  if (plain && OnlyAdministratorsCanChange(file, why)) return file;
  DiagLog(kRefusedLine, path, why);
  gUninstaller.refused = true;
  CloseHandle(file);
  SetLastError(ERROR_ACCESS_DENIED);
  return INVALID_HANDLE_VALUE;
}

}  // namespace

bool LoadLog(const char* path) {
  gUninstaller.refused = false;
  if (path[0] == '\0') return false;
  HANDLE file = OpenTrustedLog(path);
  if (file == INVALID_HANDLE_VALUE) return false;
  const DWORD size = GetFileSize(file, nullptr);
  if (size == INVALID_FILE_SIZE) {
    CloseHandle(file);
    return false;
  }
  SendDlgItemMessageA(gUninstaller.dialog, IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, ProgressRange(size)));
  // An empty log still gets a block of its own, so loaded always means a block.
  auto* block = static_cast<std::uint8_t*>(LocalAlloc(LPTR, size != 0 ? size : 1));
  if (block == nullptr) {
    CloseHandle(file);
    return false;
  }
  DWORD read = 0;
  const BOOL ok = ReadFile(file, block, size, &read, nullptr);
  CloseHandle(file);
  if (!ok || read != size) {
    LocalFree(block);
    return false;
  }
  gUninstaller.logBlock = block;
  gUninstaller.logSize = size;
  return true;
}

namespace {

// A folder that another program holds open cannot be opened for its removal; whether it
// would have been kept anyway is asked of its entries.
bool HoldsSomething(const char* path) {
  char pattern[kLogPathCapacity + 2];
  if (CopyText(pattern, sizeof pattern, path) != TextLength(path) || AppendText(pattern, sizeof pattern, "\\*") != 2)
    return false;
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA(pattern, &entry);
  bool holds = false;
  while (find != INVALID_HANDLE_VALUE && !holds) {
    const char* n = entry.cFileName;
    holds = !(n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0')));
    if (!holds && !FindNextFileA(find, &entry)) break;
  }
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
  return holds;
}

}  // namespace

void RemoveDirectories() {
  const std::size_t logged = gUninstaller.directories.count;
  while (const char* path = PopDirectory(gUninstaller.directories)) {
    const PathState state = Check(path);
    if (LeftByLink(path, state)) continue;
    // Let go of before it is removed, and removed through the handle that was checked.
    ReleaseFolder(path);
    FileFacts info;
    HANDLE folder = state == PathState::Missing ? INVALID_HANDLE_VALUE : OpenForDeletion(path, &info);
    if (folder != INVALID_HANDLE_VALUE &&
        (info.attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != FILE_ATTRIBUTE_DIRECTORY) {
      CloseHandle(folder);
      folder = INVALID_HANDLE_VALUE;
      SetLastError(ERROR_DIRECTORY);
    }
    if (state == PathState::Missing) SetLastError(ERROR_PATH_NOT_FOUND);
    // A folder that still holds something is kept by design: not a failure.
    const bool removed = folder != INVALID_HANDLE_VALUE && DeleteThroughHandle(folder);
    if (!removed && GetLastError() == ERROR_SHARING_VIOLATION && HoldsSomething(path)) SetLastError(ERROR_DIR_NOT_EMPTY);
    if (!removed && GetLastError() == ERROR_DIR_NOT_EMPTY) {
      DiagLog("Remove folder %s: not empty, kept", path);
    } else {
      DiagRemoval(removed, "Remove folder", path);
    }
    DiagFlush();
  }
  // Popping leaves the entries in place, so the folders can still be named.
  ScheduleHoldingFolders(gUninstaller.directories.entries, logged);
  DiagFlush();
  ReleaseDirectoryStack();
}

void RunRemoval() {
  if (gUninstaller.logBlock == nullptr || gUninstaller.removed) return;
  gUninstaller.removed = true;
  ShowWindow(gUninstaller.display.bar, SW_SHOW);
  BeginWalkDisplay(gUninstaller.display, ProgressRange(gUninstaller.logSize));
  WalkLog(gUninstaller.walk, TimedSink(kDialogSink));
  EndWalkDisplay(gUninstaller.display);
  CloseOpenKey();
  DiagRemoval(DeleteFileA(gUninstaller.logPath) != FALSE, "Delete", gUninstaller.logPath);
  RemoveDirectories();
  TimeRemovalEnd();
  SetStatus("Uninstall is ready !");
  const char* finished = RestartCompletesRemoval() ? "Finished. Restart Windows to complete the removal !" : "Finished";
  char line[96];
  if (gUninstaller.leftByLink != 0) {
    wsprintfA(line, "%s (%u paths through a link left alone)", finished, gUninstaller.leftByLink);
    finished = line;
  }
  SetMessage(finished);
  ShowWindow(GetDlgItem(gUninstaller.dialog, IDC_UNINSTALL), SW_HIDE);
  SetItem(IDC_CANCEL, "Finish");
}

INT_PTR CALLBACK UninstallDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      StartDialog(dialog);
      return TRUE;
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) return 0;
      if (LOWORD(wParam) == IDC_UNINSTALL) {
        gUninstaller.ideRunning = !NoIdeRunning(dialog);
        if (!gUninstaller.ideRunning) RunRemoval();
      }
      if (LOWORD(wParam) == IDC_CANCEL) CloseDialog();
      return 0;
    case WM_CLOSE:
      CloseDialog();
      return 0;
    case kDpiChangedMessage:
      // Handled here, the change is not also the dialog manager's (Windows 10 1703 and
      // later would lay the template out once more; Wine does nothing).
      RescaleDialog(gUninstaller.scale, dialog, wParam, lParam);
      return TRUE;
    default:
      return 0;
  }
}
