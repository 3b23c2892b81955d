// Prefix walk of a directory path: one level per separator and one for the whole path.
#include "services/directory_path.h"

#include <cstddef>

void WalkDirectoryPrefixes(char* path, DirectoryLevelFn level, void* context) {
  char previous = '\0';
  for (char* p = path;; ++p) {
    const char c = *p;
    if (c == '\\' || c == '/' || c == '\0') {
      if (previous != ':') {
        *p = '\0';
        const bool goOn = level(context, path);
        *p = c;
        if (!goOn) return;
      }
      if (c == '\0') return;
    }
    previous = c;
  }
}

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Windows names the same file in either case of an ASCII letter and with either separator.
char Folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c == '/' ? '\\' : c; }

}  // namespace

bool SamePathStart(const char* a, const char* b, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    if (Folded(a[i]) != Folded(b[i])) return false;
    if (a[i] == '\0') return true;
  }
  return true;
}

bool WalkLevelsBelowRoot(char* path, const char* root, DirectoryLevelFn level, void* context) {
  std::size_t n = 0;
  for (; root[n] != '\0'; ++n)
    if (Folded(path[n]) != Folded(root[n])) return true;  // a shorter path stops at its NUL
  if (n == 0 || !IsSeparator(path[n])) return true;
  for (char* p = path + n + 1;; ++p) {
    const char c = *p;
    // An empty level (two separators in a row) would name the level before it again.
    if ((c == '\0' || IsSeparator(c)) && !IsSeparator(p[-1])) {
      *p = '\0';
      const bool goOn = level(context, path);
      *p = c;
      if (!goOn) return false;
    }
    if (c == '\0') return true;
  }
}

bool LiesInFolder(const char* path, const char* folder) {
  char last = '\0';
  for (; *folder != '\0'; ++path, ++folder) {
    last = Folded(*folder);
    if (Folded(*path) != last) return false;
  }
  if (last == '\0') return false;
  if (last != '\\' && Folded(*path++) != '\\') return false;
  return *path != '\0';
}
