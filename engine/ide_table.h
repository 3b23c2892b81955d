// The IDEs the library is built for, in the component table's order: the registry key
// that records each one's root and the name a person knows it by. setup.exe's
// component rows are made from it when the program is built (FormatIde), qlnclear.exe's
// look for a running IDE at run time (wsprintfA with the same formats), so the
// uninstaller carries a few bytes per IDE instead of its texts. Portable.
#pragma once
#include <cstddef>
#include <cstdint>

struct IdeVersion {
  std::uint8_t family;  // index into kIdeKeyFamily and kIdeShownFamily
  std::uint8_t keyMajor;
  std::uint16_t shown;  // the number in the name
};

inline constexpr int kIdeCount = 10;
// Four-byte aligned: left to itself the compiler would align and pad it to 32.
alignas(4) inline constexpr IdeVersion kIdeVersions[kIdeCount] = {
    {0, 3, 3}, {0, 4, 4}, {0, 5, 5}, {0, 6, 6}, {0, 7, 7}, {1, 3, 2005}, {2, 3, 3}, {2, 4, 4}, {2, 5, 5}, {2, 6, 6},
};
inline constexpr const char* kIdeKeyFamily[] = {"Delphi", "BDS", "C++Builder"};
inline constexpr const char* kIdeShownFamily[] = {"Delphi", "Delphi", "C++Builder"};
// Each takes the family, then the number: "Software\Borland\Delphi\7.0", "Borland Delphi 7".
inline constexpr char kIdeKeyFormat[] = "Software\\Borland\\%s\\%u.0";
inline constexpr char kIdeNameFormat[] = "Borland %s %u";
inline constexpr char kIdeRootValue[] = "RootDir";
// A component's caption: this, then the IDE's name.
inline constexpr char kIdeCaptionLead[] = " Files for ";
// Room for the longest text made from the table (a component caption) and its NUL.
inline constexpr std::size_t kIdeTextCapacity = 40;

// The format with its "%s" and "%u" put in, appended to out[n..] and cut to
// kIdeTextCapacity; returns the new length. What wsprintfA makes of the same.
constexpr std::size_t FormatIde(char* out, std::size_t n, const char* format, const char* family, unsigned number) {
  auto put = [&](char c) {
    if (n + 1 < kIdeTextCapacity) out[n++] = c;
  };
  for (const char* f = format; *f != '\0'; ++f) {
    if (f[0] == '%' && f[1] == 's') {
      for (const char* s = family; *s != '\0'; ++s) put(*s);
      ++f;
    } else if (f[0] == '%' && f[1] == 'u') {
      char digits[10] = {};
      int count = 0;
      do {
        digits[count++] = static_cast<char>('0' + number % 10);
        number /= 10;
      } while (number != 0);
      while (count > 0) put(digits[--count]);
      ++f;
    } else {
      put(*f);
    }
  }
  out[n] = '\0';
  return n;
}
