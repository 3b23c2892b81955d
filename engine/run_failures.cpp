// The failure count of an installation run and its message line.
#include "engine/run_failures.h"

#include <initializer_list>

#include "engine/text.h"

void NoteFailure(RunFailures& failures, const char* path) {
  if (failures.count++ == 0) CopyText(failures.first, kFailedPathCapacity, path != nullptr ? path : "");
}

void NoteValueFailure(RunFailures& failures, const char* rootName, const char* key, const char* valueName) {
  if (failures.count != 0) {
    ++failures.count;
    return;
  }
  char name[kFailedPathCapacity] = {};
  CopyText(name, sizeof name, rootName);
  for (const char* part : {key, valueName}) {
    AppendText(name, sizeof name, "\\");
    AppendText(name, sizeof name, part != nullptr ? part : "");
  }
  NoteFailure(failures, name);
}

bool FormatFailureLine(const RunFailures& failures, char* out, std::size_t capacity) {
  if (failures.count <= 0 || capacity == 0) return false;
  char digits[12] = {};
  int at = sizeof digits - 1;
  for (unsigned n = static_cast<unsigned>(failures.count); n != 0 && at > 0; n /= 10)
    digits[--at] = static_cast<char>('0' + n % 10);
  CopyText(out, capacity, "Installed with ");
  AppendText(out, capacity, digits + at);
  AppendText(out, capacity, failures.count == 1 ? " error: " : " errors. The first: ");
  AppendText(out, capacity, failures.first);
  return true;
}
