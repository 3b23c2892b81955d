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

// "/LOG=" in any case.
bool IsLogOption(const char* p) {
  const char kOption[] = "/log=";
  for (int i = 0; i < 5; ++i)
    if ((p[i] | 0x20) != kOption[i]) return false;  // '/' and '=' have the bit already
  return true;
}

}  // namespace

bool ParseLogPath(const char* commandLine, char* path, std::size_t capacity, bool* quiet,
                  std::string_view* diagLog) {
  *quiet = false;
  if (diagLog != nullptr) *diagLog = std::string_view();
  if (capacity == 0) return false;
  path[0] = '\0';
  const char* from = Arguments(commandLine);
  if (from == nullptr) return false;
  if (from[0] == '/' && (from[1] | 0x20) == 's' && from[2] == ' ') {
    *quiet = true;
    from += 3;
    if (diagLog != nullptr && IsLogOption(from)) {
      from += 5;
      const char end = *from == '"' ? '"' : ' ';
      if (end == '"') ++from;
      const char* last = from;
      while (*last != '\0' && *last != end) ++last;
      *diagLog = std::string_view(from, static_cast<std::size_t>(last - from));
      if (end == '"' && *last == '"') ++last;
      from = *last == ' ' ? last + 1 : last;
    }
  }
  return CopyPath(from, path, capacity);
}
