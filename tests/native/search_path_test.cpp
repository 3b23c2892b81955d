// Search path rewrite: whole-entry removal, the seven stale patterns, the new entry,
// and the fixed capacities (buffers are exact-size heap blocks, so ASan sees overruns).
#include "engine/search_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/text.h"

namespace {

constexpr std::size_t kWork = 4096;
constexpr std::size_t kPath = 2080;

struct Fixture {
  std::vector<std::vector<char>> values = std::vector<std::vector<char>>(kMacroCount, std::vector<char>(kMacroValueCapacity));
  std::vector<char> scratch = std::vector<char>(kExpansionScratchCapacity);
  std::vector<char> w2 = std::vector<char>(kWork), w3 = std::vector<char>(kWork), w4 = std::vector<char>(kWork);
  MacroTable table = {};
  Fixture() {
    for (int i = 0; i < kMacroCount; ++i) table.values[i] = values[i].data();
    table.scratch = scratch.data();
  }
  void Set(Macro m, const char* v) { SetMacroValue(table, m, v); }
  SearchPathScratch Scratch() { return {w2.data(), w3.data(), w4.data(), kWork}; }
  bool Rewrite(const std::string& current, const char* entry) {
    CopyText(w2.data(), kWork, current.c_str());
    return RewriteSearchPath(table, Scratch(), entry);
  }
  std::string Result() const { return w4.data(); }
};

TEST(RemoveEntries, WholeEntriesOnly) {
  struct Row {
    const char* name;
    const char* source;
    const char* pattern;
    const char* expected;
  };
  static const Row rows[] = {
      {"middle entry", ";A;C:\\Old\\D7;B", ";C:\\Old\\D7", ";A;B"},
      {"last entry", ";A;C:\\Old\\D7", ";C:\\Old\\D7", ";A"},
      {"every occurrence", ";C:\\Old\\D7;A;C:\\Old\\D7;C:\\Old\\D7", ";C:\\Old\\D7", ";A"},
      {"letter case folded", ";A;c:\\OLD\\d7;B", ";C:\\Old\\D7", ";A;B"},
      {"trailing separators go with it", ";A;C:\\Old\\D7\\/;B", ";C:\\Old\\D7", ";A;B"},
      {"longer entry kept", ";A;C:\\Old\\D7Extra;B", ";C:\\Old\\D7", ";A;C:\\Old\\D7Extra;B"},
      {"sub-folder entry kept", ";C:\\Old\\D7\\Source;B", ";C:\\Old\\D7", ";C:\\Old\\D7\\Source;B"},
      {"kept prefix then a real one", ";C:\\Old\\D7X;C:\\Old\\D7", ";C:\\Old\\D7", ";C:\\Old\\D7X"},
      {"first entry has no ';'", "C:\\Old\\D7;A", ";C:\\Old\\D7", "C:\\Old\\D7;A"},
      {"nothing to remove", "$(DELPHI)\\Lib;X", ";C:\\Old\\D7", "$(DELPHI)\\Lib;X"},
      {"empty source", "", ";C:\\Old\\D7", ""},
      {"empty pattern copies", ";A;B", "", ";A;B"},
  };
  for (const Row& row : rows) {
    std::vector<char> out(kWork);
    const std::size_t n = RemoveEntries(row.source, row.pattern, out.data(), out.size());
    EXPECT_EQ(std::string(out.data()), row.expected) << row.name;
    EXPECT_EQ(n, std::string(row.expected).size()) << row.name;
  }
}

TEST(RemoveEntries, CutAtCapacity) {
  std::vector<char> out(5);
  EXPECT_EQ(RemoveEntries(";ABCDEFG;X", ";X", out.data(), out.size()), 4u);
  EXPECT_EQ(std::string(out.data()), ";ABC");
  EXPECT_EQ(RemoveEntries(";A", ";B", out.data(), 0), 0u);
}

TEST(RewriteSearchPath, WorkedExamples) {
  struct Row {
    const char* name;
    const char* current;
    const char* entry;
    const char* expected;
  };
  static const Row rows[] = {
      {"old root replaced", ";C:\\Old\\Delphi7;X", ";C:\\New\\Delphi7", ";X;C:\\New\\Delphi7"},
      {"no search path yet", "", ";C:\\New\\Delphi7", ";C:\\New\\Delphi7"},
      {"reinstall into the same root", "$(DELPHI)\\Lib;C:\\Old\\Delphi7", ";C:\\Old\\Delphi7",
       "$(DELPHI)\\Lib;C:\\Old\\Delphi7"},
      {"all seven patterns",
       "$(DELPHI)\\Lib;C:\\IDE\\add\\tarvellib;C:\\IDE\\\\add\\tarvellib;C:\\Old\\Delphi7"
       ";$(DELPHI)\\ADD\\TARVELLIB;$(BCB)\\ADD\\TARVELLIB;C:\\IDE~1\\add\\tarvellib"
       ";C:\\IDE~1\\\\add\\tarvellib;C:\\Keep",
       ";N", "$(DELPHI)\\Lib;C:\\Keep;N"},
      {"IDE variables in other case", ";$(delphi)\\add\\TarvelLib;$(bcb)\\Add\\tarvellib;K", ";N", ";K;N"},
      {"unrelated folders stay", ";C:\\IDE\\add\\tarvellib2;C:\\Old\\Delphi6", ";N",
       ";C:\\IDE\\add\\tarvellib2;C:\\Old\\Delphi6;N"},
  };
  for (const Row& row : rows) {
    Fixture f;
    f.Set(Macro::DelphiDir, "C:\\IDE");
    f.Set(Macro::DelphiDirShort, "C:\\IDE~1");
    f.Set(Macro::HomeOld, "C:\\Old");
    f.Set(Macro::SubDir, "Delphi7");
    ASSERT_TRUE(f.Rewrite(row.current, row.entry)) << row.name;
    EXPECT_EQ(f.Result(), row.expected) << row.name;
  }
}

TEST(RewriteSearchPath, MacroValuesAreNotReadAsPatternsOfTheirOwn) {
  // A root holding "$(DELPHI)" must not turn pattern 1 into the literal variable form.
  Fixture f;
  f.Set(Macro::DelphiDir, "$(DELPHI)");
  ASSERT_TRUE(f.Rewrite(";$(DELPHI)\\add\\tarvellib;K", ";N"));
  EXPECT_EQ(f.Result(), ";K;N");
}

TEST(RewriteSearchPath, EmptyMacrosRemoveOnlyTheirOwnShapes) {
  // No earlier installation: pattern 3 is ";\Delphi7", which no drive path equals.
  Fixture f;
  f.Set(Macro::SubDir, "Delphi7");
  ASSERT_TRUE(f.Rewrite(";C:\\Delphi7;\\Delphi7;D:\\x\\Delphi7", ";N"));
  EXPECT_EQ(f.Result(), ";C:\\Delphi7;D:\\x\\Delphi7;N");
}

TEST(RewriteSearchPath, FullValueWithRoomForTheEntry) {
  Fixture f;
  const std::string current = ";" + std::string(kWork - 1 - 1 - 3, 'k');  // 3 bytes left
  ASSERT_TRUE(f.Rewrite(current, ";NN"));
  EXPECT_EQ(f.Result(), current + ";NN");
}

TEST(RewriteSearchPath, EntryThatDoesNotFitIsRefused) {
  Fixture f;
  const std::string current = ";" + std::string(kWork - 1 - 1 - 2, 'k');  // 2 bytes left
  EXPECT_FALSE(f.Rewrite(current, ";NN"));
}

TEST(RewriteSearchPath, LongMacroValuesStayInTheirBuffers) {
  // Every macro at its 260-byte limit: patterns and results stay inside W2..W4.
  Fixture f;
  const std::string longValue(260, 'v');
  for (Macro m : {Macro::DelphiDir, Macro::DelphiDirShort, Macro::HomeOld, Macro::SubDir}) f.Set(m, longValue.c_str());
  std::string current;
  while (current.size() + 600 < kWork) current += ";" + longValue + "\\add\\tarvellib";
  ASSERT_TRUE(f.Rewrite(current, ";N"));
  EXPECT_EQ(f.Result(), ";N");
}

TEST(PathBufferExpansion, LongerThanPathBufferIsCut) {
  // A step's a expanded into PathBuffer: a 2600-byte result is cut to 2079 bytes.
  Fixture f;
  const std::string value(250, 'h');
  f.Set(Macro::HomeDir, value.c_str());
  std::string templ;
  for (int i = 0; i < 10; ++i) templ += "$HOME_DIR$\\";
  std::vector<char> pathBuffer(kPath);
  ExpandMacros(f.table, templ.c_str(), pathBuffer.data(), pathBuffer.size());
  const std::string got = pathBuffer.data();
  EXPECT_EQ(got.size(), kPath - 1);
  EXPECT_EQ(got.substr(0, 251), value + "\\");
}

}  // namespace
