// setup.exe that cannot start its wizard: without a usable template, or with a damaged
// payload. One message box, then the exit code, nothing else.
#include <gtest/gtest.h>

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
