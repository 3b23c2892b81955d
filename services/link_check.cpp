// The reparse-point check of every level below the root, over the portable walk.
#include "services/link_check.h"

#include <windows.h>

#include "services/directory_path.h"

namespace {

bool NoLink(void*, const char* prefix) {
  const DWORD attributes = GetFileAttributesA(prefix);
  return attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

}  // namespace

bool CrossesLink(char* path, const char* root) {
  return !WalkLevelsBelowRoot(path, root, NoLink, nullptr);
}
