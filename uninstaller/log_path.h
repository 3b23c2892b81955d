// The log path the uninstaller takes from its own command line, and whether it is
// asked to remove without its dialog. Portable.
#pragma once
#include <cstddef>
#include <string_view>

inline constexpr std::size_t kLogPathCapacity = 260;  // 259 characters and the NUL

// Everything after the program name, verbatim: blanks kept, quotes not removed,
// nothing trimmed. A quoted program name is followed by one separating character
// that is skipped. "/S " (or "/s ") at the start of that asks for the removal without
// the dialog (*quiet), and the path is then everything after it, by the same rules.
// In the quiet form "/LOG=file " (or /LOG="file with blanks" ) may come first: *diagLog
// is then that file, else its data() is nullptr.
// Returns false, with path empty, when there is no path or when it does not fit: a
// shortened path could name another file.
bool ParseLogPath(const char* commandLine, char* path, std::size_t capacity, bool* quiet,
                  std::string_view* diagLog = nullptr);
