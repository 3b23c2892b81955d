// The uninstaller's walk over the bytes of an uninstall log: taking records one by
// one, the order in which a record's actions run, the list of directories to remove
// after the walk, and the progress scale. Portable: the Windows actions plug in
// through RecordSink.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

#include "uninstlog/log_format.h"

// The log block as read from the file; nothing in it is ever copied.
struct LogWalk {
  const std::uint8_t* start;
  const std::uint8_t* end;     // just past the last byte
  const std::uint8_t* cursor;  // type byte of the next record
  const char* currentText;     // text of the record taken last
};

void BeginWalk(LogWalk& walk, const std::uint8_t* block, std::size_t size);

// Takes the record at the cursor and returns its type; 0 when there is none left.
// A record whose text has no NUL before the end of the block is not taken: a text
// cut off there could name another object than the one the installer logged.
std::uint8_t NextRecord(LogWalk& walk);

enum class RecordAction : std::uint8_t {
  SetTitle,          // item 101 := text
  SetMessage,        // item 102 := text
  DeleteFile,
  OpenUserKey,       // becomes the open key
  OpenMachineKey,
  DeleteValue,       // from the open key, which is then flushed and closed
  DeleteUserKey,
  DeleteMachineKey,
  PushDirectory,     // removed after the walk
};
inline constexpr std::size_t kRecordActionCount = 9;

struct RecordActionEntry {
  std::uint8_t type;   // 0 ends the table
  const char* status;  // status line set before the action, or nullptr
  RecordAction action;
};

inline constexpr const char kStatusFiles[] = "Deleting the files ...";
inline constexpr const char kStatusRegistry[] = "Washes the registry ...";

inline constexpr std::array<RecordActionEntry, 10> RecordActionTable = {{
    {LogType::Banner, nullptr, RecordAction::SetTitle},
    {LogType::Component, nullptr, RecordAction::SetMessage},
    {LogType::File, kStatusFiles, RecordAction::DeleteFile},
    {LogType::UserKey, kStatusRegistry, RecordAction::OpenUserKey},
    {LogType::MachineKey, kStatusRegistry, RecordAction::OpenMachineKey},
    {LogType::ValueName, nullptr, RecordAction::DeleteValue},
    {LogType::UserKeyGone, nullptr, RecordAction::DeleteUserKey},
    {LogType::MachineKeyGone, nullptr, RecordAction::DeleteMachineKey},
    {LogType::Directory, nullptr, RecordAction::PushDirectory},
    {0, nullptr, RecordAction::SetTitle},
}};

constexpr bool ActionTableIsOrdered() {
  for (std::size_t i = 0; i + 1 < RecordActionTable.size(); ++i) {
    if (RecordActionTable[i].type != i + 1) return false;
    if (static_cast<std::size_t>(RecordActionTable[i].action) >= kRecordActionCount) return false;
  }
  return RecordActionTable.back().type == 0;
}
static_assert(ActionTableIsOrdered(), "types 1..9 in ascending order, ended by type 0");

// Where the walk's effects go: the dialog's items and the Windows calls.
struct RecordSink {
  void* context;
  void (*status)(void* context, const char* text);
  void (*act)(void* context, RecordAction action, const char* text);
  void (*progress)(void* context, std::size_t bytesTaken);
};

// Runs the action of every table pair of this type, each after its status text.
void DispatchRecord(std::uint8_t type, const char* text, const RecordSink& sink);

// The whole walk: the progress before every record, then the record; ends at the
// end of the data or at a type byte 0. When the walk has reached the end of the
// block the bar is set full once more.
void WalkLog(LogWalk& walk, const RecordSink& sink);

// Texts of the type 9 records, in record order. grow enlarges entries and capacity
// when the list is full; when it cannot, the surplus is dropped: a directory left
// on disk is better than one written past the list.
struct DirectoryStack {
  const char** entries;
  std::size_t capacity;
  std::size_t count;
  bool (*grow)(DirectoryStack& stack);
};
inline constexpr std::size_t kDirectoryStackCapacity = 2048;

bool PushDirectory(DirectoryStack& stack, const char* path);
// Newest first; nullptr when empty.
const char* PopDirectory(DirectoryStack& stack);

// The progress bar takes 16-bit bounds; a larger log is shown scaled to 65535.
inline constexpr std::size_t kProgressMax = 65535;
std::uint16_t ProgressRange(std::size_t logSize);
std::uint16_t ProgressPosition(std::size_t bytesTaken, std::size_t logSize);
