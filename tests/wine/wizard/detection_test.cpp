// Where an IDE's root may be recorded, and what the component page makes of it.
#include <gtest/gtest.h>

#include "tests/wine/wizard/wizard_session.h"

using namespace driver;
using wizard::Session;

namespace {

class Detection : public ::testing::Test {
 protected:
  void SetUp() override { wizard::CleanSlate(); }
  void TearDown() override {
    wizard::End(s);
    wizard::CleanSlate();
  }
  void OpenComponentPage() {
    ASSERT_TRUE(wizard::Start(&s)) << DescribeWindows(s.program.pid);
    ASSERT_TRUE(wizard::Next(s));
  }
  Session s;
};

TEST_F(Detection, ARootRecordedOnlyPerUserIsOffered) {
  ASSERT_TRUE(wizard::MakeIde("bcb4", "C:\\tvtest\\Borland\\CBuilder4", "--rootdir=hkcu"));
  OpenComponentPage();
  const auto rows = wizard::ListRows(s);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].text, " Files for Borland C++Builder 4");
  EXPECT_EQ(rows[0].data, 1);
  EXPECT_EQ(ItemText(s.dialog, 120), "C:\\tvtest\\Borland\\TarvelLib");
}

TEST_F(Detection, AnEmptyMachineWideRootFallsBackToThePerUserOne) {
  ASSERT_TRUE(wizard::MakeIde("d5", "C:\\tvtest\\Borland\\Delphi5", "--empty-rootdir"));
  OpenComponentPage();
  EXPECT_EQ(wizard::ListRows(s).size(), 2u);  // empty under HKLM, nothing under HKCU: absent
  wizard::End(s);
  ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, "Software\\Borland\\Delphi\\5.0", "RootDir", "C:\\tvtest\\Other\\Delphi5"));
  OpenComponentPage();
  const auto rows = wizard::ListRows(s);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].text, " Files for Borland Delphi 5");
  EXPECT_EQ(ItemText(s.dialog, 120), "C:\\tvtest\\Other\\TarvelLib");
}

TEST_F(Detection, TheLastDetectedIdeProposesTheDestinationOnce) {
  ASSERT_TRUE(wizard::MakeIde("d3", "C:\\tvtest\\First\\Delphi3"));
  ASSERT_TRUE(wizard::MakeIde("bcb6", "C:\\tvtest\\Last\\CBuilder6"));
  // A root recorded with a trailing separator proposes the same destination.
  ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, "Software\\Borland\\C++Builder\\6.0", "RootDir", "C:\\tvtest\\Last\\CBuilder6\\"));
  OpenComponentPage();
  EXPECT_EQ(ItemText(s.dialog, 120), "C:\\tvtest\\Last\\TarvelLib");
  // Going back and forth rebuilds the list but keeps the proposal made on the first visit.
  ASSERT_TRUE(wizard::Prev(s));
  ASSERT_TRUE(wizard::Next(s));
  EXPECT_EQ(ItemText(s.dialog, 120), "C:\\tvtest\\Last\\TarvelLib");
  EXPECT_EQ(wizard::ListRows(s).size(), 4u);
}

}  // namespace

namespace {

TEST_F(Detection, AnEmptyEarlierRootDoesNotBlankTheDestination) {
  ASSERT_TRUE(wizard::MakeIde("d7", "C:\\tvtest\\Borland\\Delphi7"));
  ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, "Software\\Quillon\\Tarvel Lib", "RootDir", ""));
  OpenComponentPage();
  EXPECT_EQ(ItemText(s.dialog, 120), "C:\\tvtest\\Borland\\TarvelLib");
}

}  // namespace
