// Command-line split of the uninstaller.
#include "uninstaller/log_path.h"

bool ParseLogPath(const char* commandLine, char* path, std::size_t capacity) {
  if (capacity == 0) return false;
  path[0] = '\0';
  if (commandLine == nullptr || commandLine[0] == '\0') return false;
  const char delimiter = commandLine[0] == '"' ? '"' : ' ';
  const char* p = commandLine + 1;
  while (*p != '\0' && *p != delimiter) ++p;
  if (*p == '\0' || p[1] == '\0') return false;
  const char* from = p + 1;
  if (delimiter == '"') ++from;  // the blank after the closing quote; p[1] exists, so from is at most the NUL
  std::size_t length = 0;
  while (from[length] != '\0') ++length;
  if (length == 0 || length >= capacity) return false;
  for (std::size_t i = 0; i <= length; ++i) path[i] = from[i];
  return true;
}
