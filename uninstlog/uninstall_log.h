// The in-memory uninstall log of one installation run and its file "uninst.qln".
#pragma once
#include <cstddef>
#include <cstdint>

struct UninstallLog {
  char* fileName;         // kLogFileNameCapacity bytes, from the process heap
  std::uint8_t* buffer;   // records so far; starts at kLogBufferCapacity bytes
  std::size_t capacity;   // current size of buffer
  std::size_t position;   // where the next record starts
};

void OpenLog(UninstallLog& log, const char* path);
void AppendLog(UninstallLog& log, std::uint8_t type, const char* text);
// Writes exactly the used bytes, replacing any file of that name, under the log's
// descriptor; releases the buffer and the file name in every case. True when the file
// holds every record.
bool WriteLog(UninstallLog& log);

// The security descriptor the log file is created with, or nullptr when it cannot
// be built (the log is then written with the folder's inherited rights).
void* TakeLogDescriptor();
void ReleaseLogDescriptor(void* descriptor);

// Resizes a record buffer to newSize bytes keeping its content, or returns null and
// leaves the block as it was.
using LogReallocate = std::uint8_t* (*)(std::uint8_t* block, std::size_t newSize);

// The portable core of AppendLog: stores the whole record, growing the buffer through
// reallocate when it is full. Returns false, with the log unchanged, when the buffer
// is missing or cannot grow: a record is kept whole or not at all.
bool AppendLogRecord(UninstallLog& log, std::uint8_t type, const char* text, LogReallocate reallocate);
