// qlnclear.exe seen from outside: the tests write their own logs over real files,
// folders and registry keys, start the uninstaller with a chosen command line and
// check what it shows and what is left afterwards.
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

constexpr int kTitle = 101, kMessage = 102, kStatus = 103, kProgress = 106, kUninstall = 202, kCancel = 203;
const char kCaption[] = "Uninstall - Quillon";
const char kTemplateTitle[] = "Tarvel Lib Uninstaller, version 2.07\nQuillon";
const char kWrongStart[] = "Wrong start !!! Don't use manually !!!";
const char kReady[] = "Press the <Uninstall> button for start the removing:";
const char kRestart[] = "Finished. Restart Windows to complete the removal !";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvel Lib";
const char kTestKey[] = "Software\\Tarvel Uninstaller Test";

std::string Rec(int type, const std::string& text) {
  return std::string(1, static_cast<char>(type)) + text + std::string(1, '\0');
}

std::string Exe() { return BuildPath("uninstaller/qlnclear.exe"); }

// The command line is passed as given: the uninstaller parses it itself.
bool StartUninstaller(const std::string& program, const std::string& commandLine, Program* p) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::string line = commandLine;
  if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    return false;
  }
  CloseHandle(pi.hThread);
  p->process = pi.hProcess;
  p->pid = pi.dwProcessId;
  return true;
}

// The dialog once its start-up has run (it is shown only after WM_INITDIALOG).
HWND WaitForDialog(const Program& p) {
  HWND dialog = WaitForWindow(p.pid, "#32770", kCaption);
  if (dialog == nullptr) return nullptr;
  return WaitUntil([&] { return IsWindowVisible(dialog) != FALSE; }) ? dialog : nullptr;
}

unsigned ProgressPos(HWND dialog) {
  return static_cast<unsigned>(SendMessageA(Item(dialog, kProgress), PBM_GETPOS, 0, 0));
}
unsigned ProgressHigh(HWND dialog) {
  return static_cast<unsigned>(SendMessageA(Item(dialog, kProgress), PBM_GETRANGE, FALSE, 0));
}

// The exit code: the quiet run's for the same outcome.
DWORD ClickAndExit(HWND dialog, Program& p, int id = kCancel) {
  Click(dialog, id);
  DWORD code = 1234;
  EXPECT_TRUE(WaitExit(p, 10000, &code)) << DescribeWindows(p.pid);
  CloseHandle(p.process);
  p.process = nullptr;
  return code;
}

struct Finished {
  std::string title, message, status, cancel;
  bool uninstallShown = true;
  bool progressShown = false;
  unsigned position = 0, high = 0;
  int filled = -1, inner = 0;  // bar pixels painted in the highlight colour, of the bar's inner width
  DWORD code = 1234;
};

// The filled part of the bar, counted along its middle row inside the one-pixel margin;
// read from a capture of the whole dialog, since a child's own DC cannot be copied
// from another process here.
void ReadBar(HWND dialog, HWND bar, Finished* out) {
  Pixels px;
  RECT frame = {}, client = {};
  POINT origin = {0, 0};
  if (!Capture(dialog, &px) || !GetWindowRect(dialog, &frame) || !GetClientRect(bar, &client) ||
      !ClientToScreen(bar, &origin))
    return;
  const int left = origin.x - frame.left, y = origin.y - frame.top + client.bottom / 2;
  if (client.right < 3 || left < 0 || left + client.right > px.width || y < 0 || y >= px.height) return;
  const COLORREF c = GetSysColor(COLOR_HIGHLIGHT);
  const unsigned highlight = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  out->inner = client.right - 2;
  out->filled = 0;
  for (int x = 1; x < client.right - 1; ++x) out->filled += px.At(left + x, y) == highlight ? 1 : 0;
}

// Writes the log, starts the uninstaller as Windows would, presses Uninstall, reads
// the finished dialog and presses Finish.
bool RunLog(const std::string& logPath, const std::string& bytes, Finished* out,
            const std::string& program = Exe()) {
  if (!WriteFileBytes(logPath, bytes)) return false;
  Program p;
  if (!StartUninstaller(program, "qlnclear.exe " + logPath, &p)) return false;
  HWND dialog = WaitForDialog(p);
  if (dialog == nullptr || !IsEnabled(dialog, kUninstall)) {
    ADD_FAILURE() << "not ready: " << DescribeWindows(p.pid);
    Kill(p);
    return false;
  }
  Click(dialog, kUninstall);
  if (!WaitUntil([&] { return ItemText(dialog, kStatus) == "Uninstall is ready !"; }, 60000)) {
    ADD_FAILURE() << "did not finish: status '" << ItemText(dialog, kStatus) << "'";
    Kill(p);
    return false;
  }
  out->title = ItemText(dialog, kTitle);
  out->message = ItemText(dialog, kMessage);
  out->status = ItemText(dialog, kStatus);
  out->cancel = ItemText(dialog, kCancel);
  out->uninstallShown = IsShown(dialog, kUninstall);
  out->progressShown = IsShown(dialog, kProgress);
  out->position = ProgressPos(dialog);
  out->high = ProgressHigh(dialog);
  ReadBar(dialog, Item(dialog, kProgress), out);
  out->code = ClickAndExit(dialog, p);
  return true;
}

void ExpectClosingTexts(const Finished& f) {
  EXPECT_EQ(f.message, "Finished");
  EXPECT_EQ(f.status, "Uninstall is ready !");
  EXPECT_EQ(f.cancel, "Finish");
  EXPECT_FALSE(f.uninstallShown);
  EXPECT_TRUE(f.progressShown);
  EXPECT_EQ(f.code, 0u);
}

// Paints whatever is pending, so a capture sees the finished window.
void FlushPaint(HWND dialog) { RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

// The logo's gold ring inside the picture control (the caption's icon is gold too).
bool LogoIsDrawn(HWND dialog) {
  HWND picture = Item(dialog, 300);
  Pixels pixels;
  if (picture == nullptr || !Capture(dialog, &pixels)) return false;
  RECT frame = {};
  GetWindowRect(dialog, &frame);
  POINT origin = {0, 0};
  ClientToScreen(dialog, &origin);
  RECT r = RectInParent(picture);
  OffsetRect(&r, origin.x - frame.left, origin.y - frame.top);
  for (int y = r.top; y < r.bottom && y < pixels.height; ++y) {
    for (int x = r.left; x < r.right && x < pixels.width; ++x) {
      const unsigned rgb = pixels.At(x, y);
      const unsigned red = (rgb >> 16) & 255, green = (rgb >> 8) & 255, blue = rgb & 255;
      if (red > 180 && green > 130 && blue < 100) return true;
    }
  }
  return false;
}

void Touch(const std::string& path) { ASSERT_TRUE(WriteFileBytes(path, "x")) << path; }

TEST(Uninstaller, SharedFilesLogRemovesTheInstallation) {
  const std::string root = FreshFolder("shared") + "\\Tarvel Lib";
  ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
  const std::string system = FreshFolder("system");
  const std::string uninstaller = system + "\\qlnclear.exe";
  ASSERT_TRUE(CopyFileA(Exe().c_str(), uninstaller.c_str(), FALSE));
  const std::string fileA = root + "\\tvshared.txt", fileB = root + "\\tvlib.hlp";
  Touch(fileA);
  Touch(fileB);
  RegDeleteTree(HKEY_LOCAL_MACHINE, kUninstallKey);
  ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", "Tarvel Lib"));
  ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", "qlnclear.exe x"));

  const std::string banner = "Tarvel Lib 2.07\rfor Delphi and C++Builder";
  const std::string log = Rec(1, banner) + Rec(9, root) + Rec(2, " Shared Files") + Rec(3, fileA) +
                          Rec(3, fileB) + Rec(3, uninstaller) + Rec(5, kUninstallKey) + Rec(6, "DisplayName") +
                          Rec(5, kUninstallKey) + Rec(6, "UninstallString") + Rec(8, kUninstallKey);
  const std::string logPath = root + "\\uninst.qln";
  ASSERT_TRUE(WriteFileBytes(logPath, log));
  ForgetPendingRenames();

  Program p;
  ASSERT_TRUE(StartUninstaller(uninstaller, "qlnclear.exe " + logPath, &p));
  HWND dialog = WaitForDialog(p);
  ASSERT_NE(dialog, nullptr) << DescribeWindows(p.pid);
  EXPECT_EQ(ItemText(dialog, kTitle), banner);
  EXPECT_EQ(ItemText(dialog, kMessage), kReady);
  EXPECT_EQ(ItemText(dialog, kStatus), logPath);
  EXPECT_TRUE(IsEnabled(dialog, kUninstall));
  EXPECT_FALSE(IsShown(dialog, kProgress));
  EXPECT_EQ(ProgressPos(dialog), 0u) << "the bar is not touched before Uninstall";
  EXPECT_EQ(ProgressHigh(dialog), log.size());
  FlushPaint(dialog);
  // The picture may still be painting: wait for it rather than sample once.
  EXPECT_TRUE(WaitUntil([&] { return LogoIsDrawn(dialog); }, 5000)) << "bitmap 103 in item 300";
  SaveScreenshot(dialog, "uninstaller_ready");

  Click(dialog, kUninstall);
  ASSERT_TRUE(WaitUntil([&] { return ItemText(dialog, kCancel) == "Finish"; }));
  FlushPaint(dialog);
  EXPECT_TRUE(WaitUntil([&] { FlushPaint(dialog); return LogoIsDrawn(dialog); }, 3000)) << "logo after the walk";
  SaveScreenshot(dialog, "uninstaller_finished");
  EXPECT_EQ(ItemText(dialog, kTitle), banner);
  EXPECT_EQ(ItemText(dialog, kMessage), kRestart);
  EXPECT_EQ(ItemText(dialog, kStatus), "Uninstall is ready !");
  EXPECT_FALSE(IsShown(dialog, kUninstall));
  EXPECT_TRUE(IsShown(dialog, kProgress));
  EXPECT_EQ(ProgressPos(dialog), log.size());
  EXPECT_EQ(ClickAndExit(dialog, p), 0u) << "its own file left for the restart needs none";

  EXPECT_FALSE(FileExists(fileA));
  EXPECT_FALSE(FileExists(fileB));
  EXPECT_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));
  EXPECT_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_FALSE(FileExists(logPath));
  EXPECT_FALSE(DirectoryExists(root));
  EXPECT_TRUE(FileExists(uninstaller)) << "the running uninstaller cannot delete itself";
  EXPECT_EQ(PendingRenames(), std::vector<std::string>{uninstaller}) << "it is left for the restart";
  ForgetPendingRenames();
  RemoveTree(system);
}

// Files in use when the log names them are left for the restart, and after them the
// logged folders they keep, deepest first; nothing else, and nothing twice.
TEST(Uninstaller, FilesInUseAndTheirFoldersAreLeftForTheRestart) {
  const std::string root = FreshFolder("in use");
  const std::string bin = root + "\\bin", sub = root + "\\sub", other = root + "\\other";
  for (const std::string& d : {bin, sub, other}) ASSERT_TRUE(CreateDirectoryA(d.c_str(), nullptr)) << d;
  const std::string own = bin + "\\qlnclear.exe", held = sub + "\\held.bpl", gone = root + "\\gone.txt";
  const std::string readOnly = root + "\\readonly.txt", logged = other + "\\logged.txt", mine = other + "\\mine.txt";
  ASSERT_TRUE(CopyFileA(Exe().c_str(), own.c_str(), FALSE));
  for (const std::string& f : {held, gone, readOnly, logged, mine}) Touch(f);
  ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  const std::string log = Rec(1, "B") + Rec(9, root) + Rec(9, bin) + Rec(9, sub) + Rec(9, other) + Rec(3, held) +
                          Rec(3, own) + Rec(3, held) + Rec(3, gone) + Rec(3, readOnly) + Rec(3, root + "\\missing.txt") +
                          Rec(3, logged);
  ForgetPendingRenames();
  HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  Finished f;
  const bool ran = RunLog(root + "\\uninst.qln", log, &f, own);
  CloseHandle(holder);
  ASSERT_TRUE(ran);
  EXPECT_EQ(f.message, kRestart);
  EXPECT_EQ(f.status, "Uninstall is ready !");
  EXPECT_FALSE(FileExists(gone));
  EXPECT_FALSE(FileExists(logged));
  // A read-only file is refused for another reason than use: it stays, unscheduled.
  EXPECT_TRUE(FileExists(readOnly));
  EXPECT_EQ(f.code, 3u) << "something the log names is left";
  EXPECT_EQ(PendingRenames(), (std::vector<std::string>{held, own, sub, bin, root}));
  ForgetPendingRenames();
  SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveTree(root);
}

struct CommandLineCase {
  const char* name;
  int form;
  bool loaded;
};

enum Form { kNoArgument, kUnquoted, kQuotedNameAndPath, kQuotedNameAlone, kQuotedNameOneBlank, kTwoBlanks,
            kQuotedPath, kTooLong };

std::string CommandLineFor(int form, const std::string& exe, const std::string& log) {
  switch (form) {
    case kNoArgument: return "qlnclear.exe";
    case kUnquoted: return "qlnclear.exe " + log;
    case kQuotedNameAndPath: return "\"" + exe + "\" " + log;
    case kQuotedNameAlone: return "\"" + exe + "\"";
    case kQuotedNameOneBlank: return "\"" + exe + "\" ";
    case kTwoBlanks: return "qlnclear.exe  " + log;
    case kQuotedPath: return "qlnclear.exe \"" + log + "\"";
    // Cut to 259 characters, this would still open the log: Windows drops trailing blanks.
    default: return "qlnclear.exe " + log + std::string(300 - log.size(), ' ');
  }
}

std::string StatusFor(int form, const std::string& log) {
  switch (form) {
    case kUnquoted:
    case kQuotedNameAndPath: return log;
    case kTwoBlanks: return " " + log;
    case kQuotedPath: return "\"" + log + "\"";
    default: return "";
  }
}

TEST(Uninstaller, CommandLineForms) {
  static const CommandLineCase cases[] = {
      {"no argument", kNoArgument, false},
      {"unquoted name, path with blanks", kUnquoted, true},
      {"quoted name and path", kQuotedNameAndPath, true},
      {"quoted name alone", kQuotedNameAlone, false},
      {"quoted name and one blank", kQuotedNameOneBlank, false},
      {"two blanks after the name", kTwoBlanks, false},
      {"quoted path", kQuotedPath, false},
      {"300-character argument", kTooLong, false},
  };
  const std::string folder = FreshFolder("cmd") + "\\with blanks in it";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string logPath = folder + "\\uninst log.qln", file = folder + "\\kept.txt";
  Touch(file);
  ASSERT_TRUE(WriteFileBytes(logPath, Rec(1, "Command line banner") + Rec(3, file)));
  for (const CommandLineCase& c : cases) {
    const std::string line = CommandLineFor(c.form, Exe(), logPath);
    Program p;
    ASSERT_TRUE(StartUninstaller(Exe(), line, &p)) << c.name;
    HWND dialog = WaitForDialog(p);
    ASSERT_NE(dialog, nullptr) << c.name << ": " << DescribeWindows(p.pid);
    EXPECT_EQ(ItemText(dialog, kStatus), StatusFor(c.form, logPath)) << c.name;
    EXPECT_EQ(ItemText(dialog, kMessage), c.loaded ? kReady : kWrongStart) << c.name;
    EXPECT_EQ(ItemText(dialog, kTitle), c.loaded ? "Command line banner" : kTemplateTitle) << c.name;
    EXPECT_EQ(IsEnabled(dialog, kUninstall), c.loaded) << c.name;
    EXPECT_EQ(ClickAndExit(dialog, p), c.loaded ? 3u : 1u) << c.name << ": everything is left, or nothing read";
    EXPECT_TRUE(FileExists(logPath)) << c.name;
    EXPECT_TRUE(FileExists(file)) << c.name;
  }
}

// "/S " before the log path: the removal runs with no window ever visible and ends
// with 0, or 3010 when a file other than its own is left for the restart, or 3 when
// something the log names stays (a deletion refused, a path through a link); a log
// that cannot be loaded, or a /LOG= file that cannot be created, ends with 1 and
// removes nothing, and so does a running IDE, with 4, and a log that others than the
// administrators can change, with 2. The /LOG= file says what each record did.
TEST(Uninstaller, QuietForms) {
  struct QuietCase {
    const char* name;
    const char* program;
    std::string line;
    DWORD code;
    std::string logged = "";   // a line of the /LOG= file, which ends with the exit code
    bool hold = false;         // f.txt held open during the run
    std::string ownCopy = "";  // the program run, a copy of the uninstaller that the log names
    std::string ide = "";      // the stand-in IDE program runs from here, where Delphi 7's
                               // root (under HKEY_CURRENT_USER) puts its Bin folder or not
    std::string open = "";     // made changeable by everyone first (for good: these rows come last)
    bool readOnly = false;     // f.txt read-only
    bool link = false;         // the log also names a folder, a link to another (last: it stays)
  };
  const std::string folder = FreshFolder("quiet") + "\\with blanks", own = FreshFolder("quiet own");
  const std::string logPath = folder + "\\uninst.qln", file = folder + "\\f.txt", diag = own + "\\removal.log";
  const std::string withoutTemplate = BuildPath("uninstaller/qlnclear_without_template.exe");
  const std::string linked = folder + "\\linked";
  const QuietCase cases[] = {
      {"no log there", nullptr, "qlnclear.exe /S " + folder + "\\missing.qln", 1},
      {"no path", nullptr, "qlnclear.exe /S ", 1},
      {"no dialog template", withoutTemplate.c_str(), "qlnclear.exe /S " + logPath, 1},
      {"quoted name, lower case", nullptr, "\"" + Exe() + "\" /s " + logPath, 0},
      {"as registered", nullptr, "qlnclear.exe /S " + logPath, 0},
      {"a log that cannot be created", nullptr, "qlnclear.exe /S /LOG=" + own + "\\no\\r.log " + logPath, 1},
      {"a file in use", nullptr, "qlnclear.exe /S /LOG=\"" + diag + "\" " + logPath, 3010,
       "Left for the restart " + file + ": OK", true},
      {"its own file only", nullptr, "qlnclear.exe /S /LOG=\"" + diag + "\" " + logPath, 0,
       "Delete " + file + ": OK", false, own + "\\qlnclear.exe"},
      {"Delphi 7 running", nullptr, "qlnclear.exe /S /LOG=\"" + diag + "\" " + logPath, 4,
       "Borland Delphi 7 is running: process %pid, " + own + "\\d7\\Bin\\delphi32.exe", false, "",
       own + "\\d7\\Bin\\delphi32.exe"},
      {"a delphi32.exe elsewhere", nullptr, "qlnclear.exe /S " + logPath, 0, "", false, "", own + "\\d7\\delphi32.exe"},
      {"a deletion refused", nullptr, "qlnclear.exe /S /LOG=\"" + diag + "\" " + logPath, 3,
       "Delete " + file + ": error 5 (failure 1)", false, "", "", "", true},
      {"a folder replaced by a link", nullptr, "qlnclear.exe /S /LOG=\"" + diag + "\" " + logPath, 3,
       "Left alone, reached through a link: " + linked, false, "", "", "", false, true},
      // A user could have put these records there: nothing is removed.
      {"a log others can change", nullptr, "qlnclear.exe /S /LOG=\"" + diag + "\" " + logPath, 2,
       "Log refused: " + logPath + ": S-1-1-0 may change it (0x1301FF)", false, "", "", logPath},
      {"a log in a folder others can change", nullptr, "qlnclear.exe /S /LOG=\"" + diag + "\" " + logPath, 2,
       "Log refused: " + folder + ": S-1-1-0 may change it (0x1301FF)", false, "", "", folder},
  };
  for (const QuietCase& c : cases) {
    CreateDirectoryA(folder.c_str(), nullptr);
    Touch(file);
    if (!c.ownCopy.empty()) {
      ASSERT_TRUE(CopyFileA(Exe().c_str(), c.ownCopy.c_str(), FALSE));
    }
    if (c.readOnly) SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    if (c.link) {
      ASSERT_TRUE(MakeLink(linked, own));
    }
    ASSERT_TRUE(WriteFileBytes(logPath, Rec(1, "Quiet banner") + Rec(9, folder) + Rec(3, file) +
                                            (c.ownCopy.empty() ? "" : Rec(3, c.ownCopy)) +
                                            (c.link ? Rec(9, linked) : "")));
    if (!c.open.empty()) {
      ASSERT_TRUE(LetEveryoneChange(c.open)) << c.name;
    }
    ForgetPendingRenames();
    HANDLE held = c.hold ? CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr) : nullptr;
    Program ide;
    HWND ideWindow = nullptr;
    if (!c.ide.empty()) {
      ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, "Software\\Borland\\Delphi\\7.0", "RootDir", (own + "\\d7").c_str()));
      ASSERT_TRUE(StartStandinIde(c.ide, &ide, &ideWindow));
    }
    Program p;
    const std::string program = c.program != nullptr ? c.program : !c.ownCopy.empty() ? c.ownCopy : Exe();
    ASSERT_TRUE(StartUninstaller(program, c.line, &p)) << c.name;
    DWORD code = 99;
    std::string shown;
    EXPECT_TRUE(WaitExitUnseen(p, 30000, &code, &shown)) << c.name;
    Kill(p);
    if (held != nullptr) CloseHandle(held);
    if (!c.ide.empty()) {
      Close(ideWindow);
      DWORD ideCode = 0;
      EXPECT_TRUE(WaitExit(ide, 10000, &ideCode));
      RegDeleteTree(HKEY_CURRENT_USER, "Software\\Borland\\Delphi\\7.0");
    }
    EXPECT_EQ(code, c.code) << c.name;
    EXPECT_EQ(shown, "") << c.name;
    EXPECT_EQ(DirectoryExists(folder), c.code != 0) << c.name;
    EXPECT_EQ(FileExists(file), c.code != 0 && !c.link) << c.name;
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::string text;
    EXPECT_EQ(ReadFileBytes(diag, &text), !c.logged.empty()) << c.name;
    if (!c.logged.empty()) {
      std::string logged = c.logged;
      if (const std::size_t at = logged.find("%pid"); at != std::string::npos) logged.replace(at, 4, std::to_string(ide.pid));
      EXPECT_NE(text.find(logged + "\r\n"), std::string::npos) << c.name << "\n" << text;
      EXPECT_TRUE(text.ends_with("\r\nExit code " + std::to_string(c.code) + "\r\n")) << c.name << "\n" << text;
    }
    DeleteFileA(diag.c_str());
    ForgetPendingRenames();
  }
  RemoveTree(folder.substr(0, folder.rfind('\\')));
  RemoveTree(own);
}

TEST(Uninstaller, CancelOrCloseBoxInTheReadyStateRemoveNothing) {
  struct CloseCase {
    const char* name;
    bool closeBox;
  };
  static const CloseCase cases[] = {{"Cancel", false}, {"close box", true}};
  for (const CloseCase& c : cases) {
    const std::string root = FreshFolder("ready");
    const std::string file = root + "\\f.txt", logPath = root + "\\uninst.qln";
    Touch(file);
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, kTestKey, "Kept", "1"));
    ASSERT_TRUE(WriteFileBytes(logPath, Rec(1, "B") + Rec(9, root) + Rec(3, file) + Rec(4, kTestKey) + Rec(6, "Kept") +
                                            Rec(7, kTestKey)));
    Program p;
    ASSERT_TRUE(StartUninstaller(Exe(), "qlnclear.exe " + logPath, &p));
    HWND dialog = WaitForDialog(p);
    ASSERT_NE(dialog, nullptr) << c.name;
    // Esc's cancel command (2) and notifications other than a click do not close it.
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kCancel, BN_SETFOCUS), reinterpret_cast<LPARAM>(Item(dialog, kCancel)));
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kUninstall, BN_SETFOCUS), reinterpret_cast<LPARAM>(Item(dialog, kUninstall)));
    EXPECT_TRUE(IsWindow(dialog)) << c.name;
    EXPECT_EQ(WaitForSingleObject(p.process, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << c.name;
    if (c.closeBox) {
      Close(dialog);
      DWORD code = 1234;
      EXPECT_TRUE(WaitExit(p, 10000, &code)) << c.name;
      EXPECT_EQ(code, 3u) << c.name;
      CloseHandle(p.process);
    } else {
      EXPECT_EQ(ClickAndExit(dialog, p), 3u) << c.name;
    }
    EXPECT_TRUE(FileExists(file)) << c.name;
    EXPECT_TRUE(FileExists(logPath)) << c.name;
    EXPECT_TRUE(DirectoryExists(root)) << c.name;
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, kTestKey, "Kept")) << c.name;
    RemoveTree(root);
  }
  RegDeleteTree(HKEY_CURRENT_USER, kTestKey);
}

// The client size, then every control's rectangle (the logo is 300), and its texts.
constexpr int kDialogIds[] = {300, kTitle, kMessage, kStatus, kProgress, kUninstall, kCancel};
std::vector<RECT> DialogLayout(HWND dialog, std::string* texts) {
  std::vector<RECT> out = {ClientRect(dialog)};
  for (int id : kDialogIds) {
    out.push_back(RectInParent(Item(dialog, id)));
    *texts += ItemText(dialog, id) + "|";
  }
  return out;
}

// Measured with the font the dialog makes at `dpi`: word-wrapped within the control.
bool TextFits(HWND dialog, int id, int dpi) {
  const RECT r = RectInParent(Item(dialog, id));
  RECT need = {0, 0, r.right - r.left - (id >= kUninstall ? 4 : 0), 0};
  HDC screen = GetDC(nullptr);
  HGDIOBJ kept = SelectObject(screen, CreateFontA(-MulDiv(8, dpi, 72), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif"));
  DrawTextA(screen, ItemText(dialog, id).c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK);
  DeleteObject(SelectObject(screen, kept));
  ReleaseDC(nullptr, screen);
  return need.right <= r.right - r.left && need.bottom <= r.bottom - r.top;
}

TEST(Uninstaller, DialogIsLaidOutAtTheDpiItStartsAtOrMovesTo) {
  const std::string root = FreshFolder("dpi");
  ASSERT_TRUE(WriteFileBytes(root + "\\uninst.qln", Rec(1, "Tarvel Lib v6.49 (trial)") + Rec(9, root)));
  // Started at a DPI, then moved to another (0: not moved). Not 192: Wine's bitmap font of
  // the template stops growing above 144 DPI, and the dialog manager lays it out by its font.
  const POINT cases[] = {{96, 0}, {144, 0}, {96, 144}};
  std::vector<RECT> layouts[3];
  std::string texts[3];
  for (int c = 0; c < 3; ++c) {
    const int dpi = cases[c].y != 0 ? cases[c].y : cases[c].x;
    DpiSetting setting(cases[c].x);
    Program p;
    ASSERT_TRUE(StartUninstaller(Exe(), "qlnclear.exe " + root + "\\uninst.qln", &p));
    HWND d = WaitForDialog(p);
    ASSERT_NE(d, nullptr) << c;
    if (cases[c].y != 0) {
      // Windows hands the suggested rectangle over in the dialog's own process.
      const RECT suggested = RectInParent(d);
      void* remote = VirtualAllocEx(p.process, nullptr, sizeof suggested, MEM_COMMIT, PAGE_READWRITE);
      ASSERT_TRUE(WriteProcessMemory(p.process, remote, &suggested, sizeof suggested, nullptr));
      SendMessageA(d, 0x02E0, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote));
    }
    layouts[c] = DialogLayout(d, &texts[c]);
    const RECT &client = layouts[c][0], &at96 = layouts[0][0];
    EXPECT_NEAR(client.right, at96.right * dpi / 96.0, at96.right * dpi / 96.0 * 0.05) << c;
    EXPECT_NEAR(client.bottom, at96.bottom * dpi / 96.0, at96.bottom * dpi / 96.0 * 0.05) << c;
    for (int id : {kTitle, kMessage, kUninstall, kCancel}) EXPECT_TRUE(TextFits(d, id, dpi)) << c << ": " << id;
    RECT both;
    for (std::size_t a = 1; a < layouts[c].size(); ++a)
      for (std::size_t b = a + 1; b < layouts[c].size(); ++b)
        EXPECT_FALSE(IntersectRect(&both, &layouts[c][a], &layouts[c][b])) << c << ": " << a << ", " << b;
    EXPECT_EQ(texts[c], texts[0]) << c;
    EXPECT_TRUE(WaitUntil([&] { FlushPaint(d); return LogoIsDrawn(d); }, 5000)) << c;
    EXPECT_EQ(ClickAndExit(d, p), 3u) << c;
  }
  // A dialog that meets 144 DPI later is laid out as one that started there.
  for (std::size_t i = 0; i < layouts[2].size(); ++i) EXPECT_TRUE(EqualRect(&layouts[2][i], &layouts[1][i])) << i;
  RemoveTree(root);
}

TEST(Uninstaller, UnknownTypeIsPassedOverAndALaterBannerRetitles) {
  const std::string root = FreshFolder("type10");
  const std::string a = root + "\\a.dcu", b = root + "\\b.dcu";
  Touch(a);
  Touch(b);
  const std::string log = Rec(1, "First") + Rec(3, a) + Rec(10, b) + Rec(3, b) + Rec(1, "Second");
  Finished f;
  ASSERT_TRUE(RunLog(root + "\\uninst.qln", log, &f));
  ExpectClosingTexts(f);
  EXPECT_FALSE(FileExists(a));
  EXPECT_FALSE(FileExists(b));
  EXPECT_EQ(f.title, "Second");
  EXPECT_EQ(f.position, log.size());
  EXPECT_EQ(f.high, log.size());
  RemoveTree(root);
}

TEST(Uninstaller, ProgressStartsAtTheBannerRecord) {
  // The walk stops at the type 0 right after the banner: the bar stays where it started.
  const std::string root = FreshFolder("start");
  const std::string file = root + "\\after.txt";
  Touch(file);
  const std::string banner = Rec(1, "Banner of some length");
  const std::string log = banner + Rec(0, "") + Rec(3, file);
  Finished f;
  ASSERT_TRUE(RunLog(root + "\\uninst.qln", log, &f));
  EXPECT_EQ(f.position, banner.size());
  EXPECT_EQ(f.high, log.size());
  EXPECT_TRUE(FileExists(file));
  RemoveTree(root);
}

TEST(Uninstaller, ALongWalkEndsWithTheBarFullAndHalfAWalkWithItHalfFull) {
  const std::string root = FreshFolder("long");
  std::string records;
  for (int i = 0; i < 700; ++i) records += Rec(3, root + "\\missing" + std::to_string(i) + ".dcu");
  const std::string banner = Rec(1, "Banner"), log = banner + records + Rec(9, root);
  Finished f;
  ASSERT_TRUE(RunLog(root + "\\uninst.qln", log, &f));
  ExpectClosingTexts(f);
  EXPECT_EQ(f.position, log.size());
  EXPECT_GT(f.inner, 100);
  EXPECT_EQ(f.filled, f.inner);
  EXPECT_FALSE(DirectoryExists(root));

  // Stopped by a type 0 halfway: the bar holds the stop's position and shows half.
  const std::string half = FreshFolder("half");
  const std::string head = banner + records.substr(0, records.size() / 2);
  const size_t cut = head.rfind('\0') + 1;  // at a record's end
  const std::string stopped = head.substr(0, cut) + Rec(0, "") + records;
  Finished g;
  ASSERT_TRUE(RunLog(half + "\\uninst.qln", stopped, &g));
  EXPECT_EQ(g.position, cut);
  EXPECT_NEAR(g.filled, g.inner * static_cast<double>(cut) / stopped.size(), 1.0);
  RemoveTree(half);
}

TEST(Uninstaller, TypeZeroEndsTheWalkButTheLogAndEarlierDirectoriesGo) {
  const std::string root = FreshFolder("zero"), other = FreshFolder("zero_other");
  const std::string logged = root + "\\a.txt", after = other + "\\b.txt", laterDir = other + "\\later";
  Touch(logged);
  Touch(after);
  ASSERT_TRUE(CreateDirectoryA(laterDir.c_str(), nullptr));
  const std::string head = Rec(1, "B") + Rec(9, root) + Rec(3, logged);
  const std::string log = head + Rec(0, "") + Rec(3, after) + Rec(9, laterDir);
  const std::string logPath = root + "\\uninst.qln";
  Finished f;
  ASSERT_TRUE(RunLog(logPath, log, &f));
  ExpectClosingTexts(f);
  EXPECT_FALSE(FileExists(logged));
  EXPECT_FALSE(FileExists(logPath));
  EXPECT_FALSE(DirectoryExists(root));
  EXPECT_TRUE(FileExists(after));
  EXPECT_TRUE(DirectoryExists(laterDir));
  EXPECT_EQ(f.position, head.size());
  RemoveTree(other);
}

TEST(Uninstaller, UserKeysValuesAndTypeSeven) {
  const std::string values = std::string(kTestKey) + "\\Values", gone = std::string(kTestKey) + "\\Gone";
  RegDeleteTree(HKEY_CURRENT_USER, kTestKey);
  ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, values.c_str(), "Logged", "1"));
  ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, values.c_str(), "Other", "1"));
  ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, gone.c_str(), "Any", "1"));
  const std::string root = FreshFolder("hkcu");
  // The second 6 has no key open: it must not touch "Other".
  const std::string log = Rec(1, "B") + Rec(4, values) + Rec(6, "Logged") + Rec(6, "Other") + Rec(7, gone);
  Finished f;
  ASSERT_TRUE(RunLog(root + "\\uninst.qln", log, &f));
  ExpectClosingTexts(f);
  EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, values.c_str(), "Logged"));
  EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, values.c_str(), "Other"));
  EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, gone.c_str()));
  RegDeleteTree(HKEY_CURRENT_USER, kTestKey);
  RemoveTree(root);
}

TEST(Uninstaller, EmptyLogDeletesOnlyItself) {
  const std::string root = FreshFolder("empty");
  const std::string logPath = root + "\\uninst.qln";
  Finished f;
  ASSERT_TRUE(RunLog(logPath, "", &f));
  ExpectClosingTexts(f);
  EXPECT_EQ(f.title, kTemplateTitle);
  EXPECT_FALSE(FileExists(logPath));
  EXPECT_TRUE(DirectoryExists(root));
  RemoveTree(root);
}

TEST(Uninstaller, FileNamedTwiceAndUserFilesKeepTheirFolders) {
  const std::string root = FreshFolder("twice");
  const std::string sub = root + "\\sub", logged = sub + "\\logged.dcu", mine = sub + "\\mine.txt";
  const std::string twice = root + "\\twice.bpl", after = root + "\\after.bpl";
  ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
  Touch(logged);
  Touch(mine);
  Touch(twice);
  Touch(after);
  const std::string log = Rec(1, "B") + Rec(9, root) + Rec(9, sub) + Rec(3, twice) + Rec(3, logged) + Rec(3, twice) +
                          Rec(3, after);
  Finished f;
  ASSERT_TRUE(RunLog(root + "\\uninst.qln", log, &f));
  ExpectClosingTexts(f);
  EXPECT_FALSE(FileExists(twice));
  EXPECT_FALSE(FileExists(after)) << "the walk goes on after the failed second deletion";
  EXPECT_FALSE(FileExists(logged));
  EXPECT_TRUE(FileExists(mine));
  EXPECT_TRUE(DirectoryExists(sub));
  EXPECT_TRUE(DirectoryExists(root));
  EXPECT_FALSE(FileExists(root + "\\uninst.qln"));
  RemoveTree(root);
}

TEST(Uninstaller, LastTextWithoutNulIsNotActedOn) {
  const std::string root = FreshFolder("cut");
  const std::string first = root + "\\first.txt", full = root + "\\keep.txt", cut = root + "\\keep.tx";
  Touch(first);
  Touch(full);
  Touch(cut);
  // The block ends inside the text "...keep.txt": what is there names another file.
  const std::string log = Rec(1, "B") + Rec(3, first) + std::string(1, '\3') + cut;
  Finished f;
  ASSERT_TRUE(RunLog(root + "\\uninst.qln", log, &f));
  ExpectClosingTexts(f);
  EXPECT_FALSE(FileExists(first));
  EXPECT_TRUE(FileExists(cut));
  EXPECT_TRUE(FileExists(full));
  EXPECT_EQ(f.position, log.size()) << "the walk reached the end of the data";
  RemoveTree(root);
}

TEST(Uninstaller, MoreThan2048DirectoriesAreAllRemoved) {
  const std::string root = FreshFolder("many");
  std::string log = Rec(1, "B") + Rec(9, root);
  std::vector<std::string> folders;
  for (int i = 1; i < 2100; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "\\folder%04d", i);
    folders.push_back(root + name);
    ASSERT_TRUE(CreateDirectoryA(folders.back().c_str(), nullptr)) << folders.back();
    log += Rec(9, folders.back());
  }
  ASSERT_GT(log.size(), 65535u) << "the log must exceed the bar's 16-bit range";
  Finished f;
  ASSERT_TRUE(RunLog(root + "\\uninst.qln", log, &f));
  ExpectClosingTexts(f);
  size_t left = 0;
  for (const std::string& folder : folders) left += DirectoryExists(folder) ? 1 : 0;
  EXPECT_EQ(left, 0u);
  EXPECT_FALSE(DirectoryExists(root));
  EXPECT_EQ(f.high, 65535u);
  EXPECT_EQ(f.position, 65535u) << "a log past 64 KB still ends with the bar full";
  RemoveTree(root);
}

TEST(Uninstaller, MissingTemplateShowsTheFatalBoxAndExitsWithOne) {
  Program p;
  ASSERT_TRUE(StartUninstaller(BuildPath("uninstaller/qlnclear_without_template.exe"), "qlnclear.exe x", &p));
  HWND box = WaitForMessageBox(p.pid, "QLN UnInstallation Error");
  ASSERT_NE(box, nullptr) << DescribeWindows(p.pid);
  EXPECT_EQ(MessageBoxText(box), "Fatal Error: Can't load resource.");
  AnswerMessageBox(box, IDOK);
  DWORD code = 1234;
  ASSERT_TRUE(WaitExit(p, 10000, &code));
  EXPECT_EQ(code, 1u);
  CloseHandle(p.process);
}

}  // namespace
