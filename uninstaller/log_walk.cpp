// Record walk, dispatch order, directory list and progress scale of the uninstaller.
#include "uninstaller/log_walk.h"

#include "controls/bar_extent.h"

void BeginWalk(LogWalk& walk, const std::uint8_t* block, std::size_t size) {
  walk.start = block;
  walk.end = block + size;
  walk.cursor = block;
  walk.currentText = nullptr;
}

std::uint8_t NextRecord(LogWalk& walk) {
  if (walk.cursor == nullptr || walk.cursor >= walk.end) return 0;
  const std::uint8_t type = walk.cursor[0];
  const std::uint8_t* text = walk.cursor + 1;
  const std::uint8_t* nul = text;
  while (nul < walk.end && *nul != 0) ++nul;
  if (nul >= walk.end) {
    walk.cursor = walk.end;
    return 0;
  }
  walk.currentText = reinterpret_cast<const char*>(text);
  walk.cursor = nul + 1;
  return type;
}

void DispatchRecord(std::uint8_t type, const char* text, const RecordSink& sink) {
  for (const RecordActionEntry& entry : RecordActionTable) {
    if (entry.type == 0) break;
    if (entry.type != type) continue;
    if (entry.status != nullptr) sink.status(sink.context, entry.status);
    sink.act(sink.context, entry.action, text);
  }
}

void WalkLog(LogWalk& walk, const RecordSink& sink) {
  std::size_t shown = 0;
  for (;;) {
    shown = static_cast<std::size_t>(walk.cursor - walk.start);
    sink.progress(sink.context, shown);
    const std::uint8_t type = NextRecord(walk);
    if (type == 0) break;
    DispatchRecord(type, walk.currentText, sink);
  }
  const std::size_t size = static_cast<std::size_t>(walk.end - walk.start);
  if (walk.cursor == walk.end && shown != size) sink.progress(sink.context, size);
}

bool PushDirectory(DirectoryStack& stack, const char* path) {
  if (stack.count >= stack.capacity) {
    if (stack.grow == nullptr || !stack.grow(stack) || stack.count >= stack.capacity) return false;
  }
  stack.entries[stack.count++] = path;
  return true;
}

const char* PopDirectory(DirectoryStack& stack) {
  if (stack.count == 0 || stack.entries == nullptr) return nullptr;
  return stack.entries[--stack.count];
}

std::uint16_t ProgressRange(std::size_t logSize) {
  return static_cast<std::uint16_t>(logSize > kProgressMax ? kProgressMax : logSize);
}

std::uint16_t ProgressPosition(std::size_t bytesTaken, std::size_t logSize) {
  if (bytesTaken > logSize) bytesTaken = logSize;
  if (logSize <= kProgressMax) return static_cast<std::uint16_t>(bytesTaken);
  return static_cast<std::uint16_t>(BarQuotient(static_cast<std::uint64_t>(bytesTaken) * kProgressMax, logSize));
}
