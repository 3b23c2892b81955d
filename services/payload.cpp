// Payload resources of the running program checked, and turned into files and texts.
#include <windows.h>

#include "resources/payload_digest.h"
#include "services/payload.h"

namespace {

struct ResourceBytes {
  const void* bytes;
  DWORD size;
  bool found;
};

// No module: the program's own, whose resources a null module names.
ResourceBytes FindPayload(unsigned id, HMODULE module = nullptr, unsigned type = 10 /* RT_RCDATA */) {
  ResourceBytes r = {nullptr, 0, false};
  // Only 16-bit integer IDs name a payload; a wider one would alias another resource.
  if (id == 0 || id > 0xFFFF) return r;
  HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
  if (info == nullptr) return r;
  r.size = SizeofResource(module, info);
  HGLOBAL loaded = LoadResource(module, info);
  r.bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (r.bytes == nullptr) r.size = 0;
  r.found = r.bytes != nullptr || r.size == 0;
  return r;
}

}  // namespace

bool PayloadIntact(HMODULE module) {
  const ResourceBytes table = FindPayload(kPayloadDigestId, module, kPayloadDigestType);
  // Payload 7, the uninstaller, is in every build that carries a payload.
  if (!table.found) return !FindPayload(7, module).found;
  if (table.size % sizeof(PayloadDigest) != 0) return false;
  const auto* row = static_cast<const PayloadDigest*>(table.bytes);
  for (DWORD n = table.size / sizeof(PayloadDigest); n != 0; --n, ++row) {
    const ResourceBytes r = FindPayload(row->id, module);
    if (!r.found || Crc32(static_cast<const unsigned char*>(r.bytes), r.size) != row->crc) return false;
  }
  return true;
}

bool ExtractResourceToFile(const char* path, unsigned id) {
  // A file that was there keeps its owner and rights when it is overwritten: it goes
  // first, and the new one takes the rights of the administrators' folder. A read-only
  // one stays, as Windows keeps it (Wine would delete it). Most files are new: the
  // one that was there is looked at only when the name is taken.
  HANDLE file;
  for (bool again = true;; again = false) {
    file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || !again || GetLastError() != ERROR_FILE_EXISTS) break;
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
      SetLastError(ERROR_ACCESS_DENIED);
      return false;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && !DeleteFileA(path)) return false;
  }
  if (file == INVALID_HANDLE_VALUE) return false;
  const ResourceBytes r = FindPayload(id);
  DWORD written = 0;
  if (r.bytes != nullptr && r.size != 0) WriteFile(file, r.bytes, r.size, &written, nullptr);
  const bool closed = CloseHandle(file) != 0;
  return r.found && written == r.size && closed;
}

ResourceText LoadResourceText(unsigned id) {
  ResourceText t = {nullptr, 0};
  const ResourceBytes r = FindPayload(id);
  if (!r.found) return t;
  // The resource's bytes carry no NUL of their own: the copy gets one.
  char* copy = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, static_cast<SIZE_T>(r.size) + 1));
  if (copy == nullptr) return t;
  const char* from = static_cast<const char*>(r.bytes);
  for (DWORD i = 0; i < r.size; ++i) copy[i] = from[i];
  t.text = copy;
  t.size = r.size;
  return t;
}

void ReleaseResourceText(ResourceText& text) {
  if (text.text != nullptr) HeapFree(GetProcessHeap(), 0, text.text);
  text.text = nullptr;
  text.size = 0;
}
