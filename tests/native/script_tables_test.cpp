// The install scripts and the component table: counts, payload IDs and the steps
// that tell the IDE versions apart.
#include "engine/script_tables.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "engine/component_table.h"
#include "engine/ide_table.h"

namespace {

std::vector<const ScriptStep*> Steps(const ScriptStep* script) {
  std::vector<const ScriptStep*> v;
  for (const ScriptStep* s = script; s->a != 0; ++s) v.push_back(s);
  return v;
}

StepTexts Texts(const ScriptStep& s) { return TextsOf(scripts::kTexts, s); }

TEST(ComponentTable, ThirteenRowsInOrderWith943Steps) {
  static const int kSteps[] = {49, 51, 50, 83, 83, 47, 100, 102, 103, 188, 5, 75, 7};
  ComponentEntry* rows = ComponentTable();
  int total = 0;
  for (int i = 0; i < kComponentCount; ++i) {
    ASSERT_NE(rows[i].caption, nullptr) << "row " << i;
    EXPECT_EQ(rows[i].caption[0], ' ') << "row " << i;
    EXPECT_EQ(CountSteps(rows[i].script), kSteps[i]) << rows[i].caption;
    total += CountSteps(rows[i].script);
    EXPECT_EQ(rows[i].ideKey != nullptr, i < 10) << "row " << i;
  }
  EXPECT_EQ(rows[kComponentCount].caption, nullptr);
  EXPECT_EQ(total, 943);
  // The IDE rows' texts, made from the IDE table when the program is built, are what
  // qlnclear.exe makes of it at run time with the same formats.
  for (int i = 0; i < kIdeCount; ++i) {
    const IdeVersion& ide = kIdeVersions[i];
    char name[64], key[64];
    std::snprintf(name, sizeof name, kIdeNameFormat, kIdeShownFamily[ide.family], unsigned{ide.shown});
    std::snprintf(key, sizeof key, kIdeKeyFormat, kIdeKeyFamily[ide.family], unsigned{ide.keyMajor});
    EXPECT_EQ(std::string(rows[i].caption), std::string(" Files for ") + name) << "row " << i;
    EXPECT_STREQ(rows[i].ideKey, key) << "row " << i;
    EXPECT_STREQ(rows[i].rootValueName, "RootDir") << "row " << i;
  }
  EXPECT_STREQ(rows[5].caption, " Files for Borland Delphi 2005");
  EXPECT_STREQ(rows[5].ideKey, "Software\\Borland\\BDS\\3.0");
  EXPECT_STREQ(rows[9].caption, " Files for Borland C++Builder 6");
  EXPECT_STREQ(rows[9].ideKey, "Software\\Borland\\C++Builder\\6.0");
  EXPECT_STREQ(rows[10].caption, " Shared Files");
  EXPECT_EQ(rows[10].visibility, -2);
  EXPECT_EQ(rows[10].selection, 1);
}

// The IDs, grouped as the payload map lists them.
std::set<unsigned> ExpectedIds() {
  std::set<unsigned> ids;
  auto range = [&](unsigned a, unsigned b) {
    for (unsigned i = a; i <= b; ++i) ids.insert(i);
  };
  range(1, 6), range(8, 9), range(11, 18), range(21, 69);
  ids.insert(7);
  ids.insert(71), range(73, 75), range(77, 79);
  ids.insert(100), ids.insert(101), range(200, 203);
  for (unsigned b : {300u, 400u, 500u, 600u, 700u, 900u}) range(b, b + 2), range(b + 4, b + 18);
  for (unsigned b : {2600u, 2700u}) range(b, b + 2), range(b + 4, b + 16), ids.insert(b + 18);
  ids.insert(3071), range(3073, 3075), range(3077, 3079);
  range(8300, 8305), range(8309, 8353);
  for (unsigned b : {8400u, 8500u, 8600u}) range(b, b + 1), range(b + 3, b + 5), range(b + 9, b + 53);
  range(28600, 28601), range(28603, 28605), range(28609, 28647), range(28651, 28653);
  return ids;
}

TEST(ScriptTables, ExtractExactlyThe476PayloadIds) {
  std::set<unsigned> ids;
  for (const ScriptStep* script : scripts::kAll)
    for (const ScriptStep* s : Steps(script))
      if (s->opcode == Opcode::ExtractPayload) ids.insert(s->b);
  EXPECT_EQ(ids.size(), 476u);
  EXPECT_EQ(ids, ExpectedIds());
}

TEST(ScriptTables, DemoProjectsAndHelp) {
  const auto demo = Steps(scripts::kDemoProjects);
  ASSERT_EQ(demo.size(), 75u);
  EXPECT_STREQ(Texts(*demo[10]).a, "$HOME_DIR$\\$SUB_DIR$\\DTerminal\\dterminal.dpr");
  EXPECT_EQ(demo[10]->b, 1u);
  EXPECT_STREQ(Texts(*demo[74]).a, "$HOME_DIR$\\$SUB_DIR$\\LptDemo\\unit1.h");
  EXPECT_EQ(demo[74]->b, 69u);
  for (size_t i = 0; i < demo.size(); ++i) {
    if (demo[i]->b == 44) {
      EXPECT_STREQ(Texts(*demo[i]).a, "$HOME_DIR$\\$SUB_DIR$\\Voice\\mainfrm.h");
      EXPECT_STREQ(Texts(*demo[i + 1]).a, "$HOME_DIR$\\$SUB_DIR$\\Voice\\welcome.wav");
      EXPECT_EQ(demo[i + 1]->b, 45u);
    }
  }
  const auto shared = Steps(scripts::kSharedFiles);
  EXPECT_STREQ(Texts(*shared[4]).b, "UninstallString");
  EXPECT_STREQ(Texts(*shared[4]).c, "qlnclear.exe $HOME_DIR$\\uninst.qln");
}

struct StepCase {
  const ScriptStep* const* script;
  int step;  // 1-based, as the tables count
  Opcode op;
  const char* a;
  const char* bText;
  unsigned bId;
};

TEST(ScriptTables, DistinctiveSteps) {
  static const StepCase cases[] = {
      {&scripts::kDelphi7, 1, Opcode::SetSubDir, "Delphi7", nullptr, 0},
      {&scripts::kDelphi7, 40, Opcode::RunBuildTool, "\"$DELPHI_DIR$\\Bin\\dcc32.exe\" \"$SUB_FILE$.dpk\"",
       "$HOME_DIR$\\$SUB_DIR$", 0},
      {&scripts::kDelphi7, 47, Opcode::ExtractPayload, "$HOME_DIR$\\$SUB_DIR$\\$SUB_FILE$clx.dpk", nullptr, 2700},
      {&scripts::kDelphi7, 49, Opcode::ExtractPayload, "$HOME_DIR$\\$SUB_DIR$\\qtvsemaphore.pas", nullptr, 3071},
      {&scripts::kDelphi7, 79, Opcode::RegisterPackage, "$HOME_DIR$\\$SUB_DIR$\\$SUB_FILE$clx.bpl",
       "Tarvel Lib v6.49 (trial) CLX", 0},
      {&scripts::kDelphi7, 80, Opcode::UpdateSearchPath, ";$HOME_DIR$\\$SUB_DIR$", "Search Path", 0},
      {&scripts::kDelphi7, 81, Opcode::AppendOnce, "$DELPHI_DIR$\\Help\\d7.ohi", "\r\n:INDEX Tarvel Lib Help=tarvel.hlp\r\n", 0},
      {&scripts::kDelphi7, 83, Opcode::RemoveFile, "$DELPHI_DIR$\\Help\\d7.gid", nullptr, 0},
      {&scripts::kDelphi3, 41, Opcode::CopyToFile, "$HOME_DIR$\\$SUB_DIR$\\$SUB_FILE$.dpl", "$SYS_DIR$\\$SUB_FILE$.dpl", 0},
      {&scripts::kDelphi3, 47, Opcode::UpdateSearchPath, ";$HOME_DIR$\\$SUB_DIR$", "SearchPath", 0},
      {&scripts::kDelphi2005, 47, Opcode::UpdateSearchPath, ";$HOME_DIR$\\$SUB_DIR$", "Search Path", 0},
      {&scripts::kBuilder3, 85, Opcode::RunBuildTool, "\"$DELPHI_DIR$\\Bin\\make.exe\" /f$SUB_FILE$.bpk",
       "$HOME_DIR$\\$SUB_DIR$", 0},
      {&scripts::kBuilder5, 86, Opcode::RunBuildTool, "\"$DELPHI_DIR$\\Bin\\make.exe\" /f$SUB_FILE$.mak\"",
       "$HOME_DIR$\\$SUB_DIR$", 0},
      {&scripts::kBuilder6, 8, Opcode::ExtractPayload, "$HOME_DIR$\\$SUB_DIR$\\$SUB_FILE$.res", nullptr, 8302},
      {&scripts::kBuilder6, 92, Opcode::RecordBuildOutput, "$HOME_DIR$\\$SUB_DIR$\\$SUB_FILE$.mak", nullptr, 0},
      {&scripts::kBuilder6, 102, Opcode::ExtractPayload, "$HOME_DIR$\\$SUB_DIR$\\$SUB_FILE$clx.res", nullptr, 8302},
      {&scripts::kBuilder6, 176, Opcode::RunBuildTool, "\"$DELPHI_DIR$\\Bin\\make.exe\" /f$SUB_FILE$clx.mak\"",
       "$HOME_DIR$\\$SUB_DIR$", 0},
      // The C++Builder CLX package is copied after its outputs are recorded.
      {&scripts::kBuilder6, 182, Opcode::RecordBuildOutput, "$HOME_DIR$\\$SUB_DIR$\\$SUB_FILE$clx.obj", nullptr, 0},
      {&scripts::kBuilder6, 183, Opcode::CopyToFile, "$HOME_DIR$\\$SUB_DIR$\\$SUB_FILE$clx.bpl",
       "$SYS_DIR$\\$SUB_FILE$clx.bpl", 0},
      {&scripts::kBuilder6, 188, Opcode::RemoveFile, "$DELPHI_DIR$\\Help\\bcb6vcl.gid", nullptr, 0},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const StepCase& c = cases[i];
    const ScriptStep& s = (*c.script)[c.step - 1];
    EXPECT_EQ(s.opcode, c.op) << "row " << i;
    EXPECT_STREQ(Texts(s).a, c.a) << "row " << i;
    // b holds one form, the one the opcode reads.
    if (TakesIdOperand(c.op)) {
      EXPECT_EQ(s.b, c.bId) << "row " << i;
    } else {
      const char* b = Texts(s).b;
      EXPECT_STREQ(b != nullptr ? b : "(none)", c.bText != nullptr ? c.bText : "(none)") << "row " << i;
    }
  }
}

TEST(ScriptTables, CompilingTextComesBeforeTheResourceFilesInDelphiAndAfterInBuilder) {
  EXPECT_EQ(scripts::kDelphi5[36].opcode, Opcode::ShowText);
  EXPECT_EQ(scripts::kDelphi5[37].b, 100u);
  EXPECT_EQ(scripts::kBuilder4[81].b, 100u);
  EXPECT_EQ(scripts::kBuilder4[83].opcode, Opcode::ShowText);
  EXPECT_STREQ(Texts(scripts::kBuilder4[83]).a, "Compiling package ...");
}

// The longest path below the root, per component: the folder and the longest name in it
// (CBuilder6\qtarvellibreg.pas, Demos\EventList\evlistdemo.dpr, license.txt, each after a separator).
TEST(ScriptTables, RoomEachComponentNeedsBelowTheRoot) {
  static const int kRoom[] = {25, 25, 25, 26, 26, 25, 27, 27, 27, 28, 12, 31, 16};
  ComponentEntry* rows = ComponentTable();
  for (int i = 0; i < kComponentCount; ++i) {
    EXPECT_EQ(scripts::RoomBelowHome(rows[i].script), kRoom[i]) << rows[i].caption;
  }
  EXPECT_EQ(scripts::RoomBelowHome(nullptr), 0);
}

}  // namespace
