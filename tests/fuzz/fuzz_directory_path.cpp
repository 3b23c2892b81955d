// CreateDirectoryPath's prefix walk and the walk below a root over arbitrary paths:
// every prefix offered is a proper cut of the path at a separator (or the whole path),
// longer than the one before, never a bare drive, and below the root longer than the
// root and its separator; the path holds its own bytes again afterwards. A path never
// lies in itself, and lies only in a shorter folder.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "services/directory_path.h"

namespace {

struct Seen {
  std::string original;
  std::size_t lastLength;
  int calls;
  int stopAfter;  // the level callback refuses after this many calls (<0: never)
  std::size_t root = 0;  // below a root: the root's length, and no drive rule
};

bool Level(void* context, const char* prefix) {
  auto* s = static_cast<Seen*>(context);
  const std::size_t n = std::strlen(prefix);
  if (n > s->original.size() || s->original.compare(0, n, prefix) != 0) __builtin_trap();
  if (s->calls > 0 && n <= s->lastLength) __builtin_trap();
  const char next = n < s->original.size() ? s->original[n] : '\0';
  if (next != '\0' && next != '\\' && next != '/') __builtin_trap();
  if (s->root == 0 && n > 0 && prefix[n - 1] == ':') __builtin_trap();
  if (s->root != 0 && (n <= s->root + 1 || prefix[n - 1] == '\\' || prefix[n - 1] == '/')) __builtin_trap();
  s->lastLength = n;
  ++s->calls;
  return s->stopAfter < 0 || s->calls < s->stopAfter;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int stopAfter = data[0] < 200 ? -1 : data[0] - 200;
  std::string path;
  for (size_t i = 1; i < size && data[i] != 0; ++i) path += static_cast<char>(data[i]);
  std::vector<char> buffer(path.c_str(), path.c_str() + path.size() + 1);
  Seen seen = {path, 0, 0, stopAfter};
  WalkDirectoryPrefixes(buffer.data(), Level, &seen);
  if (std::memcmp(buffer.data(), path.c_str(), path.size() + 1) != 0) __builtin_trap();
  // The whole path is always the last level offered, unless the walk was stopped.
  if (stopAfter < 0 && !(path.size() > 0 && path.back() == ':') && seen.lastLength != path.size()) __builtin_trap();
  // The path's own beginning as the root.
  const std::string root = path.substr(0, data[0] % (path.size() + 1));
  Seen below = {path, 0, 0, stopAfter, root.size()};
  WalkLevelsBelowRoot(buffer.data(), root.c_str(), Level, &below);
  if (std::memcmp(buffer.data(), path.c_str(), path.size() + 1) != 0) __builtin_trap();
  // Nothing lies in itself; what lies in a folder begins with it.
  if (LiesInFolder(path.c_str(), path.c_str())) __builtin_trap();
  if (LiesInFolder(path.c_str(), root.c_str()) && (root.empty() || path.size() <= root.size())) __builtin_trap();
  return 0;
}
