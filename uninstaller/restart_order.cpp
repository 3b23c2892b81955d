// The files left for the restart and the order of the folders that hold them.
#include "uninstaller/restart_order.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }
char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool Same(char a, char b) { return (IsSeparator(a) && IsSeparator(b)) || Fold(a) == Fold(b); }

// Length of the folder text without its trailing separators.
std::size_t StemLength(const char* folder) {
  std::size_t n = 0;
  while (folder[n] != '\0') ++n;
  while (n > 0 && IsSeparator(folder[n - 1])) --n;
  return n;
}

bool SameFolder(const char* a, const char* b) {
  const std::size_t n = StemLength(a);
  if (StemLength(b) != n) return false;
  for (std::size_t i = 0; i < n; ++i)
    if (!Same(a[i], b[i])) return false;
  return true;
}

bool SameFile(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b)
    if (!Same(*a, *b)) return false;
  return *a == *b;
}

bool HoldsPendingFile(const PendingFiles& files, const char* folder) {
  for (std::size_t i = 0; i < files.count; ++i)
    if (PathIsInside(files.paths[i], folder)) return true;
  return false;
}

}  // namespace

bool NotePendingFile(PendingFiles& files, const char* path) {
  if (files.count >= files.paths.size()) return false;
  files.paths[files.count++] = path;
  return true;
}

bool IsPendingFile(const PendingFiles& files, const char* path) {
  for (std::size_t i = 0; i < files.count; ++i)
    if (SameFile(files.paths[i], path)) return true;
  return false;
}

bool PathIsInside(const char* path, const char* folder) {
  const std::size_t n = StemLength(folder);
  if (n == 0) return false;
  for (std::size_t i = 0; i < n; ++i)
    if (path[i] == '\0' || !Same(path[i], folder[i])) return false;
  if (!IsSeparator(path[n])) return false;
  std::size_t rest = n;
  while (IsSeparator(path[rest])) ++rest;
  return path[rest] != '\0';
}

std::size_t FolderDepth(const char* folder) {
  const std::size_t n = StemLength(folder);
  std::size_t depth = 0;
  for (std::size_t i = 0; i < n; ++i) depth += IsSeparator(folder[i]) ? 1 : 0;
  return depth;
}

void ForEachHoldingFolder(const char* const* folders, std::size_t count, const PendingFiles& files,
                          void (*visit)(void* context, const char* folder), void* context) {
  if (files.count == 0) return;
  std::size_t deepest = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t depth = FolderDepth(folders[i]);
    if (depth > deepest && HoldsPendingFile(files, folders[i])) deepest = depth;
  }
  for (std::size_t depth = deepest; depth > 0; --depth) {
    for (std::size_t i = count; i-- > 0;) {
      if (FolderDepth(folders[i]) != depth || !HoldsPendingFile(files, folders[i])) continue;
      bool named = false;  // by a newer record, visited already
      for (std::size_t j = i + 1; j < count && !named; ++j) named = SameFolder(folders[i], folders[j]);
      if (!named) visit(context, folders[i]);
    }
  }
}
