// The GUI test driver's Win32 side.
#include "tests/driver/driver.h"

// windows.h first: the ACL and descriptor-string headers build on its types.
#include <aclapi.h>
#include <sddl.h>

#include <cstdio>

#include "tests/driver/png_writer.h"

namespace driver {

std::string UnixToWindows(const std::string& unixPath) {
  std::string out = "Z:";
  for (char c : unixPath) out += (c == '/') ? '\\' : c;
  return out;
}

std::string BuildPath(const char* relative) {
  return UnixToWindows(std::string(TARVEL_BINARY_DIR) + "/" + relative);
}

std::string SourcePath(const char* relative) {
  return UnixToWindows(std::string(TARVEL_SOURCE_DIR) + "/" + relative);
}

bool Start(const std::string& commandLine, Program* program, const char* workingDirectory) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, workingDirectory, &si, &pi)) {
    return false;
  }
  CloseHandle(pi.hThread);
  program->process = pi.hProcess;
  program->pid = pi.dwProcessId;
  return true;
}

namespace {

bool StartWith(const std::string& commandLine, Program* program, STARTUPINFOA& si, BOOL inherit, DWORD flags) {
  PROCESS_INFORMATION pi = {};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, inherit, flags, nullptr, nullptr, &si, &pi)) return false;
  CloseHandle(pi.hThread);
  program->process = pi.hProcess;
  program->pid = pi.dwProcessId;
  return true;
}

}  // namespace

bool StartFromConsole(const std::string& commandLine, Program* program, const std::string& outputPath) {
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  HANDLE out = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = out;
  si.hStdError = out;
  const bool started = StartWith(commandLine, program, si, TRUE, 0);
  CloseHandle(out);
  return started;
}

bool StartWithoutConsole(const std::string& commandLine, Program* program) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  return StartWith(commandLine, program, si, FALSE, DETACHED_PROCESS);
}

namespace {

// "<class> '<text>'": how a window is named in what the driver reports.
std::string Describe(HWND window) {
  char cls[256] = {};
  GetClassNameA(window, cls, sizeof cls);
  return std::string(cls) + " '" + Text(window) + "'";
}

struct Watch {
  DWORD pid;
  std::string* shown;
};

BOOL CALLBACK WatchProc(HWND window, LPARAM param) {
  auto* watch = reinterpret_cast<Watch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != watch->pid || !IsWindowVisible(window)) return TRUE;
  const std::string line = Describe(window) + "\n";
  if (watch->shown->find(line) == std::string::npos) *watch->shown += line;
  return TRUE;
}

}  // namespace

bool WaitExitUnseen(Program& program, DWORD timeoutMs, DWORD* exitCode, std::string* shown) {
  Watch watch = {program.pid, shown};
  const DWORD start = GetTickCount();
  while (program.process != nullptr && WaitForSingleObject(program.process, 1) == WAIT_TIMEOUT) {
    if (GetTickCount() - start > timeoutMs) return false;
    EnumWindows(WatchProc, reinterpret_cast<LPARAM>(&watch));
  }
  return WaitExit(program, 0, exitCode);
}

bool WaitExit(Program& program, DWORD timeoutMs, DWORD* exitCode) {
  if (program.process == nullptr) return false;
  if (WaitForSingleObject(program.process, timeoutMs) != WAIT_OBJECT_0) return false;
  DWORD code = 0;
  GetExitCodeProcess(program.process, &code);
  if (exitCode != nullptr) *exitCode = code;
  CloseHandle(program.process);
  program.process = nullptr;
  return true;
}

void Kill(Program& program) {
  if (program.process == nullptr) return;
  if (WaitForSingleObject(program.process, 0) == WAIT_TIMEOUT) {
    TerminateProcess(program.process, 99);
    WaitForSingleObject(program.process, 5000);
  }
  CloseHandle(program.process);
  program.process = nullptr;
}

namespace {

struct FindData {
  DWORD pid;
  const char* className;
  const char* caption;
  HWND found;
  std::string* description;
};

BOOL CALLBACK FindProc(HWND window, LPARAM param) {
  auto* d = reinterpret_cast<FindData*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (d->pid != 0 && pid != d->pid) return TRUE;
  if (d->description != nullptr) {
    *d->description += Describe(window) + (IsWindowVisible(window) ? "" : " (hidden)") + "\n";
    return TRUE;
  }
  char cls[256] = {};
  GetClassNameA(window, cls, sizeof cls);
  const std::string text = Text(window);
  if (d->className != nullptr && lstrcmpiA(cls, d->className) != 0) return TRUE;
  if (d->caption != nullptr && text != d->caption) return TRUE;
  d->found = window;
  return FALSE;
}

}  // namespace

HWND FindTopWindow(DWORD pid, const char* className, const char* caption) {
  FindData d = {pid, className, caption, nullptr, nullptr};
  EnumWindows(FindProc, reinterpret_cast<LPARAM>(&d));
  return d.found;
}

HWND WaitForWindow(DWORD pid, const char* className, const char* caption, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindTopWindow(pid, className, caption)) != nullptr; }, timeoutMs);
  return found;
}

namespace {

struct OtherWindowData {
  DWORD pid;
  const char* cls;
  HWND except;
  HWND found;
};

BOOL CALLBACK FindOtherProc(HWND w, LPARAM p) {
  auto* d = reinterpret_cast<OtherWindowData*>(p);
  DWORD owner = 0;
  GetWindowThreadProcessId(w, &owner);
  char cls[256] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (owner != d->pid || w == d->except || !IsWindowVisible(w) || lstrcmpiA(cls, d->cls) != 0) return TRUE;
  d->found = w;
  return FALSE;
}

}  // namespace

HWND FindOtherWindow(DWORD pid, const char* className, HWND except) {
  OtherWindowData d = {pid, className, except, nullptr};
  EnumWindows(FindOtherProc, reinterpret_cast<LPARAM>(&d));
  return d.found;
}

std::string DescribeWindows(DWORD pid) {
  std::string out;
  FindData d = {pid, nullptr, nullptr, nullptr, &out};
  EnumWindows(FindProc, reinterpret_cast<LPARAM>(&d));
  return out.empty() ? std::string("(no windows)\n") : out;
}

std::string Text(HWND window) {
  if (window == nullptr) return {};
  char buffer[8192] = {};
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                      5000, &result);
  return buffer;
}

HWND Item(HWND dialog, int id) { return GetDlgItem(dialog, id); }
std::string ItemText(HWND dialog, int id) { return Text(Item(dialog, id)); }
bool IsShown(HWND dialog, int id) { return IsWindowVisible(Item(dialog, id)) != FALSE; }
bool IsEnabled(HWND dialog, int id) { return IsWindowEnabled(Item(dialog, id)) != FALSE; }

void Click(HWND dialog, int id) { PostMessageA(Item(dialog, id), BM_CLICK, 0, 0); }

void Command(HWND dialog, int id, int notification) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, notification), 0);
}

void Close(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

void SetItemText(HWND dialog, int id, const char* text) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(Item(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                      &result);
}

HWND WaitForMessageBox(DWORD pid, const char* caption, DWORD timeoutMs) {
  return WaitForWindow(pid, "#32770", caption, timeoutMs);
}

std::string MessageBoxText(HWND box) { return ItemText(box, 0xFFFF); }

void AnswerMessageBox(HWND box, int buttonId) {
  // The box may label its buttons by ID; a posted command reaches it either way.
  if (Item(box, buttonId) != nullptr) {
    Click(box, buttonId);
  } else {
    Command(box, buttonId, BN_CLICKED);
  }
}

RECT RectInParent(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  HWND parent = GetAncestor(window, GA_PARENT);
  if (parent != nullptr && parent != GetDesktopWindow()) {
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  }
  return r;
}

RECT ClientRect(HWND window) {
  RECT r = {};
  GetClientRect(window, &r);
  return r;
}

void SetDpi(DWORD dpi) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
  RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
  RegCloseKey(key);
}

bool Capture(HWND window, Pixels* pixels, bool clientOnly) {
  RECT r = {};
  if (clientOnly) {
    GetClientRect(window, &r);
  } else {
    GetWindowRect(window, &r);
    OffsetRect(&r, -r.left, -r.top);
  }
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return false;
  HDC source = clientOnly ? GetDC(window) : GetWindowDC(window);
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(memory, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib == nullptr || bits == nullptr) {
    DeleteDC(memory);
    ReleaseDC(window, source);
    return false;
  }
  HGDIOBJ old = SelectObject(memory, dib);
  const BOOL ok = BitBlt(memory, 0, 0, w, h, source, 0, 0, SRCCOPY);
  pixels->width = w;
  pixels->height = h;
  pixels->rgb.assign(static_cast<const unsigned*>(bits), static_cast<const unsigned*>(bits) + w * h);
  for (unsigned& p : pixels->rgb) p &= 0xFFFFFF;
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(window, source);
  return ok != FALSE;
}

bool SaveSettledCapture(HWND window, const std::string& path) {
  Pixels p;
  Pixels previous;
  for (int i = 0; i < 40; ++i) {
    if (!Capture(window, &p)) return false;
    if (i > 0 && p.rgb == previous.rgb) break;
    previous = p;
    Sleep(25);
  }
  return WritePng(path, p.width, p.height, p.rgb);
}

std::string SaveScreenshot(HWND window, const char* name) {
  const std::string folder = BuildPath("artifacts");
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string path = folder + "\\" + name + ".png";
  return SaveSettledCapture(window, path) ? path : std::string();
}

bool RegSetString(HKEY root, const char* key, const char* name, const char* value) {
  HKEY k = nullptr;
  if (RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) != ERROR_SUCCESS) return false;
  const LONG rc = RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), lstrlenA(value) + 1);
  RegCloseKey(k);
  return rc == ERROR_SUCCESS;
}

bool RegGetString(HKEY root, const char* key, const char* name, std::string* value) {
  HKEY k = nullptr;
  if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS) return false;
  char buffer[16384] = {};
  DWORD size = sizeof buffer - 1;
  const LONG rc = RegQueryValueExA(k, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(k);
  if (rc != ERROR_SUCCESS) return false;
  *value = buffer;
  return true;
}

bool RegValueExists(HKEY root, const char* key, const char* name) {
  HKEY k = nullptr;
  if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS) return false;
  const LONG rc = RegQueryValueExA(k, name, nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(k);
  return rc == ERROR_SUCCESS;
}

bool RegKeyExists(HKEY root, const char* key, REGSAM view) {
  HKEY k = nullptr;
  if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE | view, &k) != ERROR_SUCCESS) return false;
  RegCloseKey(k);
  return true;
}

void RegDeleteTree(HKEY root, const char* key, REGSAM view) {
  HKEY k = nullptr;
  if (RegOpenKeyExA(root, key, 0, KEY_READ | KEY_WRITE | view, &k) == ERROR_SUCCESS) {
    char name[1024];
    for (;;) {
      DWORD size = sizeof name;
      if (RegEnumKeyExA(k, 0, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      const std::string child = std::string(key) + "\\" + name;
      RegDeleteTree(root, child.c_str(), view);
      if (RegKeyExists(root, child.c_str(), view)) break;  // cannot delete: stop rather than spin
    }
    RegCloseKey(k);
  }
  RegDeleteKeyExA(root, key, view, 0);
}

bool RegGetRaw(HKEY root, const char* key, const char* name, DWORD* type, std::string* data) {
  HKEY k = nullptr;
  if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS) return false;
  DWORD size = 0;
  LONG rc = RegQueryValueExA(k, name, nullptr, type, nullptr, &size);
  data->assign(size, '\0');
  if (rc == ERROR_SUCCESS && size != 0)
    rc = RegQueryValueExA(k, name, nullptr, type, reinterpret_cast<BYTE*>(data->data()), &size);
  RegCloseKey(k);
  data->resize(size);
  return rc == ERROR_SUCCESS;
}

static const char kSessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";

std::vector<std::string> PendingRenames() {
  std::vector<std::string> out;
  DWORD type = 0;
  std::string data;
  if (!RegGetRaw(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations", &type, &data)) return out;
  if (type != REG_MULTI_SZ) return {"not a REG_MULTI_SZ: type " + std::to_string(type)};
  // Pairs of NT paths, source then target; an empty target is a deletion.
  std::vector<std::string> strings;
  for (size_t at = 0; at < data.size();) {
    const size_t end = data.find('\0', at);
    strings.push_back(data.substr(at, end == std::string::npos ? std::string::npos : end - at));
    if (end == std::string::npos) break;
    at = end + 1;
  }
  while (!strings.empty() && strings.back().empty()) strings.pop_back();
  if (strings.size() % 2 != 0) strings.push_back("");  // the last deletion's empty target
  auto dos = [](const std::string& nt) { return nt.rfind("\\??\\", 0) == 0 ? nt.substr(4) : nt; };
  for (size_t i = 0; i + 1 < strings.size(); i += 2) {
    out.push_back(strings[i + 1].empty() ? dos(strings[i]) : "rename " + dos(strings[i]) + " -> " + dos(strings[i + 1]));
  }
  return out;
}

void ForgetPendingRenames() {
  HKEY k = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &k) != ERROR_SUCCESS) return;
  RegDeleteValueA(k, "PendingFileRenameOperations");
  RegCloseKey(k);
}

bool FileExists(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool ReadFileBytes(const std::string& path, std::string* bytes) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  const DWORD size = GetFileSize(f, nullptr);
  bytes->assign(size, '\0');
  DWORD read = 0;
  const BOOL ok = size == 0 || ReadFile(f, bytes->data(), size, &read, nullptr);
  CloseHandle(f);
  return ok && read == size;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = bytes.empty() || WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(f);
  return ok && written == bytes.size();
}

bool StartStandinIde(const std::string& path, Program* program, HWND* window) {
  for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
    CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
  if (!CopyFileA(BuildPath("tools/ideprogram.exe").c_str(), path.c_str(), FALSE) || !Start("\"" + path + "\"", program))
    return false;
  *window = WaitForWindow(program->pid, "TarvelStandinIde", nullptr);
  return *window != nullptr;
}

std::string FreshFolder(const char* tag) {
  static unsigned counter = 0;
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  char name[MAX_PATH + 64];
  std::snprintf(name, sizeof name, "%stv_%s_%lu_%u", temp, tag, GetCurrentProcessId(), ++counter);
  RemoveTree(name);
  CreateDirectoryA(name, nullptr);
  return name;
}

namespace {

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.c_str(),
                                                        static_cast<int>(prefix.size()), prefix.c_str(),
                                                        static_cast<int>(prefix.size())) == CSTR_EQUAL;
}

}  // namespace

// Only what the tests make may be removed: a folder below the temp folder or below
// C:\tvtest. An empty or relative path would name the current drive's root, and
// the Z: drive is the host's own file system.
bool MayRemoveTree(const std::string& path) {
  if (path.size() < 4 || path[1] != ':' || path[2] != '\\' || path.find("..") != std::string::npos) return false;
  char temp[MAX_PATH] = {};
  const DWORD n = GetTempPathA(sizeof temp, temp);
  const std::string tempDir = n > 3 && n < sizeof temp ? temp : "";
  return (!tempDir.empty() && path.size() > tempDir.size() && StartsWithNoCase(path, tempDir)) ||
         StartsWithNoCase(path + "\\", "C:\\tvtest\\") || StartsWithNoCase(path + "\\", "C:\\TarvelLib\\");
}

namespace {

// The host's name of a path in the prefix, by Wine's own converter.
std::string UnixName(const std::string& path) {
  using Convert = char*(CDECL*)(const wchar_t*);
  const auto convert = reinterpret_cast<Convert>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  char* name = convert != nullptr ? convert(std::wstring(path.begin(), path.end()).c_str()) : nullptr;
  const std::string out = name != nullptr ? name : "";
  if (name != nullptr) HeapFree(GetProcessHeap(), 0, name);
  return out;
}

// Runs a host program (Wine starts one by its host name, and gives no exit code of it)
// on path until path is, or is no longer, a link.
bool RunHost(const std::string& command, const std::string& path, bool link) {
  Program p;
  if (!Start(command + " \"" + UnixName(path) + "\"", &p)) return false;
  CloseHandle(p.process);
  return WaitUntil([&] {
    const DWORD a = GetFileAttributesA(path.c_str());
    return (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT) != 0) == link;
  });
}

}  // namespace

bool MakeLink(const std::string& link, const std::string& target) {
  return RunHost("/bin/ln -s \"" + UnixName(target) + "\"", link, true);
}

bool LetEveryoneChange(const std::string& path) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;OICI;FA;;;WD)", SDDL_REVISION_1, &descriptor,
                                                            nullptr))
    return false;
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  const bool set = GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) &&
                   SetNamedSecurityInfoA(const_cast<char*>(path.c_str()), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                         nullptr, nullptr, dacl, nullptr) == ERROR_SUCCESS;
  LocalFree(descriptor);
  return set;
}

void RemoveTree(const std::string& path) {
  if (!MayRemoveTree(path)) {
    std::fprintf(stderr, "RemoveTree: refused to remove '%s'\n", path.c_str());
    return;
  }
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      const std::string full = path + "\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // Only the link goes (Wine's RemoveDirectoryA would remove the folder it names).
        RunHost("/bin/rm -f", full, false);
      } else if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(full.c_str());
      }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(path.c_str());
}

}  // namespace driver
