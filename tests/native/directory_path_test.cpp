// The prefix walk behind CreateDirectoryPath: which levels are offered, in which order,
// where it stops, and that the caller's path comes back as it was.
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
  };
  for (std::size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const WalkCase& c = cases[i];
    std::string path = c.path;
    Recorder r{{}, c.refuse};
    WalkDirectoryPrefixes(path.data(), Record, &r);
    EXPECT_EQ(r.offered, c.expected) << "row " << i << ": " << c.path;
    EXPECT_EQ(path, c.path) << "row " << i << ": the path was not given back";
    EXPECT_EQ(path.size(), std::strlen(path.c_str())) << "row " << i << ": a NUL was left in the path";
  }
}

}  // namespace
