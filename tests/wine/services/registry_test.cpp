// Reading, writing and pruning values in the test prefix's real registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "services/registry.h"
#include "tests/driver/driver.h"

using namespace driver;

namespace {

std::string TestKey(const char* tag) {
  return "Software\\TarvelTests\\" + std::string(tag) + std::to_string(GetCurrentProcessId());
}

void SetRaw(HKEY root, const std::string& key, const char* name, DWORD type, const void* data, DWORD size) {
  HKEY k = nullptr;
  ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(k, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
  RegCloseKey(k);
}

std::set<std::string> ValueNames(HKEY root, const std::string& key) {
  std::set<std::string> names;
  HKEY k = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return names;
  for (DWORD i = 0;; ++i) {
    char name[1040];
    DWORD size = sizeof name;
    if (RegEnumValueA(k, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.insert(name);
  }
  RegCloseKey(k);
  return names;
}

struct ReadCase {
  const char* name;
  const char* key;    // relative to the test key; null: the test key
  const char* value;
  DWORD capacity;
  DWORD result;
  std::string text;   // expected NUL-terminated text when result != 0
};

TEST(ReadRegString, Table) {
  const std::string key = TestKey("read");
  RegDeleteTree(HKEY_CURRENT_USER, key.c_str());
  WriteRegString(HKEY_CURRENT_USER, key.c_str(), "RootDir", "C:\\Borland\\Delphi7");
  SetRaw(HKEY_CURRENT_USER, key, "NoNul", REG_SZ, "abc", 3);
  SetRaw(HKEY_CURRENT_USER, key, "Binary", REG_BINARY, "abc", 4);
  SetRaw(HKEY_CURRENT_USER, key, "Empty", REG_SZ, "", 0);
  const ReadCase cases[] = {
      {"written value, length + 1", nullptr, "RootDir", 64, 19, "C:\\Borland\\Delphi7"},
      {"exact fit", nullptr, "RootDir", 19, 19, "C:\\Borland\\Delphi7"},
      {"one byte too small", nullptr, "RootDir", 18, 0, ""},
      {"missing value", nullptr, "Missing", 64, 0, ""},
      {"missing key", "\\Nothing\\Here", "RootDir", 64, 0, ""},
      {"no data", nullptr, "Empty", 64, 0, ""},
      {"no NUL, no room for one", nullptr, "NoNul", 3, 0, ""},
      {"binary data holding a text", nullptr, "Binary", 64, 0, ""},
      {"zero capacity", nullptr, "RootDir", 0, 0, ""},
  };
  for (const ReadCase& c : cases) {
    const std::string path = c.key ? key + c.key : key;
    char buffer[64];
    std::memset(buffer, 'Z', sizeof buffer);
    const DWORD got = ReadRegString(HKEY_CURRENT_USER, path.c_str(), c.value, buffer, c.capacity);
    EXPECT_EQ(got, c.result) << c.name;
    if (c.result != 0) {
      EXPECT_STREQ(buffer, c.text.c_str()) << c.name;
    }
    if (c.key) {
      EXPECT_EQ(buffer[0], 'Z') << c.name << ": the buffer was touched";
    }
    EXPECT_EQ(buffer[c.capacity < sizeof buffer ? c.capacity : 63], 'Z') << c.name << ": written past the capacity";
  }
  RegDeleteTree(HKEY_CURRENT_USER, key.c_str());
}

TEST(ReadRegString, ANumberIsNotAText) {
  const std::string key = TestKey("dword");
  const DWORD number = 0x01020304;
  SetRaw(HKEY_LOCAL_MACHINE, key, "Count", REG_DWORD, &number, sizeof number);
  char buffer[16] = {};
  EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, key.c_str(), "Count", buffer, sizeof buffer), 0u);
  EXPECT_STREQ(buffer, "");
  RegDeleteTree(HKEY_LOCAL_MACHINE, key.c_str());
}

TEST(ReadRegString, AStringStoredWithoutItsNulIsTerminated) {
  const std::string key = TestKey("sz_nonul");
  SetRaw(HKEY_CURRENT_USER, key, "Path", REG_SZ, "C:\\Lib", 6);
  char buffer[32];
  std::memset(buffer, 'Z', sizeof buffer);
  const DWORD got = ReadRegString(HKEY_CURRENT_USER, key.c_str(), "Path", buffer, sizeof buffer);
  EXPECT_TRUE(got == 6 || got == 7) << got;  // Windows gives the 6 stored bytes
  EXPECT_STREQ(buffer, "C:\\Lib");
  RegDeleteTree(HKEY_CURRENT_USER, key.c_str());
}

TEST(WriteRegString, CreatesEveryMissingLevel) {
  const std::string top = TestKey("levels");
  const std::string key = top + "\\Borland\\Delphi\\7.0\\Known Packages";
  RegDeleteTree(HKEY_LOCAL_MACHINE, top.c_str());
  EXPECT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, key.c_str(), "C:\\Windows\\System32\\tarveld7.bpl", "Tarvel Lib"));
  // A key name longer than the registry takes cannot be made: the write says so.
  EXPECT_FALSE(WriteRegString(HKEY_LOCAL_MACHINE, (top + "\\" + std::string(300, 'k')).c_str(), "v", "x"));
  std::string value;
  ASSERT_TRUE(RegGetString(HKEY_LOCAL_MACHINE, key.c_str(), "C:\\Windows\\System32\\tarveld7.bpl", &value));
  EXPECT_EQ(value, "Tarvel Lib");
  RegDeleteTree(HKEY_LOCAL_MACHINE, top.c_str());
}

TEST(WriteRegString, ReplacesAValueOfAnotherType) {
  const std::string key = TestKey("retype");
  const DWORD number = 7;
  SetRaw(HKEY_CURRENT_USER, key, "Search Path", REG_DWORD, &number, sizeof number);
  WriteRegString(HKEY_CURRENT_USER, key.c_str(), "Search Path", "$(DELPHI)\\Lib");
  HKEY k = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &k), ERROR_SUCCESS);
  DWORD type = 0;
  char data[64] = {};
  DWORD size = sizeof data;
  ASSERT_EQ(RegQueryValueExA(k, "Search Path", nullptr, &type, reinterpret_cast<BYTE*>(data), &size), ERROR_SUCCESS);
  RegCloseKey(k);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, 14u);  // 13 characters and the NUL
  EXPECT_STREQ(data, "$(DELPHI)\\Lib");
  RegDeleteTree(HKEY_CURRENT_USER, key.c_str());
}

struct DeleteCase {
  const char* name;
  const char* text;
  std::set<std::string> before;
  std::set<std::string> after;
};

TEST(DeleteValuesContaining, Table) {
  const DeleteCase cases[] = {
      {"two adjacent matches", "tarvel",
       {"a.bpl", "b_tarvel.bpl", "c_tarvel.bpl", "d.bpl"}, {"a.bpl", "d.bpl"}},
      {"other letter case", "TARVELD7",
       {"C:\\Sys\\tarveld7.bpl", "C:\\Sys\\TarvelD7x.bpl", "C:\\Sys\\dclstd70.bpl"}, {"C:\\Sys\\dclstd70.bpl"}},
      {"no match", "zzz", {"a", "b"}, {"a", "b"}},
      {"empty text takes everything", "", {"a", "b", "c"}, {}},
      {"whole names are not compared", "pkg", {"pkg", "xpkgx", "pk"}, {"pk"}},
  };
  for (const DeleteCase& c : cases) {
    const std::string key = TestKey("delete");
    RegDeleteTree(HKEY_CURRENT_USER, key.c_str());
    for (const std::string& v : c.before) WriteRegString(HKEY_CURRENT_USER, key.c_str(), v.c_str(), "x");
    ASSERT_EQ(ValueNames(HKEY_CURRENT_USER, key), c.before) << c.name;
    DeleteValuesContaining(HKEY_CURRENT_USER, key.c_str(), c.text);
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, key), c.after) << c.name;
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, key.c_str())) << c.name;
    RegDeleteTree(HKEY_CURRENT_USER, key.c_str());
  }
}

TEST(DeleteValuesContaining, AMissingKeyIsNotCreated) {
  const std::string key = TestKey("delete_missing") + "\\Known Packages";
  DeleteValuesContaining(HKEY_CURRENT_USER, key.c_str(), "");
  EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, key.c_str()));
}

// A name with a character outside the ANSI code page comes back from the ANSI
// enumeration with a '?' in it and cannot be deleted by that name: the scan must step
// over it, end, and still take the matching values after it.
TEST(DeleteValuesContaining, AValueThatCannotBeDeletedIsSteppedOver) {
  const std::string key = TestKey("undeletable");
  RegDeleteTree(HKEY_CURRENT_USER, key.c_str());
  WriteRegString(HKEY_CURRENT_USER, key.c_str(), "a_pkg", "x");
  WriteRegString(HKEY_CURRENT_USER, key.c_str(), "z_pkg", "x");
  HKEY k = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_WRITE, &k), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExW(k, L"m_pkg\x4e2d", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"x"), 4), ERROR_SUCCESS);
  RegCloseKey(k);
  ASSERT_EQ(ValueNames(HKEY_CURRENT_USER, key).size(), 3u);
  DeleteValuesContaining(HKEY_CURRENT_USER, key.c_str(), "pkg");
  const std::set<std::string> left = ValueNames(HKEY_CURRENT_USER, key);
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left.begin()->substr(0, 5), "m_pkg");
  RegDeleteTree(HKEY_CURRENT_USER, key.c_str());
}

}  // namespace
