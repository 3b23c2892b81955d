// setup.exe's command line, row by row: what each form asks for, and what a
// malformed one names as refused.
#include "setup/command_line.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/component_table.h"

namespace {

constexpr std::uint32_t Row(int i) { return 1u << i; }
constexpr std::uint32_t kD7 = Row(4), kD2005 = Row(5), kB6 = Row(9), kDemos = Row(11), kHelp = Row(12);

struct LineCase {
  const char* line;
  StartKind kind;
  bool componentsNamed;
  std::uint32_t components;
  const char* destination;  // nullptr: none
  const char* refused;      // Malformed: the text named; otherwise ""
  const char* log = nullptr;
  bool closeApplications = false;
};

TEST(ReadSetupCommandLine, Table) {
  using K = StartKind;
  static const LineCase cases[] = {
      // Starts as before options existed.
      {"setup.exe", K::Wizard, false, 0, nullptr, ""},
      {"\"C:\\Setup Files\\setup.exe\"", K::Wizard, false, 0, nullptr, ""},
      {"C:\\Setup Files\\setup.exe", K::Wizard, false, 0, nullptr, ""},
      {"setup.exe anything here", K::Wizard, false, 0, nullptr, ""},
      {"\"C:\\a /S\\setup.exe\"", K::Wizard, false, 0, nullptr, ""},
      {"", K::Wizard, false, 0, nullptr, ""},
      // Unattended forms.
      {"setup.exe /S", K::Silent, false, 0, nullptr, ""},
      {"C:\\Setup Files\\setup.exe /s", K::Silent, false, 0, nullptr, ""},
      {"\"C:\\Setup Files\\setup.exe\"/S", K::Silent, false, 0, nullptr, ""},
      {"setup.exe /S /D=C:\\Silent Lib", K::Silent, false, 0, "C:\\Silent Lib", ""},
      {"setup.exe /S /d=C:\\x /S \"y\" \t ", K::Silent, false, 0, "C:\\x /S \"y\"", ""},
      {"setup.exe /S /COMPONENTS=d7,help /D=C:\\Two", K::Silent, true, kD7 | kHelp, "C:\\Two", ""},
      {"setup.exe\t/components=D2005,bcb6,demos,d7,d7 /S", K::Silent, true, kD2005 | kB6 | kDemos | kD7, nullptr, ""},
      {"setup.exe /S /D=/COMPONENTS=x", K::Silent, false, 0, "/COMPONENTS=x", ""},
      // The log, in the wizard too; quoted for blanks, never part of /D=.
      {"setup.exe /LOG=C:\\t\\s.log", K::Wizard, false, 0, nullptr, "", "C:\\t\\s.log"},
      {"setup.exe /S /log=\"C:\\a b\\s.log\" /D=C:\\x", K::Silent, false, 0, "C:\\x", "", "C:\\a b\\s.log"},
      {"setup.exe /S /D=C:\\x /LOG=y", K::Silent, false, 0, "C:\\x /LOG=y", ""},
      {"setup.exe /S /closeApplications /D=C:\\x", K::Silent, false, 0, "C:\\x", "", nullptr, true},
      {"setup.exe /CLOSEAPPLICATIONS", K::Malformed, false, 0, nullptr, "/CLOSEAPPLICATIONS", nullptr, true},
      // The wizard's proposal.
      {"setup.exe /D=C:\\x", K::Wizard, false, 0, "C:\\x", ""},
      {"setup.exe /LOG=\"C:\\a b\\s.log\" /D=D:\\My Lib", K::Wizard, false, 0, "D:\\My Lib", "", "C:\\a b\\s.log"},
      // A refused /LOG= names no file; a malformed line with a sound one keeps it.
      {"setup.exe /S /LOG=\"C:\\a b", K::Malformed, false, 0, nullptr, "/LOG=\"C:\\a"},
      {"setup.exe /S /LOG=\"\"", K::Malformed, false, 0, nullptr, "/LOG=\"\""},
      {"setup.exe /LOG=a /LOG=b", K::Malformed, false, 0, nullptr, "/LOG=b", "a"},
      {"setup.exe /S /LOG=a /X", K::Malformed, false, 0, nullptr, "/X", "a"},
      // The usage wins over everything before /D=.
      {"setup.exe /?", K::Usage, false, 0, nullptr, ""},
      {"setup.exe /S /X /?", K::Usage, false, 0, nullptr, ""},
      // Malformed: the first problem is named.
      {"setup.exe /S /X", K::Malformed, false, 0, nullptr, "/X"},
      {"setup.exe /S extra", K::Malformed, false, 0, nullptr, "extra"},
      {"setup.exe /S /COMPONENTS=d7,d9", K::Malformed, true, kD7, nullptr, "d9"},
      {"setup.exe /S /COMPONENTS=", K::Malformed, true, 0, nullptr, "/COMPONENTS="},
      {"setup.exe /S /COMPONENTS=d7,,help", K::Malformed, true, kD7 | kHelp, nullptr, "/COMPONENTS=d7,,help"},
      {"setup.exe /S /COMPONENTS=d7,", K::Malformed, true, kD7, nullptr, "/COMPONENTS=d7,"},
      {"setup.exe /S /COMPONENTS=shared", K::Malformed, true, 0, nullptr, "shared"},
      {"setup.exe /S /COMPONENTS=d7 /COMPONENTS=help", K::Malformed, true, kD7 | kHelp, nullptr, "/COMPONENTS=help"},
      {"setup.exe /S /D=", K::Malformed, false, 0, "", "/D="},
      {"setup.exe /S /D=  ", K::Malformed, false, 0, "", "/D="},
      {"setup.exe /COMPONENTS=d7", K::Malformed, true, kD7, nullptr, "/COMPONENTS=d7"},
      {"setup.exe /COMPONENTS=d7 /D=C:\\x", K::Malformed, true, kD7, "C:\\x", "/COMPONENTS=d7"},
      {"setup.exe /S/D=C:\\x", K::Malformed, false, 0, nullptr, "/S/D=C:\\x"},
  };
  for (const LineCase& c : cases) {
    const SetupOptions o = ReadSetupCommandLine(c.line);
    EXPECT_EQ(o.kind, c.kind) << c.line;
    EXPECT_EQ(o.componentsNamed, c.componentsNamed) << c.line;
    EXPECT_EQ(o.closeApplications, c.closeApplications) << c.line;
    EXPECT_EQ(o.components, c.components) << c.line;
    EXPECT_EQ(o.destination.data() == nullptr, c.destination == nullptr) << c.line;
    if (c.destination != nullptr) {
      EXPECT_EQ(o.destination, c.destination) << c.line;
    }
    EXPECT_EQ(o.log.data() == nullptr, c.log == nullptr) << c.line;
    if (c.log != nullptr) {
      EXPECT_EQ(o.log, c.log) << c.line;
    }
    if (c.kind == K::Malformed) {
      EXPECT_EQ(std::string(o.refused), c.refused) << c.line;
    }
    if (c.kind != K::Usage) {
      EXPECT_EQ(o.problem != nullptr, c.kind == K::Malformed) << c.line;
    }
  }
}

// Every row but the shared files has a name, each name reads back as its own row,
// and the name says which IDE version the row's caption names.
TEST(ReadSetupCommandLine, EveryShortNameIsItsRow) {
  static const char* kCaptionWords[kComponentCount] = {
      "Delphi 3", "Delphi 4", "Delphi 5", "Delphi 6", "Delphi 7", "Delphi 2005", "C++Builder 3", "C++Builder 4",
      "C++Builder 5", "C++Builder 6", "Shared", "Demo", "Help"};
  const ComponentEntry* rows = ComponentTable();
  for (int i = 0; i < kComponentCount; ++i) {
    EXPECT_NE(std::string(rows[i].caption).find(kCaptionWords[i]), std::string::npos) << rows[i].caption;
    if (i == 10) {
      EXPECT_TRUE(kComponentShortNames[i].empty());
      continue;
    }
    const std::string line = "setup.exe /S /COMPONENTS=" + std::string(kComponentShortNames[i]);
    EXPECT_EQ(ReadSetupCommandLine(line.c_str()).components, Row(i)) << line;
  }
}

}  // namespace
