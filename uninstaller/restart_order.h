// What the uninstall leaves for Windows to remove at the next restart: the files in
// use that the log names, and which of the logged folders go after them, deepest
// first. Portable: the Windows calls are the caller's.
#pragma once
#include <array>
#include <cstddef>

inline constexpr std::size_t kPendingFileCapacity = 64;

// Files scheduled for the restart; the texts refer into the log block.
struct PendingFiles {
  std::array<const char*, kPendingFileCapacity> paths;
  std::size_t count;
};

// Notes a scheduled file; false when the list is full (the file is not noted, and
// the folders around it stay on disk).
bool NotePendingFile(PendingFiles& files, const char* path);
// Whether this file, in any letter case, is noted already: the log may name a file
// twice, and it is scheduled once.
bool IsPendingFile(const PendingFiles& files, const char* path);

// Whether path lies below folder. Letters compare in either case (ASCII only: a
// folder missed stays on disk, one wrongly matched could go), '\\' and '/' separate,
// trailing separators of the folder do not count.
bool PathIsInside(const char* path, const char* folder);

// Separators inside the text, trailing ones not counted: 0 for "C:\", 2 for "C:\a\b".
std::size_t FolderDepth(const char* folder);

// Calls visit for every folder of `folders` (the log's directory texts in record
// order) that holds a noted file: deepest first, of one depth newest first, each
// folder once however often the log names it. A drive root (depth 0) is never visited.
void ForEachHoldingFolder(const char* const* folders, std::size_t count, const PendingFiles& files,
                          void (*visit)(void* context, const char* folder), void* context);
