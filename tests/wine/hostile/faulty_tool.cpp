// A build tool that goes wrong, copied over a stand-in IDE's dcc32.exe or make.exe:
// fault.txt beside it says how ("exit" ends with status 3, "crash" writes through a
// null pointer). It never writes the output a build would leave.
#include <windows.h>

namespace {

LONG WINAPI EndQuietly(EXCEPTION_POINTERS* info) {
  // Ends with the exception's code, as an unattended crash does, without a debugger.
  TerminateProcess(GetCurrentProcess(), info->ExceptionRecord->ExceptionCode);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int main() {
  char path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 2;
  char* slash = path;
  for (char* p = path; *p; ++p)
    if (*p == '\\') slash = p + 1;
  lstrcpyA(slash, "fault.txt");
  char how[16] = {};
  HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f != INVALID_HANDLE_VALUE) {
    DWORD read = 0;
    ReadFile(f, how, sizeof how - 1, &read, nullptr);
    CloseHandle(f);
  }
  if (lstrcmpA(how, "crash") == 0) {
    SetUnhandledExceptionFilter(EndQuietly);
    volatile int* nowhere = nullptr;
    *nowhere = 1;
  }
  return 3;
}
