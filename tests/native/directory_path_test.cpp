// The prefix walks behind CreateDirectoryPath and the link check below the root: which
// levels are offered, in which order, where it stops, and that the caller's path comes
// back as it was.
#include "services/directory_path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Recorder {
  std::vector<std::string> offered;
  const char* refuse;  // prefix whose creation fails; null: none fails
};

bool Record(void* context, const char* prefix) {
  Recorder* r = static_cast<Recorder*>(context);
  r->offered.emplace_back(prefix);
  return r->refuse == nullptr || std::strcmp(prefix, r->refuse) != 0;
}

struct WalkCase {
  const char* path;
  const char* refuse;
  std::vector<std::string> expected;
  const char* root = nullptr;  // set: only the levels below this root are offered
};

TEST(WalkDirectoryPrefixes, Table) {
  const WalkCase cases[] = {
      {"C:\\a\\b\\c", nullptr, {"C:\\a", "C:\\a\\b", "C:\\a\\b\\c"}},
      {"C:\\a\\b\\c\\", nullptr, {"C:\\a", "C:\\a\\b", "C:\\a\\b\\c", "C:\\a\\b\\c\\"}},
      {"C:/a/b", nullptr, {"C:/a", "C:/a/b"}},
      {"C:\\a/b", nullptr, {"C:\\a", "C:\\a/b"}},
      {"C:\\a\\b\\c", "C:\\a", {"C:\\a"}},        // the first failure ends the walk
      {"Q:\\x\\y", "Q:\\x", {"Q:\\x"}},           // a missing drive: one attempt
      {"\\a\\b", "", {""}},                       // a leading separator: empty first prefix
      {"", "", {""}},
      {"C:", nullptr, {}},                        // a bare drive is never offered
      {"C:\\", nullptr, {"C:\\"}},               // the drive's root itself, which exists
      {"rel\\sub", nullptr, {"rel", "rel\\sub"}},
      {"C:\\a\\\\b", nullptr, {"C:\\a", "C:\\a\\", "C:\\a\\\\b"}},
      {"C:\\d:\\e", nullptr, {"C:\\d:\\e"}},      // a colon before any separator skips that prefix
      {"C:\\L\\a\\b", nullptr, {"C:\\L\\a", "C:\\L\\a\\b"}, "C:\\L"},
      // No empty level: "C:\\L\\" would be the root again.
      {"C:\\L\\\\a\\\\b/c", nullptr, {"C:\\L\\\\a", "C:\\L\\\\a\\\\b", "C:\\L\\\\a\\\\b/c"}, "C:\\L"},
      {"C:\\L\\a\\b", "C:\\L\\a", {"C:\\L\\a"}, "C:\\L"},  // the first link ends the walk
      {"C:\\Lib\\a", nullptr, {}, "C:\\L"},  // a sibling whose name begins with the root's
      {"C:\\L\\", nullptr, {}, "C:\\L"},     // the root itself
      {"C:", nullptr, {}, "C:\\L"},
      {"C:\\W\\a", nullptr, {}, "C:\\L"},    // outside the root: the system folder
      {"C:\\a", nullptr, {}, ""},
      {"c:/l\\A", nullptr, {"c:/l\\A"}, "C:\\L"},  // another case or separator is the same root
  };
  for (std::size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const WalkCase& c = cases[i];
    std::string path = c.path;
    Recorder r{{}, c.refuse};
    if (c.root != nullptr) {
      EXPECT_EQ(WalkLevelsBelowRoot(path.data(), c.root, Record, &r), c.refuse == nullptr) << "row " << i;
    } else {
      WalkDirectoryPrefixes(path.data(), Record, &r);
    }
    EXPECT_EQ(r.offered, c.expected) << "row " << i << ": " << c.path;
    EXPECT_EQ(path, c.path) << "row " << i << ": the path was not given back";
    EXPECT_EQ(path.size(), std::strlen(path.c_str())) << "row " << i << ": a NUL was left in the path";
  }
}

// Whether a program's image lies in an IDE's Bin folder.
TEST(LiesInFolder, Table) {
  struct {
    const char* path;
    const char* folder;
    bool in;
  } const cases[] = {
      {"C:\\D7\\Bin\\delphi32.exe", "C:\\D7\\Bin", true},
      {"c:\\d7\\BIN\\DELPHI32.EXE", "C:\\D7\\Bin", true},
      {"C:/D7/Bin/delphi32.exe", "C:\\D7\\Bin", true},
      {"C:\\D7\\Bin\\delphi32.exe", "C:\\D7\\Bin\\", true},
      {"C:\\D7\\Bin\\sub\\tool.exe", "C:\\D7\\Bin", true},
      {"C:\\D7\\Bin2\\delphi32.exe", "C:\\D7\\Bin", false},  // a sibling whose name begins the same
      {"C:\\Other\\Bin\\delphi32.exe", "C:\\D7\\Bin", false},
      {"C:\\D7\\Bin", "C:\\D7\\Bin", false},  // the folder itself
      {"C:\\D7\\Bin\\", "C:\\D7\\Bin", false},
      {"C:\\D7", "C:\\D7\\Bin", false},
      {"C:|D7\\Bin\\delphi32.exe", "C:\\D7\\Bin", false},  // '|' is '\\' with bit 5 set
      {"C:\\D7\\Bin\\delphi32.exe", "", false},
      {"", "C:\\D7\\Bin", false},
  };
  for (const auto& c : cases) EXPECT_EQ(LiesInFolder(c.path, c.folder), c.in) << c.path << " in " << c.folder;
  // The same rule names one held folder by either spelling, and no other.
  EXPECT_TRUE(SamePathStart("c:/d7\\BIN", "C:\\D7/bin", 10));
  EXPECT_TRUE(SamePathStart("C:\\a", "C:\\a", 99));  // both end before n
  EXPECT_FALSE(SamePathStart("C:|D7", "C:\\D7", 5));
  EXPECT_FALSE(SamePathStart("C:\\L\xe9", "C:\\L\xc9", 6));  // only ASCII letters fold
}

}  // namespace
