// The diagnostic log: one file handle, lines through wvsprintfA gathered in a block
// that the callers write out at the end of each step, a failure count.
#include "services/diag_log.h"

#include <cstdarg>

#include "engine/part_timing.h"
#include "engine/text.h"
#include "resources/product_info.h"
#include "services/link_check.h"
#include "services/safe_start.h"

namespace {

HANDLE gFile = nullptr;
int gFailures = 0;
// Lines not yet written. One writer at a time: the dialog thread before the worker
// starts and after it has ended, the worker in between.
char gHeld[4096];
std::size_t gHeldSize = 0;

void WriteOut(const char* bytes, std::size_t size) {
  DWORD written = 0;
  TimePartBegin(TimedPart::DiagWrite);
  WriteFile(gFile, bytes, static_cast<DWORD>(size), &written, nullptr);
  TimePartEnd(TimedPart::DiagWrite);
}

}  // namespace

bool OpenDiagLog(std::string_view path, const char* program) {
  char name[MAX_PATH];
  // A cut path would name another file.
  if (path.empty() || path.size() >= sizeof name) return false;
  for (std::size_t i = 0; i < path.size(); ++i) name[i] = path[i];
  name[path.size()] = '\0';
  // A log in a user's temporary folder is in a folder that user controls: no level of
  // it may be a link, and they stay held until the file is open.
  char folder[MAX_PATH];
  CopyText(folder, MAX_PATH, name);
  CutToParent(folder);
  if (lstrlenA(folder) != lstrlenA(name) && GuardRoot(folder, nullptr) != PathState::Safe) return false;
  // Opened without following a link and without emptying it: a link, or a file with a
  // second name elsewhere, is refused before a byte is written.
  FileFacts info;
  HANDLE file = OpenUnfollowed(name, GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS, &info);
  if (file == INVALID_HANDLE_VALUE) return false;
  if (!IsPlainFile(info) || !SetEndOfFile(file)) {
    CloseHandle(file);
    return false;
  }
  gFile = file;
  DiagLog("%s " TARVEL_DISPLAY_VERSION "\r\nCommand line: %s", program, GetCommandLineA());
  DiagLog("Redirection trust: %s", RedirectionTrustEnforced() ? "enforced" : "not available");
  return true;
}

void DiagFlush() {
  if (gFile != nullptr && gHeldSize != 0) WriteOut(gHeld, gHeldSize);
  gHeldSize = 0;
}

void DiagWrite(std::string_view text) {
  if (gFile == nullptr) return;
  if (text.size() > sizeof gHeld - gHeldSize) DiagFlush();
  // Too long for the block: after what it holds, so the order stays.
  if (text.size() > sizeof gHeld) return WriteOut(text.data(), text.size());
  for (char c : text) gHeld[gHeldSize++] = c;
}

void DiagLog(const char* format, ...) {
  if (gFile == nullptr) return;
  // Made in place: room first for the longest line wvsprintfA makes and its CR LF.
  if (sizeof gHeld - gHeldSize < 1024 + 2) DiagFlush();
  char* line = gHeld + gHeldSize;
  va_list args;
  va_start(args, format);
  int n = wvsprintfA(line, format, args);
  va_end(args);
  if (n < 0) n = 0;
  line[n++] = '\r';
  line[n++] = '\n';
  gHeldSize += static_cast<std::size_t>(n);
}

void DiagOutcome(bool failed, DWORD error, const char* what, const char* target, const char* second) {
  const char* between = second[0] != '\0' ? " > " : "";
  if (!failed && error == ERROR_SUCCESS) {
    DiagLog("%s %s%s%s: OK", what, target, between, second);
  } else if (!failed) {
    DiagLog("%s %s%s%s: error %lu, passed over", what, target, between, second, error);
  } else {
    DiagLog("%s %s%s%s: error %lu (failure %d)", what, target, between, second, error, ++gFailures);
  }
}

bool DiagResult(bool ok, const char* what, const char* target, const char* second) {
  DiagOutcome(!ok, ok ? ERROR_SUCCESS : GetLastError(), what, target, second);
  return ok;
}

bool DiagRemoval(bool removed, const char* what, const char* target) {
  const DWORD error = removed ? ERROR_SUCCESS : GetLastError();
  // ERROR_DIRECTORY: a file where the folder was named, which is not the folder.
  const bool gone = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_DIRECTORY ||
                    error == ERROR_INVALID_HANDLE;
  DiagOutcome(!removed && !gone, error, what, target, "");
  return removed;
}

int DiagFailures() { return gFailures; }

unsigned CloseDiagLog(unsigned code) {
  if (gFailures != 0) DiagLog("Failures: %d", gFailures);
  DiagLog("Exit code %u", code);
  DiagFlush();
  if (gFile != nullptr) CloseHandle(gFile);
  gFile = nullptr;
  return code;
}
