// The two in-place edits of an IDE's text files, and what happens to any of the
// services' files while another handle holds it open without sharing.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "engine/macros.h"
#include "services/file_edits.h"
#include "services/payload.h"
#include "tests/driver/driver.h"

using namespace driver;
using std::string_literals::operator""s;

namespace {

// Resource 12 of services_test.rc with $HOME_DIR$ = C:\TL.
const std::string kTemplate =
    "[Tarvel Lib.Grid]\r\nName=Grid\r\nPage=Tarvel Lib\r\nPath=C:\\TL\\Repo\\grid\r\n";

struct Macros {
  char values[kMacroCount][kMacroValueCapacity] = {};
  char scratch[kExpansionScratchCapacity] = {};
  MacroTable table{};
  Macros() {
    for (int i = 0; i < kMacroCount; ++i) table.values[i] = values[i];
    table.scratch = scratch;
    SetMacroValue(table, Macro::HomeDir, "C:\\TL");
  }
};

struct AppendCase {
  const char* name;
  bool exists;
  std::string before;
  const char* text;
  std::string after;
};

TEST(AppendTextOnce, Table) {
  static const AppendCase cases[] = {
      {"missing file", false, "", "\r\n:Link tarvel.ohl", ""},
      {"empty file", true, "", "\r\n:Link tarvel.ohl", ""},
      {"appended at the end", true, ":Link a.ohl", "\r\n:Link tarvel.ohl", ":Link a.ohl\r\n:Link tarvel.ohl"},
      {"present in other case", true, ":Link a.ohl\r\n:LINK TARVEL.OHL\r\n", "\r\n:link tarvel.ohl",
       ":Link a.ohl\r\n:LINK TARVEL.OHL\r\n"},
      {"a NUL ends the part searched", true, "x\0\r\n:Link tarvel.ohl"s, "\r\n:Link tarvel.ohl",
       "x\0\r\n:Link tarvel.ohl\r\n:Link tarvel.ohl"s},
  };
  const std::string dir = FreshFolder("append");
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const AppendCase& c = cases[i];
    const std::string path = dir + "\\file" + std::to_string(i) + ".cfg";
    if (c.exists) {
      ASSERT_TRUE(WriteFileBytes(path, c.before)) << c.name;
    }
    AppendTextOnce(path.c_str(), c.text);
    if (!c.exists) {
      EXPECT_FALSE(FileExists(path)) << c.name << ": a file was created";
      continue;
    }
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(path, &bytes)) << c.name;
    EXPECT_EQ(bytes, c.after) << c.name;
  }
  RemoveTree(dir);
}

TEST(AppendTextOnce, ASecondAppendChangesNothing) {
  const std::string dir = FreshFolder("append_twice");
  const std::string path = dir + "\\delphi32.cnt";
  ASSERT_TRUE(WriteFileBytes(path, ":Base delphi.hlp"));
  AppendTextOnce(path.c_str(), "\r\n:Include tarvel.cfg");
  AppendTextOnce(path.c_str(), "\r\n:Include tarvel.cfg");
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(path, &bytes));
  EXPECT_EQ(bytes, ":Base delphi.hlp\r\n:Include tarvel.cfg");
  RemoveTree(dir);
}

struct RepositoryCase {
  const char* name;
  bool exists;
  std::string before;
  unsigned templateId;
  std::string after;
};

TEST(AddRepositoryPage, Table) {
  const RepositoryCase cases[] = {
      {"no anchor", true, "[Pages]\r\nForms=\r\n", 12, "[Pages]\r\nForms=\r\n" + kTemplate},
      {"one anchor", true, "[Pages]\r\nProjects=\r\nForms=\r\n", 12,
       "[Pages]\r\nProjects=\r\nTarvel Lib=\r\nForms=\r\n" + kTemplate},
      {"two anchors, other case", true, "[A]\r\nprojects=\r\n[B]\r\nPROJECTS=\r\n", 12,
       "[A]\r\nProjects=\r\nTarvel Lib=\r\n[B]\r\nProjects=\r\nTarvel Lib=\r\n" + kTemplate},
      {"page already listed", true, "[Pages]\r\nProjects=\r\nTARVEL LIB=\r\n", 12,
       "[Pages]\r\nProjects=\r\nTARVEL LIB=\r\n"},
      {"no template resource", true, "[Pages]\r\nProjects=\r\n", 13, "[Pages]\r\nProjects=\r\n"},
      {"NUL inside the file", true, "Projects=\r\n\0old tail of the file"s, 12,
       "Projects=\r\n\0old tail of the file"s},
      {"empty template", true, "Projects=\r\n", 11, "Projects=\r\nTarvel Lib=\r\n"},
      {"missing file", false, "", 12, ""},
  };
  Macros macros;
  const std::string dir = FreshFolder("repository");
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const RepositoryCase& c = cases[i];
    const std::string path = dir + "\\delphi32" + std::to_string(i) + ".dro";
    if (c.exists) {
      ASSERT_TRUE(WriteFileBytes(path, c.before)) << c.name;
    }
    AddRepositoryPage(path.c_str(), c.templateId, macros.table);
    if (!c.exists) {
      EXPECT_FALSE(FileExists(path)) << c.name << ": a file was created";
      continue;
    }
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(path, &bytes)) << c.name;
    EXPECT_EQ(bytes, c.after) << c.name;
  }
  RemoveTree(dir);
}

// Holds path open for reading and writing with no sharing, as another program might.
struct HeldOpen {
  HANDLE handle;
  explicit HeldOpen(const std::string& path)
      : handle(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~HeldOpen() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};

TEST(FileSharing, AFileHeldOpenKeepsItsBytes) {
  Macros macros;
  const std::string dir = FreshFolder("held");
  const std::string before = "[Pages]\r\nProjects=\r\n";
  const struct {
    const char* name;
    void (*edit)(const std::string& path, const MacroTable& macros);
  } edits[] = {
      {"extraction", [](const std::string& p, const MacroTable&) { EXPECT_FALSE(ExtractResourceToFile(p.c_str(), 10)); }},
      {"appending", [](const std::string& p, const MacroTable&) { AppendTextOnce(p.c_str(), "\r\nappended"); }},
      {"repository page", [](const std::string& p, const MacroTable& m) { AddRepositoryPage(p.c_str(), 12, m); }},
  };
  for (const auto& e : edits) {
    const std::string path = dir + "\\held.txt";
    ASSERT_TRUE(WriteFileBytes(path, before)) << e.name;
    {
      HeldOpen other(path);
      ASSERT_NE(other.handle, INVALID_HANDLE_VALUE) << e.name;
      e.edit(path, macros.table);
    }
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(path, &bytes)) << e.name;
    EXPECT_EQ(bytes, before) << e.name;
  }
  RemoveTree(dir);
}

}  // namespace
