// setup.exe without a usable wizard template: one fatal message box, then exit code 0.
#include <gtest/gtest.h>

#include "tests/driver/driver.h"

using namespace driver;

TEST(Startup, MissingTemplateShowsOneFatalBoxAndExitsWithZero) {
  Program p;
  ASSERT_TRUE(Start("\"" + BuildPath("setup/setup_without_template.exe") + "\"", &p));
  HWND box = WaitForMessageBox(p.pid, "QLN Installation Error");
  ASSERT_NE(box, nullptr) << DescribeWindows(p.pid);
  EXPECT_EQ(MessageBoxText(box), "Fatal Error: Can't load resource.");
  AnswerMessageBox(box, IDOK);
  DWORD code = 1234;
  ASSERT_TRUE(WaitExit(p, 10000, &code));
  EXPECT_EQ(code, 0u);
}

TEST(Startup, FatalBoxComesOnlyOnce) {
  Program p;
  ASSERT_TRUE(Start("\"" + BuildPath("setup/setup_without_template.exe") + "\"", &p));
  HWND box = WaitForMessageBox(p.pid, "QLN Installation Error");
  ASSERT_NE(box, nullptr) << DescribeWindows(p.pid);
  AnswerMessageBox(box, IDOK);
  // After the answer nothing else may appear: the process ends.
  DWORD code = 1234;
  ASSERT_TRUE(WaitExit(p, 10000, &code)) << DescribeWindows(p.pid);
  EXPECT_EQ(code, 0u);
}
