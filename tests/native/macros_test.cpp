// Macro expansion: order, case folding, re-expansion of later macros, capacity.
#include "engine/macros.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Table {
  char values[kMacroCount][kMacroValueCapacity] = {};
  char scratch[kExpansionScratchCapacity] = {};
  MacroTable table = {};
  Table() {
    for (int i = 0; i < kMacroCount; ++i) table.values[i] = values[i];
    table.scratch = scratch;
  }
  void Set(Macro m, const char* v) { SetMacroValue(table, m, v); }
  std::string Expand(const char* t, size_t cap = 2080) {
    std::vector<char> out(cap);
    ExpandMacros(table, t, out.data(), cap);
    return out.data();
  }
};

TEST(ExpandMacros, WorkedExamples) {
  Table t;
  t.Set(Macro::HomeDir, "C:\\Lib");
  t.Set(Macro::SubDir, "Delphi7");
  t.Set(Macro::SubFile, "tarveld7");
  EXPECT_EQ(t.Expand("$HOME_DIR$\\$SUB_DIR$\\$SUB_FILE$.dpk"), "C:\\Lib\\Delphi7\\tarveld7.dpk");
  EXPECT_EQ(t.Expand(";$HOME_OLD$\\$SUB_DIR$"), ";\\Delphi7");
  EXPECT_EQ(t.Expand("$sub_dir$ and $SUB_DIR$"), "Delphi7 and Delphi7");
  EXPECT_EQ(t.Expand("no macros \"quoted\""), "no macros \"quoted\"");
}

TEST(ExpandMacros, QuotesSurviveAroundExpandedPaths) {
  Table t;
  t.Set(Macro::DelphiDir, "C:\\Program Files\\Borland\\Delphi7");
  t.Set(Macro::SubFile, "tarveld7");
  EXPECT_EQ(t.Expand("\"$DELPHI_DIR$\\Bin\\dcc32.exe\" \"$SUB_FILE$.dpk\""),
            "\"C:\\Program Files\\Borland\\Delphi7\\Bin\\dcc32.exe\" \"tarveld7.dpk\"");
}

TEST(ExpandMacros, ValueIsSearchedForLaterMacrosOnly) {
  Table t;
  t.Set(Macro::HomeDir, "X$SUB_DIR$$HOME_DIR$");
  t.Set(Macro::SubDir, "S");
  EXPECT_EQ(t.Expand("$HOME_DIR$"), "XS$HOME_DIR$");
}

TEST(ExpandMacros, DelphiDirLeavesShortFormAlone) {
  Table t;
  t.Set(Macro::DelphiDir, "LONG");
  t.Set(Macro::DelphiDirShort, "SHORT");
  EXPECT_EQ(t.Expand("$DELPHI_DIR$|$DELPHI_DIR_SHORT$"), "LONG|SHORT");
}

TEST(ExpandMacros, LongResultsAreCutAtEveryCapacity) {
  Table t;
  const std::string big(260, 'v');
  for (int i = 0; i < kMacroCount; ++i) t.Set(static_cast<Macro>(i), big.c_str());
  std::string templ;
  for (int i = 0; i < 40; ++i) templ += "$HOME_DIR$$DELPHI_DIR_SHORT$";
  for (size_t cap : {1, 2, 100, 2080, 4095, 4096, 5000}) {
    const std::string got = t.Expand(templ.c_str(), cap);
    const size_t limit = (cap < kExpansionScratchCapacity ? cap : kExpansionScratchCapacity) - 1;
    EXPECT_EQ(got.size(), limit) << "capacity " << cap;
  }
}

TEST(SetMacroValue, CutsAt260Characters) {
  Table t;
  const std::string big(1000, 'q');
  t.Set(Macro::SysDir, big.c_str());
  EXPECT_EQ(std::strlen(MacroValue(t.table, Macro::SysDir)), 260u);
}

}  // namespace
