// setup.exe /S from outside, with stand-in Delphi 7 and C++Builder 6: the same traces
// as a wizard run with the same choices, an exit code for each refusal with nothing
// written, the usage, and the registered quiet uninstall. Every silent run is watched
// while it works: no window of the process may ever be visible.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "services/trust_check.h"
#include "tests/wine/wizard/wizard_session.h"

using namespace driver;

namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvel Lib";

struct SetupRun {
  DWORD code = 99;
  std::string output;  // what it printed to the console it was given
  std::string shown;   // every window of it seen visible
};

SetupRun RunSetup(const std::string& arguments, const char* exe = "setup/setup.exe") {
  SetupRun r;
  Program p;
  const std::string output = FreshFolder("console") + "\\out.txt";
  if (!StartFromConsole("\"" + BuildPath(exe) + "\" " + arguments, &p, output)) return r;
  if (!WaitExitUnseen(p, 180000, &r.code, &r.shown)) Kill(p);
  // Wine lets the bytes of the inherited file reach it a moment after the program
  // ended: read until the text has stayed the same for a while.
  std::string last = "-";
  WaitUntil(
      [&] {
        ReadFileBytes(output, &r.output);
        if (!r.output.empty() && r.output == last) return true;
        last = r.output;
        Sleep(100);
        return false;
      },
      5000);
  RemoveTree(output.substr(0, output.rfind('\\')));
  return r;
}

void MakeIdes() {
  ASSERT_TRUE(wizard::MakeIde("d7", "C:\\tvtest\\ide\\d7"));
  ASSERT_TRUE(wizard::MakeIde("bcb6", "C:\\tvtest\\ide\\bcb6"));
}

// Every file below folder with its bytes: the installation, the IDE roots with their
// help files and build journals.
void ReadTree(const std::string& folder, std::map<std::string, std::string>* files) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = fd.cFileName, full = folder + "\\" + name;
    if (name == "." || name == "..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      (*files)[full + "\\"] = "";
      ReadTree(full, files);
    } else {
      ReadFileBytes(full, &(*files)[full]);
    }
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

// Every value below key, one "key\name=data" line each, subkeys included.
std::string RegistryTree(HKEY root, const std::string& key) {
  HKEY k = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return "";
  std::string out;
  char name[512], data[4096];
  for (DWORD i = 0;; ++i) {
    DWORD n = sizeof name, d = sizeof data - 1, type = 0;
    if (RegEnumValueA(k, i, name, &n, nullptr, &type, reinterpret_cast<BYTE*>(data), &d) != ERROR_SUCCESS) break;
    data[d] = '\0';
    out += key + "\\" + name + "=" + (type == REG_SZ ? data : "(type " + std::to_string(type) + ")") + "\n";
  }
  for (DWORD i = 0;; ++i) {
    DWORD n = sizeof name;
    if (RegEnumKeyExA(k, i, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    out += RegistryTree(root, key + "\\" + name);
  }
  RegCloseKey(k);
  return out;
}

// What an installation can leave: files under C:\tvtest and in the system folder, and
// the registry it writes.
struct Traces {
  std::map<std::string, std::string> files;
  std::string registry;
};

Traces TakeTraces() {
  Traces t;
  ReadTree("C:\\tvtest", &t.files);
  const std::string sys = wizard::SystemDir();
  for (const char* name : {"qlnclear.exe", "tarveld7.bpl", "tarveld7clx.bpl", "tarvelb6.bpl", "tarvelb6clx.bpl"}) {
    if (FileExists(sys + "\\" + name)) ReadFileBytes(sys + "\\" + name, &t.files[sys + "\\" + name]);
  }
  t.registry = RegistryTree(HKEY_CURRENT_USER, "Software\\Borland") +
               RegistryTree(HKEY_LOCAL_MACHINE, "Software\\Borland") +
               RegistryTree(HKEY_LOCAL_MACHINE, "Software\\Quillon") + RegistryTree(HKEY_LOCAL_MACHINE, kUninstallKey);
  for (const char* help : {"tarvel.hlp", "tarvel.cnt"}) {
    std::string value;
    if (RegGetString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\Help", help, &value))
      t.registry += std::string("Help\\") + help + "=" + value + "\n";
  }
  return t;
}

// Names of the differing files, for the failure message.
std::string Differences(const Traces& a, const Traces& b) {
  std::string out;
  for (const auto& [path, bytes] : a.files) {
    auto it = b.files.find(path);
    if (it == b.files.end() || it->second != bytes) out += path + "\n";
  }
  for (const auto& [path, bytes] : b.files)
    if (a.files.find(path) == a.files.end()) out += path + " (only in the second)\n";
  return out;
}

std::vector<std::string> Components(const std::string& logPath) {
  std::vector<std::string> captions;
  for (const auto& r : wizard::ReadLog(logPath))
    if (r.type == 2) captions.push_back(r.text);
  return captions;
}

// The /LOG= file's lines from the destination folder made to the uninstall log written:
// every step of the run, which the wizard's log and the unattended one share.
std::string LoggedSteps(const std::string& file) {
  std::string text;
  ReadFileBytes(file, &text);
  const std::size_t from = text.find("\r\nFolder "), to = text.find("\r\nUninstall log ");
  return from == std::string::npos || to == std::string::npos ? "(no steps)\n" + text : text.substr(from, to - from);
}

class Silent : public ::testing::Test {
 protected:
  void SetUp() override { wizard::CleanSlate(); }
  void TearDown() override { wizard::CleanSlate(); }
};

TEST_F(Silent, LeavesWhatTheWizardLeavesWithTheSameChoices) {
  struct SameCase {
    const char* name;
    const char* components;      // the option, with its blank
    const char* root;
    std::vector<int> untick;     // the wizard's clicks on the list for the same choice
    std::vector<std::string> installed;
  };
  const SameCase cases[] = {
      {"the detected rows, a root with a blank", "", "C:\\tvtest\\Silent Lib", {},
       {" Files for Borland Delphi 7", " Files for Borland C++Builder 6", " Shared Files", " Demo Projects Files",
        " Context Help Files"}},
      {"Delphi 7 and help", "/COMPONENTS=d7,help ", "C:\\tvtest\\Two", {1, 2},
       {" Files for Borland Delphi 7", " Shared Files", " Context Help Files"}},
  };
  for (const SameCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string root = c.root, log = root + "\\uninst.qln", diag = "C:\\tvlog.txt";
    wizard::CleanSlate();
    ASSERT_NO_FATAL_FAILURE(MakeIdes());
    const SetupRun run = RunSetup(std::string("/S ") + c.components + "/LOG=" + diag + " /D=" + root);
    EXPECT_EQ(run.code, 0u) << run.output;
    EXPECT_EQ(run.shown, "");
    EXPECT_EQ(run.output, "Tarvel Lib installed in " + root + "\r\n");
    EXPECT_EQ(Components(log), c.installed);
    std::string quiet;
    EXPECT_TRUE(RegGetString(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString", &quiet));
    EXPECT_EQ(quiet, "\"" + wizard::UninstallerFile() + "\" /S " + log);
    const Traces silent = TakeTraces();
    const std::string silentSteps = LoggedSteps(diag);

    wizard::CleanSlate();
    ASSERT_NO_FATAL_FAILURE(MakeIdes());
    wizard::Session s;
    ASSERT_TRUE(wizard::Start(&s, "setup/setup.exe", "/LOG=" + diag)) << DescribeWindows(s.program.pid);
    ASSERT_TRUE(wizard::Next(s));
    for (int row : c.untick) wizard::ClickRow(s, row);
    ASSERT_TRUE(wizard::Install(s, root));
    DWORD code = 1;
    ASSERT_TRUE(wizard::Finish(s, &code));
    const Traces wizard = TakeTraces();
    std::string wizardLog;
    ASSERT_TRUE(ReadFileBytes(diag, &wizardLog));
    EXPECT_TRUE(wizardLog.ends_with("\r\nExit code 0\r\n")) << wizardLog;
    EXPECT_EQ(LoggedSteps(diag), silentSteps);
    EXPECT_NE(silentSteps.find("\r\nBuild "), std::string::npos) << silentSteps;
    DeleteFileA(diag.c_str());

    ASSERT_EQ(silent.files.count(log), 1u);
    ASSERT_EQ(wizard.files.count(log), 1u);
    EXPECT_EQ(silent.files.find(log)->second, wizard.files.find(log)->second) << "the log's bytes";
    EXPECT_TRUE(silent.files == wizard.files) << Differences(silent, wizard);
    EXPECT_EQ(silent.registry, wizard.registry);
  }
}

TEST_F(Silent, EachRefusalHasItsExitCodeAndWritesNothing) {
  struct RefusalCase {
    const char* name;
    const char* exe;
    std::string arguments;
    DWORD code;
    std::string refusal;  // the first line printed
    bool writesNothing;
    const char* held = nullptr;  // a file of the destination held open during the run
    const char* link = nullptr;  // a folder of the destination made a link to C:\\tvtest\\outside
    std::string logged = "";     // a line of the /LOG= file, which ends with the exit code;
                                 // "%pid" stands for the stand-in IDE's process
    const char* running = nullptr;  // the stand-in IDE program runs from this path
    bool open = false;           // the destination made first, changeable by everyone
    bool noLog = false;          // a folder where the uninstall log goes
  };
  const char* const kD7 = "C:\\tvtest\\ide\\d7\\Bin\\delphi32.exe";
  const std::string tooLong = "C:\\tvtest\\" + std::string(300, 'x');
  const std::string diag = FreshFolder("setup log") + "\\setup.log", log = " /LOG=\"" + diag + "\"";
  const RefusalCase cases[] = {
      {"relative destination", "setup/setup.exe", "/S" + log + " /D=Lib", 3,
       "destination refused: Can't create the destination folder.", true, nullptr, nullptr,
       "Destination Lib: Can't create the destination folder."},
      {"destination too long", "setup/setup.exe", "/S /D=" + tooLong, 3,
       "destination refused: The destination path is too long.", true},
      {"a level that cannot be made", "setup/setup.exe", "/S /D=C:\\tvtest\\made\\a*b", 3,
       "destination refused: Can't create the destination folder.", true},
      {"IDE not in the registry", "setup/setup.exe", "/S /COMPONENTS=d3", 2, "not offered on this machine: d3", true},
      {"unknown component", "setup/setup.exe", "/S /COMPONENTS=d7,d9 /D=C:\\tvtest\\lib", 1,
       "unknown component: d9", true},
      {"empty component name", "setup/setup.exe", "/S /COMPONENTS=d7, /D=C:\\tvtest\\lib", 1,
       "empty component name: /COMPONENTS=d7,", true},
      {"unknown option", "setup/setup.exe", "/S /Q", 1, "unknown option: /Q", true},
      {"components without /S", "setup/setup.exe", "/COMPONENTS=d7 /D=C:\\tvtest\\lib", 1,
       "needs /S: /COMPONENTS=d7", true},
      {"no window template", "setup/setup_without_template.exe", "/S /D=C:\\tvtest\\lib", 4,
       "the installation could not be started", true},
      {"a payload byte changed", "tests/wine/startup/setup_damaged.exe", "/S /D=C:\\tvtest\\lib", 6,
       "The setup file is damaged. Please download it again.", true},
      // As in the wizard, the root and a log of the start are written.
      {"no worker thread", "tests/wine/wizard/setup_without_worker.exe", "/S /D=C:\\tvtest\\lib", 4,
       "the installation could not be started", false},
      {"the usage", "setup/setup.exe", "/S /?", 0,
       "setup.exe [/S [/COMPONENTS=list] [/CLOSEAPPLICATIONS]] [/LOG=file] [/D=path]", true},
      {"Delphi 7 running", "setup/setup.exe", "/S" + log + " /D=C:\\tvtest\\lib", 8, "a selected IDE is running", true,
       nullptr, nullptr, "Borland Delphi 7 is running: process %pid, " + std::string(kD7), kD7},
      // Past the look for a running IDE, the destination check refuses.
      {"a delphi32.exe elsewhere", "setup/setup.exe", "/S /D=Lib", 3,
       "destination refused: Can't create the destination folder.", true, nullptr, nullptr, "",
       "C:\\tvtest\\elsewhere\\delphi32.exe"},
      {"Delphi 7 running, not chosen", "setup/setup.exe", "/S /COMPONENTS=bcb6 /D=Lib", 3,
       "destination refused: Can't create the destination folder.", true, nullptr, nullptr, "", kD7},
      {"Delphi 7 asked to close", "setup/setup.exe", "/S /CLOSEAPPLICATIONS /COMPONENTS=d7" + log + " /D=C:\\tvtest\\lib",
       0, "Tarvel Lib installed in C:\\tvtest\\lib", false, nullptr, nullptr, "Asked the IDEs to close: closed", kD7},
      {"a log that cannot be created", "setup/setup.exe", "/S /LOG=C:\\tvtest\\no\\s.log /D=C:\\tvtest\\lib", 1,
       "the log cannot be created: C:\\tvtest\\no\\s.log", true},
      {"a file it cannot write", "setup/setup.exe", "/S /COMPONENTS=help" + log + " /D=C:\\tvtest\\lib", 5,
       "could not be written: C:\\tvtest\\lib\\readme.txt", false, "C:\\tvtest\\lib\\readme.txt", nullptr,
       "Extract C:\\tvtest\\lib\\readme.txt: error 32 (failure 1)"},
      // A user put a link where the installer makes a folder: nothing goes through it.
      {"a link in the destination", "setup/setup.exe", "/S /COMPONENTS=help /D=C:\\tvtest\\lib", 5,
       "could not be written: C:\\tvtest\\lib\\Help", false, nullptr, "C:\\tvtest\\lib\\Help"},
      {"a link above the destination", "setup/setup.exe", "/S /D=C:\\tvtest\\lib\\linked\\root", 3,
       "destination refused: The destination folder is reached through a link, or other users can change it.", true,
       nullptr, "C:\\tvtest\\lib\\linked"},
      // Expanded again, it would name C:\tvtest\Delphi7 and what that may lead to.
      {"a macro name in the destination", "setup/setup.exe", "/S /D=C:\\tvtest\\$sub_dir$", 3,
       "destination refused: The destination path must not contain a macro name such as $SUB_DIR$.", true},
      {"a log through a link", "setup/setup.exe", "/S /LOG=C:\\tvtest\\lib\\linked\\s.log /D=C:\\tvtest\\lib", 1,
       "the log cannot be created: C:\\tvtest\\lib\\linked\\s.log", true, nullptr, "C:\\tvtest\\lib\\linked"},
      {"a destination everyone can change", "setup/setup.exe", "/S /COMPONENTS=help" + log + " /D=C:\\tvtest\\lib", 0,
       "Tarvel Lib installed in C:\\tvtest\\lib", false, nullptr, nullptr,
       "Folder C:\\tvtest\\lib: S-1-1-0 may change it (0x1301FF); taken over by the administrators", nullptr, true},
      {"no uninstall log, no Apps entry", "setup/setup.exe", "/S /COMPONENTS=help" + log + " /D=C:\\tvtest\\lib", 5,
       "could not be written: HKEY_LOCAL_MACHINE\\" + std::string(kUninstallKey) + "\\UninstallString", false, nullptr,
       nullptr, "Apps entry " + std::string(kUninstallKey) + ": not written, the uninstall log was not created",
       nullptr, false, true},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.name);
    wizard::CleanSlate();
    ASSERT_NO_FATAL_FAILURE(MakeIdes());
    HANDLE held = INVALID_HANDLE_VALUE;
    if (c.held != nullptr) {
      ASSERT_TRUE(CreateDirectoryA("C:\\tvtest\\lib", nullptr));
      ASSERT_TRUE(WriteFileBytes(c.held, "a user's"));
      held = CreateFileA(c.held, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
      ASSERT_NE(held, INVALID_HANDLE_VALUE);
    }
    if (c.link != nullptr) {
      ASSERT_TRUE(CreateDirectoryA("C:\\tvtest\\lib", nullptr) && CreateDirectoryA("C:\\tvtest\\outside", nullptr));
      ASSERT_TRUE(MakeLink(c.link, "C:\\tvtest\\outside"));
    }
    if (c.open || c.noLog) {
      ASSERT_TRUE(CreateDirectoryA("C:\\tvtest\\lib", nullptr));
      ASSERT_TRUE(c.open ? LetEveryoneChange("C:\\tvtest\\lib")
                         : CreateDirectoryA("C:\\tvtest\\lib\\uninst.qln", nullptr));
    }
    Program ide;
    HWND ideWindow = nullptr;
    if (c.running != nullptr) {
      ASSERT_TRUE(StartStandinIde(c.running, &ide, &ideWindow));
    }
    const Traces before = TakeTraces();
    const SetupRun run = RunSetup(c.arguments, c.exe);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    // Asked to close, the stand-in has; otherwise it still runs, and is closed here.
    const bool ideClosed = c.running != nullptr && WaitForSingleObject(ide.process, 0) == WAIT_OBJECT_0;
    EXPECT_EQ(ideClosed, c.arguments.find("/CLOSEAPPLICATIONS") != std::string::npos);
    if (c.running != nullptr && !ideClosed) Close(ideWindow);
    DWORD ideCode = 0;
    if (c.running != nullptr) {
      EXPECT_TRUE(WaitExit(ide, 10000, &ideCode));
    }
    EXPECT_EQ(run.code, c.code) << run.output;
    EXPECT_EQ(run.shown, "");
    EXPECT_EQ(run.output.substr(0, run.output.find("\r\n")), c.refusal) << run.output;
    std::string logText;
    EXPECT_EQ(ReadFileBytes(diag, &logText), !c.logged.empty());
    DeleteFileA(diag.c_str());
    if (!c.logged.empty()) {
      std::string logged = c.logged;
      if (const std::size_t at = logged.find("%pid"); at != std::string::npos)
        logged.replace(at, 4, std::to_string(ide.pid));
      EXPECT_NE(logText.find("\r\n" + logged + "\r\n"), std::string::npos) << logText;
      EXPECT_TRUE(logText.ends_with("\r\nExit code " + std::to_string(c.code) + "\r\n")) << logText;
    }
    const bool installed = c.code == 0 ? c.arguments.find("/?") == std::string::npos : c.code == 5 && !c.noLog;
    EXPECT_EQ(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey), installed) << c.name;
    if (c.open) {
      HANDLE root = CreateFileA("C:\\tvtest\\lib", READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
      char why[kTrustWhyCapacity] = {};
      EXPECT_TRUE(OnlyAdministratorsCanChange(root, why)) << why;
      CloseHandle(root);
      continue;
    }
    if (c.code == 5) {
      EXPECT_EQ(run.output, c.refusal + "\r\nTarvel Lib installed with errors in C:\\tvtest\\lib\r\n");
      std::map<std::string, std::string> outside;
      ReadTree("C:\\tvtest\\outside", &outside);
      EXPECT_TRUE(outside.empty()) << outside.begin()->first;
      continue;
    }
    if (c.code != 0) {
      EXPECT_EQ(run.output, c.refusal + "\r\nTarvel Lib not installed, exit code " + std::to_string(c.code) + "\r\n");
    } else if (c.running != nullptr) {
      EXPECT_EQ(run.output, c.refusal + "\r\n");
      EXPECT_EQ(Components("C:\\tvtest\\lib\\uninst.qln").front(), " Files for Borland Delphi 7");
      continue;
    } else {
      EXPECT_NE(run.output.find("\r\nExit codes: 0 installed"), std::string::npos) << run.output;
    }
    const Traces after = TakeTraces();
    if (c.writesNothing) {
      EXPECT_TRUE(before.files == after.files) << Differences(before, after);
      EXPECT_EQ(before.registry, after.registry);
    } else {
      EXPECT_EQ(wizard::ReadLog("C:\\tvtest\\lib\\uninst.qln").size(), 3u);
    }
  }
}

// setup.exe ended from outside while a build tool hangs: the log and the diagnostic log
// on disk already name every file and folder made below the root, and the tool, started
// from a test that handed setup.exe an inheritable handle, could not reach that handle.
TEST_F(Silent, EndedWhileABuildToolHangsItLeavesALogOfAllItMade) {
  const std::string ide = "C:\\tvtest\\ide\\d7", root = "C:\\tvtest\\lib", config = ide + "\\Bin\\standin.cfg";
  ASSERT_TRUE(wizard::MakeIde("d7", ide) && WriteFileBytes(ide + "\\probe.txt", "probe"));
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  HANDLE probe = CreateFileA((ide + "\\probe.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, &inheritable, OPEN_EXISTING,
                             0, nullptr);
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, "TarvelHoldTool");
  WritePrivateProfileStringA("tool", "HoldEvent", "TarvelHoldTool", config.c_str());
  WritePrivateProfileStringA("tool", "ProbeHandle", std::to_string(reinterpret_cast<ULONG_PTR>(probe)).c_str(),
                             config.c_str());
  Program p;  // started as from a console: every inheritable handle goes to setup.exe
  const std::string out = FreshFolder("console");
  const std::string line =
      "\"" + BuildPath("setup/setup.exe") + "\" /S /COMPONENTS=d7 /LOG=" + out + "\\diag.log /D=" + root;
  ASSERT_TRUE(StartFromConsole(line, &p, out + "\\o.txt"));
  EXPECT_TRUE(WaitUntil([&] { return FileExists(ide + "\\held.txt"); }, 60000));
  TerminateProcess(p.process, 9);
  DWORD code = 0;
  EXPECT_TRUE(WaitExit(p, 10000, &code));
  EXPECT_FALSE(FileExists(ide + "\\inherited.txt")) << "the tool could use a handle of the test";
  std::map<std::string, std::string> made;
  ReadTree(root, &made);
  made.erase(root + "\\uninst.qln");
  std::set<std::string> logged;
  for (const auto& r : wizard::ReadLog(root + "\\uninst.qln")) logged.insert(r.text + (r.type == 9 ? "\\" : ""));
  EXPECT_GT(made.size(), 20u);
  std::string diag;
  ReadFileBytes(out + "\\diag.log", &diag);
  for (const auto& [path, bytes] : made) {
    EXPECT_EQ(logged.count(path), 1u) << path;
    EXPECT_NE(diag.find(" " + path.substr(0, path.find_last_not_of('\\') + 1) + ": OK\r\n"), std::string::npos) << path;
  }
  SetEvent(release);
  EXPECT_TRUE(WaitUntil([&] { return !FileExists(ide + "\\held.txt"); }));
  CloseHandle(release);
  CloseHandle(probe);
  RemoveTree(out);
}

// Started with no console, the usage, a refused line that did not ask for silence and
// a wizard's log that cannot be created come in a message box; a refused /S line
// stays silent.
TEST_F(Silent, WithoutAConsoleTheUsageIsAMessageBox) {
  struct BoxCase {
    const char* arguments;
    DWORD code;
    const char* boxStart;  // nullptr: no box
  };
  static const BoxCase cases[] = {
      {"/?", 0, "setup.exe [/S [/COMPONENTS=list] [/CLOSEAPPLICATIONS]] [/LOG=file] [/D=path]\r\n"},
      {"/COMPONENTS=d7", 1, "needs /S: /COMPONENTS=d7\r\n\r\nsetup.exe [/S"},
      {"/S /Q", 1, nullptr},
      // The wizard's log that cannot be created: the box, and no wizard.
      {"/LOG=C:\\tvtest\\no\\w.log", 1, "the log cannot be created: C:\\tvtest\\no\\w.log"},
  };
  for (const BoxCase& c : cases) {
    SCOPED_TRACE(c.arguments);
    Program p;
    ASSERT_TRUE(StartWithoutConsole("\"" + BuildPath("setup/setup.exe") + "\" " + c.arguments, &p));
    DWORD code = 99;
    if (c.boxStart != nullptr) {
      HWND box = WaitForMessageBox(p.pid, "Tarvel Lib Installation");
      ASSERT_NE(box, nullptr) << DescribeWindows(p.pid);
      EXPECT_EQ(MessageBoxText(box).rfind(c.boxStart, 0), 0u) << MessageBoxText(box);
      AnswerMessageBox(box, IDOK);
      EXPECT_TRUE(WaitExit(p, 10000, &code));
    } else {
      std::string shown;
      EXPECT_TRUE(WaitExitUnseen(p, 10000, &code, &shown));
      EXPECT_EQ(shown, "");
    }
    Kill(p);
    EXPECT_EQ(code, c.code);
  }
}

TEST_F(Silent, TheQuietUninstallStringLeavesWhatTheDialogLeaves) {
  const std::string root = "C:\\tvtest\\quiet lib";
  Traces left[2];
  for (int quiet = 0; quiet < 2; ++quiet) {
    SCOPED_TRACE(quiet ? "QuietUninstallString" : "UninstallString");
    wizard::CleanSlate();
    ASSERT_NO_FATAL_FAILURE(MakeIdes());
    ASSERT_EQ(RunSetup("/S /D=" + root).code, 0u);
    if (quiet) {
      std::string command;
      ASSERT_TRUE(RegGetString(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString", &command));
      Program remover;
      ASSERT_TRUE(Start(command, &remover)) << command;
      DWORD code = 99;
      std::string shown;
      EXPECT_TRUE(WaitExitUnseen(remover, 60000, &code, &shown));
      Kill(remover);
      EXPECT_EQ(code, 0u);
      EXPECT_EQ(shown, "");
    } else {
      ASSERT_EQ(wizard::UninstallAsRegistered(), "");
    }
    left[quiet] = TakeTraces();
  }
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_FALSE(FileExists(root + "\\uninst.qln"));
  EXPECT_TRUE(left[0].files == left[1].files) << Differences(left[0], left[1]);
  EXPECT_EQ(left[0].registry, left[1].registry);
}

}  // namespace
