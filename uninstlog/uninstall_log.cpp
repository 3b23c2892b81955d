// The uninstall log of a run: its record buffer on the process heap and the file the
// uninstaller replays, written record by record under a descriptor that leaves it to
// administrators.
#include <windows.h>

#include "uninstlog/uninstall_log.h"

#include "services/protected_descriptor.h"
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
  if (log.file != nullptr) CloseHandle(log.file);
  Give(log.buffer);
  log.buffer = nullptr;
  log.capacity = 0;
  log.position = 0;
  log.file = nullptr;
}

void OpenLog(UninstallLog& log, const char* path) {
  Close(log);
  // A path longer than Windows' paths is not made, under whatever name it would get.
  if (lstrlenA(path) < static_cast<int>(kLogFileNameCapacity)) {
    void* descriptor = TakeProtectedDescriptor(Protected::Log);
    SECURITY_ATTRIBUTES security = {sizeof security, descriptor, FALSE};
    // Only a file made now has the log's descriptor: one that a user placed there and
    // that could not be deleted keeps its owner, so it is not written at all.
    DeleteFileA(path);
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, descriptor != nullptr ? &security : nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ReleaseProtectedDescriptor(descriptor);
    if (file != INVALID_HANDLE_VALUE) log.file = file;
  }
  log.buffer = static_cast<std::uint8_t*>(Take(kLogBufferCapacity));
  log.capacity = log.buffer != nullptr ? kLogBufferCapacity : 0;
}

void AppendLog(UninstallLog& log, std::uint8_t type, const char* text) {
  const std::size_t start = log.position;
  if (!AppendLogRecord(log, type, text, Regrow) || log.file == nullptr) return;
  DWORD written = 0;
  WriteFile(log.file, log.buffer + start, static_cast<DWORD>(log.position - start), &written, nullptr);
}

void AppendLogAhead(UninstallLog& log, std::uint8_t type, const char* text) {
  const std::size_t start = log.position;
  AppendLog(log, type, text);
  log.position = start;
}

bool WriteLog(UninstallLog& log) {
  bool whole = false;
  if (log.file != nullptr) {
    // Once more from the start: records noted ahead stand where their steps logged them,
    // and a write that fell short during the run is made good.
    DWORD written = 0;
    whole = log.buffer != nullptr && SetFilePointer(log.file, 0, nullptr, FILE_BEGIN) == 0 &&
            WriteFile(log.file, log.buffer, static_cast<DWORD>(log.position), &written, nullptr) &&
            written == log.position && SetEndOfFile(log.file);
    whole = CloseHandle(log.file) != 0 && whole;
    log.file = nullptr;
  }
  Close(log);
  return whole;
}
