// setup.exe that cannot start its wizard: without a usable template, or with a damaged
// payload: one message box, then the exit code. Both programs without the common
// controls: a box or, unattended, an exit code, and nothing written or removed.
#include <gtest/gtest.h>

#include <string>

#include "tests/driver/driver.h"

using namespace driver;

TEST(Startup, AFatalStartShowsOneBoxThenEnds) {
  struct FatalCase {
    const char* exe;
    const char* text;
    DWORD code;
  };
  static const FatalCase cases[] = {
      {"setup/setup_without_template.exe", "Fatal Error: Can't load resource.", 0},
      {"tests/wine/startup/setup_damaged.exe", "The setup file is damaged. Please download it again.", 6},
  };
  for (const FatalCase& c : cases) {
    SCOPED_TRACE(c.exe);
    Program p;
    ASSERT_TRUE(Start("\"" + BuildPath(c.exe) + "\"", &p));
    HWND box = WaitForMessageBox(p.pid, "QLN Installation Error");
    ASSERT_NE(box, nullptr) << DescribeWindows(p.pid);
    EXPECT_EQ(MessageBoxText(box), c.text);
    AnswerMessageBox(box, IDOK);
    // After the answer nothing else may appear: the process ends.
    DWORD code = 1234;
    ASSERT_TRUE(WaitExit(p, 10000, &code)) << DescribeWindows(p.pid);
    EXPECT_EQ(code, c.code);
  }
}

// The common controls disabled for the program in Wine's registry: loading them from
// the system folder fails as it would without them.
TEST(Startup, WithoutTheCommonControlsNothingIsWrittenOrRemoved) {
  const std::string folder = FreshFolder("startup");
  const std::string log = folder + "\\uninst.qln";
  ASSERT_TRUE(WriteFileBytes(log, ""));
  struct Case {
    const char* program;
    std::string options;
    const char* caption;  // nullptr: no window at all
    DWORD code;
  };
  const Case cases[] = {
      {"setup.exe", "", "QLN Installation Error", 4},
      {"setup.exe", " /S /D=" + folder + "\\lib", nullptr, 4},
      {"qlnclear.exe", " " + log, "QLN UnInstallation Error", 1},
      {"qlnclear.exe", " /S " + log, nullptr, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program + c.options);
    const std::string key = std::string("Software\\Wine\\AppDefaults\\") + c.program;
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, (key + "\\DllOverrides").c_str(), "comctl32", ""));
    Program p;
    const char* built = c.program[0] == 's' ? "setup/setup.exe" : "uninstaller/qlnclear.exe";
    ASSERT_TRUE(Start("\"" + BuildPath(built) + "\"" + c.options, &p));
    std::string shown;
    DWORD code = 1234;
    if (c.caption != nullptr) {
      HWND box = WaitForMessageBox(p.pid, c.caption);
      EXPECT_NE(box, nullptr) << DescribeWindows(p.pid);
      EXPECT_EQ(MessageBoxText(box), "Fatal Error: Can't load the common controls.");
      AnswerMessageBox(box, IDOK);
    }
    EXPECT_TRUE(WaitExitUnseen(p, 10000, &code, &shown));
    Kill(p);
    RegDeleteTree(HKEY_CURRENT_USER, key.c_str());
    EXPECT_EQ(code, c.code);
    if (c.caption == nullptr) {
      EXPECT_EQ(shown, "");
    }
    EXPECT_FALSE(DirectoryExists(folder + "\\lib"));
    EXPECT_TRUE(FileExists(log));
  }
  RemoveTree(folder);
}
