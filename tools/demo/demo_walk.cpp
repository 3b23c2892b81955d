// The demo's Windows side, run under Wine by scripts/demo.sh.
//   demo_walk walk SETUP_EXE SHOT_FOLDER [DESTINATION]
//                                           walks the wizard page by page (typing
//                                           DESTINATION when given), runs the uninstall
//                                           command the installer registered,
//                                           screenshots every page of both programs,
//                                           and prints the report. Whatever does not
//                                           come, or a window it did not expect, stops
//                                           it within seconds: it says what it waited
//                                           for and what it found, saves a screenshot
//                                           of the screen, ends the programs it started
//                                           and exits with 1.
//   demo_walk save LOG_COPY                 after a person's own installation: keeps a
//                                           copy of the log the installer registered
//   demo_walk uninstall                     starts the registered uninstall command
//                                           exactly as registered and waits for it
//   demo_walk report LOG_COPY               the report, from a copy of the log
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/driver/driver.h"
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
  SaveSettledCapture(window, folder + "\\" + name + ".png");
}

std::string UninstallCommand() {
  std::string command;
  RegGetString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", &command);
  return command;
}

// The log path the registered command names: everything after the program name, which
// is quoted (its folder may hold blanks).
std::string LogPathOf(const std::string& command) {
  const size_t name = command.rfind('"', 0) == 0 ? command.find('"', 1) : 0;
  const size_t blank = name == std::string::npos ? name : command.find(' ', name);
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

// Nothing on screen changing for this long is taken as stuck: it leaves room, within
// the demo's 30 seconds, to say so, take the picture and end everything.
constexpr DWORD kStuckMs = 15000;
constexpr char kFallbackDestination[] = "C:\\TarvelLib";

struct Walker {
  std::string shots;
  std::vector<HWND> known;  // Wine's own windows, there before the walk, and the pages
  Program setup;
  Program remover;
};

BOOL CALLBACK CollectVisible(HWND window, LPARAM param) {
  if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

std::vector<HWND> VisibleWindows() {
  std::vector<HWND> windows;
  EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// A window that came up during the walk and is not the page being worked: a message
// box, an error dialog, a crash report. Tooltips come and go on their own.
HWND UnexpectedWindow(const Walker& w) {
  for (HWND window : VisibleWindows()) {
    bool known = false;
    for (HWND k : w.known) known = known || k == window;
    if (known) continue;
    char cls[64] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (lstrcmpiA(cls, "tooltips_class32") == 0) continue;
    return window;
  }
  return nullptr;
}

// A window's text, or nothing from a window that does not answer within a second: a
// hung program must not hold the walk past its limits.
std::string Quick(HWND window, bool* answered = nullptr) {
  char buffer[1024] = {};
  DWORD_PTR result = 0;
  const bool ok = window != nullptr &&
                  SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                                      SMTO_ABORTIFHUNG, 1000, &result) != 0;
  if (answered != nullptr) *answered = ok;
  return ok ? buffer : "";
}

std::string QuickItem(HWND dialog, int id) { return Quick(GetDlgItem(dialog, id)); }

std::string OneLine(std::string text) {
  for (char& c : text) c = c == '\r' || c == '\n' ? ' ' : c;
  return text;
}

struct ChildTexts {
  bool buttons;  // this pass: the buttons, after the texts
  std::string* out;
};

BOOL CALLBACK CollectChildTexts(HWND child, LPARAM param) {
  auto* c = reinterpret_cast<ChildTexts*>(param);
  char cls[64] = {};
  GetClassNameA(child, cls, sizeof cls);
  const std::string text = Quick(child);
  if (!text.empty() && IsWindowVisible(child) && (lstrcmpiA(cls, "Button") == 0) == c->buttons)
    *c->out += "demo:     " + OneLine(text) + "\n";
  return TRUE;
}

// "class 'caption'" and the shown texts inside, one line each, buttons last.
std::string Describe(HWND window) {
  char cls[64] = {};
  GetClassNameA(window, cls, sizeof cls);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  bool answered = false;
  Quick(window, &answered);
  // The caption as the system keeps it: a hung window's too.
  WCHAR wide[256] = {};
  InternalGetWindowText(window, wide, 256);
  char narrow[512] = {};
  WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr);
  const std::string caption = OneLine(narrow);
  std::string out = "demo:   " + std::string(cls) + " '" + caption + "' (process " + std::to_string(pid) + ")" +
                    (answered ? "" : ", not answering") + "\n";
  if (!answered) return out;
  for (bool buttons : {false, true}) {
    ChildTexts c = {buttons, &out};
    EnumChildWindows(window, CollectChildTexts, reinterpret_cast<LPARAM>(&c));
  }
  return out;
}

// The programs of the walk end with it, whatever stopped it.
void EndPrograms(Walker& w) {
  Kill(w.setup);
  Kill(w.remover);
}

struct Outcome {
  bool ok;
  HWND found;          // the window that came up unexpectedly, if one did
  std::string reason;  // why the wait ended without success
};

void Know(Walker& w, HWND window) {
  for (HWND k : w.known) {
    if (k == window) return;
  }
  w.known.push_back(window);
}

// Waits until ready() holds while watching the screen. state() names what the page
// shows: each change restarts the stuck limit and is printed as progress.
template <typename Ready, typename State>
Outcome Await(const Walker& w, Program& program, Ready ready, State state) {
  std::string seen = state();
  DWORD changed = GetTickCount();
  for (;;) {
    if (ready()) return {true, nullptr, {}};
    if (HWND box = UnexpectedWindow(w)) {
      Sleep(300);  // let it finish painting its texts
      return {false, box, "a window it did not expect came up"};
    }
    DWORD code = 0;
    if (program.process != nullptr && WaitForSingleObject(program.process, 0) == WAIT_OBJECT_0) {
      GetExitCodeProcess(program.process, &code);
      return {false, nullptr, "the program ended (exit code " + std::to_string(code) + ")"};
    }
    const std::string now = state();
    if (now != seen) {
      seen = now;
      changed = GetTickCount();
      if (!now.empty()) Say(("progress: " + now).c_str());
    }
    if (GetTickCount() - changed > kStuckMs) return {false, nullptr, "nothing changed for 15 seconds"};
    Sleep(50);
  }
}

std::string NoState() { return {}; }

int Stuck(Walker& w, const char* waitedFor, HWND page, const Outcome& o) {
  std::printf("demo: stuck waiting for %s: %s.\n", waitedFor, o.reason.c_str());
  if (o.found != nullptr) {
    std::printf("%s", Describe(o.found).c_str());
  } else if (page != nullptr && IsWindow(page)) {
    std::printf("demo: the window on screen:\n%s", Describe(page).c_str());
  }
  std::fflush(stdout);
  const std::string shot = w.shots + "\\stuck.png";
  if (SaveSettledCapture(GetDesktopWindow(), shot)) std::printf("demo: screenshot of the screen: %s\n", shot.c_str());
  EndPrograms(w);
  std::printf("demo: the programs of the walk are ended.\n");
  std::fflush(stdout);
  return 1;
}

std::string PageLabel(HWND wizard) { return QuickItem(wizard, 107); }

// What the installation page shows while it runs: texts and the progress bar's position.
std::string Progress(HWND dialog, int statusId) {
  DWORD_PTR position = 0;
  SendMessageTimeoutA(Item(dialog, 106), PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 1000, &position);
  return OneLine(QuickItem(dialog, statusId)) + " [" + std::to_string(position) + "]";
}

int Walk(const std::string& setupExe, const std::string& shots, const std::string& destination) {
  Walker w;
  w.shots = shots;
  CreateDirectoryA(shots.c_str(), nullptr);
  w.known = VisibleWindows();
  if (!Start("\"" + setupExe + "\"", &w.setup)) return Fail("setup.exe did not start");
  HWND wizard = nullptr;
  Outcome o = Await(w, w.setup, [&] {
    wizard = FindTopWindow(w.setup.pid, "#32770", "Tarvel Lib Installation");
    // The dialog can be on the screen a moment before it sets its caption: it is still
    // the wizard, known by its step label and Next button, not a window to stop for.
    HWND early = FindOtherWindow(w.setup.pid, "#32770", nullptr);
    if (early != nullptr && GetDlgItem(early, 107) != nullptr && GetDlgItem(early, 202) != nullptr) Know(w, early);
    if (wizard != nullptr) Know(w, wizard);
    return wizard != nullptr && IsWindowVisible(wizard) && PageLabel(wizard) == "step 1/4";
  }, NoState);
  if (!o.ok) return Stuck(w, "the wizard to open (step 1/4)", wizard, o);
  Say("page 1: welcome");
  Shot(wizard, shots, "setup-1-welcome");
  Click(wizard, 202);
  o = Await(w, w.setup, [&] { return PageLabel(wizard) == "step 2/4"; }, NoState);
  if (!o.ok) return Stuck(w, "the component page (step 2/4)", wizard, o);
  Say("page 2: components and destination");
  if (!destination.empty()) SetItemText(wizard, 120, destination.c_str());
  Shot(wizard, shots, "setup-2-components");
  DWORD installStart = GetTickCount();
  Click(wizard, 202);
  const auto installing = [&] { return PageLabel(wizard) == "step 3/4"; };
  o = Await(w, w.setup, installing, NoState);
  // A proposal that Next refuses is the wizard's to mend; the demo goes on with a
  // folder of its own, once, and says so. A destination the caller typed is not replaced.
  if (!o.ok && o.found != nullptr && destination.empty() && GetWindow(o.found, GW_OWNER) == wizard) {
    std::printf("demo: Next refused the proposed destination '%s': %s\n", QuickItem(wizard, 120).c_str(),
                OneLine(QuickItem(o.found, 0xFFFF)).c_str());
    std::printf("demo: going on with %s instead.\n", kFallbackDestination);
    std::fflush(stdout);
    const HWND box = o.found;
    AnswerMessageBox(box, IDOK);
    w.known.push_back(box);
    o = Await(w, w.setup, [&] { return !IsWindow(box) || !IsWindowVisible(box); }, NoState);
    w.known.pop_back();
    if (o.ok) {
      SetItemText(wizard, 120, kFallbackDestination);
      installStart = GetTickCount();
      Click(wizard, 202);
      o = Await(w, w.setup, installing, NoState);
    }
  }
  if (!o.ok) return Stuck(w, "the installation page (step 3/4)", wizard, o);
  Say("page 3: installing");
  Shot(wizard, shots, "setup-3-installing");
  o = Await(w, w.setup, [&] { return PageLabel(wizard) == "step 4/4" && IsEnabled(wizard, 203); },
            [&] { return Progress(wizard, 105); });
  if (!o.ok) return Stuck(w, "the finish page (step 4/4, Finish enabled)", wizard, o);
  const DWORD installMs = GetTickCount() - installStart;
  Say("page 4: finished");
  Shot(wizard, shots, "setup-4-finish");
  Click(wizard, 203);
  Program none;
  o = Await(w, none, [&] { return WaitForSingleObject(w.setup.process, 0) == WAIT_OBJECT_0; }, NoState);
  if (!o.ok) return Stuck(w, "setup.exe to end after Finish", wizard, o);
  DWORD code = 0;
  WaitExit(w.setup, 0, &code);

  const std::string command = UninstallCommand();
  if (command.empty()) return Fail("the installer registered no uninstall command");
  std::string logBytes;
  if (!ReadFileBytes(LogPathOf(command), &logBytes)) return Fail("the uninstall log named by the command is missing");
  const std::vector<Record> log = ParseLog(logBytes);

  Say(("uninstalling: " + command).c_str());
  w.known = VisibleWindows();
  if (!Start(command, &w.remover)) return Fail("the uninstall command did not start");
  HWND dialog = nullptr;
  o = Await(w, w.remover, [&] {
    dialog = FindTopWindow(w.remover.pid, "#32770", "Uninstall - Quillon");
    if (dialog != nullptr) Know(w, dialog);
    return dialog != nullptr && IsWindowVisible(dialog) && IsEnabled(dialog, 202);
  }, NoState);
  if (!o.ok) return Stuck(w, "the uninstaller to load the log (Uninstall enabled)", dialog, o);
  Shot(dialog, shots, "uninstall-1-ready");
  const DWORD uninstallStart = GetTickCount();
  Click(dialog, 202);
  o = Await(w, w.remover, [&] { return QuickItem(dialog, 103) == "Uninstall is ready !"; },
            [&] { return Progress(dialog, 103); });
  if (!o.ok) return Stuck(w, "the uninstaller to finish (\"Uninstall is ready !\")", dialog, o);
  const DWORD uninstallMs = GetTickCount() - uninstallStart;
  Shot(dialog, shots, "uninstall-2-finished");
  Click(dialog, 203);
  o = Await(w, none, [&] { return WaitForSingleObject(w.remover.process, 0) == WAIT_OBJECT_0; }, NoState);
  if (!o.ok) return Stuck(w, "the uninstaller to end after Cancel", dialog, o);
  WaitExit(w.remover, 0, &code);
  Report(log, logBytes.size(), installMs, uninstallMs, true);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "walk" && (argc == 4 || argc == 5)) return Walk(argv[2], argv[3], argc == 5 ? argv[4] : "");
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
  std::printf("usage: demo_walk walk SETUP_EXE SHOT_FOLDER [DESTINATION] | save LOG_COPY | uninstall |"
              " report LOG_COPY\n");
  return 2;
}
