// Whole installations through the wizard, with stand-in IDEs: the files, the registry
// and the bytes of the uninstall log, then the uninstall command as registered.
#include <gtest/gtest.h>

#include <windows.h>
// windows.h first: the common-controls header builds on its types.
#include <commctrl.h>

#include <algorithm>

#include "tests/wine/wizard/wizard_session.h"

using namespace driver;
using wizard::LogRecord;
using wizard::Session;

namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvel Lib";
constexpr char kBanner[] =
    "Tarvel Lib v6.49 (trial)\rCommunication, telephony and device components\rfor Borland Delphi and C++Builder.";

long ProgressHigh(Session& s) { return static_cast<long>(SendMessageA(Item(s.dialog, 106), PBM_GETRANGE, FALSE, 0)); }
long ProgressPos(Session& s) { return static_cast<long>(SendMessageA(Item(s.dialog, 106), PBM_GETPOS, 0, 0)); }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '\n') {
      std::string line = text.substr(start, i - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty()) lines.push_back(line);
      start = i + 1;
    }
  }
  return lines;
}

// Every file below a folder, for failure messages.
std::string ListTree(const std::string& folder) {
  std::string out;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return out;
  do {
    const std::string name = fd.cFileName;
    if (name == "." || name == "..") continue;
    const std::string full = folder + "\\" + name;
    out += full + "\n";
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) out += ListTree(full);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return out;
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// KiB of the distinct files the log names, as they are on disk.
DWORD LoggedKib(const std::vector<LogRecord>& log) {
  std::vector<std::string> seen;
  unsigned long long bytes = 0;
  for (const auto& r : log) {
    if (r.type != 3 || std::find(seen.begin(), seen.end(), r.text) != seen.end()) continue;
    seen.push_back(r.text);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(r.text.c_str(), GetFileExInfoStandard, &data))
      bytes += (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  }
  return static_cast<DWORD>((bytes + 1023) / 1024);
}

std::string Dword(DWORD v) { return std::string(reinterpret_cast<const char*>(&v), sizeof v); }

// An i686 setup.exe on 64-bit Windows writes HKLM\Software through Wow6432Node and the
// system folder into SysWOW64; the x86_64 build writes the native ones. This test
// program has the bitness of the setup.exe it drives, so each check looks in both views:
// one that found the value in the other view would pass for the wrong reason.
void ExpectOnlyInOwnView(std::initializer_list<const char*> machineKeys, const char* systemFile) {
  const bool i686 = sizeof(void*) == 4;
  const REGSAM own = i686 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY, other = i686 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
  for (const char* key : machineKeys) {
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, key, own)) << key;
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, key, other)) << key << " is in the other registry view";
  }
  const std::string wow64 = wizard::Wow64SystemDir(), native = wizard::NativeSystemDir();
  ASSERT_FALSE(wow64.empty()) << "no 32-bit system folder";
  const std::string ownFile = (i686 ? wow64 : native) + "\\" + systemFile;
  const std::string otherFile = (i686 ? native : wow64) + "\\" + systemFile;
  EXPECT_TRUE(FileExists(ownFile)) << ownFile;
  EXPECT_FALSE(FileExists(otherFile)) << otherFile << " is in the other system folder";
}

class Install : public ::testing::Test {
 protected:
  void SetUp() override { wizard::CleanSlate(); }
  void TearDown() override {
    wizard::End(s);
    wizard::CleanSlate();
  }
  void Open() { ASSERT_TRUE(wizard::Start(&s)) << DescribeWindows(s.program.pid); }
  void FinishWizard(DWORD expected = 0) {
    DWORD code = 1;
    ASSERT_TRUE(wizard::Finish(s, &code));
    EXPECT_EQ(code, expected);
  }
  Session s;
};

TEST_F(Install, OnlyTheSharedFilesWhenEverythingIsUnticked) {
  Open();
  ASSERT_TRUE(wizard::Next(s));
  wizard::ClickRow(s, 0);
  wizard::ClickRow(s, 1);
  const std::string root = "C:\\tvtest\\shared";
  ASSERT_TRUE(wizard::Install(s, root + "\\"));  // typed with a trailing separator
  EXPECT_EQ(ProgressHigh(s), 5);
  EXPECT_EQ(ProgressPos(s), 5);
  const std::string sys = wizard::SystemDir();
  const std::vector<LogRecord> expected = {
      {1, kBanner},
      {9, root},
      {2, " Shared Files"},
      {3, root + "\\readme.txt"},
      {3, root + "\\license.txt"},
      {3, sys + "\\qlnclear.exe"},
      {5, kUninstallKey},
      {6, "DisplayName"},
      {5, kUninstallKey},
      {6, "UninstallString"},
      {8, kUninstallKey},
  };
  EXPECT_EQ(wizard::ReadLog(root + "\\uninst.qln"), expected);
  std::string value;
  ASSERT_TRUE(RegGetString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", &value));
  EXPECT_EQ(value, "\"" + wizard::UninstallerFile() + "\" " + root + "\\uninst.qln");
  ASSERT_TRUE(RegGetString(HKEY_LOCAL_MACHINE, "Software\\Quillon\\Tarvel Lib", "RootDir", &value));
  EXPECT_EQ(value, root);
  EXPECT_TRUE(FileExists(sys + "\\qlnclear.exe"));
  ExpectOnlyInOwnView({kUninstallKey, "Software\\Quillon\\Tarvel Lib"}, "qlnclear.exe");
  EXPECT_EQ(ItemText(s.dialog, 203), "Finish");
  FinishWizard();
}

TEST_F(Install, WithoutAnIdeTheSharedDemoAndHelpScriptsRun87Steps) {
  Open();
  const std::string root = "C:\\tvtest\\noide";
  ASSERT_TRUE(wizard::Install(s, root));
  EXPECT_EQ(ProgressHigh(s), 87);
  EXPECT_EQ(ProgressPos(s), 87);
  // No IDE script ran, so the installation page's own texts stayed.
  EXPECT_EQ(ItemText(s.dialog, 105), "Press Finish button.");
  EXPECT_TRUE(FileExists(root + "\\Demos\\Voice\\welcome.wav"));
  EXPECT_TRUE(FileExists(root + "\\Help\\tarvel.hlp"));
  std::string value;
  EXPECT_TRUE(RegGetString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\Help", "tarvel.hlp", &value));
  EXPECT_EQ(value, root + "\\Help");
  const auto log = wizard::ReadLog(root + "\\uninst.qln");
  std::vector<std::string> components;
  for (const auto& r : log)
    if (r.type == 2) components.push_back(r.text);
  EXPECT_EQ(components, (std::vector<std::string>{" Shared Files", " Demo Projects Files", " Context Help Files"}));
  FinishWizard();
}

// Accepting every proposal with no IDE installed: the destination is on the Windows
// folder's drive, the Apps entry is complete, and the registered uninstall removes it
// all, leaving only its own running file for the restart.
TEST_F(Install, WithoutAnIdeEveryProposalInstallsOnTheWindowsDriveAndTheUninstallRemovesIt) {
  char windows[MAX_PATH] = {};
  ASSERT_GE(GetWindowsDirectoryA(windows, MAX_PATH), 2u);
  const std::string root = std::string(windows, 2) + "\\TarvelLib";
  Open();
  ASSERT_TRUE(wizard::Next(s));
  EXPECT_EQ(ItemText(s.dialog, 120), root);
  ASSERT_TRUE(wizard::Install(s));
  FinishWizard();
  const auto log = wizard::ReadLog(root + "\\uninst.qln");
  ASSERT_FALSE(log.empty()) << "nothing installed into " << root;
  EXPECT_EQ(log[1], (LogRecord{9, root}));
  const std::string uninstaller = wizard::UninstallerFile();
  struct Value {
    const char* name;
    DWORD type;
    std::string data;  // a string's data with its NUL
  };
  const Value values[] = {
      {"Publisher", REG_SZ, std::string("Quillon", 8)},
      {"DisplayVersion", REG_SZ, std::string("6.49", 5)},
      {"DisplayIcon", REG_SZ, uninstaller + '\0'},
      {"UninstallString", REG_SZ, "\"" + uninstaller + "\" " + root + "\\uninst.qln" + '\0'},
      {"InstallLocation", REG_SZ, root + '\0'},
      {"EstimatedSize", REG_DWORD, Dword(LoggedKib(log))},
      {"NoModify", REG_DWORD, Dword(1)},
      {"NoRepair", REG_DWORD, Dword(1)},
  };
  for (const Value& v : values) {
    DWORD type = REG_NONE;
    std::string data;
    ASSERT_TRUE(RegGetRaw(HKEY_LOCAL_MACHINE, kUninstallKey, v.name, &type, &data)) << v.name;
    EXPECT_EQ(type, v.type) << v.name;
    EXPECT_EQ(data, v.data) << v.name;
  }
  EXPECT_GT(LoggedKib(log), LoggedKib({{3, wizard::UninstallerFile()}})) << "the uninstaller is one file of many";

  ASSERT_EQ(wizard::UninstallAsRegistered(), "");
  EXPECT_FALSE(DirectoryExists(root)) << ListTree(root);
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_EQ(PendingRenames(), std::vector<std::string>{uninstaller});
}

TEST_F(Install, Delphi7IntoARootWithBlanks) {
  const std::string ide = "C:\\tvtest\\Program Files\\Borland\\Delphi7";
  ASSERT_TRUE(wizard::MakeIde("d7", ide));
  Open();
  ASSERT_TRUE(wizard::Next(s));
  const std::string root = "C:\\tvtest\\Program Files\\Borland\\TarvelLib";
  EXPECT_EQ(ItemText(s.dialog, 120), root);  // parent of the IDE root, plus TarvelLib
  const auto rows = wizard::ListRows(s);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].text, " Files for Borland Delphi 7");
  SaveScreenshot(s.dialog, "install-2-components");
  ASSERT_TRUE(wizard::Install(s));
  SaveScreenshot(s.dialog, "install-4-finish");
  const char* known = "Software\\Borland\\Delphi\\7.0\\Known Packages";
  std::string value;
  ASSERT_TRUE(RegGetString(HKEY_CURRENT_USER, known, (root + "\\Delphi7\\tarveld7.bpl").c_str(), &value));
  EXPECT_EQ(value, "Tarvel Lib v6.49 (trial) VCL");
  ASSERT_TRUE(RegGetString(HKEY_CURRENT_USER, known, (root + "\\Delphi7\\tarveld7clx.bpl").c_str(), &value));
  EXPECT_EQ(value, "Tarvel Lib v6.49 (trial) CLX");
  ASSERT_TRUE(RegGetString(HKEY_CURRENT_USER, "Software\\Borland\\Delphi\\7.0\\Library", "Search Path", &value));
  const std::string entry = ";" + root + "\\Delphi7";
  EXPECT_EQ(value.substr(value.size() - entry.size()), entry);
  std::string help;
  ASSERT_TRUE(ReadFileBytes(ide + "\\Help\\d7.ohi", &help));
  EXPECT_TRUE(EndsWith(help, "\r\n:INDEX Tarvel Lib Help=tarvel.hlp\r\n")) << help;
  ASSERT_TRUE(ReadFileBytes(ide + "\\Help\\d7.ohl", &help));
  EXPECT_TRUE(EndsWith(help, "\r\n:Link tarvel.hlp\r\n")) << help;
  EXPECT_FALSE(FileExists(ide + "\\Help\\d7.gid"));
  EXPECT_TRUE(FileExists(wizard::SystemDir() + "\\tarveld7.bpl"));
  EXPECT_TRUE(FileExists(wizard::SystemDir() + "\\tarveld7clx.bpl"));
  ASSERT_TRUE(RegGetString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", &value));
  EXPECT_EQ(value, "\"" + wizard::UninstallerFile() + "\" " + root + "\\uninst.qln");
  // The last IDE's texts stay while the scripts without an IDE run.
  FinishWizard();
}

TEST_F(Install, AllTenIdesRun943StepsAndBuildInTableOrder) {
  static const char* kVersions[] = {"d3", "d4", "d5", "d6", "d7", "d2005", "bcb3", "bcb4", "bcb5", "bcb6"};
  for (const char* v : kVersions) ASSERT_TRUE(wizard::MakeIde(v, std::string("C:\\tvtest\\ide\\") + v)) << v;
  Open();
  ASSERT_TRUE(wizard::Next(s));
  EXPECT_EQ(wizard::ListRows(s).size(), 12u);
  Click(s.dialog, 202);
  ASSERT_TRUE(wizard::WaitStep(s, 3));
  // Page 3: only Cancel (disabled), the picture, the texts, the label and the bar.
  EXPECT_FALSE(IsShown(s.dialog, 201));
  EXPECT_FALSE(IsShown(s.dialog, 202));
  EXPECT_TRUE(IsShown(s.dialog, 106));
  EXPECT_FALSE(IsEnabled(s.dialog, 203));
  SaveScreenshot(s.dialog, "install-3-running");
  ASSERT_TRUE(wizard::WaitFinished(s));
  EXPECT_EQ(ProgressHigh(s), 943);
  EXPECT_EQ(ProgressPos(s), 943);
  // Page 4: only Finish, the picture, the texts and the step label.
  for (int id : {201, 202, 106, 120, 121, 119}) EXPECT_FALSE(IsShown(s.dialog, id)) << id;
  for (int id : {203, 300, 101, 102, 105, 107}) EXPECT_TRUE(IsShown(s.dialog, id)) << id;
  EXPECT_EQ(ItemText(s.dialog, 101), "\rThe installation process was\r successfully complete !");
  // Every build command, in table order, in the folder of its IDE version.
  std::vector<std::string> commands;
  for (const char* v : kVersions) {
    std::string journal;
    ReadFileBytes(std::string("C:\\tvtest\\ide\\") + v + "\\buildtools.log", &journal);
    for (const std::string& line : Lines(journal)) commands.push_back(line);
  }
  ASSERT_EQ(commands.size(), 16u);  // 6 Delphi + 2 CLX; C++Builder 1 + 1 + 2 + 2 and 2 CLX
  EXPECT_NE(commands[0].find("dcc32.exe\" \"tarveld3.dpk\""), std::string::npos) << commands[0];
  EXPECT_NE(commands[15].find("make.exe\" /ftarvelb6clx.mak\""), std::string::npos) << commands[15];
  FinishWizard();
}

TEST_F(Install, ASecondInstallationIntoTheSameRootReplacesTheOldTraces) {
  const std::string ide = "C:\\tvtest\\ide\\d7";
  ASSERT_TRUE(wizard::MakeIde("d7", ide, "--stale-packages=C:\\Old\\TarvelLib --library=C:\\Old\\TarvelLib"));
  const std::string root = "C:\\tvtest\\again";
  for (int run = 0; run < 2; ++run) {
    Open();
    ASSERT_TRUE(wizard::Install(s, root)) << "run " << run;
    FinishWizard();
  }
  std::string help;
  ASSERT_TRUE(ReadFileBytes(ide + "\\Help\\d7.ohi", &help));
  EXPECT_EQ(Count(help, ":INDEX Tarvel Lib Help=tarvel.hlp"), 1);
  ASSERT_TRUE(ReadFileBytes(ide + "\\Help\\d7.ohl", &help));
  EXPECT_EQ(Count(help, ":Link tarvel.hlp"), 1);
  EXPECT_FALSE(FileExists(ide + "\\Help\\d7.gid"));
  // Only this root's packages stay registered; the foreign ones are untouched.
  const char* known = "Software\\Borland\\Delphi\\7.0\\Known Packages";
  EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, known, "C:\\Old\\TarvelLib\\Delphi7\\tarveld7.bpl"));
  EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, known, (root + "\\Delphi7\\tarveld7.bpl").c_str()));
  std::string value;
  ASSERT_TRUE(RegGetString(HKEY_CURRENT_USER, "Software\\Borland\\Delphi\\7.0\\Library", "Search Path", &value));
  // The first run's entry was replaced, not added to; entries of a root that no
  // installation recorded are not ours to remove.
  EXPECT_EQ(Count(value, root + "\\Delphi7"), 1) << value;
  EXPECT_NE(value.find("C:\\Old\\TarvelLib\\Delphi7"), std::string::npos) << value;
  ASSERT_TRUE(RegGetString(HKEY_LOCAL_MACHINE, "Software\\Quillon\\Tarvel Lib", "RootDir", &value));
  EXPECT_EQ(value, root);
  const auto log = wizard::ReadLog(root + "\\uninst.qln");
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front().type, 1);
  EXPECT_EQ(log.back().type, 8);
  int components = 0;
  for (const auto& r : log) components += r.type == 2;
  EXPECT_EQ(components, 4);  // one run's records only
}

// An earlier installation's root is proposed on every visit, unless /D= without /S
// (the package manager's interactive install with a location) proposes another.
TEST_F(Install, AnEarlierRootIsOfferedOnEveryVisit) {
  RegSetString(HKEY_LOCAL_MACHINE, "Software\\Quillon\\Tarvel Lib", "RootDir", "C:\\tvtest\\earlier");
  for (const std::string proposed : {"C:\\tvtest\\earlier", "C:\\tvtest\\given lib"}) {
    wizard::End(s);
    ASSERT_TRUE(wizard::Start(&s, "setup/setup.exe", proposed.ends_with("lib") ? "/D=" + proposed + " " : ""));
    for (int visit = 0; visit < 3; ++visit) {
      ASSERT_TRUE(wizard::Next(s));
      EXPECT_EQ(ItemText(s.dialog, 120), proposed) << "visit " << visit;
      SetItemText(s.dialog, 120, "C:\\elsewhere");
      ASSERT_TRUE(wizard::Prev(s));
    }
  }
}

TEST_F(Install, RoundTripThroughTheRegisteredUninstallCommand) {
  const std::string ide = "C:\\tvtest\\ide\\bcb5";
  ASSERT_TRUE(wizard::MakeIde("d7", "C:\\tvtest\\ide\\d7"));
  ASSERT_TRUE(wizard::MakeIde("bcb5", ide));
  Open();
  const std::string root = "C:\\tvtest\\round trip";
  ASSERT_TRUE(wizard::Install(s, root));
  FinishWizard();
  const auto log = wizard::ReadLog(root + "\\uninst.qln");
  ASSERT_GT(log.size(), 100u);
  ASSERT_EQ(wizard::UninstallAsRegistered(), "");
  const std::string uninstaller = wizard::SystemDir() + "\\qlnclear.exe";
  int key = 0;
  std::string keyPath;
  for (const auto& r : log) {
    if (r.type == 3 && lstrcmpiA(r.text.c_str(), uninstaller.c_str()) != 0) {
      EXPECT_FALSE(FileExists(r.text)) << r.text;
    }
    if (r.type == 9) {
      EXPECT_FALSE(DirectoryExists(r.text)) << r.text;
    }
    if (r.type == 4 || r.type == 5) key = r.type, keyPath = r.text;
    if (r.type == 6) {
      EXPECT_FALSE(RegValueExists(key == 4 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, keyPath.c_str(), r.text.c_str()))
          << keyPath << "\\" << r.text;
    }
  }
  EXPECT_FALSE(DirectoryExists(root)) << ListTree(root);
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  // What the installation did not log stays: the search path entry, the help lines, RootDir.
  std::string value;
  ASSERT_TRUE(RegGetString(HKEY_CURRENT_USER, "Software\\Borland\\C++Builder\\5.0\\Library", "Search Path", &value));
  EXPECT_NE(value.find(root + "\\CBuilder5"), std::string::npos);
  std::string help;
  ASSERT_TRUE(ReadFileBytes(ide + "\\Help\\bcb5.ohl", &help));
  EXPECT_EQ(Count(help, ":Link tarvel.hlp"), 1);
  EXPECT_TRUE(RegGetString(HKEY_LOCAL_MACHINE, "Software\\Quillon\\Tarvel Lib", "RootDir", &value));
}

// A Delphi 7 running from its Bin folder is named in a box when Next would start the
// installation and when Uninstall would start the removal: Cancel writes and removes
// nothing, Retry once it has closed goes on.
TEST_F(Install, ARunningIdeIsNamedBeforeInstallingAndBeforeRemoving) {
  const std::string root = "C:\\tvtest\\lib", exe = "C:\\tvtest\\ide\\d7\\Bin\\delphi32.exe";
  const std::string named = "Borland Delphi 7 is running. Close it, then press Retry.";
  ASSERT_TRUE(wizard::MakeIde("d7", "C:\\tvtest\\ide\\d7"));
  Program ide;
  HWND ideWindow = nullptr;
  ASSERT_TRUE(StartStandinIde(exe, &ide, &ideWindow));
  Open();
  ASSERT_TRUE(wizard::Next(s));
  SetItemText(s.dialog, 120, root.c_str());
  for (int answer : {IDCANCEL, IDRETRY}) {
    Click(s.dialog, 202);
    HWND box = WaitForMessageBox(s.program.pid, "Quillon presents ...");
    ASSERT_NE(box, nullptr) << DescribeWindows(s.program.pid);
    EXPECT_EQ(MessageBoxText(box), named);
    if (answer == IDRETRY) {
      Close(ideWindow);
      DWORD code = 0;
      ASSERT_TRUE(WaitExit(ide, 10000, &code));
    }
    AnswerMessageBox(box, answer);
    if (answer == IDCANCEL) {
      ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(s.dialog) != FALSE; }));
      EXPECT_EQ(ItemText(s.dialog, 107), "step 2/4");
      EXPECT_FALSE(DirectoryExists(root));
    }
  }
  ASSERT_TRUE(wizard::WaitStep(s, 3) && WaitUntil([&] { return IsEnabled(s.dialog, 203); }, 60000));
  FinishWizard();
  ASSERT_TRUE(FileExists(root + "\\uninst.qln"));

  ASSERT_TRUE(StartStandinIde(exe, &ide, &ideWindow));
  Program remover;
  ASSERT_TRUE(Start("\"" + BuildPath("uninstaller/qlnclear.exe") + "\" " + root + "\\uninst.qln", &remover));
  HWND dialog = WaitForWindow(remover.pid, "#32770", "Uninstall - Quillon");
  // Pressed once shown, as a person presses it: the dialog box shows its window only when
  // its queue is first idle, which a busy machine can put after the box below.
  ASSERT_TRUE(dialog != nullptr && WaitUntil([&] { return IsWindowVisible(dialog) && IsEnabled(dialog, 202); }));
  Click(dialog, 202);
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = FindOtherWindow(remover.pid, "#32770", dialog)) != nullptr; }));
  EXPECT_EQ(MessageBoxText(box), named);
  AnswerMessageBox(box, IDCANCEL);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(dialog) != FALSE; }));
  EXPECT_TRUE(IsShown(dialog, 202));
  EXPECT_TRUE(FileExists(root + "\\uninst.qln"));
  Click(dialog, 203);
  DWORD code = 1;
  EXPECT_TRUE(WaitExit(remover, 10000, &code));
  Close(ideWindow);
  EXPECT_TRUE(WaitExit(ide, 10000, &code));
  EXPECT_EQ(wizard::UninstallAsRegistered(), "");
}

// The C++Builder 6 CLX block records no incremental-link files, so the four that its
// make leaves stay after an uninstall, and with them the folders above them.
// The package that a running IDE holds open is left for the restart, after the
// uninstaller's own file, and then the logged folders around it, deepest first.
TEST_F(Install, BuilderSixClxLinkFilesAreNotLoggedAndStay) {
  ASSERT_TRUE(wizard::MakeIde("bcb6", "C:\\tvtest\\ide\\bcb6"));
  Open();
  const std::string root = "C:\\tvtest\\bcb6";
  ASSERT_TRUE(wizard::Install(s, root));
  FinishWizard();
  const std::string folder = root + "\\CBuilder6", package = folder + "\\tarvelb6.bpl";
  HANDLE ide = CreateFileA(package.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(ide, INVALID_HANDLE_VALUE);
  ASSERT_EQ(wizard::UninstallAsRegistered(3010), "") << "a file other than its own waits for the restart";
  CloseHandle(ide);
  EXPECT_EQ(ListTree(root), folder + "\n" + folder + "\\tarvelb6.bpl\n" + folder + "\\tarvelb6clx.ilc\n" + folder +
                                "\\tarvelb6clx.ild\n" + folder + "\\tarvelb6clx.ilf\n" + folder + "\\tarvelb6clx.ils\n");
  EXPECT_EQ(PendingRenames(),
            (std::vector<std::string>{package, wizard::UninstallerFile(), folder, root}));
}

TEST_F(Install, ClosingDuringTheRunIsRefusedAndTheRunGoesOn) {
  ASSERT_TRUE(wizard::MakeIde("d7", "C:\\tvtest\\ide\\d7", "--tool-delay=1500"));
  Open();
  ASSERT_TRUE(wizard::Next(s));
  SetItemText(s.dialog, 120, "C:\\tvtest\\closed");
  Click(s.dialog, 202);
  ASSERT_TRUE(wizard::WaitStep(s, 3));
  for (int i = 0; i < 3; ++i) {
    Close(s.dialog);
    PostMessageA(s.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    Command(s.dialog, 203);
  }
  SendMessageA(s.dialog, WM_NULL, 0, 0);
  EXPECT_EQ(FindTopWindow(s.program.pid, "#32770", "Quillon presents ..."), nullptr);
  ASSERT_TRUE(wizard::WaitFinished(s)) << ItemText(s.dialog, 107);
  EXPECT_EQ(wizard::ReadLog("C:\\tvtest\\closed\\uninst.qln").back().type, 8);
  // The finish page ends without a question.
  Close(s.dialog);
  DWORD code = 1;
  ASSERT_TRUE(WaitExit(s.program, 10000, &code));
  EXPECT_EQ(code, 0u);
}

TEST_F(Install, AWorkerThatCannotStartIsNotReportedAsSuccess) {
  const std::string diag = FreshFolder("noworker log") + "\\setup.log";
  ASSERT_TRUE(wizard::Start(&s, "tests/wine/wizard/setup_without_worker.exe", "/LOG=\"" + diag + "\""));
  ASSERT_TRUE(wizard::Next(s));
  SetItemText(s.dialog, 120, "C:\\tvtest\\noworker");
  Click(s.dialog, 202);
  ASSERT_TRUE(wizard::WaitFinished(s));
  EXPECT_EQ(ItemText(s.dialog, 101), "\rThe installation could not be started:\r nothing was installed.");
  const auto log = wizard::ReadLog("C:\\tvtest\\noworker\\uninst.qln");
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].type, 1);
  EXPECT_EQ(log[1].type, 9);
  EXPECT_EQ(log[2].type, 8);
  FinishWizard(4);
  std::string text;
  EXPECT_TRUE(ReadFileBytes(diag, &text) && text.ends_with("\r\nExit code 4\r\n")) << text;
}

}  // namespace
