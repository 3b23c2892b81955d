// Hostile uninstall logs given to qlnclear.exe: cut, huge, naming what is outside the
// installation, folders holding user files or replaced by a link, wildcards and empty
// names, and two uninstallers on one log. Nothing the log does not name may go.
#include <windows.h>
// windows.h first: the common-controls header builds on its types.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/driver/driver.h"

using namespace driver;

namespace {

constexpr int kMessage = 102, kStatus = 103, kProgress = 106, kUninstall = 202, kCancel = 203;
constexpr char kCaption[] = "Uninstall - Quillon";
constexpr char kDone[] = "Uninstall is ready !";

std::string Rec(int type, const std::string& text) { return std::string(1, static_cast<char>(type)) + text + '\0'; }

bool StartOn(const std::string& logPath, Program* p) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::string line = "qlnclear.exe " + logPath;
  const std::string exe = BuildPath("uninstaller/qlnclear.exe");
  if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  CloseHandle(pi.hThread);
  p->process = pi.hProcess;
  p->pid = pi.dwProcessId;
  return true;
}

HWND ReadyDialog(const Program& p) {
  HWND dialog = WaitForWindow(p.pid, "#32770", kCaption);
  if (dialog == nullptr) return nullptr;
  return WaitUntil([&] { return IsWindowVisible(dialog) && IsEnabled(dialog, kUninstall); }) ? dialog : nullptr;
}

// Presses Uninstall, waits for the end of the walk, checks the bar is in range and
// the process still answers, and presses Finish; *message gets the closing line. The
// exit code must be expected: 3 when something the log names stays.
void RunWalk(HWND dialog, Program& p, const std::string& name, std::string* message = nullptr, DWORD expected = 0) {
  Click(dialog, kUninstall);
  ASSERT_TRUE(WaitUntil([&] { return ItemText(dialog, kStatus) == kDone; }, 60000)) << name;
  const auto pos = SendMessageA(Item(dialog, kProgress), PBM_GETPOS, 0, 0);
  const auto high = SendMessageA(Item(dialog, kProgress), PBM_GETRANGE, FALSE, 0);
  EXPECT_LE(pos, high) << name;
  DWORD_PTR result = 0;
  EXPECT_NE(SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result), 0) << name;
  if (message != nullptr) *message = ItemText(dialog, kMessage);
  Click(dialog, kCancel);
  DWORD code = 1;
  EXPECT_TRUE(WaitExit(p, 10000, &code)) << name;
  EXPECT_EQ(code, expected) << name;
  CloseHandle(p.process);
  p.process = nullptr;
}

// A file tree made for one row: files and folders, and which of them the row
// expects to be gone afterwards.
struct Tree {
  std::string root, outside;
  std::vector<std::string> files, folders;
};

// Ends what a failed assertion left running, so no uninstaller outlives its test.
struct Running {
  Program p;
  ~Running() { Kill(p); }
};

void Touch(const std::string& path) { ASSERT_TRUE(WriteFileBytes(path, "x")) << path; }

struct LogCase {
  const char* name;
  // Builds the log over the tree; fills the paths that must be gone and must stay.
  std::string (*build)(const Tree& t, std::vector<std::string>* gone, std::vector<std::string>* kept);
  const char* message = "Finished";  // the closing line
  DWORD code = 0;
};

std::string CutInsideARecord(const Tree& t, std::vector<std::string>* gone, std::vector<std::string>* kept) {
  gone->push_back(t.files[0]);
  // The log ends inside the name of files[1]: the cut name is a file of its own.
  const std::string cut = t.files[1].substr(0, t.files[1].size() - 1);
  Touch(cut);
  kept->push_back(cut);
  kept->push_back(t.files[1]);
  kept->push_back(t.root);
  const std::string full = Rec(1, "B") + Rec(9, t.root) + Rec(3, t.files[0]) + Rec(3, t.files[1]);
  return full.substr(0, full.size() - 2);
}

std::string OutsideTheRoot(const Tree& t, std::vector<std::string>* gone, std::vector<std::string>* kept) {
  // The log is the authority: a file it names outside the root goes (the installer
  // puts packages into the system folder); its neighbours stay.
  gone->push_back(t.outside + "\\named.bpl");
  kept->push_back(t.outside + "\\neighbour.bpl");
  kept->push_back(t.outside);
  Touch(t.outside + "\\named.bpl");
  Touch(t.outside + "\\neighbour.bpl");
  return Rec(1, "B") + Rec(3, t.outside + "\\named.bpl") + Rec(9, t.outside);
}

std::string FoldersWithUserFiles(const Tree& t, std::vector<std::string>* gone, std::vector<std::string>* kept) {
  gone->push_back(t.files[0]);
  gone->push_back(t.folders[0]);  // empty once its logged file is gone
  kept->push_back(t.folders[1]);
  kept->push_back(t.files[1]);  // the user's, in folders[1]
  kept->push_back(t.root);
  return Rec(1, "B") + Rec(9, t.root) + Rec(9, t.folders[0]) + Rec(9, t.folders[1]) + Rec(3, t.files[0]);
}

std::string WildcardsDrivesAndEmptyNames(const Tree& t, std::vector<std::string>* gone,
                                         std::vector<std::string>* kept) {
  (void)gone;
  for (const std::string& f : t.files) kept->push_back(f);
  for (const std::string& f : t.folders) kept->push_back(f);
  kept->push_back(t.root);
  return Rec(1, "B") + Rec(3, t.root + "\\*.*") + Rec(3, t.root + "\\*") + Rec(3, t.folders[1] + "\\?ser.txt") +
         Rec(3, "") + Rec(3, t.folders[0]) + Rec(9, "") + Rec(9, "C:\\") + Rec(9, t.root + "\\..") +
         Rec(9, t.root + "\\*") + Rec(9, t.root) + Rec(3, ".") + Rec(3, "..");
}

std::string LinkInPlaceOfALoggedFolder(const Tree& t, std::vector<std::string>* gone,
                                      std::vector<std::string>* kept) {
  // A user replaced the logged Delphi7 by a link to a folder holding a file of the
  // same name: neither the file there nor that folder may go, the rest does.
  EXPECT_TRUE(DeleteFileA(t.files[0].c_str()) && RemoveDirectoryA(t.folders[0].c_str()));
  EXPECT_TRUE(MakeLink(t.folders[0], t.outside));
  Touch(t.outside + "\\tarveld7.dcu");
  Touch(t.root + "\\readme.txt");
  gone->push_back(t.root + "\\readme.txt");
  kept->push_back(t.outside + "\\tarveld7.dcu");
  kept->push_back(t.outside);
  return Rec(1, "B") + Rec(9, t.root) + Rec(9, t.folders[0]) + Rec(3, t.files[0]) + Rec(3, t.root + "\\readme.txt");
}

// Each logged file is opened once, and checked through the handle that would delete it.
// Only a hard link can stand for a linked file here: unlike Windows, Wine shows a Unix link
// to a file nowhere as a link, and a handle opened by its name is its target's.
std::string LoggedFileWithASecondName(const Tree& t, std::vector<std::string>* gone, std::vector<std::string>* kept) {
  const std::string second = t.outside + "\\second.txt";
  Touch(second);
  EXPECT_TRUE(CreateHardLinkA((t.root + "\\readme.txt").c_str(), second.c_str(), nullptr));
  gone->push_back(t.files[0]);
  *kept = {second, t.root + "\\readme.txt"};
  return Rec(1, "B") + Rec(3, t.root + "\\readme.txt") + Rec(3, t.files[0]);
}

// The root is the log's own folder, whatever the records name first.
std::string FilesBeforeAnyFolder(const Tree& t, std::vector<std::string>* gone, std::vector<std::string>* kept) {
  const std::string full = LinkInPlaceOfALoggedFolder(t, gone, kept);
  const std::string folders = Rec(9, t.root) + Rec(9, t.folders[0]);
  const std::size_t at = full.find(folders);
  return full.substr(0, at) + full.substr(at + folders.size()) + Rec(9, t.outside);
}

std::string ThreeThousandDirectories(const Tree& t, std::vector<std::string>* gone, std::vector<std::string>* kept) {
  std::string log = Rec(1, "B") + Rec(9, t.root);
  for (int i = 0; i < 3000; ++i) {
    char name[40];
    std::snprintf(name, sizeof name, "\\level%04d", i);
    const std::string folder = t.root + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    gone->push_back(folder);
    log += Rec(9, folder);
  }
  kept->push_back(t.root);  // it still holds the user's folder
  kept->push_back(t.files[1]);
  return log;
}

TEST(HostileLog, EachLogRemovesOnlyWhatItNames) {
  const LogCase cases[] = {
      {"truncated inside a record", CutInsideARecord},
      {"naming files outside the installation root", OutsideTheRoot},
      {"naming folders that hold user files", FoldersWithUserFiles},
      {"wildcards, drive roots, '..' and empty names", WildcardsDrivesAndEmptyNames, "Finished", 3},
      {"3,000 directory records, longer than 65535 bytes", ThreeThousandDirectories},
      {"a link in place of a logged folder", LinkInPlaceOfALoggedFolder,
       "Finished (2 paths through a link left alone)", 3},
      {"file records before any folder", FilesBeforeAnyFolder, "Finished (1 paths through a link left alone)", 3},
      {"a logged file with a second name", LoggedFileWithASecondName, "Finished (1 paths through a link left alone)", 3},
  };
  for (const LogCase& c : cases) {
    Tree t;
    t.root = FreshFolder("hostile");
    t.outside = FreshFolder("outside");
    t.folders = {t.root + "\\Delphi7", t.root + "\\Mine"};
    for (const std::string& f : t.folders) ASSERT_TRUE(CreateDirectoryA(f.c_str(), nullptr)) << f;
    t.files = {t.folders[0] + "\\tarveld7.dcu", t.folders[1] + "\\user.txt"};
    for (const std::string& f : t.files) Touch(f);
    std::vector<std::string> gone, kept;
    const std::string log = c.build(t, &gone, &kept);
    const std::string logPath = t.root + "\\uninst.qln";
    ASSERT_TRUE(WriteFileBytes(logPath, log)) << c.name;
    Running run;
    ASSERT_TRUE(StartOn(logPath, &run.p)) << c.name;
    HWND dialog = ReadyDialog(run.p);
    ASSERT_NE(dialog, nullptr) << c.name << ": " << DescribeWindows(run.p.pid);
    std::string message;
    RunWalk(dialog, run.p, c.name, &message, c.code);
    EXPECT_EQ(message, c.message) << c.name;
    for (const std::string& g : gone) EXPECT_FALSE(FileExists(g) || DirectoryExists(g)) << c.name << ": " << g;
    for (const std::string& k : kept) EXPECT_TRUE(FileExists(k) || DirectoryExists(k)) << c.name << ": " << k;
    EXPECT_TRUE(DirectoryExists("C:\\windows")) << c.name;
    RemoveTree(t.root);
    RemoveTree(t.outside);
  }
}

TEST(HostileLog, TwoUninstallersOnOneLogBothFinish) {
  const std::string root = FreshFolder("twice");
  const std::string sub = root + "\\Delphi7", file = sub + "\\tarveld7.dcu", mine = root + "\\mine.txt";
  ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
  Touch(file);
  Touch(mine);
  const std::string logPath = root + "\\uninst.qln";
  ASSERT_TRUE(WriteFileBytes(logPath, Rec(1, "B") + Rec(9, root) + Rec(9, sub) + Rec(3, file)));
  // The second starts once the first has read the log (the log is read without
  // sharing, so one started at the same instant may find it locked and say "Wrong start").
  Running first, second;
  ASSERT_TRUE(StartOn(logPath, &first.p));
  HWND a = ReadyDialog(first.p);
  ASSERT_NE(a, nullptr) << DescribeWindows(first.p.pid);
  ASSERT_TRUE(StartOn(logPath, &second.p));
  HWND b = ReadyDialog(second.p);
  ASSERT_NE(b, nullptr) << DescribeWindows(second.p.pid);
  // The second walks a log whose objects the first has already removed, and whose
  // file is gone.
  RunWalk(a, first.p, "first");
  RunWalk(b, second.p, "second");
  EXPECT_FALSE(FileExists(file));
  EXPECT_FALSE(DirectoryExists(sub));
  EXPECT_FALSE(FileExists(logPath));
  EXPECT_TRUE(FileExists(mine));
  EXPECT_TRUE(DirectoryExists(root));
  RemoveTree(root);
}

}  // namespace

namespace {

// The tests' own clean-up once took an empty folder name (a fixture whose set-up
// failed early) for the current drive's root. Only the rule is asked about the
// hostile names: removing them for real would cost the prefix, or the host's files.
TEST(TestClean, RemoveTreeRemovesOnlyFoldersTheTestsMade) {
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  for (const std::string& hostile : {std::string(), std::string("."), std::string("a.txt"), std::string("\\windows"),
                                    std::string("C:"), std::string("C:\\"), std::string("C:\\windows"),
                                    std::string("Z:\\"), std::string("Z:\\work"), std::string("C:\\tvtest\\..\\windows"),
                                    std::string("C:\\tvtestx"), std::string("C:\\TarvelLibx"), std::string(temp)})
    EXPECT_FALSE(MayRemoveTree(hostile)) << hostile;
  EXPECT_TRUE(MayRemoveTree("C:\\tvtest"));
  EXPECT_TRUE(MayRemoveTree("C:\\TVTEST\\bench"));
  EXPECT_TRUE(MayRemoveTree("C:\\TarvelLib"));

  const std::string mine = FreshFolder("clean");
  EXPECT_TRUE(MayRemoveTree(mine));
  ASSERT_TRUE(CreateDirectoryA((mine + "\\sub").c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(mine + "\\sub\\a.txt", "x"));
  RemoveTree(mine);
  EXPECT_FALSE(DirectoryExists(mine));
}

}  // namespace
