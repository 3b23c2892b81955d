// The demo's Windows side, run under Wine by scripts/demo.sh.
//   demo_walk walk SETUP_EXE SHOT_FOLDER   walks the wizard page by page, runs the
//                                           uninstall command the installer registered,
//                                           screenshots every page of both programs,
//                                           and prints the report
//   demo_walk save LOG_COPY                 after a person's own installation: keeps a
//                                           copy of the log the installer registered
//   demo_walk uninstall                     starts the registered uninstall command
//                                           exactly as registered and waits for it
//   demo_walk report LOG_COPY               the report, from a copy of the log
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/driver/driver.h"
#include "tests/driver/png_writer.h"
#include "uninstlog/log_format.h"

using namespace driver;

namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvel Lib";
constexpr const char* kIdeKeys[] = {
    "Software\\Borland\\Delphi\\3.0",      "Software\\Borland\\Delphi\\4.0",      "Software\\Borland\\Delphi\\5.0",
    "Software\\Borland\\Delphi\\6.0",      "Software\\Borland\\Delphi\\7.0",      "Software\\Borland\\BDS\\3.0",
    "Software\\Borland\\C++Builder\\3.0", "Software\\Borland\\C++Builder\\4.0", "Software\\Borland\\C++Builder\\5.0",
    "Software\\Borland\\C++Builder\\6.0"};

struct Record {
  unsigned type;
  std::string text;
};

std::vector<Record> ParseLog(const std::string& bytes) {
  std::vector<Record> records;
  size_t i = 0;
  while (i < bytes.size()) {
    const unsigned type = static_cast<unsigned char>(bytes[i]);
    const size_t end = bytes.find('\0', i + 1);
    if (type == 0 || end == std::string::npos) break;
    records.push_back({type, bytes.substr(i + 1, end - i - 1)});
    i = end + 1;
  }
  return records;
}

int Fail(const char* what) {
  std::printf("demo: %s\n", what);
  return 1;
}

void Say(const char* what) {
  std::printf("demo: %s\n", what);
  std::fflush(stdout);
}

void Shot(HWND window, const std::string& folder, const char* name) {
  Pixels p, previous;
  // Take the picture once two captures in a row agree: the page has finished painting.
  for (int i = 0; i < 40; ++i) {
    if (!Capture(window, &p)) return;
    if (i > 0 && p.rgb == previous.rgb) break;
    previous = p;
    Sleep(25);
  }
  WritePng(folder + "\\" + name + ".png", p.width, p.height, p.rgb);
}

bool WaitLabel(HWND dialog, const char* label, DWORD timeoutMs) {
  return WaitUntil([&] { return ItemText(dialog, 107) == label; }, timeoutMs);
}

std::string UninstallCommand() {
  std::string command;
  RegGetString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", &command);
  return command;
}

// The log path the registered command names: everything after the program name.
std::string LogPathOf(const std::string& command) {
  const size_t blank = command.find(' ');
  return blank == std::string::npos ? std::string() : command.substr(blank + 1);
}

int BuildCommandsRun() {
  int n = 0;
  for (const char* key : kIdeKeys) {
    std::string root, journal;
    if (!RegGetString(HKEY_LOCAL_MACHINE, key, "RootDir", &root) &&
        !RegGetString(HKEY_CURRENT_USER, key, "RootDir", &root))
      continue;
    if (!ReadFileBytes(root + "\\buildtools.log", &journal)) continue;
    for (char c : journal) n += c == '\n';
  }
  return n;
}

// What keeps a folder from being removed: the names in it, up to a few.
std::string Contents(const std::string& folder) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::string names;
  int n = 0;
  do {
    if (std::strcmp(fd.cFileName, ".") == 0 || std::strcmp(fd.cFileName, "..") == 0) continue;
    if (++n <= 5) names += std::string(names.empty() ? "" : ", ") + fd.cFileName;
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  if (n > 5) names += ", ...";
  return names;
}

void Report(const std::vector<Record>& log, size_t logBytes, DWORD installMs, DWORD uninstallMs, bool uninstalled) {
  char sys[MAX_PATH] = {};
  GetSystemDirectoryA(sys, sizeof sys);
  const std::string ownExe = std::string(sys) + "\\qlnclear.exe";
  int components = 0, files = 0, folders = 0, values = 0;
  std::vector<std::string> left;
  std::vector<std::string> seen;
  unsigned keyType = 0;
  std::string key, names;
  for (const Record& r : log) {
    switch (r.type) {
      case LogType::Component:
        ++components;
        names += (names.empty() ? "" : ",") + r.text;
        break;
      case LogType::File: {
        bool again = false;
        for (const auto& f : seen) again = again || lstrcmpiA(f.c_str(), r.text.c_str()) == 0;
        if (again) break;
        seen.push_back(r.text);
        ++files;
        // The uninstaller cannot delete its own file while it runs.
        if (FileExists(r.text) && lstrcmpiA(r.text.c_str(), ownExe.c_str()) != 0) left.push_back("file   " + r.text);
        break;
      }
      case LogType::Directory:
        ++folders;
        if (DirectoryExists(r.text)) {
          const std::string inside = Contents(r.text);
          left.push_back("folder " + r.text + (inside.empty() ? "" : "  (still holds: " + inside + ")"));
        }
        break;
      case LogType::UserKey:
      case LogType::MachineKey:
        keyType = r.type;
        key = r.text;
        break;
      case LogType::ValueName:
        ++values;
        if (keyType != 0 &&
            RegValueExists(keyType == LogType::UserKey ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, key.c_str(),
                           r.text.c_str()))
          left.push_back("value  " + key + " : " + r.text);
        keyType = 0;
        break;
      default:
        break;
    }
  }
  std::printf("\nReport\n");
  std::printf("  components installed   %d (%s)\n", components, names.c_str());
  std::printf("  files created          %d\n", files);
  std::printf("  folders created        %d\n", folders);
  std::printf("  registry values        %d\n", values);
  std::printf("  log records            %zu (%zu bytes)\n", log.size(), logBytes);
  std::printf("  build commands run     %d\n", BuildCommandsRun());
  if (installMs != 0) std::printf("  installation took      %.1f s\n", installMs / 1000.0);
  if (uninstallMs != 0) std::printf("  uninstall took         %.1f s\n", uninstallMs / 1000.0);
  if (!uninstalled) {
    std::printf("  uninstall              not run\n");
  } else if (left.empty()) {
    std::printf("  left after uninstall   nothing that the log named (qlnclear.exe, which was running, is left for the restart)\n");
  } else {
    std::printf("  left after uninstall   %zu of what the log named (qlnclear.exe, which was running, is left for the restart):\n", left.size());
    for (const auto& l : left) std::printf("    %s\n", l.c_str());
  }
  std::fflush(stdout);
}

int Walk(const std::string& setupExe, const std::string& shots) {
  CreateDirectoryA(shots.c_str(), nullptr);
  Program setup;
  if (!Start("\"" + setupExe + "\"", &setup)) return Fail("setup.exe did not start");
  HWND wizard = WaitForWindow(setup.pid, "#32770", "Tarvel Lib Installation", 30000);
  if (wizard == nullptr || !WaitLabel(wizard, "step 1/4", 10000)) return Fail("the wizard did not open");
  Say("page 1: welcome");
  Shot(wizard, shots, "setup-1-welcome");
  Click(wizard, 202);
  if (!WaitLabel(wizard, "step 2/4", 10000)) return Fail("the component page did not come");
  Say("page 2: components and destination");
  Shot(wizard, shots, "setup-2-components");
  const DWORD installStart = GetTickCount();
  Click(wizard, 202);
  if (!WaitLabel(wizard, "step 3/4", 10000)) return Fail("the installation page did not come");
  Say("page 3: installing");
  Shot(wizard, shots, "setup-3-installing");
  if (!WaitUntil([&] { return ItemText(wizard, 107) == "step 4/4" && IsEnabled(wizard, 203); }, 600000))
    return Fail("the installation did not finish within 10 minutes");
  const DWORD installMs = GetTickCount() - installStart;
  Say("page 4: finished");
  Shot(wizard, shots, "setup-4-finish");
  Click(wizard, 203);
  DWORD code = 0;
  if (!WaitExit(setup, 10000, &code)) return Fail("setup.exe did not end after Finish");

  const std::string command = UninstallCommand();
  if (command.empty()) return Fail("the installer registered no uninstall command");
  std::string logBytes;
  if (!ReadFileBytes(LogPathOf(command), &logBytes)) return Fail("the uninstall log named by the command is missing");
  const std::vector<Record> log = ParseLog(logBytes);

  Say(("uninstalling: " + command).c_str());
  Program remover;
  if (!Start(command, &remover)) return Fail("the uninstall command did not start");
  HWND dialog = WaitForWindow(remover.pid, "#32770", "Uninstall - Quillon", 30000);
  if (dialog == nullptr || !WaitUntil([&] { return IsEnabled(dialog, 202); }, 10000))
    return Fail("the uninstaller did not load the log");
  Shot(dialog, shots, "uninstall-1-ready");
  const DWORD uninstallStart = GetTickCount();
  Click(dialog, 202);
  if (!WaitUntil([&] { return ItemText(dialog, 103) == "Uninstall is ready !"; }, 600000))
    return Fail("the uninstaller did not finish");
  const DWORD uninstallMs = GetTickCount() - uninstallStart;
  Shot(dialog, shots, "uninstall-2-finished");
  Click(dialog, 203);
  WaitExit(remover, 10000, &code);
  Report(log, logBytes.size(), installMs, uninstallMs, true);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "walk" && argc == 4) return Walk(argv[2], argv[3]);
  if (mode == "save" && argc == 3) {
    std::string bytes;
    const std::string command = UninstallCommand();
    if (command.empty()) return Fail("no installation is registered");
    if (!ReadFileBytes(LogPathOf(command), &bytes) || !WriteFileBytes(argv[2], bytes))
      return Fail("the uninstall log could not be copied");
    return 0;
  }
  if (mode == "uninstall" && argc == 2) {
    Program remover;
    const std::string command = UninstallCommand();
    if (command.empty() || !Start(command, &remover)) return Fail("the uninstall command did not start");
    DWORD code = 0;
    WaitExit(remover, INFINITE, &code);
    return static_cast<int>(code);
  }
  if (mode == "report" && argc == 3) {
    std::string bytes;
    if (!ReadFileBytes(argv[2], &bytes)) return Fail("no copy of the uninstall log");
    Report(ParseLog(bytes), bytes.size(), 0, 0, UninstallCommand().empty());
    return 0;
  }
  std::printf("usage: demo_walk walk SETUP_EXE SHOT_FOLDER | save LOG_COPY | uninstall | report LOG_COPY\n");
  return 2;
}
