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
  bool quiet;
  const char* diagLog = nullptr;  // the /LOG= file; nullptr: none
};

TEST(ParseLogPath, Table) {
  static const PathCase cases[] = {
      {"", "", false, false},
      {"qlnclear.exe", "", false, false},
      {"qlnclear.exe ", "", false, false},
      {"qlnclear.exe C:\\Lib\\uninst.qln", "C:\\Lib\\uninst.qln", true, false},
      {"qlnclear.exe C:\\Program Files\\Tarvel Lib\\uninst.qln", "C:\\Program Files\\Tarvel Lib\\uninst.qln", true, false},
      {"qlnclear.exe  C:\\x.qln", " C:\\x.qln", true, false},
      {"qlnclear.exe C:\\x.qln ", "C:\\x.qln ", true, false},
      {"qlnclear.exe \"C:\\x.qln\"", "\"C:\\x.qln\"", true, false},
      {"\"C:\\Win Dir\\qlnclear.exe\" C:\\x y.qln", "C:\\x y.qln", true, false},
      {"\"C:\\qlnclear.exe\"", "", false, false},
      {"\"C:\\qlnclear.exe\" ", "", false, false},
      {"\"C:\\qlnclear.exe\"  ", " ", true, false},
      {"\"C:\\qlnclear.exe", "", false, false},
      {"\"\" a", "a", true, false},
      {"a b", "b", true, false},
      {" b", "", false, false},  // the search starts at the second character
      // The quiet form: "/S " and then the path by the same rules.
      {"qlnclear.exe /S C:\\Lib Dir\\uninst.qln", "C:\\Lib Dir\\uninst.qln", true, true},
      {"\"C:\\Win\\qlnclear.exe\" /s C:\\x.qln", "C:\\x.qln", true, true},
      {"qlnclear.exe /S  C:\\x.qln", " C:\\x.qln", true, true},
      {"qlnclear.exe /S ", "", false, true},
      {"qlnclear.exe /S", "/S", true, false},  // no blank after it: a log path, as before
      {"qlnclear.exe /SC:\\x.qln", "/SC:\\x.qln", true, false},
      {"qlnclear.exe  /S C:\\x.qln", " /S C:\\x.qln", true, false},
      // The quiet form's own log, plain or quoted; only right after "/S ".
      {"qlnclear.exe /S /log=C:\\r.log C:\\L b\\u.qln", "C:\\L b\\u.qln", true, true, "C:\\r.log"},
      {"qlnclear.exe /S /LOG=\"C:\\a b.log\" C:\\u.qln", "C:\\u.qln", true, true, "C:\\a b.log"},
      {"qlnclear.exe /S /LOG=C:\\r.log", "", false, true, "C:\\r.log"},
      {"qlnclear.exe /LOG=C:\\r.log C:\\u.qln", "/LOG=C:\\r.log C:\\u.qln", true, false},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const PathCase& c = cases[i];
    char path[kLogPathCapacity];
    std::memset(path, 'X', sizeof path);
    bool quiet = !c.quiet;
    std::string_view diagLog = "X";
    EXPECT_EQ(ParseLogPath(c.commandLine, path, sizeof path, &quiet, &diagLog), c.found)
        << "row " << i << ": " << c.commandLine;
    EXPECT_EQ(diagLog.data() == nullptr, c.diagLog == nullptr) << "row " << i;
    if (c.diagLog != nullptr) {
      EXPECT_EQ(diagLog, c.diagLog) << "row " << i;
    }
    EXPECT_EQ(quiet, c.quiet) << "row " << i << ": " << c.commandLine;
    EXPECT_STREQ(path, c.expected) << "row " << i << ": " << c.commandLine;
  }
}

TEST(ParseLogPath, LongestPathFitsAndOneMoreIsRefused) {
  struct LengthCase {
    size_t length;
    bool found;
  };
  static const LengthCase cases[] = {{258, true}, {259, true}, {260, false}, {300, false}};
  // The quiet form's "/S " does not count against the path's room.
  for (const char* form : {"qlnclear.exe ", "qlnclear.exe /S "}) {
    for (const LengthCase& c : cases) {
      const std::string argument(c.length, 'p');
      const std::string line = form + argument;
      // Exactly the capacity, so a write past it is seen by the sanitizer.
      char* path = new char[kLogPathCapacity];
      bool quiet = false;
      EXPECT_EQ(ParseLogPath(line.c_str(), path, kLogPathCapacity, &quiet), c.found) << form << c.length;
      EXPECT_EQ(std::string(path), c.found ? argument : std::string()) << form << c.length;
      delete[] path;
    }
  }
}

}  // namespace
