// Driving setup.exe's wizard: pages, list rows, clean-up, the registered uninstall.
#include "tests/wine/wizard/wizard_session.h"

namespace wizard {

using namespace driver;

bool Start(Session* s, const char* exe, const std::string& arguments) {
  if (!driver::Start("\"" + BuildPath(exe) + "\" " + arguments, &s->program)) return false;
  s->dialog = WaitForWindow(s->program.pid, "#32770", "Tarvel Lib Installation");
  return s->dialog != nullptr && WaitStep(*s, 1);
}

bool WaitStep(Session& s, int n, DWORD timeoutMs) {
  const std::string label = "step " + std::to_string(n) + "/4";
  return WaitUntil([&] { return ItemText(s.dialog, 107) == label; }, timeoutMs);
}

static int CurrentStep(Session& s) {
  const std::string label = ItemText(s.dialog, 107);
  return label.size() == 8 ? label[5] - '0' : 0;
}

bool Next(Session& s) {
  const int step = CurrentStep(s);
  Click(s.dialog, 202);
  return WaitStep(s, step + 1);
}

bool Prev(Session& s) {
  const int step = CurrentStep(s);
  Click(s.dialog, 201);
  return WaitStep(s, step - 1);
}

bool WaitFinished(Session& s, DWORD timeoutMs) {
  return WaitUntil([&] { return CurrentStep(s) == 4 && IsEnabled(s.dialog, 203); }, timeoutMs);
}

bool Finish(Session& s, DWORD* exitCode) {
  Click(s.dialog, 203);
  return WaitExit(s.program, 10000, exitCode);
}

void End(Session& s) { Kill(s.program); }

std::vector<Row> ListRows(Session& s) {
  std::vector<Row> rows;
  HWND list = Item(s.dialog, 121);
  const LRESULT n = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    wchar_t wide[512] = {};
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
    char text[512] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    rows.push_back({text, static_cast<long>(SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0))});
  }
  return rows;
}

void ClickRow(Session& s, int i) {
  HWND list = Item(s.dialog, 121);
  RECT r = {};
  SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
  const LPARAM at = MAKELPARAM(r.left + 40, (r.top + r.bottom) / 2);
  SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(list, WM_LBUTTONUP, 0, at);
}

// Both registry views and both system folders: what a build of the other bitness
// left behind there would otherwise be taken for this build's work.
void CleanRegistry() {
  RegDeleteTree(HKEY_CURRENT_USER, "Software\\Borland");
  for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    RegDeleteTree(HKEY_LOCAL_MACHINE, "Software\\Borland", view);
    RegDeleteTree(HKEY_LOCAL_MACHINE, "Software\\Quillon", view);
    RegDeleteTree(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvel Lib", view);
    HKEY help = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\Help", 0, KEY_SET_VALUE | view, &help) ==
        ERROR_SUCCESS) {
      RegDeleteValueA(help, "tarvel.hlp");
      RegDeleteValueA(help, "tarvel.cnt");
      RegCloseKey(help);
    }
  }
}

void CleanSystem() {
  WIN32_FIND_DATAA fd;
  for (const std::string& sys : {NativeSystemDir(), Wow64SystemDir()}) {
    for (const char* pattern : {"\\tarvel*.bpl", "\\tarvel*.dpl", "\\qlnclear.exe"}) {
      HANDLE h = FindFirstFileA((sys + pattern).c_str(), &fd);
      if (h == INVALID_HANDLE_VALUE) continue;
      do {
        DeleteFileA((sys + "\\" + fd.cFileName).c_str());
      } while (FindNextFileA(h, &fd));
      FindClose(h);
    }
  }
  RemoveTree("C:\\tvtest");
  RemoveTree("C:\\TarvelLib");  // the proposal when no IDE is installed
  // Every registered uninstall leaves its own file for the restart.
  ForgetPendingRenames();
}

void CleanSlate() {
  CleanRegistry();
  CleanSystem();
  CreateDirectoryA("C:\\tvtest", nullptr);
}

bool MakeIde(const char* version, const std::string& root, const std::string& options) {
  Program kit;
  const std::string line = "\"" + BuildPath("tools/idekit.exe") + "\" " + version + " \"" + root + "\" " + options;
  DWORD code = 1;
  return driver::Start(line, &kit) && WaitExit(kit, 30000, &code) && code == 0;
}

bool Install(Session& s, const std::string& root) {
  if (ItemText(s.dialog, 107) == "step 1/4" && !Next(s)) return false;
  if (!root.empty()) SetItemText(s.dialog, 120, root.c_str());
  Click(s.dialog, 202);
  return WaitStep(s, 3) && WaitFinished(s);
}

std::vector<LogRecord> ReadLog(const std::string& path) {
  std::vector<LogRecord> records;
  std::string bytes;
  if (!ReadFileBytes(path, &bytes)) return records;
  size_t i = 0;
  while (i < bytes.size()) {
    const size_t end = bytes.find('\0', i + 1);
    if (end == std::string::npos) break;
    records.push_back({static_cast<unsigned char>(bytes[i]), bytes.substr(i + 1, end - i - 1)});
    i = end + 1;
  }
  return records;
}

std::string NativeSystemDir() {
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, sizeof windows);
  // A 32-bit program reaches the native system folder only as Sysnative.
  return std::string(windows) + (sizeof(void*) == 4 ? "\\Sysnative" : "\\System32");
}

std::string Wow64SystemDir() {
  char folder[MAX_PATH] = {};
  GetSystemWow64DirectoryA(folder, sizeof folder);
  return folder;
}

std::string UninstallerFile() {
  return (sizeof(void*) == 4 ? Wow64SystemDir() : SystemDir()) + "\\qlnclear.exe";
}

std::string SystemDir() {
  char sys[MAX_PATH] = {};
  GetSystemDirectoryA(sys, sizeof sys);
  return sys;
}

std::string UninstallAsRegistered(DWORD expectedCode) {
  std::string command;
  if (!RegGetString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvel Lib",
                    "UninstallString", &command))
    return "no uninstall command registered";
  // As the Apps page, a 64-bit program, starts it: the command line alone, a bare name
  // searched in the 64-bit system folder, the current one and PATH. An i686 test has
  // the 64-bit command interpreter start it, which searches the same way.
  Program shell;
  if (sizeof(void*) == 4) {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    if (!driver::Start("\"" + std::string(windows) + "\\Sysnative\\cmd.exe\" /c \"" + command + "\"", &shell))
      return "cannot start the 64-bit cmd.exe";
  } else if (!driver::Start(command, &shell)) {
    return "cannot start " + command;
  }
  HWND dialog = WaitForWindow(0, "#32770", "Uninstall - Quillon");
  Program remover;
  if (dialog != nullptr) GetWindowThreadProcessId(dialog, &remover.pid);
  remover.process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, remover.pid);
  // An uninstaller that went wrong does not outlive the check.
  auto fail = [&remover, &shell](const std::string& why) {
    Kill(remover);
    Kill(shell);
    return why;
  };
  if (remover.process == nullptr) return fail("no uninstaller window for " + command + ": " + DescribeWindows(shell.pid));
  if (!WaitUntil([&] { return IsEnabled(dialog, 202); })) return fail("Uninstall never enabled");
  Click(dialog, 202);
  if (!WaitUntil([&] { return ItemText(dialog, 103) == "Uninstall is ready !"; }, 60000))
    return fail("the uninstall did not finish: " + ItemText(dialog, 103));
  // Its own running file is always left for the restart.
  if (ItemText(dialog, 102) != "Finished. Restart Windows to complete the removal !")
    return fail("finish message: " + ItemText(dialog, 102));
  Click(dialog, 203);
  DWORD code = 1;
  if (!WaitExit(remover, 10000, &code)) return fail("the uninstaller did not end");
  Kill(shell);
  return code == expectedCode ? "" : "the uninstaller ended with " + std::to_string(code);
}

}  // namespace wizard
