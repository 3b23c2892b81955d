// Case-folded search, replace and the path trimmings, table by table.
#include "engine/text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct FindCase {
  const char* pattern;
  const char* subject;
  long expected;  // index, or -1 for not found
};

TEST(FindNoCase, Table) {
  static const FindCase cases[] = {
      {"", "", 0},           {"", "abc", 0},         {"a", "", -1},        {"abcd", "abc", -1},
      {"aab", "aaab", 1},    {"abab", "abaabab", 3}, {"ABC", "xxabcxx", 2}, {"\\", "a|b", 1},
      {"\r\n", "x-*y", 1},   {" ", "ab", -1},        {"b ", "ab", -1},      {"@[", "`{", 0},
      {"\x80", "\xa0", 0},   {"$home_dir$", "C:\\$HOME_DIR$", 3},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const FindCase& c = cases[i];
    const char* hit = FindNoCase(c.pattern, c.subject);
    const long got = hit ? static_cast<long>(hit - c.subject) : -1;
    EXPECT_EQ(got, c.expected) << "row " << i << ": pattern '" << c.pattern << "'";
  }
}

struct ReplaceCase {
  const char* source;
  const char* pattern;
  const char* replacement;
  const char* expected;
};

TEST(ReplaceAll, Table) {
  static const ReplaceCase cases[] = {
      {"aaa", "aa", "b", "ba"},
      {"x Projects=\r\n y Projects=\r\n", "Projects=\r\n", "Projects=\r\nTarvel Lib=\r\n",
       "x Projects=\r\nTarvel Lib=\r\n y Projects=\r\nTarvel Lib=\r\n"},
      {"a\\$home_dir$\\b", "$HOME_DIR$", "C:\\Lib", "a\\C:\\Lib\\b"},
      {"nothing here", "zz", "y", "nothing here"},
      {"", "zz", "y", ""},
      {"abc", "", "y", "abc"},  // an empty pattern copies the source
      {";A;B;A", ";a", "", ";B"},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const ReplaceCase& c = cases[i];
    char out[256];
    std::memset(out, 'X', sizeof out);
    EXPECT_EQ(ReplaceAll(c.source, c.pattern, c.replacement, out, sizeof out), out);
    EXPECT_STREQ(out, c.expected) << "row " << i;
    EXPECT_EQ(ReplacedLength(c.source, c.pattern, c.replacement), std::strlen(c.expected)) << "row " << i;
  }
}

TEST(ReplaceAll, CutsAtTheCapacityAndNeverWritesPastIt) {
  // Exact-size heap blocks, so AddressSanitizer sees a single byte too many.
  const std::string source(100, 'a');
  for (size_t cap = 1; cap < 260; cap += 7) {
    std::vector<char> heap(cap);
    char* out = heap.data();
    ReplaceAll(source.c_str(), "a", "bb", out, cap);
    EXPECT_EQ(std::strlen(out), cap - 1 < 200 ? cap - 1 : 200) << "capacity " << cap;
  }
  char none = 'Z';
  ReplaceAll("abc", "b", "x", &none, 0);
  EXPECT_EQ(none, 'Z');
}

struct PathCase {
  const char* text;
  const char* stripped;
  const char* parent;
};

TEST(PathTrimming, Table) {
  static const PathCase cases[] = {
      {"C:\\Program Files\\Borland\\Delphi7\\", "C:\\Program Files\\Borland\\Delphi7", "C:\\Program Files\\Borland"},
      {"C:\\Borland\\Delphi7", "C:\\Borland\\Delphi7", "C:\\Borland"},
      {"C:\\Delphi7", "C:\\Delphi7", "C:"},
      {"C:\\", "C:", "C:"},
      {"C:", "C:", "C:"},
      {"C:file", "C:file", "C:file"},
      {"dir/sub/file", "dir/sub/file", "dir/sub"},
      {"Delphi7", "Delphi7", "Delphi7"},
      {"\\dir", "\\dir", "\\dir"},
      {"\\", "\\", "\\"},
      {"", "", ""},
      {"C:\\dir ", "C:\\dir ", "C:"},
      {"C:\\dir\\ ", "C:\\dir", "C:"},
      {"C:\\dir\\\\", "C:\\dir\\", "C:\\dir"},
      {"\"C:\\dir\\\"", "\"C:\\dir", "\"C:"},
      {"abc\" ", "abc\" ", "abc\" "},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const PathCase& c = cases[i];
    char a[64], b[64];
    std::strcpy(a, c.text);
    std::strcpy(b, c.text);
    StripTrailingSeparator(a);
    CutToParent(b);
    EXPECT_STREQ(a, c.stripped) << "row " << i << " strip";
    EXPECT_STREQ(b, c.parent) << "row " << i << " parent";
  }
}

TEST(CopyText, CutsAndTerminates) {
  char small[4];
  EXPECT_EQ(CopyText(small, sizeof small, "abcdef"), 3u);
  EXPECT_STREQ(small, "abc");
  char buf[8] = "ab";
  EXPECT_EQ(AppendText(buf, sizeof buf, "cdefghij"), 5u);
  EXPECT_STREQ(buf, "abcdefg");
}

}  // namespace
