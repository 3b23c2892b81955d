// The look for a running IDE: every process in a snapshot, its image in the long form,
// compared with each IDE's Bin folder by the portable rule.
#include "services/running_ide.h"

#include <tlhelp32.h>

#include "services/diag_log.h"
#include "services/directory_path.h"

namespace {

using QueryImageFn = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);

// Windows before Vista has no QueryFullProcessImageNameA: there the first module's
// path stands for the image.
bool ImageOf(QueryImageFn query, DWORD pid, char* image) {
  BOOL ok = FALSE;
  if (query != nullptr) {
    HANDLE process = OpenProcess(0x1000 /* PROCESS_QUERY_LIMITED_INFORMATION */, FALSE, pid);
    DWORD size = MAX_PATH;
    ok = process != nullptr && query(process, 0, image, &size);
    if (process != nullptr) CloseHandle(process);
    return ok;
  }
  HANDLE modules = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
  MODULEENTRY32 module;
  module.dwSize = sizeof module;
  ok = modules != INVALID_HANDLE_VALUE && Module32First(modules, &module);
  if (modules != INVALID_HANDLE_VALUE) CloseHandle(modules);
  module.szExePath[MAX_PATH - 1] = '\0';
  if (ok) lstrcpyA(image, module.szExePath);
  return ok;
}

// A short name ("PROGRA~1") and its long form name the same folder; a path that is
// not there, or whose long form does not fit, stays as it is. Windows' short names hold
// a '~'; a path without one is asked nothing (each ask reads every folder on the path).
void ToLongForm(char* path) {
  const char* p = path;
  while (*p != '\0' && *p != '~') ++p;
  if (*p == '\0') return;
  char longer[MAX_PATH];
  const DWORD n = GetLongPathNameA(path, longer, MAX_PATH);
  if (n != 0 && n < MAX_PATH) lstrcpyA(path, longer);
}

}  // namespace

bool SetIdeBin(IdeFolder& ide, const char* root) {
  const int n = lstrlenA(root);
  if (n == 0 || n + static_cast<int>(sizeof "\\Bin") > MAX_PATH) return false;
  lstrcpyA(ide.bin, root);
  lstrcatA(ide.bin, root[n - 1] == '\\' || root[n - 1] == '/' ? "Bin" : "\\Bin");
  ToLongForm(ide.bin);
  return true;
}

unsigned FindRunningIdes(const IdeFolder* ides, int count, IdePrograms* programs) {
  unsigned found = 0;
  if (count > kMaxIdes) count = kMaxIdes;
  // Nothing to look for costs no snapshot.
  HANDLE snapshot = count > 0 ? CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0) : INVALID_HANDLE_VALUE;
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  const auto query = reinterpret_cast<QueryImageFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA")));
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    char image[MAX_PATH];
    if (!ImageOf(query, entry.th32ProcessID, image)) continue;
    ToLongForm(image);
    for (int i = 0; i < count; ++i) {
      if (!LiesInFolder(image, ides[i].bin)) continue;
      DiagLog("%s is running: process %lu, %s", ides[i].name, entry.th32ProcessID, image);
      found |= 1u << i;
      if (programs != nullptr && programs->count < kMaxPrograms) programs->pid[programs->count++] = entry.th32ProcessID;
    }
  }
  CloseHandle(snapshot);
  // A box or a wait for the IDE to close comes next.
  DiagFlush();
  return found;
}

bool IdesClosed(HWND owner, const char* caption, const IdeFolder* ides, int count) {
  for (;;) {
    const unsigned running = FindRunningIdes(ides, count, nullptr);
    if (running == 0) return true;
    if (owner == nullptr) return false;
    // Room for every name and the request.
    char text[kMaxIdes * (sizeof ides->name + 2) + 64];
    text[0] = '\0';
    const char* request = " is running. Close it";
    for (int i = 0; i < kMaxIdes && (running >> i) != 0; ++i) {
      if (((running >> i) & 1u) == 0) continue;
      if (text[0] != '\0') {
        lstrcatA(text, ", ");
        request = " are running. Close them";
      }
      lstrcatA(text, ides[i].name);
    }
    lstrcatA(text, request);
    lstrcatA(text, ", then press Retry.");
    if (MessageBoxA(owner, text, caption, MB_ICONEXCLAMATION | MB_RETRYCANCEL) != IDRETRY) return false;
  }
}
