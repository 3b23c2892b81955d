// RunScript with scripts of its own: the effect and log records of every opcode, the
// progress step per step, cut expansions, the search path and package pruning, and
// build tools started hidden in their folder and waited for.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/interpreter.h"
#include "engine/setup_state.h"
#include "services/diag_log.h"
#include "tests/driver/driver.h"
#include "tests/wine/interpreter/script_window.h"
#include "uninstlog/log_format.h"

using namespace driver;
using testkit::JournalLine;
using testkit::Read;
using testkit::RunKit;

namespace {

constexpr char kIdeKey[] = "Software\\TarvelTest\\Delphi\\7.0";
constexpr char kPackagesKey[] = "Software\\TarvelTest\\Delphi\\7.0\\Known Packages";
constexpr char kLibraryKey[] = "Software\\TarvelTest\\Delphi\\7.0\\Library";
constexpr char kHelpKey[] = "Software\\Microsoft\\Windows\\Help";

// The texts of a test's steps, pooled as the tables pool theirs; emptied for every test.
std::string gTexts;

std::uint16_t Pooled(const char* text, const char* third = nullptr) {
  if (text == nullptr) return 0;
  const std::size_t at = gTexts.size();
  gTexts.append(text).push_back('\0');
  if (third != nullptr) gTexts.append(third).push_back('\0');
  return static_cast<std::uint16_t>(at);
}

ScriptStep Step(Opcode op, const char* a, const char* b = nullptr, const char* c = nullptr) {
  return {Pooled(a), TakesThirdText(op) ? Pooled(b != nullptr ? b : "", c != nullptr ? c : "") : Pooled(b), op};
}
ScriptStep IdStep(Opcode op, const char* a, std::uint32_t id) { return {Pooled(a), static_cast<std::uint16_t>(id), op}; }

std::string Record(std::uint8_t type, const std::string& text) { return std::string(1, static_cast<char>(type)) + text + '\0'; }

class Interpreter : public ::testing::Test {
 protected:
  void SetUp() override {
    InitCommonControls();
    gTexts.assign(1, '\0');
    AllocateSetupState();
    window_ = CreateWindowExA(0, "STATIC", "installation page", WS_OVERLAPPEDWINDOW, 0, 0, 400, 200, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    CreateChild("STATIC", 102);
    CreateChild("STATIC", 105);
    gSetup.dialog = window_;
    gSetup.stepsDone = 0;

    root_ = FreshFolder("interp");
    SetMacroValue(gSetup.macros, Macro::HomeDir, root_.c_str());
    SetMacroValue(gSetup.macros, Macro::SysDir, (root_ + "\\sys").c_str());
    CreateDirectoryA((root_ + "\\sys").c_str(), nullptr);
    SetMacroValue(gSetup.macros, Macro::DelphiReg, kIdeKey);
    OpenLog(gSetup.log, (root_ + "\\uninst.qln").c_str());
    logStart_ = gSetup.log.position;
    gSetup.failures = {};
    RegDeleteTree(HKEY_CURRENT_USER, "Software\\TarvelTest");
    RegDeleteTree(HKEY_LOCAL_MACHINE, "Software\\TarvelTest");
  }

  void TearDown() override {
    RegDeleteTree(HKEY_CURRENT_USER, "Software\\TarvelTest");
    RegDeleteTree(HKEY_LOCAL_MACHINE, "Software\\TarvelTest");
    WriteLog(gSetup.log);
    if (window_ != nullptr) DestroyWindow(window_);
    SetCurrentDirectoryA("C:\\");
    if (!root_.empty()) RemoveTree(root_);  // empty when the set-up failed before making it
    ReleaseSetupState();
  }

  HWND CreateChild(const char* cls, int id) {
    return CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE, 0, 20 * (id - 100), 300, 18, window_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  }

  void Run(std::vector<ScriptStep> steps) {
    steps.push_back(kEndOfScript);
    RunScript(steps.data(), gTexts.data());
  }

  int Progress() const { return static_cast<int>(gSetup.stepsDone); }
  std::string NewRecords() const {
    return std::string(reinterpret_cast<const char*>(gSetup.log.buffer) + logStart_, gSetup.log.position - logStart_);
  }
  std::string PathBuffer() const { return gSetup.pathBuffer; }
  std::string Macro(Macro m) const { return MacroValue(gSetup.macros, m); }

  HWND window_ = nullptr;
  std::string root_;
  std::size_t logStart_ = 0;
};

TEST_F(Interpreter, ScriptWithoutFirstStepDoesNothing) {
  lstrcpyA(gSetup.pathBuffer, "untouched");
  Run({});
  EXPECT_EQ(Progress(), 0);
  EXPECT_EQ(PathBuffer(), "untouched");
  EXPECT_EQ(NewRecords(), "");
}

TEST_F(Interpreter, ReservedAndUnknownOpcodesOnlyStepAndExpand) {
  const ScriptStep steps[] = {
      Step(Opcode::Reserved3, "$HOME_DIR$\\three"),
      Step(Opcode::Reserved4, "$HOME_DIR$\\four", "$HOME_DIR$\\b"),
      Step(static_cast<Opcode>(19), "$HOME_DIR$\\nineteen"),
      Step(static_cast<Opcode>(0xFFu), "$HOME_DIR$\\last"),
  };
  for (const ScriptStep& s : steps) {
    const int before = Progress();
    Run({s});
    EXPECT_EQ(Progress(), before + 1) << static_cast<unsigned>(s.opcode);
    EXPECT_EQ(PathBuffer(), root_ + (gTexts.data() + s.a + 10)) << static_cast<unsigned>(s.opcode);
  }
  EXPECT_EQ(NewRecords(), "");
  EXPECT_FALSE(FileExists(root_ + "\\last"));
  EXPECT_FALSE(DirectoryExists(root_ + "\\last"));
}

TEST_F(Interpreter, FileStepsAndTheirRecords) {
  const std::string dir = root_ + "\\D7\\sub";
  const std::string dpk = dir + "\\tarveld7.dpk";
  const std::string copy = root_ + "\\sys\\tarveld7.dpk";
  Run({
      Step(Opcode::SetSubDir, "D7\\sub"),
      Step(Opcode::MakeDirectory, "$HOME_DIR$\\$SUB_DIR$"),
      IdStep(Opcode::ExtractPayload, "$HOME_DIR$\\$SUB_DIR$\\tarveld7.dpk", 7001),
      Step(Opcode::CopyToFile, "$HOME_DIR$\\$SUB_DIR$\\tarveld7.dpk", "$SYS_DIR$\\tarveld7.dpk"),
      Step(Opcode::RecordBuildOutput, "$HOME_DIR$\\$SUB_DIR$\\tarveld7.dcu"),
      Step(Opcode::RemoveFile, "$HOME_DIR$\\$SUB_DIR$\\tarveld7.dpk"),
      Step(Opcode::RemoveFile, "$HOME_DIR$\\$SUB_DIR$\\never-there.txt"),
  });
  EXPECT_EQ(Progress(), 7);
  EXPECT_TRUE(DirectoryExists(dir));
  EXPECT_FALSE(FileExists(dpk));
  EXPECT_EQ(Read(copy), "package tarveld7;\r\nend.\r\n");
  EXPECT_FALSE(FileExists(dir + "\\tarveld7.dcu"));
  EXPECT_EQ(NewRecords(), Record(LogType::Directory, dir) + Record(LogType::File, dpk) +
                              Record(LogType::File, copy) + Record(LogType::File, dir + "\\tarveld7.dcu"));
  EXPECT_EQ(gSetup.failures.count, 0) << gSetup.failures.first;
}

TEST_F(Interpreter, FailedOperationsStillLeaveTheirRecords) {
  const std::string nowhere = root_ + "\\no\\such";
  Run({
      IdStep(Opcode::ExtractPayload, "$HOME_DIR$\\no\\such\\file.bin", 7001),
      Step(Opcode::CopyToFile, "$HOME_DIR$\\missing.bpl", "$HOME_DIR$\\no\\such\\copy.bpl"),
      IdStep(Opcode::ExtractPayload, "$HOME_DIR$\\no-resource.bin", 7999),
  });
  EXPECT_EQ(Progress(), 3);
  EXPECT_FALSE(FileExists(nowhere + "\\file.bin"));
  EXPECT_EQ(Read(root_ + "\\no-resource.bin"), "");
  EXPECT_EQ(NewRecords(), Record(LogType::File, nowhere + "\\file.bin") + Record(LogType::File, nowhere + "\\copy.bpl") +
                              Record(LogType::File, root_ + "\\no-resource.bin"));
  EXPECT_EQ(gSetup.failures.count, 3);
  EXPECT_EQ(std::string(gSetup.failures.first), nowhere + "\\file.bin");

  // Each failed step alone, by the object it names: a copy whose source is missing
  // names the package the build did not leave, any other failed copy its target.
  ASSERT_TRUE(WriteFileBytes(root_ + "\\present.bpl", "package"));
  const std::string longKey = "Software\\TarvelTest\\" + std::string(300, 'k');
  const struct {
    ScriptStep step;
    std::string first;
  } alone[] = {
      {Step(Opcode::CopyToFile, "$HOME_DIR$\\missing.bpl", "$SYS_DIR$\\missing.bpl"), root_ + "\\missing.bpl"},
      {Step(Opcode::CopyToFile, "$HOME_DIR$\\present.bpl", "$HOME_DIR$\\no\\such\\copy.bpl"), nowhere + "\\copy.bpl"},
      {Step(Opcode::MakeDirectory, "$HOME_DIR$\\present.bpl\\sub"), root_ + "\\present.bpl\\sub"},
      {Step(Opcode::SetUserValue, longKey.c_str(), "Name", "x"), "HKEY_CURRENT_USER\\" + longKey.substr(0, 200)},
  };
  for (const auto& c : alone) {
    gSetup.failures = {};
    Run({c.step});
    EXPECT_EQ(gSetup.failures.count, 1) << c.step.a;
    EXPECT_EQ(std::string(gSetup.failures.first).substr(0, c.first.size()), c.first) << c.step.a;
  }
}

TEST_F(Interpreter, MacroAndTextSteps) {
  Run({
      Step(Opcode::SetSubDir, "Delphi7"),
      Step(Opcode::SetSubFile, "tarveld$SUB_DIR$"),
      IdStep(Opcode::ShowText, "$SUB_DIR$", 102),
      IdStep(Opcode::ShowText, "Files extracting ...", 105),
  });
  EXPECT_EQ(Macro(Macro::SubDir), "Delphi7");
  EXPECT_EQ(Macro(Macro::SubFile), "tarveldDelphi7");
  EXPECT_EQ(ItemText(window_, 102), "Delphi7");
  EXPECT_EQ(ItemText(window_, 105), "Files extracting ...");
  EXPECT_EQ(NewRecords(), "");
}

TEST_F(Interpreter, RegistrySteps) {
  const std::string package = root_ + "\\Delphi7\\tarveld7.bpl";
  Run({
      Step(Opcode::SetSubDir, "Delphi7"),
      Step(Opcode::RegisterPackage, "$HOME_DIR$\\$SUB_DIR$\\tarveld7.bpl", "Tarvel Lib v6.49 (trial) VCL $HOME_DIR$"),
      Step(Opcode::RegisterHelpFile, "$HOME_DIR$\\Help", "tarvel$SUB_DIR$.hlp"),
      Step(Opcode::SetMachineValue, "Software\\TarvelTest\\Machine", "Display$SUB_DIR$", "Root $HOME_DIR$"),
      Step(Opcode::SetUserValue, "Software\\TarvelTest\\User", "Name", "$SUB_DIR$"),
  });
  std::string value;
  ASSERT_TRUE(RegGetString(HKEY_CURRENT_USER, kPackagesKey, package.c_str(), &value));
  EXPECT_EQ(value, "Tarvel Lib v6.49 (trial) VCL $HOME_DIR$");
  ASSERT_TRUE(RegGetString(HKEY_LOCAL_MACHINE, kHelpKey, "tarvelDelphi7.hlp", &value));
  EXPECT_EQ(value, root_ + "\\Help");
  ASSERT_TRUE(RegGetString(HKEY_LOCAL_MACHINE, "Software\\TarvelTest\\Machine", "DisplayDelphi7", &value));
  EXPECT_EQ(value, "Root " + root_);
  ASSERT_TRUE(RegGetString(HKEY_CURRENT_USER, "Software\\TarvelTest\\User", "Name", &value));
  EXPECT_EQ(value, "Delphi7");
  EXPECT_EQ(NewRecords(), Record(LogType::UserKey, kPackagesKey) + Record(LogType::ValueName, package) +
                              Record(LogType::MachineKey, kHelpKey) + Record(LogType::ValueName, "tarvelDelphi7.hlp") +
                              Record(LogType::MachineKey, "Software\\TarvelTest\\Machine") +
                              Record(LogType::ValueName, "DisplayDelphi7") +
                              Record(LogType::UserKey, "Software\\TarvelTest\\User") + Record(LogType::ValueName, "Name"));
  HKEY help = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kHelpKey, 0, KEY_SET_VALUE, &help) == ERROR_SUCCESS) {
    RegDeleteValueA(help, "tarvelDelphi7.hlp");
    RegCloseKey(help);
  }
}

TEST_F(Interpreter, AppendOnceAndRepositoryPage) {
  const std::string cfg = root_ + "\\d7.ohl";
  const std::string repo = root_ + "\\delphi32.dro";
  ASSERT_TRUE(WriteFileBytes(cfg, ":Link d7.hlp"));
  ASSERT_TRUE(WriteFileBytes(repo, "[Repository Pages]\r\nProjects=\r\n"));
  const std::vector<ScriptStep> steps = {
      Step(Opcode::SetSubFile, "tarvel"),
      Step(Opcode::AppendOnce, "$HOME_DIR$\\d7.ohl", "\r\n:Link $SUB_FILE$.hlp\r\n"),
      IdStep(Opcode::AddRepositoryPage, "$HOME_DIR$\\delphi32.dro", 7002),
  };
  Run(steps);
  Run(steps);
  EXPECT_EQ(Read(cfg), ":Link d7.hlp\r\n:Link tarvel.hlp\r\n");
  EXPECT_EQ(Read(repo), "[Repository Pages]\r\nProjects=\r\nTarvel Lib=\r\n[Tarvel Lib.Page]\r\nPath=" + root_ + "\\Repo\r\n");
  EXPECT_EQ(Progress(), 6);
  EXPECT_EQ(NewRecords(), "");
  // Files that are not there: passed over, not counted, and said so in the diagnostic log.
  const std::string diag = root_ + "\\diag.log";
  ASSERT_TRUE(OpenDiagLog(diag, "test"));
  Run({Step(Opcode::AppendOnce, "$HOME_DIR$\\gone.ohl", "x"), IdStep(Opcode::AddRepositoryPage, "$HOME_DIR$\\gone.dro", 7002)});
  // Each step's line is on disk once the step has ended, with the log still open.
  std::string text(4096, '\0');
  DWORD read = 0;
  HANDLE open = CreateFileA(diag.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ReadFile(open, text.data(), 4096, &read, nullptr);
  CloseHandle(open);
  text.resize(read);
  EXPECT_NE(text.find("\r\nAppend to " + root_ + "\\gone.ohl > x: error 2, passed over\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\nRepository page " + root_ + "\\gone.dro: error 2, passed over\r\n"), std::string::npos) << text;
  // A text longer than the lines the log holds back goes out after them, in order.
  DiagLog("held");
  DiagWrite(std::string(5000, 'x'));
  CloseDiagLog(0);
  EXPECT_TRUE(Read(diag).ends_with("\r\nheld\r\n" + std::string(5000, 'x') + "Exit code 0\r\n"));
  EXPECT_EQ(gSetup.failures.count, 0);
}

struct SearchPathCase {
  const char* name;
  bool exists;
  const char* before;
  const char* after;
};

TEST_F(Interpreter, SearchPathRewrite) {
  static const SearchPathCase cases[] = {
      {"old root replaced", true, ";C:\\Old\\Delphi7;X", ";X;C:\\New\\Delphi7"},
      {"missing value", false, "", ";C:\\New\\Delphi7"},
      {"empty value", true, "", ";C:\\New\\Delphi7"},
      {"IDE variable forms and old IDE folders", true,
       "$(DELPHI)\\Lib;$(DELPHI)\\ADD\\TARVELLIB;C:\\IDE\\add\\tarvellib;C:\\IDE\\\\add\\tarvellib;C:\\Keep",
       "$(DELPHI)\\Lib;C:\\Keep;C:\\New\\Delphi7"},
      {"entry that only starts like an old one", true, ";C:\\Old\\Delphi7Extra", ";C:\\Old\\Delphi7Extra;C:\\New\\Delphi7"},
  };
  SetMacroValue(gSetup.macros, Macro::HomeOld, "C:\\Old");
  SetMacroValue(gSetup.macros, Macro::DelphiDir, "C:\\IDE");
  SetMacroValue(gSetup.macros, Macro::DelphiDirShort, "C:\\IDE~1");
  SetMacroValue(gSetup.macros, Macro::SubDir, "Delphi7");
  SetMacroValue(gSetup.macros, Macro::HomeDir, "C:\\New");
  for (const SearchPathCase& c : cases) {
    RegDeleteTree(HKEY_CURRENT_USER, kLibraryKey);
    if (c.exists) {
      ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, kLibraryKey, "Search Path", c.before)) << c.name;
    }
    Run({Step(Opcode::UpdateSearchPath, ";$HOME_DIR$\\$SUB_DIR$", "Search Path")});
    std::string value;
    ASSERT_TRUE(RegGetString(HKEY_CURRENT_USER, kLibraryKey, "Search Path", &value)) << c.name;
    EXPECT_EQ(value, c.after) << c.name;
  }
  EXPECT_EQ(NewRecords(), "");
}

TEST_F(Interpreter, SearchPathTooLongToReadIsLeftAlone) {
  // A value past W2's 4096 bytes cannot be read; writing just the new entry would
  // throw away the user's whole search path.
  const std::string longPath = "$(DELPHI)\\Lib;" + std::string(5000, 'p');
  ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, kLibraryKey, "Search Path", longPath.c_str()));
  Run({Step(Opcode::UpdateSearchPath, ";C:\\New\\Delphi7", "Search Path")});
  std::string value;
  ASSERT_TRUE(RegGetString(HKEY_CURRENT_USER, kLibraryKey, "Search Path", &value));
  EXPECT_EQ(value, longPath);
  EXPECT_EQ(Progress(), 1);
}

TEST_F(Interpreter, SearchPathWithoutRoomForTheEntryIsLeftAlone) {
  const std::string full = ";" + std::string(4090, 'p');
  ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, kLibraryKey, "Search Path", full.c_str()));
  Run({Step(Opcode::UpdateSearchPath, ";C:\\New\\Delphi7", "Search Path")});
  std::string value;
  ASSERT_TRUE(RegGetString(HKEY_CURRENT_USER, kLibraryKey, "Search Path", &value));
  EXPECT_EQ(value, full);
}

TEST_F(Interpreter, PruneRemovesThePackageAndOldLibraryNamesOnly) {
  static const struct {
    const char* name;
    bool stays;
  } values[] = {
      {"C:\\Old\\Delphi7\\tarveld7.bpl", false},
      {"C:\\Old\\Delphi7\\TARVELD7CLX.BPL", false},
      {"$(DELPHI)\\Projects\\Bpl\\TarvelLib.60.bpl", false},
      {"C:\\x\\TARVELLIB.D7.BPL", false},
      {"$(DELPHI)\\Bin\\dclstd70.bpl", true},
      {"C:\\Vendors\\tarvel_tools.bpl", true},
      {"C:\\Old\\Delphi6\\tarveld6.bpl", true},
      {"C:\\x\\tarvellib_d7.bpl", true},
  };
  for (const auto& v : values) ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, kPackagesKey, v.name, "package"));
  SetMacroValue(gSetup.macros, Macro::SubFile, "tarveld7");
  Run({Step(Opcode::PruneRegistrations, "$HOME_DIR$\\unused")});
  for (const auto& v : values) EXPECT_EQ(RegValueExists(HKEY_CURRENT_USER, kPackagesKey, v.name), v.stays) << v.name;
  EXPECT_EQ(Progress(), 1);
  EXPECT_EQ(NewRecords(), "");
}

TEST_F(Interpreter, PruneWithoutPackageNameKeepsOtherPackages) {
  // An empty name is contained in every name: it must not unregister the IDE's own packages.
  ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, kPackagesKey, "$(DELPHI)\\Bin\\dclstd70.bpl", "Standard"));
  ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, kPackagesKey, "C:\\x\\TarvelLib.d7.bpl", "old"));
  Run({Step(Opcode::PruneRegistrations, "x")});
  EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, kPackagesKey, "$(DELPHI)\\Bin\\dclstd70.bpl"));
  EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, kPackagesKey, "C:\\x\\TarvelLib.d7.bpl"));
}

TEST_F(Interpreter, LongExpansionsAreCutAndTheRunGoesOn) {
  const std::string value(250, 'h');
  SetMacroValue(gSetup.macros, Macro::HomeDir, value.c_str());
  std::string longA, expanded;
  for (int i = 0; i < 10; ++i) {
    longA += "$HOME_DIR$\\";
    expanded += value + "\\";  // 2510 bytes in all
  }
  std::string longB;
  for (int i = 0; i < 20; ++i) longB += "$HOME_DIR$;";  // 5020 bytes expanded
  Run({
      Step(Opcode::RecordBuildOutput, longA.c_str()),
      Step(Opcode::SetUserValue, "Software\\TarvelTest\\User", longB.c_str(), longB.c_str()),
      Step(Opcode::SetSubDir, longA.c_str()),
      Step(Opcode::SetSubFile, "after"),
  });
  EXPECT_EQ(Progress(), 4);
  EXPECT_EQ(Macro(Macro::SubFile), "after");
  EXPECT_EQ(Macro(Macro::SubDir), expanded.substr(0, 260)) << "the folder name is cut to 260 characters";
  const std::string records = NewRecords();
  ASSERT_GE(records.size(), 2081u);
  EXPECT_EQ(records.substr(0, 2081), Record(LogType::File, expanded.substr(0, 2079)))
      << "PathBuffer holds 2079 bytes and its NUL";
  EXPECT_EQ(std::string(WorkBuffer(0)).size(), kWorkBufferCapacity - 1);
  EXPECT_EQ(std::string(WorkBuffer(1)).size(), kWorkBufferCapacity - 1);
}

class BuildTool : public Interpreter {
 protected:
  void SetUp() override {
    Interpreter::SetUp();
    if (HasFatalFailure()) return;  // root_ is not made then
    ide_ = root_ + "\\IDE";
    ASSERT_EQ(RunKit("d7 \"" + ide_ + "\" --rootdir=none --tool-delay=400"), 0);
    SetMacroValue(gSetup.macros, Macro::DelphiDir, ide_.c_str());
    SetMacroValue(gSetup.macros, Macro::SubFile, "tarveld7");
  }
  std::string Journal() const { return Read(ide_ + "\\buildtools.log"); }
  std::string ide_;
};

TEST_F(BuildTool, RunsHiddenInItsFolderAndIsWaitedFor) {
  const std::string pkg = root_ + "\\Delphi7";
  char before[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof before, before);
  Run({
      Step(Opcode::SetSubDir, "Delphi7"),
      Step(Opcode::MakeDirectory, "$HOME_DIR$\\$SUB_DIR$"),
      IdStep(Opcode::ExtractPayload, "$HOME_DIR$\\$SUB_DIR$\\$SUB_FILE$.dpk", 7001),
      Step(Opcode::RunBuildTool, "\"$DELPHI_DIR$\\Bin\\dcc32.exe\" \"$SUB_FILE$.dpk\"", "$HOME_DIR$\\$SUB_DIR$"),
      Step(Opcode::CopyToFile, "$HOME_DIR$\\$SUB_DIR$\\$SUB_FILE$.bpl", "$SYS_DIR$\\$SUB_FILE$.bpl"),
  });
  EXPECT_EQ(Progress(), 5);
  // The copy right after the build found the package: the build was waited for.
  EXPECT_TRUE(FileExists(root_ + "\\sys\\tarveld7.bpl"));
  EXPECT_TRUE(FileExists(pkg + "\\tarveld7.dcp"));
  EXPECT_EQ(JournalLine(Journal(), 0), "\"" + ide_ + "\\Bin\\dcc32.exe\" \"tarveld7.dpk\"\t" + pkg + "\tshow=hide");
  char current[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof current, current);
  EXPECT_EQ(std::string(current), before) << "the tool's folder is its own, not the installer's";
  EXPECT_EQ(NewRecords(), Record(LogType::Directory, pkg) + Record(LogType::File, pkg + "\\tarveld7.dpk") +
                              Record(LogType::File, root_ + "\\sys\\tarveld7.bpl"));
}

TEST_F(BuildTool, FolderFollowsEachStepsWorkingDirectory) {
  const std::string a = root_ + "\\A";
  const std::string b = root_ + "\\B";
  CreateDirectoryA(a.c_str(), nullptr);
  CreateDirectoryA(b.c_str(), nullptr);
  ASSERT_TRUE(WriteFileBytes(a + "\\tarvelb6.bpk", "project"));
  ASSERT_TRUE(WriteFileBytes(b + "\\tarvelb6.bpk", "project"));
  Run({
      Step(Opcode::RunBuildTool, "\"$DELPHI_DIR$\\Bin\\bpr2mak.exe\" -otarvelb6.mak tarvelb6.bpk", "$HOME_DIR$\\A"),
      Step(Opcode::RunBuildTool, "\"$DELPHI_DIR$\\Bin\\make.exe\" /ftarvelb6.mak\"", "$HOME_DIR$\\A"),
      Step(Opcode::RunBuildTool, "\"$DELPHI_DIR$\\Bin\\make.exe\" /ftarvelb6.bpk", "$HOME_DIR$\\B"),
  });
  const std::string journal = Journal();
  EXPECT_EQ(testkit::CountLines(journal), 3) << journal;
  EXPECT_EQ(JournalLine(journal, 0), "\"" + ide_ + "\\Bin\\bpr2mak.exe\" -otarvelb6.mak tarvelb6.bpk\t" + a + "\tshow=hide");
  EXPECT_EQ(JournalLine(journal, 1), "\"" + ide_ + "\\Bin\\make.exe\" /ftarvelb6.mak\"\t" + a + "\tshow=hide");
  EXPECT_EQ(JournalLine(journal, 2), "\"" + ide_ + "\\Bin\\make.exe\" /ftarvelb6.bpk\t" + b + "\tshow=hide");
  EXPECT_TRUE(FileExists(a + "\\tarvelb6.bpl"));
  EXPECT_TRUE(FileExists(b + "\\tarvelb6.bpl"));
  EXPECT_FALSE(FileExists(b + "\\tarvelb6.mak"));
}

// A missing tool leaves its package missing, which the copy after it counts; a tool
// whose folder is missing is not started (it would run wherever it was started from)
// and is counted itself.
TEST_F(BuildTool, ToolThatDoesNotStartOrHasNoFolderIsPassedOver) {
  Run({
      Step(Opcode::RunBuildTool, "\"$DELPHI_DIR$\\Bin\\missing.exe\" x", "$HOME_DIR$"),
      Step(Opcode::RunBuildTool, "\"$DELPHI_DIR$\\Bin\\dcc32.exe\" x", "$HOME_DIR$\\gone"),
      Step(Opcode::SetSubDir, "next"),
  });
  EXPECT_EQ(Progress(), 3);
  EXPECT_EQ(Macro(Macro::SubDir), "next");
  EXPECT_EQ(Journal(), "");
  EXPECT_EQ(gSetup.failures.count, 1);
  EXPECT_EQ(std::string(gSetup.failures.first), root_ + "\\gone");
}

}  // namespace
