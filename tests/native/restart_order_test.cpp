// What is left for the restart: which paths lie inside which logged folders, and
// the order in which the folders holding scheduled files follow them.
#include "uninstaller/restart_order.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(RestartOrder, PathIsInside) {
  struct Case {
    const char* path;
    const char* folder;
    bool inside;
  };
  static const Case cases[] = {
      {"C:\\Lib\\a.bpl", "C:\\Lib", true},
      {"C:\\Lib\\Delphi7\\a.bpl", "C:\\Lib", true},
      {"c:/lib/a.bpl", "C:\\LIB\\", true},  // case, either separator, a trailing one
      {"C:\\Library\\a.bpl", "C:\\Lib", false},
      {"C:\\Lib", "C:\\Lib", false},
      {"C:\\Lib\\", "C:\\Lib", false},
      {"C:\\Lib\\a.bpl", "", false},
      {"C:\\Lib\\a.bpl", "\\", false},
      {"C:\\L\xC9\\a.bpl", "C:\\L\xE9", false},  // only ASCII letters fold
      {"C:\\Li[\\a.bpl", "C:\\Li{", false},
  };
  for (const Case& c : cases) EXPECT_EQ(PathIsInside(c.path, c.folder), c.inside) << c.path << " in " << c.folder;
  EXPECT_EQ(FolderDepth("C:\\"), 0u);
  EXPECT_EQ(FolderDepth("C:\\a\\b\\\\"), 2u);
}

void Collect(void* context, const char* folder) { static_cast<std::vector<std::string>*>(context)->push_back(folder); }

TEST(RestartOrder, HoldingFoldersDeepestFirstEachOnce) {
  struct Case {
    const char* name;
    std::vector<const char*> folders;  // record order
    std::vector<const char*> pending;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"nothing pending", {"C:\\R", "C:\\R\\Help"}, {}, {}},
      {"the root and the folder of a held file",
       {"C:\\R", "C:\\R\\Help", "C:\\R\\Demos"},
       {"C:\\Windows\\system32\\qlnclear.exe", "C:\\R\\Help\\tarvel.hlp"},
       {"C:\\R\\Help", "C:\\R"}},
      {"a deeper folder logged before its parent",
       {"C:\\R\\D7\\Sub", "C:\\R", "C:\\R\\D7"},
       {"C:\\R\\D7\\Sub\\a.bpl"},
       {"C:\\R\\D7\\Sub", "C:\\R\\D7", "C:\\R"}},
      {"of one depth newest first",
       {"C:\\R", "C:\\R\\A", "C:\\R\\B"},
       {"C:\\R\\A\\a", "C:\\R\\B\\b"},
       {"C:\\R\\B", "C:\\R\\A", "C:\\R"}},
      {"a folder logged twice, once with a separator", {"C:\\R", "C:\\R\\"}, {"C:\\R\\a"}, {"C:\\R\\"}},
      {"a drive root never", {"C:\\", "C:", "C:\\R"}, {"C:\\R\\a"}, {"C:\\R"}},
  };
  for (const Case& c : cases) {
    PendingFiles files = {};
    for (const char* p : c.pending) NotePendingFile(files, p);
    std::vector<std::string> visited;
    ForEachHoldingFolder(c.folders.data(), c.folders.size(), files, Collect, &visited);
    EXPECT_EQ(visited, c.expected) << c.name;
  }
}

}  // namespace
