// The in-memory uninstall log of one installation run and its file "uninst.qln".
#pragma once
#include <cstddef>
#include <cstdint>

struct UninstallLog {
  std::uint8_t* buffer;   // records so far; starts at kLogBufferCapacity bytes
  std::size_t capacity;   // current size of buffer
  std::size_t position;   // where the next record starts
  void* file;             // the log file, open from OpenLog to WriteLog; nullptr when none
};

// Deletes any file of that name and creates the log anew under the log's descriptor
// (no file for a path of kLogFileNameCapacity characters or more). When it cannot be
// created, the records are still kept, and WriteLog says false.
void OpenLog(UninstallLog& log, const char* path);
// Keeps the record and adds it to the file, so that a run ended at any moment leaves
// a log of everything done so far.
void AppendLog(UninstallLog& log, std::uint8_t type, const char* text);
// Adds the record to the file only: a step that is yet to log it may leave its object
// before it can (a build that hangs after writing its first outputs).
void AppendLogAhead(UninstallLog& log, std::uint8_t type, const char* text);
// Writes the file anew from the records, exactly them, and closes it; releases the
// buffer in every case. True when the file holds every record.
bool WriteLog(UninstallLog& log);

// Resizes a record buffer to newSize bytes keeping its content, or returns null and
// leaves the block as it was.
using LogReallocate = std::uint8_t* (*)(std::uint8_t* block, std::size_t newSize);

// The portable core of AppendLog: stores the whole record, growing the buffer through
// reallocate when it is full. Returns false, with the log unchanged, when the buffer
// is missing or cannot grow: a record is kept whole or not at all.
bool AppendLogRecord(UninstallLog& log, std::uint8_t type, const char* text, LogReallocate reallocate);
