// The walk over a directory path's prefixes that CreateDirectoryPath makes one
// directory of each. Portable, so the rule is tested and fuzzed without Windows.
#pragma once

// Called with each prefix in turn, shortest first; returning false ends the walk.
using DirectoryLevelFn = bool (*)(void* context, const char* prefix);

// Offers level every prefix of path that ends before a separator ('\\' or '/') or at
// the end of the path, except drive designators ("C:"). Each prefix is cut out by
// writing a NUL into path, which holds its own bytes again when the call returns.
void WalkDirectoryPrefixes(char* path, DirectoryLevelFn level, void* context);
