// The unattended demo: walks setup.exe's wizard page by page, runs the uninstall
// command the installer registered, saves a screenshot of every page of both
// programs, and prints a report of what the installation made and what is left.
//   demo_walk.exe SETUP_EXE SHOT_FOLDER [--report-only LOG_COPY]
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/driver/driver.h"
#include "tests/driver/png_writer.h"
#include "uninstlog/log_format.h"

using namespace driver;

namespace {

struct LogRecord {
  unsigned type;
  std::string text;
};

std::vector<LogRecord> ParseLog(const std::string& bytes) {
  std::vector<LogRecord> records;
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

bool Fail(const char* what) {
  std::printf("demo: %s\n", what);
  return false;
}

void Shot(HWND window, const std::string& folder, const char* name) {
  Pixels p;
  // Let the page paint what the last message changed before it is captured.
  SendMessageA(window, WM_NULL, 0, 0);
  if (Capture(window, &p)) WritePng(folder + "\\" + name + ".png", p.width, p.height, p.rgb);
}

bool WaitLabel(HWND dialog, const char* label, DWORD timeoutMs = 600000) {
  return WaitUntil([&] { return ItemText(dialog, 107) == label; }, timeoutMs);
}

struct Counts {
  int components = 0, files = 0, folders = 0, values = 0, records = 0;
  int filesLeft = 0, foldersLeft = 0, valuesLeft = 0;
  std::vector<std::string> left;
};

HKEY RootOf(unsigned type) { return type == LogType::UserKey ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

Counts Count(const std::vector<LogRecord>& log) {
  Counts c;
  c.records = static_cast<int>(log.size());
  unsigned keyType = 0;
  std::string key;
  std::vector<std::string> seenFiles;
  for (const LogRecord& r : log) {
    switch (r.type) {
      case LogType::Component: ++c.components; break;
      case LogType::File: {
        bool seen = false;
        for (const auto& f : seenFiles) seen = seen || lstrcmpiA(f.c_str(), r.text.c_str()) == 0;
        if (seen) break;
        seenFiles.push_back(r.text);
        ++c.files;
        if (FileExists(r.text)) {
          ++c.filesLeft;
          c.left.push_back("file " + r.text);
        }
        break;
      }
      case LogType::Directory:
        ++c.folders;
        if (DirectoryExists(r.text)) {
          ++c.foldersLeft;
          c.left.push_back("folder " + r.text);
        }
        break;
      case LogType::UserKey:
      case LogType::MachineKey:
        keyType = r.type;
        key = r.text;
        break;
      case LogType::ValueName:
        ++c.values;
        if (keyType != 0 && RegValueExists(RootOf(keyType), key.c_str(), r.text.c_str())) {
          ++c.valuesLeft;
          c.left.push_back("value " + key + "\\" + r.text);
        }
        keyType = 0;
        break;
      default: break;
    }
  }
  return c;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: demo_walk SETUP_EXE SHOT_FOLDER\n");
    return 2;
  }
  const std::string setupExe = argv[1];
  const std::string shots = argv[2];
  CreateDirectoryA(shots.c_str(), nullptr);
  const DWORD started = GetTickCount();

  std::printf("demo: installing\n");
  std::fflush(stdout);
  Program setup;
  if (!Start("\"" + setupExe + "\"", &setup)) return Fail("setup.exe did not start"), 1;
  HWND wizard = WaitForWindow(setup.pid, "#32770", "Tarvel Lib Installation", 30000);
  if (wizard == nullptr || !WaitLabel(wizard, "step 1/4", 10000)) return Fail("the wizard did not open"), 1;
  Shot(wizard, shots, "setup-1-welcome");
  Click(wizard, 202);
  if (!WaitLabel(wizard, "step 2/4", 10000)) return Fail("the component page did not come"), 1;
  Shot(wizard, shots, "setup-2-components");
  const std::string root = ItemText(wizard, 120);
  const DWORD installStart = GetTickCount();
  Click(wizard, 202);
  if (!WaitLabel(wizard, "step 3/4", 10000)) return Fail("the installation page did not come"), 1;
  Shot(wizard, shots, "setup-3-installing");
  if (!WaitUntil([&] { return ItemText(wizard, 107) == "step 4/4" && IsEnabled(wizard, 203); }, 600000)) {
    return Fail("the installation did not finish"), 1;
  }
  const DWORD installMs = GetTickCount() - installStart;
  Shot(wizard, shots, "setup-4-finish");
  std::string logBytes;
  ReadFileBytes(root + "\\uninst.qln", &logBytes);
  const std::vector<LogRecord> log = ParseLog(logBytes);
  Click(wizard, 203);
  DWORD code = 0;
  WaitExit(setup, 10000, &code);

  std::string command;
  if (!RegGetString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvel Lib",
                    "UninstallString", &command)) {
    return Fail("no uninstall entry was registered"), 1;
  }
  std::printf("demo: uninstalling with: %s\n", command.c_str());
  std::fflush(stdout);
  Program uninstaller;
  if (!Start(command, &uninstaller)) return Fail("the uninstall command did not start"), 1;
  HWND remover = WaitForWindow(uninstaller.pid, "#32770", "Uninstall - Quillon", 30000);
  if (remover == nullptr) return Fail("the uninstaller's window did not open"), 1;
  WaitUntil([&] { return IsEnabled(remover, 202); }, 10000);
  Shot(remover, shots, "uninstall-1-ready");
  const DWORD uninstallStart = GetTickCount();
  Click(remover, 202);
  if (!WaitUntil([&] { return ItemText(remover, 103) == "Uninstall is ready !"; }, 600000)) {
    return Fail("the uninstaller did not finish"), 1;
  }
  const DWORD uninstallMs = GetTickCount() - uninstallStart;
  Shot(remover, shots, "uninstall-2-finished");
  Click(remover, 203);
  WaitExit(uninstaller, 10000, &code);

  const Counts c = Count(log);
  std::printf("\nReport\n");
  std::printf("  installation root      %s\n", root.c_str());
  std::printf("  components installed   %d:", c.components);
  for (const LogRecord& r : log)
    if (r.type == LogType::Component) std::printf("%s;", r.text.c_str());
  std::printf("\n  files logged           %d\n", c.files);
  std::printf("  folders created        %d\n", c.folders);
  std::printf("  registry values        %d\n", c.values);
  std::printf("  log records            %d (%zu bytes)\n", c.records, logBytes.size());
  std::printf("  installation took      %lu ms\n", installMs);
  std::printf("  uninstall took         %lu ms\n", uninstallMs);
  std::printf("  whole demo took        %lu ms\n", GetTickCount() - started);
  std::printf("  left after uninstall   %d files, %d folders, %d values\n", c.filesLeft, c.foldersLeft, c.valuesLeft);
  for (const auto& l : c.left) std::printf("    %s\n", l.c_str());
  std::printf("  screenshots            %s\n", shots.c_str());
  return 0;
}
