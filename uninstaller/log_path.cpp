// Command-line split of the uninstaller.
#include "uninstaller/log_path.h"

namespace {

// Where the arguments begin, or nullptr when there are none.
const char* Arguments(const char* commandLine) {
  if (commandLine == nullptr || commandLine[0] == '\0') return nullptr;
  const char delimiter = commandLine[0] == '"' ? '"' : ' ';
  const char* p = commandLine + 1;
  while (*p != '\0' && *p != delimiter) ++p;
  if (*p == '\0' || p[1] == '\0') return nullptr;
  const char* from = p + 1;
  if (delimiter == '"') ++from;  // the blank after the closing quote; p[1] exists, so from is at most the NUL
  return from;
}

bool CopyPath(const char* from, char* path, std::size_t capacity) {
  std::size_t length = 0;
  while (from[length] != '\0') ++length;
  if (length == 0 || length >= capacity) return false;
  for (std::size_t i = 0; i <= length; ++i) path[i] = from[i];
  return true;
}

}  // namespace

bool ParseLogPath(const char* commandLine, char* path, std::size_t capacity, bool* quiet) {
  *quiet = false;
  if (capacity == 0) return false;
  path[0] = '\0';
  const char* from = Arguments(commandLine);
  if (from == nullptr) return false;
  if (from[0] == '/' && (from[1] | 0x20) == 's' && from[2] == ' ') {
    *quiet = true;
    from += 3;
  }
  return CopyPath(from, path, capacity);
}
