// Starts that cannot go on: setup.exe without a usable template or with a damaged
// payload, and both programs without the common controls. One message box, or none
// unattended, then the exit code, and nothing written or removed.
#include <gtest/gtest.h>

#include <string>

#include "tests/driver/driver.h"

using namespace driver;

TEST(Startup, AFatalStartShowsOneBoxOrNoneThenEndsHavingWrittenNothing) {
  const std::string folder = FreshFolder("startup"), log = folder + "\\uninst.qln";
  ASSERT_TRUE(WriteFileBytes(log, ""));
  constexpr char kSetup[] = "QLN Installation Error", kNoControls[] = "Fatal Error: Can't load the common controls.";
  struct FatalCase {
    const char* exe;
    std::string options;
    bool withoutControls;  // the common controls disabled for the program in Wine's registry
    const char* caption;   // the box; nullptr: no window at all
    const char* text;
    DWORD code;
  };
  const FatalCase cases[] = {
      {"setup/setup_without_template.exe", "", false, kSetup, "Fatal Error: Can't load resource.", 4},
      {"tests/wine/startup/setup_damaged.exe", "", false, kSetup, "The setup file is damaged. Please download it again.",
       6},
      {"setup/setup.exe", "", true, kSetup, kNoControls, 4},
      {"setup/setup.exe", " /S /D=" + folder + "\\lib", true, nullptr, nullptr, 4},
      {"uninstaller/qlnclear.exe", " " + log, true, "QLN UnInstallation Error", kNoControls, 1},
      {"uninstaller/qlnclear.exe", " /S " + log, true, nullptr, nullptr, 1},
  };
  for (const FatalCase& c : cases) {
    SCOPED_TRACE(c.exe + c.options);
    const std::string exe = c.exe, key = "Software\\Wine\\AppDefaults\\" + exe.substr(exe.rfind('/') + 1);
    if (c.withoutControls) {
      ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, (key + "\\DllOverrides").c_str(), "comctl32", ""));
    }
    Program p;
    ASSERT_TRUE(Start("\"" + BuildPath(c.exe) + "\"" + c.options, &p));
    if (c.caption != nullptr) {
      HWND box = WaitForMessageBox(p.pid, c.caption);
      EXPECT_NE(box, nullptr) << DescribeWindows(p.pid);
      EXPECT_EQ(MessageBoxText(box), c.text);
      AnswerMessageBox(box, IDOK);
    }
    // After the answer nothing else may appear: the process ends.
    std::string shown;
    DWORD code = 1234;
    EXPECT_TRUE(WaitExitUnseen(p, 10000, &code, &shown)) << DescribeWindows(p.pid);
    Kill(p);
    if (c.withoutControls) RegDeleteTree(HKEY_CURRENT_USER, key.c_str());
    EXPECT_EQ(code, c.code);
    if (c.caption == nullptr) {
      EXPECT_EQ(shown, "");
    }
    EXPECT_FALSE(DirectoryExists(folder + "\\lib"));
    EXPECT_TRUE(FileExists(log));
  }
  RemoveTree(folder);
}
