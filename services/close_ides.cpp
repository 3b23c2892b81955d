// /CLOSEAPPLICATIONS, which only setup.exe offers: asking the running IDEs to close.
#include "services/diag_log.h"
#include "services/running_ide.h"

namespace {

constexpr DWORD kCloseWait = 30000;

BOOL CALLBACK CloseWindowOf(HWND window, LPARAM pid) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == static_cast<DWORD>(pid) && IsWindowVisible(window)) PostMessageA(window, WM_CLOSE, 0, 0);
  return TRUE;
}

}  // namespace

bool CloseIdes(const IdeFolder* ides, int count) {
  IdePrograms programs = {};
  if (FindRunningIdes(ides, count, &programs) == 0) return true;
  // The handle is taken before the window is asked, so the wait is on that very process.
  HANDLE ends[kMaxPrograms];
  DWORD waited = 0;
  for (int i = 0; i < programs.count; ++i) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, programs.pid[i]);
    if (process != nullptr) ends[waited++] = process;
    EnumWindows(CloseWindowOf, static_cast<LPARAM>(programs.pid[i]));
  }
  if (waited != 0) WaitForMultipleObjects(waited, ends, TRUE, kCloseWait);
  for (DWORD i = 0; i < waited; ++i) CloseHandle(ends[i]);
  const bool closed = FindRunningIdes(ides, count, nullptr) == 0;
  DiagLog("Asked the IDEs to close: %s", closed ? "closed" : "still running");
  return closed;
}
