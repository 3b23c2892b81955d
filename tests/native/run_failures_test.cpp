// The failure count of a run and the finish page's message line made from it.
#include "engine/run_failures.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct LineCase {
  int failures;           // paths noted, "C:\R\f1", "C:\R\f2", ...
  std::size_t capacity;
  const char* line;       // nullptr: no line
};

TEST(RunFailures, MessageLineCountsAndNamesTheFirst) {
  static const LineCase cases[] = {
      {0, 320, nullptr},
      {1, 320, "Installed with 1 error: C:\\R\\f1"},
      {3, 320, "Installed with 3 errors. The first: C:\\R\\f1"},
      {12, 320, "Installed with 12 errors. The first: C:\\R\\f1"},
      {3, 20, "Installed with 3 er"},  // cut to the buffer, NUL included
      {3, 1, ""},
  };
  for (const LineCase& c : cases) {
    RunFailures f = {};
    for (int i = 1; i <= c.failures; ++i) NoteFailure(f, ("C:\\R\\f" + std::to_string(i)).c_str());
    EXPECT_EQ(f.count, c.failures);
    std::string out(c.capacity + 8, '#');
    const bool made = FormatFailureLine(f, out.data(), c.capacity);
    EXPECT_EQ(made, c.line != nullptr) << c.failures << " failures";
    if (c.line != nullptr) {
      EXPECT_STREQ(out.c_str(), c.line) << c.failures << " failures, capacity " << c.capacity;
    }
    EXPECT_EQ(out.substr(c.capacity), std::string(8, '#')) << "written past the buffer";
  }
}

TEST(RunFailures, LongNamesAreCutAndValuesNamedByRootKeyAndName) {
  RunFailures f = {};
  NoteValueFailure(f, "HKEY_CURRENT_USER", "Software\\Borland\\Delphi\\7.0\\Known Packages", "C:\\R\\tarveld7.bpl");
  NoteFailure(f, "C:\\R\\second");
  EXPECT_EQ(f.count, 2);
  EXPECT_STREQ(f.first, "HKEY_CURRENT_USER\\Software\\Borland\\Delphi\\7.0\\Known Packages\\C:\\R\\tarveld7.bpl");

  RunFailures g = {};
  const std::string longPath = "C:\\" + std::string(2000, 'x');
  NoteFailure(g, longPath.c_str());
  EXPECT_EQ(std::string(g.first), longPath.substr(0, kFailedPathCapacity - 1));
  char line[kFailureLineCapacity] = {};
  ASSERT_TRUE(FormatFailureLine(g, line, sizeof line));
  EXPECT_EQ(std::string(line), "Installed with 1 error: " + longPath.substr(0, kFailedPathCapacity - 1));
}

}  // namespace
