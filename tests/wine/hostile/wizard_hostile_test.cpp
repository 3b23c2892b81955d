// Hostile inputs to setup.exe driven from outside: IDE roots of the wrong size or
// type, destinations it must refuse, help files it cannot edit, build tools that go
// wrong, and close requests on every page. Each row names the behaviour chosen.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/wine/wizard/wizard_session.h"

using namespace driver;
using wizard::Session;

namespace {

constexpr char kCaption[] = "Quillon presents ...";
constexpr char kDelphi7[] = "Software\\Borland\\Delphi\\7.0";

// The process still answers messages: a hung or dead wizard fails here.
bool Responsive(Session& s) {
  DWORD_PTR result = 0;
  return WaitForSingleObject(s.program.process, 0) == WAIT_TIMEOUT &&
         SendMessageTimeoutA(s.dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

void SetRaw(HKEY root, const char* key, const char* name, DWORD type, const void* data, DWORD size) {
  HKEY k = nullptr;
  ASSERT_EQ(RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(k, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
  RegCloseKey(k);
}

// A path of exactly n characters below C:\tvtest whose parent is long too.
std::string PathOfLength(size_t n, char fill = 'd') {
  std::string p = "C:\\tvtest\\";
  p += std::string(n > p.size() + 10 ? n - p.size() - 10 : 1, fill);
  p += "\\Delphi7";
  while (p.size() < n) p += 'x';
  return p.substr(0, n);
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

class Hostile : public ::testing::Test {
 protected:
  void SetUp() override { wizard::CleanSlate(); }
  void TearDown() override {
    wizard::End(s);
    wizard::CleanSlate();
  }
  // Answers the wizard's message box, which must say `text`.
  void ExpectBox(const char* text, int answer = IDOK) {
    HWND box = WaitForMessageBox(s.program.pid, kCaption);
    ASSERT_NE(box, nullptr) << DescribeWindows(s.program.pid);
    EXPECT_EQ(MessageBoxText(box), text);
    AnswerMessageBox(box, answer);
    ASSERT_TRUE(WaitUntil([&] { return FindTopWindow(s.program.pid, "#32770", kCaption) == nullptr; }));
  }
  void QuitFromPage() {
    Close(s.dialog);
    ExpectBox("Are you want terminate installation ?", IDYES);
    DWORD code = 1;
    ASSERT_TRUE(WaitExit(s.program, 10000, &code));
    EXPECT_EQ(code, 7u) << "cancelled before the installation started";
  }
  Session s;
};

struct RootCase {
  const char* name;
  DWORD type;
  std::string data;  // bytes as stored, NUL included when it is part of the value
  bool offered;
};

TEST_F(Hostile, IdeRootValuesOfEverySizeAndType) {
  const std::string p259 = PathOfLength(259), p260 = PathOfLength(260), p1000 = PathOfLength(1000);
  const std::string valid = "C:\\tvtest\\ide\\d7";
  const DWORD number = 0x00433A5C;
  const RootCase cases[] = {
      // Fits with its NUL: offered; the proposal (parent + "\TarvelLib") is cut to 259 and refused on Next.
      {"259 characters", REG_SZ, p259 + '\0', true},
      {"260 characters", REG_SZ, p260 + '\0', false},
      {"260 characters without NUL", REG_SZ, p260, false},
      {"1000 characters", REG_SZ, p1000 + '\0', false},
      {"a DWORD", REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 4), false},
      {"binary holding a path", REG_BINARY, valid + '\0', false},
      {"expandable string", REG_EXPAND_SZ, valid + '\0', true},
  };
  for (const RootCase& c : cases) {
    wizard::CleanRegistry();
    SetRaw(HKEY_LOCAL_MACHINE, kDelphi7, "RootDir", c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
    ASSERT_TRUE(wizard::Start(&s)) << c.name;
    ASSERT_TRUE(wizard::Next(s)) << c.name;
    const auto rows = wizard::ListRows(s);
    const bool offered = !rows.empty() && rows[0].text == " Files for Borland Delphi 7";
    EXPECT_EQ(offered, c.offered) << c.name;
    const std::string destination = ItemText(s.dialog, 120);
    EXPECT_LE(destination.size(), 259u) << c.name;
    if (c.offered && c.data.size() > 200) {
      Click(s.dialog, 202);
      ExpectBox("The destination path is too long.");
      EXPECT_EQ(ItemText(s.dialog, 107), "step 2/4") << c.name;
    }
    EXPECT_TRUE(Responsive(s)) << c.name;
    QuitFromPage();
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, "Software\\Quillon\\Tarvel Lib")) << c.name;
    wizard::End(s);
  }
}

struct DestinationCase {
  const char* name;
  std::string typed;
  const char* refusal;    // message box text, or null when the installation runs
  std::string installed;  // root the installation records
};

TEST_F(Hostile, DestinationsThatCannotHoldTheInstallationAreRefused) {
  // A drive letter no one has mapped.
  char drive[] = "?:\\nowhere\\TarvelLib";
  const DWORD mapped = GetLogicalDrives();
  for (int d = 25; d >= 3; --d)
    if ((mapped & (1u << d)) == 0) drive[0] = static_cast<char>('A' + d);
  ASSERT_NE(drive[0], '?');
  const std::string file = "C:\\tvtest\\a file.txt";
  ASSERT_TRUE(WriteFileBytes(file, "user data"));
  const std::string p247 = PathOfLength(247, 'e');
  const DestinationCase cases[] = {
      {"259 characters", PathOfLength(259), "The destination path is too long.", ""},
      {"300 typed characters", PathOfLength(300), "The destination path is too long.", ""},
      {"a drive that does not exist", drive, "Can't create the destination folder.", ""},
      {"an existing file", file, "Can't create the destination folder.", ""},
      {"an existing file, trailing separator", file + "\\", "Can't create the destination folder.", ""},
      {"empty", "", "Can't create the destination folder.", ""},
      {"blanks only", "   ", "Can't create the destination folder.", ""},
      // The shared files' "\license.txt" is one character longer than "\uninst.qln".
      {"248 characters: no room for license.txt", PathOfLength(248), "The destination path is too long.", ""},
      {"247 characters, the longest taken", p247, nullptr, p247},
      // Windows would drop the blank or dot from the folder it makes but not from the files below it.
      {"a name ending in a blank", "C:\\tvtest\\blank \\", "Can't create the destination folder.", ""},
      {"a name ending in a dot", "C:\\tvtest\\dot.", "Can't create the destination folder.", ""},
      {"a leading blank (relative)", " C:\\tvtest\\lead", "Can't create the destination folder.", ""},
      {"a relative path", "tvtest\\relative", "Can't create the destination folder.", ""},
      {"blanks inside and a trailing separator", "C:\\tvtest\\with  two blanks\\ ", nullptr,
       "C:\\tvtest\\with  two blanks"},
  };
  for (const DestinationCase& c : cases) {
    ASSERT_TRUE(wizard::Start(&s)) << c.name;
    ASSERT_TRUE(wizard::Next(s)) << c.name;
    // Only the shared files: the two optional rows are unticked.
    wizard::ClickRow(s, 0);
    wizard::ClickRow(s, 1);
    SetItemText(s.dialog, 120, c.typed.c_str());
    Click(s.dialog, 202);
    if (c.refusal != nullptr) {
      ExpectBox(c.refusal);
      EXPECT_EQ(ItemText(s.dialog, 107), "step 2/4") << c.name;
      EXPECT_EQ(ItemText(s.dialog, 120), c.typed) << c.name << ": the typed text stays for correction";
      EXPECT_TRUE(Responsive(s)) << c.name;
      QuitFromPage();
      EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, "Software\\Quillon\\Tarvel Lib")) << c.name;
    } else {
      ASSERT_TRUE(wizard::WaitFinished(s)) << c.name;
      std::string root;
      ASSERT_TRUE(RegGetString(HKEY_LOCAL_MACHINE, "Software\\Quillon\\Tarvel Lib", "RootDir", &root)) << c.name;
      EXPECT_EQ(root, c.installed) << c.name;
      const auto log = wizard::ReadLog(c.installed + "\\uninst.qln");
      ASSERT_FALSE(log.empty()) << c.name;
      EXPECT_EQ(log.back().type, 8) << c.name;
      EXPECT_TRUE(FileExists(c.installed + "\\readme.txt")) << c.name;
      EXPECT_TRUE(FileExists(c.installed + "\\license.txt")) << c.name;
      DWORD code = 1;
      ASSERT_TRUE(wizard::Finish(s, &code)) << c.name;
      wizard::CleanRegistry();
    }
    std::string kept;
    ASSERT_TRUE(ReadFileBytes(file, &kept)) << c.name;
    EXPECT_EQ(kept, "user data") << c.name;
    wizard::End(s);
  }
  EXPECT_FALSE(DirectoryExists(drive));
}

constexpr char kSuccess[] = "\rThe installation process was\r successfully complete !";

// Runs a whole installation into root with what is offered ticked; the finish page's
// message line must read line.
void InstallAll(Session& s, const std::string& root, const std::string& line = kSuccess) {
  ASSERT_TRUE(wizard::Start(&s));
  ASSERT_TRUE(wizard::Install(s, root)) << ItemText(s.dialog, 107);
  EXPECT_EQ(ItemText(s.dialog, 101), line);
  EXPECT_EQ(wizard::ReadLog(root + "\\uninst.qln").back().type, 8);
  DWORD code = 1;
  ASSERT_TRUE(wizard::Finish(s, &code));
  EXPECT_EQ(code, line == kSuccess ? 0u : 5u) << "as unattended";
}

struct HelpCase {
  const char* name;
  const char* file;       // in Delphi 4's Help folder
  std::string content;    // written before the installation
  bool readOnly;
  bool heldOpen;
  std::string after;      // expected afterwards
};

TEST_F(Hostile, HelpFilesHeldOpenReadOnlyOrHoldingANul) {
  const std::string ide = "C:\\tvtest\\ide\\d4";
  ASSERT_TRUE(wizard::MakeIde("d4", ide));
  const std::string nul = std::string("[Index]\r\n\0after the NUL\r\n", 24);
  const HelpCase cases[] = {
      // An edit that cannot open its file (held without sharing, or read-only) leaves it as it was.
      {"held open by another process", "Delphi4.cfg", "held\r\n", false, true, "held\r\n"},
      // Read-only: Windows refuses the open, so the file stays; Wine run as root opens it
      // anyway, and then only the line is added (checked below).
      {"read-only", "Delphi4.ohi", "read only\r\n", true, false, "read only\r\n"},
      // The line goes after the whole content: the bytes past the NUL stay.
      {"holding a NUL byte", "Delphi4.ohl", nul, false, false, nul + "\r\n:Link tarvel.hlp\r\n"},
  };
  std::vector<HANDLE> held;
  bool writableAnyway = false;
  for (const HelpCase& c : cases) {
    const std::string path = ide + "\\Help\\" + c.file;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(WriteFileBytes(path, c.content)) << c.name;
    if (c.readOnly) {
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
      HANDLE probe = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
      writableAnyway = probe != INVALID_HANDLE_VALUE;
      if (writableAnyway) CloseHandle(probe);
    }
    if (c.heldOpen) {
      held.push_back(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
      ASSERT_NE(held.back(), INVALID_HANDLE_VALUE) << c.name;
    }
  }
  InstallAll(s, "C:\\tvtest\\help");
  for (HANDLE h : held) CloseHandle(h);
  for (const HelpCase& c : cases) {
    const std::string path = ide + "\\Help\\" + c.file;
    std::string now;
    ASSERT_TRUE(ReadFileBytes(path, &now)) << c.name;
    if (c.readOnly && writableAnyway) {
      EXPECT_EQ(now, c.content + "\r\n:INDEX Tarvel Lib Help=tarvel.hlp\r\n") << c.name;
    } else {
      EXPECT_EQ(now, c.after) << c.name;
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

struct ToolCase {
  const char* name;
  const char* version;
  const char* fault;  // fault.txt for the faulty tool; null: the tool is removed
  const char* tool;   // the tool replaced in Bin
  const char* package;
};

TEST_F(Hostile, BuildToolsThatAreMissingFailOrCrash) {
  const ToolCase cases[] = {
      {"missing", "d3", nullptr, "dcc32.exe", "Delphi3\\tarveld3.dpl"},
      {"exits with an error", "d5", "exit", "dcc32.exe", "Delphi5\\tarveld5.bpl"},
      {"crashes", "bcb5", "crash", "make.exe", "CBuilder5\\tarvelb5.bpl"},
  };
  for (const ToolCase& c : cases) {
    const std::string bin = std::string("C:\\tvtest\\ide\\") + c.version + "\\Bin\\";
    ASSERT_TRUE(wizard::MakeIde(c.version, std::string("C:\\tvtest\\ide\\") + c.version)) << c.name;
    ASSERT_TRUE(DeleteFileA((bin + c.tool).c_str())) << c.name;
    if (c.fault != nullptr) {
      ASSERT_TRUE(CopyFileA(BuildPath("tests/wine/hostile/faulty_tool.exe").c_str(), (bin + c.tool).c_str(), FALSE));
      ASSERT_TRUE(WriteFileBytes(bin + "fault.txt", c.fault));
    }
  }
  // Every run goes on to the end: the other IDEs and the shared files are installed;
  // the finish page counts the three builds that left no package.
  const std::string root = "C:\\tvtest\\tools";
  InstallAll(s, root, "Installed with 3 errors. The first: " + root + "\\Delphi3\\tarveld3.dpl");
  EXPECT_TRUE(FileExists(root + "\\readme.txt"));
  for (const ToolCase& c : cases) {
    EXPECT_FALSE(FileExists(wizard::SystemDir() + "\\" + (std::string(c.package).substr(std::string(c.package).find('\\') + 1))))
        << c.name << ": no package is copied from a build that did not happen";
    EXPECT_TRUE(DirectoryExists(root + "\\" + std::string(c.package).substr(0, std::string(c.package).find('\\'))))
        << c.name;
  }
}

// What stands in the way of one installation, and what its finish page must then say.
struct WriteCase {
  const char* name;
  std::vector<const char*> ides;    // stand-in IDEs made for the row
  std::vector<const char*> untick;  // list captions unticked
  std::string root;                 // typed as the destination
  const char* blocker;              // a file made below the root first, or null
  bool held;                        // ... and held open without sharing until after the uninstall
  bool readOnly;                    // ... or marked read-only
  const char* faultyDcc32;          // the stand-in IDE whose dcc32 leaves no package, or null
  const char* refusal;              // the component page's message box, or null
  std::string line;                 // the finish page's message line
};

TEST_F(Hostile, WhatTheRunCannotWriteIsCountedOnTheFinishPage) {
  constexpr char kDemos[] = " Demo Projects Files";
  constexpr char kHelp[] = " Context Help Files";
  // Delphi 6, C++Builder 6, help and shared files: "\CBuilder6\qtarvellibreg.pas" is the
  // longest path below the root, 28 characters, so 231 is the longest root.
  const std::string fit = PathOfLength(231, 'f');
  const std::string locked = "C:\\tvtest\\locked", readOnly = "C:\\tvtest\\read only";
  const std::string blocked = "C:\\tvtest\\blocked", noPackage = "C:\\tvtest\\no package";
  const WriteCase cases[] = {
      {"exact fit", {"d6", "bcb6"}, {kDemos}, fit, nullptr, false, false, nullptr, nullptr, kSuccess},
      {"one character more", {"d6", "bcb6"}, {kDemos}, PathOfLength(232, 'f'), nullptr, false, false, nullptr,
       "The destination path is too long.", ""},
      {"a payload file held open", {}, {kDemos, kHelp}, locked, "readme.txt", true, false, nullptr, nullptr,
       "Installed with 1 error: " + locked + "\\readme.txt"},
      {"a read-only file", {}, {kDemos, kHelp}, readOnly, "license.txt", false, true, nullptr, nullptr,
       "Installed with 1 error: " + readOnly + "\\license.txt"},
      // The folder cannot be made, nor the two files in it.
      {"a file where a folder goes", {}, {kDemos}, blocked, "Help", false, false, nullptr, nullptr,
       "Installed with 3 errors. The first: " + blocked + "\\Help"},
      {"a build tool that leaves no package", {"d6"}, {kDemos, kHelp}, noPackage, nullptr, false, false, "d6", nullptr,
       "Installed with 2 errors. The first: " + noPackage + "\\Delphi6\\tarveld6.bpl"},
  };
  for (const WriteCase& c : cases) {
    wizard::CleanSlate();
    for (const char* v : c.ides) ASSERT_TRUE(wizard::MakeIde(v, std::string("C:\\tvtest\\ide\\") + v)) << c.name;
    if (c.faultyDcc32 != nullptr) {
      const std::string bin = std::string("C:\\tvtest\\ide\\") + c.faultyDcc32 + "\\Bin\\";
      ASSERT_TRUE(CopyFileA(BuildPath("tests/wine/hostile/faulty_tool.exe").c_str(), (bin + "dcc32.exe").c_str(), FALSE));
      ASSERT_TRUE(WriteFileBytes(bin + "fault.txt", "exit"));
    }
    const std::string blocker = c.blocker != nullptr ? c.root + "\\" + c.blocker : "";
    HANDLE held = INVALID_HANDLE_VALUE;
    if (c.blocker != nullptr) {
      ASSERT_TRUE(CreateDirectoryA(c.root.c_str(), nullptr)) << c.name;
      ASSERT_TRUE(WriteFileBytes(blocker, "user data")) << c.name;
      if (c.readOnly) SetFileAttributesA(blocker.c_str(), FILE_ATTRIBUTE_READONLY);
      if (c.held) held = CreateFileA(blocker.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
      ASSERT_EQ(held != INVALID_HANDLE_VALUE, c.held) << c.name;
    }
    ASSERT_TRUE(wizard::Start(&s)) << c.name;
    ASSERT_TRUE(wizard::Next(s)) << c.name;
    const auto rows = wizard::ListRows(s);
    for (size_t i = 0; i < rows.size(); ++i)
      for (const char* caption : c.untick)
        if (rows[i].text == caption) wizard::ClickRow(s, static_cast<int>(i));
    SetItemText(s.dialog, 120, c.root.c_str());
    Click(s.dialog, 202);
    if (c.refusal != nullptr) {
      ExpectBox(c.refusal);
      EXPECT_EQ(ItemText(s.dialog, 107), "step 2/4") << c.name;
      QuitFromPage();
      EXPECT_FALSE(DirectoryExists(c.root)) << c.name << ": refused before anything is written";
      EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, "Software\\Quillon\\Tarvel Lib")) << c.name;
      wizard::End(s);
      continue;
    }
    ASSERT_TRUE(wizard::WaitFinished(s)) << c.name;
    EXPECT_EQ(ItemText(s.dialog, 101), c.line) << c.name;
    EXPECT_EQ(ItemText(s.dialog, 203), "Finish") << c.name;
    if (c.faultyDcc32 != nullptr) SaveScreenshot(s.dialog, "hostile-finish-counted");
    const DWORD expected = ItemText(s.dialog, 101) == kSuccess ? 0 : 5;  // as unattended
    DWORD code = 1;
    ASSERT_TRUE(wizard::Finish(s, &code)) << c.name;
    EXPECT_EQ(code, expected) << c.name;
    const auto log = wizard::ReadLog(c.root + "\\uninst.qln");
    ASSERT_FALSE(log.empty()) << c.name;
    EXPECT_EQ(log.back().type, 8) << c.name;
    if (c.line == kSuccess) {
      // Nothing counted: every extraction, folder, copy and value was written. The
      // stand-in builds leave the packages, not every unit's compiled files.
      size_t longest = 0;
      for (const auto& r : log) {
        if (r.type == 3 && FileExists(r.text)) longest = std::max(longest, r.text.size());
        if (r.type == 9) {
          EXPECT_TRUE(DirectoryExists(r.text)) << c.name << ": " << r.text;
        }
      }
      EXPECT_EQ(longest, 259u) << c.name << ": the root leaves no character to spare";
      for (const char* package : {"tarveld6.bpl", "tarveld6clx.bpl", "tarvelb6.bpl", "tarvelb6clx.bpl"}) {
        EXPECT_TRUE(FileExists(wizard::SystemDir() + "\\" + package)) << c.name << ": " << package;
      }
    }
    // The uninstall removes every logged file it can reach; what stood in the way stays.
    // Held, the file waits for the restart; read-only, it stays.
    ASSERT_EQ(wizard::UninstallAsRegistered(c.held ? 3010 : c.readOnly ? 3 : 0), "") << c.name;
    const std::string uninstaller = wizard::SystemDir() + "\\qlnclear.exe";
    for (const auto& r : log) {
      if (r.type == 3 && r.text != blocker && lstrcmpiA(r.text.c_str(), uninstaller.c_str()) != 0) {
        EXPECT_FALSE(FileExists(r.text)) << c.name << ": " << r.text;
      }
    }
    if (c.blocker != nullptr) {
      EXPECT_TRUE(FileExists(blocker)) << c.name;
    }
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvel Lib"))
        << c.name;
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    if (c.blocker != nullptr) SetFileAttributesA(blocker.c_str(), FILE_ATTRIBUTE_NORMAL);
    wizard::End(s);
  }
}

struct ClosePage {
  const char* name;
  int page;
};

TEST_F(Hostile, ClosingOnTheFirstTwoPagesAsksAndNoKeepsTheWizard) {
  const ClosePage pages[] = {{"welcome page", 1}, {"component page", 2}};
  for (const ClosePage& c : pages) {
    ASSERT_TRUE(wizard::Start(&s)) << c.name;
    if (c.page == 2) {
      ASSERT_TRUE(wizard::Next(s)) << c.name;
    }
    for (int request = 0; request < 2; ++request) {
      if (request == 0) {
        Close(s.dialog);
      } else {
        Click(s.dialog, 203);
      }
      ExpectBox("Are you want terminate installation ?", IDNO);
      EXPECT_TRUE(Responsive(s)) << c.name;
      EXPECT_EQ(ItemText(s.dialog, 107), "step " + std::to_string(c.page) + "/4") << c.name;
    }
    QuitFromPage();
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, "Software\\Quillon\\Tarvel Lib")) << c.name;
    wizard::End(s);
  }
}

// A search path the rewrite cannot hold, or cannot read as a text, is left as it is.
struct SearchCase {
  const char* name;
  DWORD type;
  std::string data;
  bool rewritten;
};

TEST_F(Hostile, LibrarySearchPathsTooLongOrNotAText) {
  const std::string ide = "C:\\tvtest\\ide\\d5";
  const std::string key = "Software\\Borland\\Delphi\\5.0\\Library";
  std::string longPath = "$(DELPHI)\\Lib";
  while (longPath.size() < 5000) longPath += ";C:\\Components\\Some Vendor\\Lib";
  std::string exact = longPath.substr(0, 4096);
  const DWORD number = 5;
  const SearchCase cases[] = {
      {"5000 bytes", REG_SZ, longPath + '\0', false},
      {"4096 bytes without NUL", REG_SZ, exact, false},
      {"4095 bytes: no room for the entry", REG_SZ, exact.substr(0, 4095) + '\0', false},
      {"a DWORD", REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 4), false},
      {"an ordinary value", REG_SZ, std::string("$(DELPHI)\\Lib;$(DELPHI)\\Bin") + '\0', true},
  };
  for (const SearchCase& c : cases) {
    wizard::CleanRegistry();
    ASSERT_TRUE(wizard::MakeIde("d5", ide)) << c.name;
    SetRaw(HKEY_CURRENT_USER, key.c_str(), "Search Path", c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
    const std::string root = "C:\\tvtest\\search";
    InstallAll(s, root);
    HKEY k = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &k), ERROR_SUCCESS) << c.name;
    std::vector<char> now(8192);
    DWORD type = 0, size = static_cast<DWORD>(now.size());
    ASSERT_EQ(RegQueryValueExA(k, "Search Path", nullptr, &type, reinterpret_cast<BYTE*>(now.data()), &size),
              ERROR_SUCCESS)
        << c.name;
    RegCloseKey(k);
    const std::string value(now.data(), size);
    if (c.rewritten) {
      EXPECT_TRUE(EndsWith(std::string(now.data()), ";" + root + "\\Delphi5")) << c.name << ": " << now.data();
      EXPECT_EQ(std::string(now.data()).find("$(DELPHI)\\Lib;$(DELPHI)\\Bin"), 0u) << c.name;
    } else {
      EXPECT_EQ(type, c.type) << c.name;
      // Windows may hand a string back with the NUL it lacked; the stored text is the same.
      std::string stored = c.data;
      std::string got = value;
      if (c.type == REG_SZ && got.size() == stored.size() + 1 && got.back() == '\0') got.pop_back();
      EXPECT_EQ(got.size(), stored.size()) << c.name;
      EXPECT_TRUE(got == stored) << c.name;
    }
    wizard::CleanSystem();
    CreateDirectoryA("C:\\tvtest", nullptr);
  }
}

}  // namespace

// A comctl32.dll planted beside a downloaded setup.exe, with that folder as the current
// one and the DLL preferred over Wine's own the way Windows prefers any DLL outside its
// KnownDLLs, is loaded neither by the wizard nor by the unattended run. Wine takes
// WINEDLLOVERRIDES from the environment it was started in, not from a Windows parent's,
// so the preference (comctl32=n,b) is set the other way Wine offers, for setup.exe alone
// in the registry. Wine's own user32 imports version.dll, which Windows' does not: only
// the DLLs our programs load themselves can be planted this way.
TEST_F(Hostile, ADllPlantedInTheDownloadFolderIsNeverLoaded) {
  const std::string folder = "C:\\tvtest\\download";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  ASSERT_TRUE(CopyFileA(BuildPath("setup/setup.exe").c_str(), (folder + "\\setup.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(BuildPath("tests/wine/hostile/planted/comctl32.dll").c_str(), (folder + "\\comctl32.dll").c_str(),
                        FALSE));
  static constexpr char kPreference[] = "Software\\Wine\\AppDefaults\\setup.exe";
  const std::string overrides = std::string(kPreference) + "\\DllOverrides";
  ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, overrides.c_str(), "comctl32", "native,builtin"));
  struct Forget {
    ~Forget() { RegDeleteTree(HKEY_CURRENT_USER, kPreference); }
  } forget;
  const std::string marker = folder + "\\comctl32.dll.loaded";
  for (const char* options : {" /S /D=C:\\tvtest\\unattended", ""}) {
    SCOPED_TRACE(options[0] == '\0' ? "wizard" : "unattended");
    ASSERT_TRUE(driver::Start("\"" + folder + "\\setup.exe\"" + options, &s.program, folder.c_str()));
    DWORD code = 1234;
    if (options[0] == '\0') {
      s.dialog = WaitForWindow(s.program.pid, "#32770", "Tarvel Lib Installation");
      ASSERT_TRUE(s.dialog != nullptr && wizard::WaitStep(s, 1)) << DescribeWindows(s.program.pid);
      ASSERT_TRUE(wizard::Install(s, "C:\\tvtest\\wizard"));
      ASSERT_TRUE(wizard::Finish(s, &code));
    } else {
      ASSERT_TRUE(WaitExit(s.program, 120000, &code));
    }
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(FileExists(marker));
  }
}
