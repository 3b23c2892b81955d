// The log path the uninstaller takes from its own command line. Portable.
#pragma once
#include <cstddef>

inline constexpr std::size_t kLogPathCapacity = 260;  // 259 characters and the NUL

// Everything after the program name, verbatim: blanks kept, quotes not removed,
// nothing trimmed. A quoted program name is followed by one separating character
// that is skipped. Returns false, with path empty, when there is no path or when
// it does not fit: a shortened path could name another file.
bool ParseLogPath(const char* commandLine, char* path, std::size_t capacity);
