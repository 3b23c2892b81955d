// The held folders of one run: a small table of handles, each opened without following
// a reparse point and without sharing deletion, looked up by path before any new open.
// A handle's link count came with Windows Vista: this file needs its declarations.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#include "services/link_check.h"

#include "engine/text.h"

#include "services/directory_path.h"

namespace {

// Listing is a use of the folder that sharing rules apply to: while held, no one can
// delete or rename it, and so no one can put a link in its place.
constexpr DWORD kHoldAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | READ_CONTROL | SYNCHRONIZE;
constexpr DWORD kNoFollow = FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS | FILE_ATTRIBUTE_NORMAL;
// An installation has a few dozen folders; past this many a folder is checked but not held.
constexpr int kHeldCapacity = 96;

struct HeldFolder {
  HANDLE handle;
  int length;
  char path[MAX_PATH];
};

HeldFolder gHeld[kHeldCapacity];
int gHeldCount = 0;
char gRoot[MAX_PATH];
FolderCheck gCheck = nullptr;
bool gRootSound = false;  // the root and the levels above it are held and no link

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool SameName(const char* a, const char* b) {
  const int n = lstrlenA(a);
  return n == lstrlenA(b) && SamePathStart(a, b, static_cast<std::size_t>(n));
}

// Asked for every level of every path: the lengths are compared first.
bool Held(const char* path, int length) {
  for (int i = 0; i < gHeldCount; ++i)
    if (gHeld[i].length == length && SamePathStart(gHeld[i].path, path, static_cast<std::size_t>(length))) return true;
  return false;
}

// Not there, or a name that nothing can have (a wildcard, a bad path).
bool NotFound(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME ||
         error == ERROR_BAD_PATHNAME;
}

struct LevelWalk {
  PathState state;
  int length;         // of the path asked about, whose last level may be a file
  bool check;         // the folders met are at or below the root
  bool holdLast;      // the last level is the root: held with the rest
  bool skipLast;      // the last level is the caller's to open and check
};

// Opens one level; a folder is kept, a file as the last level only looked at.
bool Level(void* context, const char* prefix) {
  auto& walk = *static_cast<LevelWalk*>(context);
  const int length = lstrlenA(prefix);
  const bool last = length == walk.length;
  if ((last && walk.skipLast) || Held(prefix, length)) return true;
  // What is not there is known from its name, without asking the system to open it
  // (most of what an installation checks is about to be made).
  if (GetFileAttributesA(prefix) == INVALID_FILE_ATTRIBUTES && NotFound(GetLastError())) {
    walk.state = PathState::Missing;
    return false;
  }
  FileFacts info;
  HANDLE level = OpenUnfollowed(prefix, kHoldAccess, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, &info);
  if (level == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // A file that another program holds open cannot be looked at; its use fails all the same.
    if (error == ERROR_SHARING_VIOLATION && last) return true;
    walk.state = NotFound(error) ? PathState::Missing : PathState::Link;
    return false;
  }
  const bool folder = (info.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  // A file where a folder of the path goes (or where the root goes): nothing below it
  // can be there.
  if (!folder && (!last || walk.holdLast)) {
    CloseHandle(level);
    walk.state = PathState::Missing;
    return false;
  }
  // A file with a second name could be changed through a name outside the root.
  const bool sound = (info.attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 && (folder || info.links == 1) &&
                     (!folder || !walk.check || gCheck == nullptr || gCheck(level, prefix));
  // The last level is only looked at: the step that named it may delete or replace it.
  if (!sound || !folder || (last && !walk.holdLast) || gHeldCount == kHeldCapacity) {
    CloseHandle(level);
  } else {
    gHeld[gHeldCount].handle = level;
    gHeld[gHeldCount].length = length;
    CopyText(gHeld[gHeldCount].path, MAX_PATH, prefix);
    ++gHeldCount;
  }
  if (!sound) walk.state = PathState::Link;
  return sound;
}

bool Below(void* below, const char*) {
  *static_cast<bool*>(below) = true;
  return false;
}

// Above the root only links are looked for; the root's rights are the caller's check.
// A share's server (\\server) is no folder to open.
bool LevelToRoot(void* context, const char* prefix) {
  auto& walk = *static_cast<LevelWalk*>(context);
  int separators = 0;
  for (const char* p = prefix; *p != '\0'; ++p) separators += IsSeparator(*p) ? 1 : 0;
  if (prefix[0] == '\0' || (IsSeparator(prefix[0]) && separators <= 2)) return true;
  walk.check = lstrlenA(prefix) == walk.length;
  return Level(context, prefix);
}

}  // namespace

PathState GuardRoot(const char* root, FolderCheck check) {
  if (!SameName(root, gRoot)) ReleaseAllFolders();
  gCheck = check;
  char path[MAX_PATH];
  gRootSound = false;
  if (lstrlenA(root) >= MAX_PATH) return PathState::Link;
  CopyText(gRoot, MAX_PATH, root);
  CopyText(path, MAX_PATH, root);
  LevelWalk walk = {PathState::Safe, lstrlenA(path), false, true, false};
  WalkDirectoryPrefixes(path, LevelToRoot, &walk);
  gRootSound = walk.state == PathState::Safe;
  return walk.state;
}

PathState CheckPath(char* path, bool lastIsCallers) {
  // Nothing below a root that could not be held is passed through.
  if (gRoot[0] != '\0' && !gRootSound) {
    bool below = false;
    WalkLevelsBelowRoot(path, gRoot, Below, &below);
    return below ? PathState::Link : PathState::Safe;
  }
  LevelWalk walk = {PathState::Safe, lstrlenA(path), true, false, lastIsCallers};
  if (gRoot[0] != '\0') WalkLevelsBelowRoot(path, gRoot, Level, &walk);
  return walk.state;
}

void ReleaseFolder(const char* path) {
  const int length = lstrlenA(path);
  int kept = 0;
  for (int i = 0; i < gHeldCount; ++i) {
    const char* held = gHeld[i].path;
    const bool within = gHeld[i].length >= length && (held[length] == '\0' || IsSeparator(held[length])) &&
                        SamePathStart(held, path, static_cast<std::size_t>(length));
    if (within) {
      CloseHandle(gHeld[i].handle);
    } else {
      gHeld[kept++] = gHeld[i];
    }
  }
  gHeldCount = kept;
}

void ReleaseAllFolders() {
  for (int i = 0; i < gHeldCount; ++i) CloseHandle(gHeld[i].handle);
  gHeldCount = 0;
  gRoot[0] = '\0';
  gRootSound = false;
}

HANDLE OpenUnfollowed(const char* path, DWORD access, DWORD share, DWORD disposition, FileFacts* info) {
  HANDLE object = CreateFileA(path, access, share, nullptr, disposition, kNoFollow, nullptr);
  if (object == INVALID_HANDLE_VALUE) return object;
  // The standard information alone: the whole of it (GetFileInformationByHandle) asks
  // the volume as well, which costs a deletion's time again under Wine.
  FILE_STANDARD_INFO standard;
  if (!GetFileInformationByHandleEx(object, FileStandardInfo, &standard, sizeof standard)) {
    CloseHandle(object);  // which keeps the error of the query
    return INVALID_HANDLE_VALUE;
  }
  info->links = standard.NumberOfLinks;
  // The handle is the link itself where the name is one (Windows opened it without
  // following), so nothing done through it reaches elsewhere; the name tells whether it
  // is one. Wine opens the target of a Unix link all the same, and only the name shows
  // the link: it is asked while the handle keeps what it names in place.
  const DWORD byName = GetFileAttributesA(path);
  info->attributes = (standard.Directory ? FILE_ATTRIBUTE_DIRECTORY : 0) |
                     (byName == INVALID_FILE_ATTRIBUTES ? FILE_ATTRIBUTE_REPARSE_POINT : byName & FILE_ATTRIBUTE_REPARSE_POINT);
  return object;
}

bool IsPlainFile(const FileFacts& info) {
  return (info.attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) == 0 && info.links == 1;
}
