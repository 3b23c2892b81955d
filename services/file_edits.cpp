// Directory creation and the two in-place edits of an IDE's text files. Every file is
// opened without sharing, and an edit that cannot read the whole file writes nothing.
#include <windows.h>

#include "services/file_edits.h"

#include "engine/text.h"
#include "services/directory_path.h"
#include "services/payload.h"
#include "services/protected_descriptor.h"

namespace {

constexpr char kPageEntry[] = "Tarvel Lib=\r\n";
constexpr char kPageAnchor[] = "Projects=\r\n";
constexpr char kAnchorWithEntry[] = "Projects=\r\nTarvel Lib=\r\n";
static_assert(sizeof kPageEntry - 1 == 13);

bool CreateLevel(void* security, const char* prefix) {
  return CreateDirectoryA(prefix, static_cast<SECURITY_ATTRIBUTES*>(security)) ||
         GetLastError() == ERROR_ALREADY_EXISTS;
}

char* TakeBlock(SIZE_T size) { return static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size)); }

void GiveBlock(char* block) {
  if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

HANDLE OpenForEdit(const char* path) {
  return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The whole content of an open file as a NUL-terminated block, or null when the file
// is empty, too large to hold with its NUL, or cannot be read in full. Files past
// 4 GB are refused: reading only their low part and writing after it would land in
// the middle of the file.
char* ReadWhole(HANDLE file, DWORD* size) {
  DWORD high = 0;
  const DWORD low = GetFileSize(file, &high);
  if (low == INVALID_FILE_SIZE || high != 0 || low == 0) return nullptr;
  char* content = TakeBlock(static_cast<SIZE_T>(low) + 1);
  if (content == nullptr) return nullptr;
  DWORD read = 0;
  if (!ReadFile(file, content, low, &read, nullptr) || read != low) {
    GiveBlock(content);
    return nullptr;
  }
  *size = low;
  return content;
}

bool WriteAll(HANDLE file, const char* bytes, DWORD count) {
  DWORD written = 0;
  return count == 0 || (WriteFile(file, bytes, count, &written, nullptr) && written == count);
}

}  // namespace

bool CreateDirectoryPath(char* path) {
  // A folder made under C:\ would let every user replace what it holds; one that was
  // there keeps its rights.
  void* descriptor = TakeProtectedDescriptor(Protected::Folder);
  SECURITY_ATTRIBUTES security = {sizeof security, descriptor, FALSE};
  WalkDirectoryPrefixes(path, CreateLevel, descriptor != nullptr ? &security : nullptr);
  ReleaseProtectedDescriptor(descriptor);
  // "Already exists" is also the answer for a file of that name.
  return IsDirectory(path);
}

bool IsDirectory(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool AppendTextOnce(const char* path, const char* text) {
  HANDLE file = OpenForEdit(path);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD size = 0;
  char* content = ReadWhole(file, &size);
  bool done = content != nullptr;
  if (done && FindNoCase(text, content) == nullptr)
    done = SetFilePointer(file, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER &&
           WriteAll(file, text, static_cast<DWORD>(TextLength(text)));
  GiveBlock(content);
  CloseHandle(file);
  return done;
}

bool AddRepositoryPage(const char* path, unsigned templateId, const MacroTable& macros) {
  HANDLE file = OpenForEdit(path);
  if (file == INVALID_HANDLE_VALUE) return false;
  // Without its templates the page would be an empty entry: leave the file alone.
  ResourceText templ = LoadResourceText(templateId);
  DWORD size = 0;
  char* content = templ.text != nullptr ? ReadWhole(file, &size) : nullptr;
  // A NUL inside the content would end the text that is rewritten, and the bytes
  // after it would survive as a stale tail: such a file is not a repository to edit.
  bool done = content != nullptr && TextLength(content) == size;
  if (done && FindNoCase(kPageEntry, content) == nullptr) {
    const SIZE_T replaced = ReplacedLength(content, kPageAnchor, kAnchorWithEntry);
    // The anchored content and the expanded templates go out in one write.
    char* output = TakeBlock(replaced + kExpansionScratchCapacity);
    done = output != nullptr;
    if (done) {
      ReplaceAll(content, kPageAnchor, kAnchorWithEntry, output, replaced + 1);
      ExpandMacros(macros, templ.text, output + replaced, kExpansionScratchCapacity);
      const SIZE_T total = replaced + TextLength(output + replaced);
      done = total <= MAXDWORD && SetFilePointer(file, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
             WriteAll(file, output, static_cast<DWORD>(total));
      GiveBlock(output);
    }
  }
  GiveBlock(content);
  ReleaseResourceText(templ);
  CloseHandle(file);
  return done;
}
