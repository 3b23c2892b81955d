// Payload resources written to real files, and directory paths created on the prefix's drives.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "services/file_edits.h"
#include "services/payload.h"
#include "tests/driver/driver.h"

using namespace driver;
using std::string_literals::operator""s;

namespace {

const std::string kPayload10 = "abc\0xyz\r\n"s;  // the bytes of resource 10 in services_test.rc

struct ExtractCase {
  unsigned id;
  const char* before;  // content of the file before, or null for no file
  bool whole;  // the file holds the whole resource
  std::string after;
};

TEST(ExtractResourceToFile, Table) {
  static const ExtractCase cases[] = {
      {10, nullptr, true, kPayload10},
      {10, "a much longer old file that must not leave its tail behind", true, kPayload10},
      {11, "old", true, ""},       // the empty resource
      {13, "old", false, ""},      // no such resource: an empty file all the same, and a failure
      {0x1000A, "old", false, ""},  // not a 16-bit ID: not resource 10
  };
  const std::string dir = FreshFolder("extract");
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const ExtractCase& c = cases[i];
    const std::string path = dir + "\\file" + std::to_string(i) + ".dcu";
    if (c.before) {
      ASSERT_TRUE(WriteFileBytes(path, c.before));
    }
    EXPECT_EQ(ExtractResourceToFile(path.c_str(), c.id), c.whole) << "row " << i;
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(path, &bytes)) << "row " << i;
    EXPECT_EQ(bytes, c.after) << "row " << i;
  }
  RemoveTree(dir);
}

TEST(ExtractResourceToFile, MissingFolderFailsAndCreatesNothing) {
  const std::string dir = FreshFolder("extract_missing");
  const std::string path = dir + "\\missing\\file.dcu";
  EXPECT_FALSE(ExtractResourceToFile(path.c_str(), 10));
  EXPECT_FALSE(DirectoryExists(dir + "\\missing"));
  EXPECT_FALSE(FileExists(path));
  RemoveTree(dir);
}

TEST(LoadResourceText, CopiesExactlyTheBytesAndAddsTheNul) {
  ResourceText t = LoadResourceText(10);
  ASSERT_NE(t.text, nullptr);
  EXPECT_EQ(std::string(t.text, t.size), kPayload10);
  EXPECT_EQ(t.text[t.size], '\0');
  ReleaseResourceText(t);
  EXPECT_EQ(t.text, nullptr);

  ResourceText empty = LoadResourceText(11);
  ASSERT_NE(empty.text, nullptr) << "an empty resource is a resource";
  EXPECT_EQ(empty.size, 0u);
  EXPECT_EQ(empty.text[0], '\0');
  ReleaseResourceText(empty);

  ResourceText missing = LoadResourceText(13);
  EXPECT_EQ(missing.text, nullptr);
  EXPECT_EQ(missing.size, 0u);
}

// A path relative to a fresh folder, the levels that must exist afterwards, and the
// levels made beforehand.
struct DirectoryCase {
  const char* path;
  const char* existing;
  const char* levels[3];
};

TEST(CreateDirectoryPath, EveryLevelWithEitherSeparator) {
  static const DirectoryCase cases[] = {
      {"a\\b\\c", nullptr, {"a", "a\\b", "a\\b\\c"}},
      {"a\\b\\c\\", nullptr, {"a", "a\\b", "a\\b\\c"}},
      {"a/b/c", nullptr, {"a", "a\\b", "a\\b\\c"}},
      {"a\\b\\c", "a\\b", {"a", "a\\b", "a\\b\\c"}},
      {"a/b\\c/", "a", {"a", "a\\b", "a\\b\\c"}},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const DirectoryCase& c = cases[i];
    const std::string dir = FreshFolder("dirs");
    if (c.existing) {
      std::string pre = dir + "\\" + c.existing;
      CreateDirectoryPath(pre.data());
      ASSERT_TRUE(DirectoryExists(pre)) << "row " << i;
    }
    const std::string original = dir + "\\" + c.path;
    std::string path = original;
    EXPECT_TRUE(CreateDirectoryPath(path.data())) << "row " << i;
    EXPECT_EQ(path, original) << "row " << i << ": the path was not given back unchanged";
    for (const char* level : c.levels) EXPECT_TRUE(DirectoryExists(dir + "\\" + level)) << "row " << i << ": " << level;
    RemoveTree(dir);
  }
}

TEST(CreateDirectoryPath, FromTheDriveRootLevelByLevel) {
  const std::string top = "C:\\tv_abc_" + std::to_string(GetCurrentProcessId());
  // Outside the folders RemoveTree may clear: what this test makes, it removes by name,
  // also what an earlier run under the same process ID left.
  const auto clear = [&] {
    DeleteFileA((top + "\\file").c_str());
    for (const char* level : {"\\b\\c", "\\b", ""}) RemoveDirectoryA((top + level).c_str());
  };
  clear();
  ASSERT_FALSE(DirectoryExists(top));
  std::string path = top + "\\b\\c";
  EXPECT_TRUE(CreateDirectoryPath(path.data()));
  EXPECT_TRUE(DirectoryExists(top));
  EXPECT_TRUE(DirectoryExists(top + "\\b"));
  EXPECT_TRUE(DirectoryExists(top + "\\b\\c"));
  // A file where a level should be: "already exists", but no folder.
  ASSERT_TRUE(WriteFileBytes(top + "\\file", "x"));
  std::string blocked = top + "\\file\\d";
  EXPECT_FALSE(CreateDirectoryPath(blocked.data()));
  std::string file = top + "\\file";
  EXPECT_FALSE(CreateDirectoryPath(file.data()));
  clear();
  EXPECT_FALSE(DirectoryExists(top));
}

TEST(CreateDirectoryPath, MissingDriveOrLeadingSeparatorCreatesNothing) {
  const DWORD drives = GetLogicalDrives();
  char letter = 0;
  for (char l = 'Y'; l > 'D' && letter == 0; --l)
    if ((drives & (1u << (l - 'A'))) == 0) letter = l;
  ASSERT_NE(letter, 0) << "no free drive letter";
  std::string onMissing = std::string(1, letter) + ":\\tv\\a";
  EXPECT_FALSE(CreateDirectoryPath(onMissing.data()));
  EXPECT_FALSE(DirectoryExists(std::string(1, letter) + ":\\tv"));
  EXPECT_EQ(onMissing, std::string(1, letter) + ":\\tv\\a");

  // Rooted on the current drive, but the first prefix is empty and its attempt fails.
  const std::string name = "tv_lead_" + std::to_string(GetCurrentProcessId());
  std::string leading = "\\" + name + "\\x";
  char full[MAX_PATH] = {};
  GetFullPathNameA(("\\" + name).c_str(), sizeof full, full, nullptr);
  EXPECT_FALSE(CreateDirectoryPath(leading.data()));
  EXPECT_FALSE(DirectoryExists(full)) << full;
  RemoveTree(full);

  std::string empty;
  EXPECT_FALSE(CreateDirectoryPath(empty.data()));
}

}  // namespace
