// The wizard's pages as a person walks them: what each shows, the step label,
// closing, Esc, going back, and the folder browser.
#include <gtest/gtest.h>

#include "tests/wine/wizard/wizard_session.h"

using namespace driver;
using wizard::Session;

namespace {

struct Visibility {
  int id;
  bool shown[4];  // pages 1..4
};

// Only pages 1 and 2 can be checked here without installing; pages 3 and 4 are
// checked by the installation tests.
const Visibility kControls[] = {
    {201, {false, true, false, false}}, {202, {true, true, false, false}},  {203, {true, true, true, true}},
    {300, {true, true, true, true}},    {101, {true, true, true, true}},    {102, {true, false, true, true}},
    {105, {true, true, true, true}},    {107, {true, true, true, true}},    {106, {false, false, true, false}},
    {120, {false, true, false, false}}, {121, {false, true, false, false}}, {119, {false, true, false, false}},
};

void ExpectPage(Session& s, int page) {
  for (const Visibility& v : kControls) {
    EXPECT_EQ(IsShown(s.dialog, v.id), v.shown[page - 1]) << "page " << page << ", control " << v.id;
  }
}

class Navigation : public ::testing::Test {
 protected:
  void SetUp() override {
    wizard::CleanRegistry();
    ASSERT_TRUE(wizard::Start(&s)) << DescribeWindows(s.program.pid);
  }
  void TearDown() override { wizard::End(s); }
  Session s;
};

TEST_F(Navigation, WelcomeAndComponentPagesShowTheirControlsAndTexts) {
  EXPECT_EQ(Text(s.dialog), "Tarvel Lib Installation");
  EXPECT_EQ(ItemText(s.dialog, 107), "step 1/4");
  ExpectPage(s, 1);
  SaveScreenshot(s.dialog, "wizard-page1-welcome");
  EXPECT_EQ(ItemText(s.dialog, 102),
            "This programm will install Tarvel Lib on your computer\r\rClick NEXT for continue SETUP program.");
  EXPECT_EQ(ItemText(s.dialog, 105), "WARNING: Close all Delphi and CBuilder programs before !!!");
  ASSERT_TRUE(wizard::Next(s));
  ExpectPage(s, 2);
  EXPECT_EQ(ItemText(s.dialog, 101), "Choose that you necessary:");
  EXPECT_EQ(ItemText(s.dialog, 105), "Choose destination path:");
  SaveScreenshot(s.dialog, "wizard-page2-no-ide");
  ASSERT_TRUE(wizard::Prev(s));
  ExpectPage(s, 1);
  // Going back keeps the choose page's geometry, but the page's own texts return.
  EXPECT_EQ(ItemText(s.dialog, 105), "WARNING: Close all Delphi and CBuilder programs before !!!");
}

TEST_F(Navigation, WithoutAnyIdeOnlyDemosAndHelpAreOfferedBothTicked) {
  ASSERT_TRUE(wizard::Next(s));
  const auto rows = wizard::ListRows(s);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].text, " Demo Projects Files");
  EXPECT_EQ(rows[1].text, " Context Help Files");
  EXPECT_EQ(rows[0].data, 1);
  EXPECT_EQ(rows[1].data, 1);
  EXPECT_EQ(ItemText(s.dialog, 120), "C:\\TarvelLib") << "on the drive of the Windows folder";
}

TEST_F(Navigation, GoingBackAndForthRebuildsTheListWithItsDetectedTicks) {
  ASSERT_TRUE(wizard::Next(s));
  wizard::ClickRow(s, 0);
  ASSERT_EQ(wizard::ListRows(s)[0].data, -1);
  ASSERT_TRUE(wizard::Prev(s));
  ASSERT_TRUE(wizard::Next(s));
  const auto rows = wizard::ListRows(s);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].data, 1);
  EXPECT_EQ(rows[1].data, 1);
}

TEST_F(Navigation, ClosingAsksAndNoKeepsThePage) {
  for (int page = 1; page <= 2; ++page) {
    Close(s.dialog);
    HWND box = WaitForMessageBox(s.program.pid, "Quillon presents ...");
    ASSERT_NE(box, nullptr) << "page " << page << "\n" << DescribeWindows(s.program.pid);
    EXPECT_EQ(MessageBoxText(box), "Are you want terminate installation ?");
    AnswerMessageBox(box, IDNO);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_TRUE(wizard::WaitStep(s, page)) << "page " << page;
    if (page == 1) {
      ASSERT_TRUE(wizard::Next(s));
    }
  }
  // Cancel asks the same question; Yes ends the program: cancelled, exit code 7.
  Click(s.dialog, 203);
  HWND box = WaitForMessageBox(s.program.pid, "Quillon presents ...");
  ASSERT_NE(box, nullptr);
  AnswerMessageBox(box, IDYES);
  DWORD code = 1;
  ASSERT_TRUE(WaitExit(s.program, 10000, &code));
  EXPECT_EQ(code, 7u);
}

TEST_F(Navigation, EscapeDoesNothing) {
  Command(s.dialog, IDCANCEL);
  PostMessageA(s.dialog, WM_KEYDOWN, VK_ESCAPE, 0);
  // Give the wizard a chance to react, then make sure it did not: a round trip of
  // a sent message proves every posted one before it has been handled.
  SendMessageA(s.dialog, WM_NULL, 0, 0);
  EXPECT_EQ(FindTopWindow(s.program.pid, "#32770", "Quillon presents ..."), nullptr);
  EXPECT_EQ(ItemText(s.dialog, 107), "step 1/4");
  DWORD code = 0;
  EXPECT_FALSE(WaitExit(s.program, 0, &code));
}

TEST_F(Navigation, CancellingTheFolderBrowserRestoresTheProposedPath) {
  ASSERT_TRUE(wizard::Next(s));
  const std::string proposed = ItemText(s.dialog, 120);
  SetItemText(s.dialog, 120, "C:\\typed\\elsewhere");
  Click(s.dialog, 119);
  HWND browser = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    browser = FindOtherWindow(s.program.pid, "#32770", s.dialog);
    return browser != nullptr && IsWindowVisible(Item(browser, IDCANCEL));
  })) << DescribeWindows(s.program.pid);
  EXPECT_EQ(Text(browser), "Browse for Folder");
  SaveScreenshot(browser, "wizard-folder-browser");
  AnswerMessageBox(browser, IDCANCEL);
  ASSERT_TRUE(WaitUntil([&] { return ItemText(s.dialog, 120) == proposed; })) << ItemText(s.dialog, 120);
}

}  // namespace
