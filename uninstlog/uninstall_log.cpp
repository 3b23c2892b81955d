// The uninstall log of a run: its record buffer on the process heap and the one
// write that turns it into the file the uninstaller replays, under a descriptor that
// leaves it to administrators.
#include <windows.h>
// windows.h first: the descriptor-string header builds on its types.
#include <sddl.h>

#include "uninstlog/uninstall_log.h"

#include "uninstlog/log_format.h"

static void* Take(std::size_t size) { return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size); }

static void Give(void* block) {
  if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

static std::uint8_t* Regrow(std::uint8_t* block, std::size_t newSize) {
  // HeapReAlloc keeps the old block when it fails, so the records so far survive.
  return static_cast<std::uint8_t*>(HeapReAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, block, newSize));
}

static void Close(UninstallLog& log) {
  Give(log.buffer);
  Give(log.fileName);
  log.buffer = nullptr;
  log.fileName = nullptr;
  log.capacity = 0;
  log.position = 0;
}

void OpenLog(UninstallLog& log, const char* path) {
  Close(log);
  log.fileName = static_cast<char*>(Take(kLogFileNameCapacity));
  // A cut path would name some other file, which nothing could ever remove: a path
  // that does not fit leaves the name empty and no file is written.
  if (log.fileName != nullptr && lstrlenA(path) < static_cast<int>(kLogFileNameCapacity))
    lstrcpyA(log.fileName, path);
  log.buffer = static_cast<std::uint8_t*>(Take(kLogBufferCapacity));
  log.capacity = log.buffer != nullptr ? kLogBufferCapacity : 0;
}

void AppendLog(UninstallLog& log, std::uint8_t type, const char* text) {
  AppendLogRecord(log, type, text, Regrow);
}

// Full access for SYSTEM and Administrators, read for Users, nothing inherited from
// the folder: the log lists what an administrator's uninstall deletes, and a folder
// made directly under C:\ lets every user modify what it holds.
static constexpr char kLogDescriptor[] = "D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FR;;;BU)";

void* TakeLogDescriptor() {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kLogDescriptor, SDDL_REVISION_1, &descriptor, nullptr))
    return nullptr;
  return descriptor;
}

void ReleaseLogDescriptor(void* descriptor) {
  if (descriptor != nullptr) LocalFree(descriptor);
}

bool WriteLog(UninstallLog& log) {
  bool whole = false;
  if (log.fileName != nullptr && log.fileName[0] != '\0') {
    void* descriptor = TakeLogDescriptor();
    SECURITY_ATTRIBUTES security = {sizeof security, descriptor, FALSE};
    // A file that CREATE_ALWAYS replaces keeps its own descriptor: one that a user
    // placed there would stay that user's to rewrite.
    DeleteFileA(log.fileName);
    HANDLE file = CreateFileA(log.fileName, GENERIC_READ | GENERIC_WRITE, 0, descriptor != nullptr ? &security : nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ReleaseLogDescriptor(descriptor);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      if (log.buffer != nullptr && log.position != 0)
        WriteFile(file, log.buffer, static_cast<DWORD>(log.position), &written, nullptr);
      whole = CloseHandle(file) != 0 && log.buffer != nullptr && written == log.position;
    }
  }
  Close(log);
  return whole;
}
