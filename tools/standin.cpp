// Shared part of the stand-in build tools: root, journal, arguments, outputs.
#include "tools/standin.h"

#include "engine/text.h"

namespace {

void AppendToFile(const char* path, const char* text) {
  HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, text, static_cast<DWORD>(TextLength(text)), &written, nullptr);
  CloseHandle(file);
}

// Splits after the program name; double quotes group blanks and are dropped, so
// make's `/ftarvelb5.mak"` with its lone trailing quote reads as /ftarvelb5.mak.
void SplitArguments(const char* line, ToolRun& run) {
  const char* p = line;
  bool quoted = false;
  while (*p != '\0' && (quoted || (*p != ' ' && *p != '\t'))) {
    if (*p == '"') quoted = !quoted;
    ++p;
  }
  run.argCount = 0;
  for (;;) {
    while (*p == ' ' || *p == '\t') ++p;
    if (*p == '\0' || run.argCount == kMaxArgs) return;
    char* out = run.args[run.argCount++];
    DWORD n = 0;
    quoted = false;
    while (*p != '\0' && (quoted || (*p != ' ' && *p != '\t'))) {
      if (*p == '"') {
        quoted = !quoted;
      } else if (n + 1 < MAX_PATH) {
        out[n++] = *p;
      }
      ++p;
    }
    out[n] = '\0';
  }
}

void InRoot(const ToolRun& run, const char* name, char* path) {
  CopyText(path, MAX_PATH, run.root);
  AppendText(path, MAX_PATH, name);
}

void ConfigPath(const ToolRun& run, char* path) {
  InRoot(run, "\\Bin\\", path);
  AppendText(path, MAX_PATH, kToolConfigName);
}

// ProbeHandle: the value of a handle on "probe.txt" in the root that the test holds
// open and inheritable. Reaching that very file by the value means the handle was
// inherited by every process between the test and this tool: "inherited.txt" says so.
void ProbeInheritance(const ToolRun& run, const char* config) {
  const UINT value = GetPrivateProfileIntA("tool", "ProbeHandle", 0, config);
  // Asked before this tool opens the file itself, which could get that very value.
  BY_HANDLE_FILE_INFORMATION probed, probe;
  if (value == 0 || !GetFileInformationByHandle(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(value)), &probed))
    return;
  char path[MAX_PATH];
  InRoot(run, "\\probe.txt", path);
  HANDLE own = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (own == INVALID_HANDLE_VALUE) return;
  if (GetFileInformationByHandle(own, &probe) && probed.dwVolumeSerialNumber == probe.dwVolumeSerialNumber &&
      probed.nFileIndexHigh == probe.nFileIndexHigh && probed.nFileIndexLow == probe.nFileIndexLow) {
    char mark[MAX_PATH];
    InRoot(run, "\\inherited.txt", mark);
    AppendToFile(mark, "inherited\r\n");
  }
  CloseHandle(own);
}

// HoldEvent: the name of an event the test sets. Until then (a minute at most) the
// tool waits with "held.txt" in the root, as a hung build would; then it ends without
// outputs.
void HoldIfAsked(const ToolRun& run, const char* config) {
  char name[64];
  if (GetPrivateProfileStringA("tool", "HoldEvent", "", name, sizeof name, config) == 0) return;
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, name);
  char mark[MAX_PATH];
  InRoot(run, "\\held.txt", mark);
  AppendToFile(mark, "held\r\n");
  if (release != nullptr) WaitForSingleObject(release, 60000);
  DeleteFileA(mark);
  ExitProcess(1);
}

void ReadConfig(ToolRun& run) {
  CopyText(run.packageExt, sizeof run.packageExt, ".bpl");
  run.delayMs = 0;
  char path[MAX_PATH];
  ConfigPath(run, path);
  char value[32];
  if (GetPrivateProfileStringA("tool", "PackageExt", "", value, sizeof value, path) > 0) {
    CopyText(run.packageExt, sizeof run.packageExt, value);
  }
  run.delayMs = GetPrivateProfileIntA("tool", "DelayMs", 0, path);
  ProbeInheritance(run, path);
}

void ShowState(char* out, DWORD capacity) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  GetStartupInfoA(&si);
  if ((si.dwFlags & STARTF_USESHOWWINDOW) == 0) {
    CopyText(out, capacity, "show=default");
  } else if (si.wShowWindow == SW_HIDE) {
    CopyText(out, capacity, "show=hide");
  } else {
    wsprintfA(out, "show=%u", static_cast<unsigned>(si.wShowWindow));
  }
}

}  // namespace

void BeginRun(ToolRun& run) {
  ZeroMemory(&run, sizeof run);
  GetModuleFileNameA(nullptr, run.root, sizeof run.root);
  CutToParent(run.root);  // the Bin folder
  CutToParent(run.root);  // the IDE root
  GetCurrentDirectoryA(sizeof run.current, run.current);
  const char* line = GetCommandLineA();
  SplitArguments(line, run);
  ReadConfig(run);

  char journal[MAX_PATH];
  CopyText(journal, sizeof journal, run.root);
  AppendText(journal, sizeof journal, "\\");
  AppendText(journal, sizeof journal, kJournalName);
  char show[32];
  ShowState(show, sizeof show);
  // One write per line keeps the line whole; the command line may be long.
  const DWORD size = static_cast<DWORD>(TextLength(line) + TextLength(run.current) + sizeof show + 8);
  char* text = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size));
  if (text == nullptr) return;
  CopyText(text, size, line);
  AppendText(text, size, "\t");
  AppendText(text, size, run.current);
  AppendText(text, size, "\t");
  AppendText(text, size, show);
  AppendText(text, size, "\r\n");
  AppendToFile(journal, text);
  HeapFree(GetProcessHeap(), 0, text);
  char config[MAX_PATH];
  ConfigPath(run, config);
  HoldIfAsked(run, config);
}

bool FileThere(const char* name) {
  const DWORD attributes = GetFileAttributesA(name);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void BaseName(const char* name, char* base, DWORD capacity) {
  const char* start = name;
  for (const char* p = name; *p != '\0'; ++p) {
    if (*p == '\\' || *p == '/' || *p == ':') start = p + 1;
  }
  CopyText(base, capacity, start);
  char* dot = nullptr;
  for (char* p = base; *p != '\0'; ++p) {
    if (*p == '.') dot = p;
  }
  if (dot != nullptr) *dot = '\0';
}

bool WriteOutput(const char* base, const char* ext, const char* project) {
  char name[MAX_PATH];
  CopyText(name, sizeof name, base);
  AppendText(name, sizeof name, ext);
  HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char text[2 * MAX_PATH + 64];
  CopyText(text, sizeof text, "Tarvel stand-in build output ");
  AppendText(text, sizeof text, name);
  AppendText(text, sizeof text, " from ");
  AppendText(text, sizeof text, project);
  AppendText(text, sizeof text, "\r\n");
  DWORD written = 0;
  const BOOL ok = WriteFile(file, text, static_cast<DWORD>(TextLength(text)), &written, nullptr);
  CloseHandle(file);
  return ok != FALSE;
}

void SimulateBuildTime(const ToolRun& run) {
  if (run.delayMs > 0) Sleep(run.delayMs < 60000 ? run.delayMs : 60000);
}
