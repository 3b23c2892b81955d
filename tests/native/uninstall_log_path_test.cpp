// The uninstaller's log path from its command line, row by row.
#include "uninstaller/log_path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct PathCase {
  const char* commandLine;
  const char* expected;
  bool found;
};

TEST(ParseLogPath, Table) {
  static const PathCase cases[] = {
      {"", "", false},
      {"qlnclear.exe", "", false},
      {"qlnclear.exe ", "", false},
      {"qlnclear.exe C:\\Lib\\uninst.qln", "C:\\Lib\\uninst.qln", true},
      {"qlnclear.exe C:\\Program Files\\Tarvel Lib\\uninst.qln", "C:\\Program Files\\Tarvel Lib\\uninst.qln", true},
      {"qlnclear.exe  C:\\x.qln", " C:\\x.qln", true},
      {"qlnclear.exe C:\\x.qln ", "C:\\x.qln ", true},
      {"qlnclear.exe \"C:\\x.qln\"", "\"C:\\x.qln\"", true},
      {"\"C:\\Win Dir\\qlnclear.exe\" C:\\x y.qln", "C:\\x y.qln", true},
      {"\"C:\\qlnclear.exe\"", "", false},
      {"\"C:\\qlnclear.exe\" ", "", false},
      {"\"C:\\qlnclear.exe\"  ", " ", true},
      {"\"C:\\qlnclear.exe", "", false},
      {"\"\" a", "a", true},
      {"a b", "b", true},
      {" b", "", false},  // the search starts at the second character
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const PathCase& c = cases[i];
    char path[kLogPathCapacity];
    std::memset(path, 'X', sizeof path);
    EXPECT_EQ(ParseLogPath(c.commandLine, path, sizeof path), c.found) << "row " << i << ": " << c.commandLine;
    EXPECT_STREQ(path, c.expected) << "row " << i << ": " << c.commandLine;
  }
}

TEST(ParseLogPath, LongestPathFitsAndOneMoreIsRefused) {
  struct LengthCase {
    size_t length;
    bool found;
  };
  static const LengthCase cases[] = {{258, true}, {259, true}, {260, false}, {300, false}};
  for (const LengthCase& c : cases) {
    const std::string argument(c.length, 'p');
    const std::string line = "qlnclear.exe " + argument;
    // Exactly the capacity, so a write past it is seen by the sanitizer.
    char* path = new char[kLogPathCapacity];
    EXPECT_EQ(ParseLogPath(line.c_str(), path, kLogPathCapacity), c.found) << "length " << c.length;
    EXPECT_EQ(std::string(path), c.found ? argument : std::string()) << "length " << c.length;
    delete[] path;
  }
}

}  // namespace
