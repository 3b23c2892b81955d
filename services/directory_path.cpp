// Prefix walk of a directory path: one level per separator and one for the whole path.
#include "services/directory_path.h"

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
