// What an installation run could not write: how many objects, and the first of them,
// for the finish page and the exit code. Portable.
#pragma once
#include <cstddef>

inline constexpr std::size_t kFailedPathCapacity = 260;
// The finish page's message line with the longest count and a failed path of full length.
inline constexpr std::size_t kFailureLineCapacity = 320;

struct RunFailures {
  int count;
  char first[kFailedPathCapacity];  // the first failed object, cut to fit; empty while count is 0
};

// Counts one failed object; the first is kept by its path.
void NoteFailure(RunFailures& failures, const char* path);
// A registry value is named by its root, key and value name: "HKEY_CURRENT_USER\key\name".
void NoteValueFailure(RunFailures& failures, const char* rootName, const char* key, const char* valueName);

// The finish page's message line when something failed, "Installed with 3 errors.
// The first: <path>" ("Installed with 1 error: <path>" for one), cut to capacity
// bytes with its NUL. Returns false, writing nothing, when nothing failed.
bool FormatFailureLine(const RunFailures& failures, char* out, std::size_t capacity);
