// The walk over a directory path's prefixes that CreateDirectoryPath makes one
// directory of each. Portable, so the rule is tested and fuzzed without Windows.
#pragma once
#include <cstddef>

// Called with each prefix in turn, shortest first; returning false ends the walk.
using DirectoryLevelFn = bool (*)(void* context, const char* prefix);

// Offers level every prefix of path that ends before a separator ('\\' or '/') or at
// the end of the path, except drive designators ("C:"). Each prefix is cut out by
// writing a NUL into path, which holds its own bytes again when the call returns.
void WalkDirectoryPrefixes(char* path, DirectoryLevelFn level, void* context);

// Offers level, shortest first, each prefix of path that names a level below root:
// path begins with root, letters compared without regard to case and either separator
// for the other, then a separator, and the
// prefix ends before a further separator or at the end. Nothing is offered for an
// empty root or a path elsewhere: the root and what lies above it are the user's
// choice. False when level ended the walk; the path is given back as it was.
bool WalkLevelsBelowRoot(char* path, const char* root, DirectoryLevelFn level, void* context);

// The first n bytes of a and b, or both up to a NUL they share, name the same path:
// ASCII letters match regardless of case, and '/' matches '\\'.
bool SamePathStart(const char* a, const char* b, std::size_t n);

// True when path names something below folder: folder's text, then a separator (the
// one folder ends with, or the next byte of path) and at least one byte more. ASCII
// letters match regardless of case, and '/' matches '\\'; an empty folder holds nothing.
bool LiesInFolder(const char* path, const char* folder);
