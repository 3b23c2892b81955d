// The link check of every path the elevated programs act on at or below the
// installation root. Each folder is opened once per run, when it is first met, without
// following a reparse point and without letting anyone delete or rename it, checked
// through that handle, and held while the run works below it: what was checked is what
// is used, and the next path through the folder costs no more look-ups.
#pragma once
#include <windows.h>

enum class PathState : unsigned char {
  Safe,     // every level exists, or a level is missing and the rest with it
  Missing,  // Safe, but a level does not exist (the path is not there)
  Link,     // a level is a reparse point or cannot be read, or the file has other links
};

// Called once for each folder at or below the root when it is first held, with a handle
// that has READ_CONTROL; false refuses the folder (it counts as a link).
using FolderCheck = bool (*)(HANDLE folder, const char* path);

// Makes root the root of the checks and holds it and every level above it. A level that
// is a reparse point or cannot be read: Link; a level that does not exist: Missing (the
// caller may make it and call again). check runs on the root and every folder held
// below it later, never above. Levels held for another root are let go first.
PathState GuardRoot(const char* root, FolderCheck check);
// The levels of path below the root, shortest first (compared without regard to case).
// A path outside the root is not looked at: Safe. An existing file as the last level
// must not be a reparse point and must have exactly one link. The path is given back as
// it was. With lastIsCallers the last level is left to the caller, who opens it through
// OpenUnfollowed and checks that handle: the name is opened once, not twice.
PathState CheckPath(char* path, bool lastIsCallers = false);
// Lets go of that folder and of every held folder below it, so it can be removed.
void ReleaseFolder(const char* path);
// Lets go of every held folder; the root is forgotten.
void ReleaseAllFolders();
// What the checks need to know of an opened file or folder.
struct FileFacts {
  DWORD attributes;  // FILE_ATTRIBUTE_DIRECTORY and FILE_ATTRIBUTE_REPARSE_POINT only
  DWORD links;       // the names the file has
};
// A file or folder opened (or, by disposition, created) without following a reparse
// point; INVALID_HANDLE_VALUE with the error of the open when it fails. FILE_ATTRIBUTE_
// REPARSE_POINT is set for a link.
HANDLE OpenUnfollowed(const char* path, DWORD access, DWORD share, DWORD disposition, FileFacts* info);
// Neither a link nor a folder, and no second name through which it could be changed.
bool IsPlainFile(const FileFacts& info);
// For deletion through the handle: every sharing allowed, as DeleteFile allows it.
inline HANDLE OpenForDeletion(const char* path, FileFacts* info) {
  return OpenUnfollowed(path, DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING, info);
}
