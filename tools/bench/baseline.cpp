// bench_baseline.exe: the floor for a full installation on this machine. It does the
// installation's own work — the same payload bytes to the same paths, the same registry
// values, the same stand-in build commands started hidden and waited for — straight
// from a flat list of Win32 calls, then undoes it the way the uninstaller would, with
// no wizard, no per-step interpretation and no log.
//
//   bench_baseline.exe ROOT RESULTFILE
//
// The list is made first from the component table and the scripts (not timed), so the
// timed part holds only the system calls. RESULTFILE gets one line:
//   install_us remove_us operations processes peak_working_set_bytes
#include <windows.h>
#include <psapi.h>

#include <cstdio>

#include "engine/component_table.h"
#include "engine/macros.h"
#include "engine/script_step.h"
#include "engine/script_tables.h"
#include "engine/text.h"

namespace {

enum class Op { Extract, Directory, Copy, Run, SetValue, AppendSearchPath, Append, Delete };

struct Action {
  Op op;
  HKEY root;
  unsigned id;
  char* a;  // path, key or command line
  char* b;  // value name, target or directory
  char* c;  // data
};

struct Removal {
  int kind;  // 0 file, 1 directory, 2 value, 3 machine key
  HKEY root;
  char* a;
  char* b;
};

constexpr int kMaxActions = 2048;
Action gActions[kMaxActions];
int gActionCount = 0;
Removal gRemovals[kMaxActions];
int gRemovalCount = 0;

char gMacroValues[kMacroCount][kMacroValueCapacity];
char gScratch[kExpansionScratchCapacity];
MacroTable gMacros;

char* Keep(const char* text) {
  const int n = lstrlenA(text) + 1;
  char* copy = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(n)));
  if (copy != nullptr) lstrcpyA(copy, text);
  return copy;
}

char* Expanded(const char* templ) {
  static char out[kExpansionScratchCapacity];
  ExpandMacros(gMacros, templ != nullptr ? templ : "", out, sizeof out);
  return Keep(out);
}

void Add(Op op, HKEY root, unsigned id, char* a, char* b, char* c) {
  if (gActionCount < kMaxActions) gActions[gActionCount++] = {op, root, id, a, b, c};
}

void Remember(int kind, HKEY root, char* a, char* b) {
  if (gRemovalCount < kMaxActions) gRemovals[gRemovalCount++] = {kind, root, a, b};
}

bool ReadRootDir(HKEY root, const char* key, char* out) {
  HKEY k = nullptr;
  if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS) return false;
  DWORD size = kMacroValueCapacity - 1;
  const LONG rc = RegQueryValueExA(k, "RootDir", nullptr, nullptr, reinterpret_cast<BYTE*>(out), &size);
  RegCloseKey(k);
  return rc == ERROR_SUCCESS && out[0] != '\0';
}

void PlanStep(const ScriptStep& step) {
  const StepTexts s = TextsOf(scripts::kTexts, step);
  char* p = Expanded(s.a);
  switch (step.opcode) {
    case Opcode::ExtractPayload:
      Add(Op::Extract, nullptr, step.b, p, nullptr, nullptr);
      Remember(0, nullptr, p, nullptr);
      break;
    case Opcode::MakeDirectory:
      Add(Op::Directory, nullptr, 0, p, nullptr, nullptr);
      Remember(1, nullptr, p, nullptr);
      break;
    case Opcode::CopyToFile: {
      char* to = Expanded(s.b);
      Add(Op::Copy, nullptr, 0, p, to, nullptr);
      Remember(0, nullptr, to, nullptr);
      break;
    }
    case Opcode::RunBuildTool:
      Add(Op::Run, nullptr, 0, p, Expanded(s.b), nullptr);
      break;
    case Opcode::RegisterPackage: {
      char* key = Expanded("$DELPHI_REG$\\Known Packages");
      Add(Op::SetValue, HKEY_CURRENT_USER, 0, key, p, Keep(s.b != nullptr ? s.b : ""));
      Remember(2, HKEY_CURRENT_USER, key, p);
      break;
    }
    case Opcode::UpdateSearchPath:
      Add(Op::AppendSearchPath, HKEY_CURRENT_USER, 0, Expanded("$DELPHI_REG$\\Library"), Keep(s.b), p);
      break;
    case Opcode::RegisterHelpFile: {
      char* name = Expanded(s.b);
      char* key = Keep("Software\\Microsoft\\Windows\\Help");
      Add(Op::SetValue, HKEY_LOCAL_MACHINE, 0, key, name, p);
      Remember(2, HKEY_LOCAL_MACHINE, key, name);
      break;
    }
    case Opcode::AppendOnce:
      Add(Op::Append, nullptr, 0, p, Expanded(s.b), nullptr);
      break;
    case Opcode::RemoveFile:
      Add(Op::Delete, nullptr, 0, p, nullptr, nullptr);
      break;
    case Opcode::SetSubDir:
      SetMacroValue(gMacros, Macro::SubDir, p);
      break;
    case Opcode::SetSubFile:
      SetMacroValue(gMacros, Macro::SubFile, p);
      break;
    case Opcode::SetMachineValue:
    case Opcode::SetUserValue: {
      HKEY root = step.opcode == Opcode::SetMachineValue ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
      char* name = Expanded(s.b);
      Add(Op::SetValue, root, 0, p, name, Expanded(s.c));
      Remember(2, root, p, name);
      break;
    }
    case Opcode::RecordBuildOutput:
      Remember(0, nullptr, p, nullptr);
      break;
    default:  // window texts and stale-registration pruning: nothing to do on a clean machine
      break;
  }
}

void Plan(const char* home) {
  for (int i = 0; i < kMacroCount; ++i) gMacros.values[i] = gMacroValues[i];
  gMacros.scratch = gScratch;
  SetMacroValue(gMacros, Macro::HomeDir, home);
  GetSystemDirectoryA(MacroValue(gMacros, Macro::SysDir), kMacroValueCapacity);
  ReadRootDir(HKEY_LOCAL_MACHINE, "Software\\Quillon\\Tarvel Lib", MacroValue(gMacros, Macro::HomeOld));
  Add(Op::Directory, nullptr, 0, Keep(home), nullptr, nullptr);
  Remember(1, nullptr, Keep(home), nullptr);
  for (ComponentEntry* row = ComponentTable(); row->caption != nullptr; ++row) {
    if (row->ideKey != nullptr) {
      char root[kMacroValueCapacity] = {};
      if (!ReadRootDir(HKEY_LOCAL_MACHINE, row->ideKey, root) && !ReadRootDir(HKEY_CURRENT_USER, row->ideKey, root))
        continue;
      SetMacroValue(gMacros, Macro::DelphiDir, root);
      SetMacroValue(gMacros, Macro::DelphiReg, row->ideKey);
      char* shortForm = MacroValue(gMacros, Macro::DelphiDirShort);
      const DWORD n = GetShortPathNameA(root, shortForm, kMacroValueCapacity);
      if (n == 0 || n >= kMacroValueCapacity) shortForm[0] = '\0';
    }
    for (const ScriptStep* s = row->script; s->a != 0; ++s) PlanStep(*s);
  }
  Add(Op::SetValue, HKEY_LOCAL_MACHINE, 0, Keep("Software\\Quillon\\Tarvel Lib"), Keep("RootDir"), Keep(home));
  Remember(3, HKEY_LOCAL_MACHINE, Keep("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvel Lib"), nullptr);
}

void SetValue(HKEY root, const char* key, const char* name, const char* data) {
  HKEY k = nullptr;
  if (RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) != ERROR_SUCCESS) return;
  RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), static_cast<DWORD>(lstrlenA(data) + 1));
  RegCloseKey(k);
}

void MakeDirectory(char* path) {
  if (CreateDirectoryA(path, nullptr) || GetLastError() != ERROR_PATH_NOT_FOUND) return;
  for (char* q = path + 3; *q != '\0'; ++q) {
    if (*q != '\\') continue;
    *q = '\0';
    CreateDirectoryA(path, nullptr);
    *q = '\\';
  }
  CreateDirectoryA(path, nullptr);
}

int gProcesses = 0;

void Perform(const Action& x) {
  switch (x.op) {
    case Op::Extract: {
      HANDLE f = CreateFileA(x.a, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (f == INVALID_HANDLE_VALUE) return;
      HRSRC info = FindResourceA(nullptr, MAKEINTRESOURCEA(x.id), MAKEINTRESOURCEA(10));
      if (info != nullptr) {
        const void* bytes = LockResource(LoadResource(nullptr, info));
        DWORD written = 0;
        if (bytes != nullptr) WriteFile(f, bytes, SizeofResource(nullptr, info), &written, nullptr);
      }
      CloseHandle(f);
      return;
    }
    case Op::Directory:
      MakeDirectory(x.a);
      return;
    case Op::Copy:
      CopyFileA(x.a, x.b, FALSE);
      return;
    case Op::Run: {
      STARTUPINFOA si = {};
      si.cb = sizeof si;
      si.dwFlags = STARTF_USESHOWWINDOW;
      si.wShowWindow = SW_HIDE;
      PROCESS_INFORMATION pi = {};
      if (!CreateProcessA(nullptr, x.a, nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, x.b, &si, &pi)) return;
      ++gProcesses;
      WaitForSingleObject(pi.hProcess, INFINITE);
      CloseHandle(pi.hProcess);
      CloseHandle(pi.hThread);
      return;
    }
    case Op::SetValue:
      SetValue(x.root, x.a, x.b, x.c);
      return;
    case Op::AppendSearchPath: {
      static char value[4096];
      value[0] = '\0';
      HKEY k = nullptr;
      if (RegOpenKeyExA(x.root, x.a, 0, KEY_QUERY_VALUE, &k) == ERROR_SUCCESS) {
        DWORD size = sizeof value - 1;
        if (RegQueryValueExA(k, x.b, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
          value[0] = '\0';
        RegCloseKey(k);
      }
      AppendText(value, sizeof value, x.c);
      SetValue(x.root, x.a, x.b, value);
      return;
    }
    case Op::Append: {
      HANDLE f = CreateFileA(x.a, FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (f == INVALID_HANDLE_VALUE) return;
      DWORD written = 0;
      WriteFile(f, x.b, static_cast<DWORD>(lstrlenA(x.b)), &written, nullptr);
      CloseHandle(f);
      return;
    }
    case Op::Delete:
      DeleteFileA(x.a);
      return;
  }
}

void Undo(const Removal& r) {
  switch (r.kind) {
    case 0:
      DeleteFileA(r.a);
      return;
    case 2: {
      HKEY k = nullptr;
      if (RegOpenKeyExA(r.root, r.a, 0, KEY_WRITE, &k) != ERROR_SUCCESS) return;
      RegDeleteValueA(k, r.b);
      RegCloseKey(k);
      return;
    }
    case 3:
      RegDeleteKeyA(r.root, r.a);
      return;
    default:  // directories go last, deepest first
      return;
  }
}

long long Micros(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
  return (to.QuadPart - from.QuadPart) * 1000000 / frequency.QuadPart;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bench_baseline ROOT RESULTFILE\n");
    return 2;
  }
  Plan(argv[1]);
  LARGE_INTEGER frequency, t0, t1, t2;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&t0);
  for (int i = 0; i < gActionCount; ++i) Perform(gActions[i]);
  QueryPerformanceCounter(&t1);
  for (int i = 0; i < gRemovalCount; ++i) Undo(gRemovals[i]);
  for (int i = gRemovalCount - 1; i >= 0; --i)
    if (gRemovals[i].kind == 1) RemoveDirectoryA(gRemovals[i].a);
  QueryPerformanceCounter(&t2);
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  FILE* out = std::fopen(argv[2], "w");
  if (out == nullptr) return 1;
  std::fprintf(out, "%lld %lld %d %d %llu\n", Micros(t0, t1, frequency), Micros(t1, t2, frequency), gActionCount,
               gProcesses, static_cast<unsigned long long>(memory.PeakWorkingSetSize));
  std::fclose(out);
  return 0;
}
