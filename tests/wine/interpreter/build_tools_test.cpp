// The stand-in build tools run from the scripts' own command lines in a package
// folder, and the IDE kit's roots for every version.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/driver/driver.h"
#include "tests/wine/interpreter/script_window.h"

using namespace driver;
using testkit::JournalLine;
using testkit::Read;
using testkit::RunKit;

namespace {

class Tools : public ::testing::Test {
 protected:
  void SetUp() override { folder_ = FreshFolder("tools"); }
  void TearDown() override { RemoveTree(folder_); }

  // Makes the IDE root for a version and an empty package folder beside it.
  void MakeIde(const char* version, const std::string& extra = "") {
    ide_ = folder_ + "\\IDE";
    work_ = folder_ + "\\Work";
    ASSERT_EQ(RunKit(std::string(version) + " \"" + ide_ + "\" --rootdir=none " + extra), 0);
    ASSERT_TRUE(CreateDirectoryA(work_.c_str(), nullptr));
  }
  // Runs "<root>\Bin\<tool>" arguments in the package folder; returns the exit code.
  int RunTool(const char* tool, const std::string& arguments) {
    const std::string line = "\"" + ide_ + "\\Bin\\" + tool + "\" " + arguments;
    Program p;
    if (!Start(line, &p, work_.c_str())) return -1;
    DWORD code = 0;
    if (!WaitExit(p, 30000, &code)) {
      Kill(p);
      return -1;
    }
    return static_cast<int>(code);
  }
  std::string Line(const char* tool, const std::string& arguments) const {
    return "\"" + ide_ + "\\Bin\\" + tool + "\" " + arguments + "\t" + work_ + "\tshow=default";
  }
  std::string Journal() const { return Read(ide_ + "\\buildtools.log"); }
  void ExpectOutputs(const char* base, std::initializer_list<const char*> extensions) {
    for (const char* ext : extensions) {
      EXPECT_GT(Read(work_ + "\\" + base + ext).size(), 0u) << base << ext;
    }
  }

  std::string folder_, ide_, work_;
};

TEST_F(Tools, Delphi7BuildsBothPackages) {
  MakeIde("d7");
  ASSERT_TRUE(WriteFileBytes(work_ + "\\tarveld7.dpk", "package tarveld7;"));
  ASSERT_TRUE(WriteFileBytes(work_ + "\\tarveld7clx.dpk", "package tarveld7clx;"));
  EXPECT_EQ(RunTool("dcc32.exe", "\"tarveld7.dpk\""), 0);
  EXPECT_EQ(RunTool("dcc32.exe", "\"tarveld7clx.dpk\""), 0);
  ExpectOutputs("tarveld7", {".bpl", ".dcp", ".dcu"});
  ExpectOutputs("tarveld7clx", {".bpl", ".dcp", ".dcu"});
  EXPECT_FALSE(FileExists(work_ + "\\tarveld7.dpl"));
  const std::string journal = Journal();
  EXPECT_EQ(JournalLine(journal, 0), Line("dcc32.exe", "\"tarveld7.dpk\""));
  EXPECT_EQ(JournalLine(journal, 1), Line("dcc32.exe", "\"tarveld7clx.dpk\""));
}

TEST_F(Tools, Delphi3BuildsADpl) {
  MakeIde("d3");
  ASSERT_TRUE(WriteFileBytes(work_ + "\\tarveld3.dpk", "package tarveld3;"));
  EXPECT_EQ(RunTool("dcc32.exe", "\"tarveld3.dpk\""), 0);
  ExpectOutputs("tarveld3", {".dpl", ".dcp", ".dcu"});
  EXPECT_FALSE(FileExists(work_ + "\\tarveld3.bpl"));
}

TEST_F(Tools, CBuilder6ConvertsThenMakesBothPackages) {
  MakeIde("bcb6");
  ASSERT_TRUE(WriteFileBytes(work_ + "\\tarvelb6.bpk", "<PROJECT/>"));
  ASSERT_TRUE(WriteFileBytes(work_ + "\\tarvelb6clx.bpk", "<PROJECT/>"));
  const char* lines[][2] = {
      {"bpr2mak.exe", "-otarvelb6.mak tarvelb6.bpk"},
      {"make.exe", "/ftarvelb6.mak\""},
      {"bpr2mak.exe", "-otarvelb6clx.mak tarvelb6clx.bpk"},
      {"make.exe", "/ftarvelb6clx.mak\""},
  };
  for (const auto& l : lines) EXPECT_EQ(RunTool(l[0], l[1]), 0) << l[0] << " " << l[1];
  for (const char* base : {"tarvelb6", "tarvelb6clx"}) {
    ExpectOutputs(base, {".mak", ".bpl", ".lib", ".bpi", ".tds", ".ilc", ".ild", ".ilf", ".ils", ".obj"});
  }
  const std::string journal = Journal();
  EXPECT_EQ(testkit::CountLines(journal), 4) << journal;
  for (int i = 0; i < 4; ++i) EXPECT_EQ(JournalLine(journal, i), Line(lines[i][0], lines[i][1])) << i;
}

TEST_F(Tools, CBuilder3MakesFromTheProject) {
  MakeIde("bcb3");
  ASSERT_TRUE(WriteFileBytes(work_ + "\\tarvelb3.bpk", "project"));
  EXPECT_EQ(RunTool("make.exe", "/ftarvelb3.bpk"), 0);
  ExpectOutputs("tarvelb3", {".bpl", ".lib", ".bpi", ".tds", ".ilc", ".ild", ".ilf", ".ils", ".obj"});
  EXPECT_FALSE(FileExists(work_ + "\\tarvelb3.mak"));
}

TEST_F(Tools, MissingProjectFailsWithoutOutputs) {
  MakeIde("bcb5");
  const char* runs[][2] = {
      {"dcc32.exe", "\"tarveld5.dpk\""},
      {"bpr2mak.exe", "-otarvelb5.mak tarvelb5.bpk"},
      {"make.exe", "/ftarvelb5.mak\""},
      {"make.exe", "/ftarvelb5.bpk"},
  };
  for (const auto& r : runs) EXPECT_NE(RunTool(r[0], r[1]), 0) << r[0] << " " << r[1];
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((work_ + "\\*.*").c_str(), &data);
  int files = 0;
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) ++files;
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  EXPECT_EQ(files, 0);
  EXPECT_EQ(testkit::CountLines(Journal()), 4) << "failed runs are journalled too";
}

struct KitCase {
  const char* version;
  const char* key;
  std::initializer_list<const char*> help;  // configuration files and the index file
};

TEST_F(Tools, KitMakesEveryVersion) {
  static const KitCase cases[] = {
      {"d3", "Software\\Borland\\Delphi\\3.0", {"Delphi3.cfg", "delphi3.gid"}},
      {"d4", "Software\\Borland\\Delphi\\4.0", {"Delphi4.cfg", "Delphi4.ohi", "Delphi4.ohl", "delphi4.gid"}},
      {"d5", "Software\\Borland\\Delphi\\5.0", {"Delphi5.ohi", "Delphi5.ohl", "delphi5.gid"}},
      {"d6", "Software\\Borland\\Delphi\\6.0", {"Delphi6.ohi", "Delphi6.ohl", "del6vcl.gid"}},
      {"d7", "Software\\Borland\\Delphi\\7.0", {"d7.ohi", "d7.ohl", "d7.gid"}},
      {"d2005", "Software\\Borland\\BDS\\3.0", {}},
      {"bcb3", "Software\\Borland\\C++Builder\\3.0", {"bcb.ohi", "bcb.gid"}},
      {"bcb4", "Software\\Borland\\C++Builder\\4.0", {"bcb4.cfg", "bcb4.ohi", "bcb4.ohl", "bcb4.gid"}},
      {"bcb5", "Software\\Borland\\C++Builder\\5.0", {"bcb5.ohi", "bcb5.ohl", "bcb5.gid"}},
      {"bcb6", "Software\\Borland\\C++Builder\\6.0", {"bcb6.ohi", "bcb6.ohl", "bcb6vcl.gid"}},
  };
  for (const KitCase& c : cases) {
    const std::string root = folder_ + "\\" + c.version;
    ASSERT_EQ(RunKit(std::string(c.version) + " \"" + root + "\""), 0) << c.version;
    for (const char* tool : {"dcc32.exe", "make.exe", "bpr2mak.exe"}) {
      EXPECT_TRUE(FileExists(root + "\\Bin\\" + tool)) << c.version << " " << tool;
    }
    for (const char* file : c.help) EXPECT_GT(Read(root + "\\Help\\" + file).size(), 0u) << c.version << " " << file;
    std::string value;
    EXPECT_TRUE(RegGetString(HKEY_LOCAL_MACHINE, c.key, "RootDir", &value)) << c.version;
    EXPECT_EQ(value, root) << c.version;
    RegDeleteTree(HKEY_LOCAL_MACHINE, c.key);
  }
}

TEST_F(Tools, KitRecordsTheRootAsAsked) {
  const char* key = "Software\\Borland\\Delphi\\5.0";
  struct Row {
    const char* options;
    bool machine;
    bool user;
    const char* value;  // null: the root
  };
  static const Row rows[] = {
      {"", true, false, nullptr},
      {"--rootdir=hkcu", false, true, nullptr},
      {"--rootdir=none", false, false, nullptr},
      {"--empty-rootdir", true, false, ""},
      {"--rootdir=hkcu --empty-rootdir", false, true, ""},
  };
  const std::string root = folder_ + "\\D5";
  for (const Row& r : rows) {
    ASSERT_EQ(RunKit("d5 \"" + root + "\" " + r.options), 0) << r.options;
    std::string value;
    EXPECT_EQ(RegGetString(HKEY_LOCAL_MACHINE, key, "RootDir", &value), r.machine) << r.options;
    if (r.machine) {
      EXPECT_EQ(value, r.value ? r.value : root) << r.options;
    }
    EXPECT_EQ(RegGetString(HKEY_CURRENT_USER, key, "RootDir", &value), r.user) << r.options;
    if (r.user) {
      EXPECT_EQ(value, r.value ? r.value : root) << r.options;
    }
  }
  RegDeleteTree(HKEY_LOCAL_MACHINE, key);
  RegDeleteTree(HKEY_CURRENT_USER, key);
}

TEST_F(Tools, KitHelpFileVariantsAndStaleEntries) {
  MakeIde("d4", "--help-case=Delphi4.ohi --help-empty=Delphi4.ohl --help-missing=Delphi4.cfg "
                "--stale-packages=C:\\Old --library=C:\\Old");
  const std::string help = ide_ + "\\Help\\";
  EXPECT_NE(Read(help + "Delphi4.ohi").find("\r\n:index tarvel lib help=TARVEL.HLP\r\n"), std::string::npos);
  EXPECT_TRUE(FileExists(help + "Delphi4.ohl"));
  EXPECT_EQ(Read(help + "Delphi4.ohl"), "");
  EXPECT_FALSE(FileExists(help + "Delphi4.cfg"));
  const char* packages = "Software\\Borland\\Delphi\\4.0\\Known Packages";
  for (const char* name : {"C:\\Old\\Delphi4\\tarveld4.bpl", "$(DELPHI)\\Projects\\Bpl\\TARVELLIB.60.BPL",
                           "$(DELPHI)\\Bin\\dclstd.bpl", "C:\\Vendors\\tarvel_tools.bpl"}) {
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, packages, name)) << name;
  }
  std::string path;
  ASSERT_TRUE(RegGetString(HKEY_CURRENT_USER, "Software\\Borland\\Delphi\\4.0\\Library", "Search Path", &path));
  EXPECT_EQ(path.rfind("$(DELPHI)\\Lib;$(DELPHI)\\Bin;" + ide_ + "\\add\\tarvellib;", 0), 0u) << path;
  EXPECT_NE(path.find(";C:\\Old\\Delphi4;"), std::string::npos) << path;
  RegDeleteTree(HKEY_CURRENT_USER, "Software\\Borland\\Delphi\\4.0");
}

TEST_F(Tools, KitRefusesUnknownVersions) {
  EXPECT_EQ(RunKit("d8 \"" + folder_ + "\\X\""), 2);
  EXPECT_EQ(RunKit("d7"), 2);
  EXPECT_EQ(RunKit("d7 \"" + folder_ + "\\X\" --no-such-option"), 2);
  EXPECT_EQ(RunKit("--help"), 0);
}

}  // namespace
