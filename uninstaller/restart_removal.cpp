// Deletion through the handle that was checked, and at the next restart (MoveFileExA,
// MOVEFILE_DELAY_UNTIL_REBOOT) of what the log names and what is in use now. Only texts
// of the log are ever scheduled. Deletion through a handle came with Windows Vista:
// this file alone needs its declarations, the rest of the programs keep the older ones.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#include "uninstaller/restart_removal.h"

#include <windows.h>

#include "services/diag_log.h"
#include "services/link_check.h"
#include "uninstaller/restart_order.h"

namespace {

PendingFiles gPending;
bool gScheduled = false;
bool gRestartNeeded = false;  // something other than the uninstaller's own file was scheduled

bool Identify(HANDLE file, BY_HANDLE_FILE_INFORMATION* info) {
  return file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, info) != FALSE;
}

bool Identify(const char* path, BY_HANDLE_FILE_INFORMATION* info) {
  HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  const bool ok = Identify(file, info);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return ok;
}

// The name after the last separator.
const char* LastName(const char* path) {
  const char* name = path;
  for (const char* p = path; *p != '\0'; ++p)
    if (*p == '\\' || *p == '/') name = p + 1;
  return name;
}

// The running program's own file, looked up once, and its name.
BY_HANDLE_FILE_INFORMATION gOwn;
char gOwnPath[MAX_PATH];
int gOwnKnown = 0;  // 1: looked up, 2: found

const BY_HANDLE_FILE_INFORMATION* OwnFile() {
  if (gOwnKnown == 0) {
    const DWORD n = GetModuleFileNameA(nullptr, gOwnPath, MAX_PATH);
    gOwnKnown = n != 0 && n < MAX_PATH && Identify(gOwnPath, &gOwn) ? 2 : 1;
  }
  return gOwnKnown == 2 ? &gOwn : nullptr;
}

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

// Compared as files, not as names: a 32-bit uninstaller on 64-bit Windows runs from
// SysWOW64 while the log names the system32 that the installer saw. Only a file of the
// program's own name can be it (another name of it is a second name, never deleted), so
// no other file costs the look-up of its identity.
bool IsOwnFile(const char* path, HANDLE opened) {
  BY_HANDLE_FILE_INFORMATION other;
  if (OwnFile() == nullptr || lstrcmpiA(LastName(path), LastName(gOwnPath)) != 0) return false;
  return (opened != INVALID_HANDLE_VALUE ? Identify(opened, &other) : Identify(path, &other)) && SameFile(*OwnFile(), other);
}

// Windows carries out a scheduled deletion at start-up, where no folder is redirected:
// a 32-bit uninstaller on 64-bit Windows names a file of its system32 (as the log names
// the uninstaller and the package copies) by the SysWOW64 that holds it.
const char* NameAtRestart(const char* path, char (&out)[MAX_PATH]) {
  if (sizeof(void*) != 4) return path;
  char system[MAX_PATH];
  const UINT s = GetSystemDirectoryA(system, MAX_PATH);
  const UINT w = GetSystemWow64DirectoryA(out, MAX_PATH);  // 0 on 32-bit Windows
  const int length = lstrlenA(path);
  if (s == 0 || s >= MAX_PATH || w == 0 || w >= MAX_PATH || length <= static_cast<int>(s) || path[s] != '\\' ||
      CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, path, static_cast<int>(s), system, static_cast<int>(s)) !=
          CSTR_EQUAL ||
      w + (length - s) >= MAX_PATH)
    return path;
  lstrcpyA(out + w, path + s);
  return out;
}

bool ScheduleAtRestart(const char* path) {
  char translated[MAX_PATH];
  if (!DiagResult(MoveFileExA(NameAtRestart(path, translated), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE,
                  "Left for the restart", path))
    return false;
  gScheduled = true;
  return true;
}

void ScheduleIfStillThere(void*, const char* folder) {
  const DWORD attributes = GetFileAttributesA(folder);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) ScheduleAtRestart(folder);
}

}  // namespace

// In the diagnostic log a file in use is not a failure: its line is the schedule's.
bool DeleteOrSchedule(const char* path) {
  FileFacts info;
  HANDLE file = OpenForDeletion(path, &info);
  bool deleted = false;
  bool own = false;
  DWORD error = GetLastError();
  // A folder held open by a process (its current folder) is no file in use.
  const DWORD byName = file == INVALID_HANDLE_VALUE ? GetFileAttributesA(path) : 0;
  if (byName != INVALID_FILE_ATTRIBUTES && (byName & FILE_ATTRIBUTE_DIRECTORY) != 0) error = ERROR_ACCESS_DENIED;
  if (file != INVALID_HANDLE_VALUE) {
    // A link, or a file with a second name, leads somewhere the installer never wrote.
    if ((info.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ? !IsPlainFile(info)
                                                           : (info.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      CloseHandle(file);
      return false;
    }
    // What Windows answers for a folder deleted as a file, and for its running program
    // (which Wine would delete).
    own = (info.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && IsOwnFile(path, file);
    if ((info.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || own) {
      CloseHandle(file);
      error = ERROR_ACCESS_DENIED;
    } else {
      deleted = DeleteThroughHandle(file);
      error = deleted ? ERROR_SUCCESS : GetLastError();
    }
  }
  // Windows refuses to delete a running program's file with "access denied" (as it
  // refuses a read-only one); whatever the answer, the uninstaller's own file never
  // makes the removal wait for a restart. A file that could not be opened is asked by name.
  if (file == INVALID_HANDLE_VALUE && (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION))
    own = IsOwnFile(path, INVALID_HANDLE_VALUE);
  // A name that nothing can have (a wildcard, a bad path) is not there either.
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME ||
      error == ERROR_BAD_PATHNAME) {
    DiagLog("Delete %s: not there", path);  // never made, or removed by hand: nothing to do
  } else if (deleted || (error != ERROR_SHARING_VIOLATION && !own)) {  // done, or another reason than use
    DiagOutcome(!deleted, error, "Delete", path, "");
  } else if (!IsPendingFile(gPending, path) && ScheduleAtRestart(path)) {
    NotePendingFile(gPending, path);
    if (!own) gRestartNeeded = true;
  }
  return true;
}

void ScheduleHoldingFolders(const char* const* folders, std::size_t count) {
  if (folders != nullptr) ForEachHoldingFolder(folders, count, gPending, ScheduleIfStillThere, nullptr);
}

bool RestartCompletesRemoval() { return gScheduled; }

bool RestartNeeded() { return gRestartNeeded; }

bool DeleteThroughHandle(HANDLE object) {
  FILE_DISPOSITION_INFO disposition = {TRUE};
  const bool marked = SetFileInformationByHandle(object, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
  const DWORD error = GetLastError();
  CloseHandle(object);
  SetLastError(marked ? ERROR_SUCCESS : error);
  return marked;
}
