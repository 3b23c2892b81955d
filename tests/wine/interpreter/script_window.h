// The interpreter's test surroundings: a window with the installation page's items
// 102, 105 and 106, the setup state, an open log, a fresh folder and the IDE kit.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "tests/driver/driver.h"

namespace testkit {

// Runs tools/idekit.exe with the arguments; returns its exit code (or -1).
inline int RunKit(const std::string& arguments) {
  driver::Program p;
  if (!driver::Start("\"" + driver::BuildPath("tools/idekit.exe") + "\" " + arguments, &p)) return -1;
  DWORD code = 0;
  if (!driver::WaitExit(p, 30000, &code)) {
    driver::Kill(p);
    return -1;
  }
  return static_cast<int>(code);
}

inline std::string Read(const std::string& path) {
  std::string bytes;
  driver::ReadFileBytes(path, &bytes);
  return bytes;
}

// The journal's lines, without their CR LF.
inline std::string JournalLine(const std::string& journal, int index) {
  size_t start = 0;
  for (int i = 0; i < index && start != std::string::npos; ++i) {
    start = journal.find("\r\n", start);
    if (start != std::string::npos) start += 2;
  }
  if (start == std::string::npos || start >= journal.size()) return {};
  const size_t end = journal.find("\r\n", start);
  return journal.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

inline int CountLines(const std::string& text) {
  int n = 0;
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++n;
  return n;
}

}  // namespace testkit
