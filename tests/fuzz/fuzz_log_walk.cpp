// The uninstaller's record walk over arbitrary bytes: every text handed on ends
// inside the block, progress only grows and stays on the bar, and every directory
// record reaches the growing list.
#include <cstdint>
#include <cstring>
#include <vector>

#include "uninstaller/log_walk.h"

namespace {

struct Observed {
  const std::uint8_t* start;
  const std::uint8_t* end;
  std::size_t lastProgress;
  std::size_t directories;
  DirectoryStack* stack;
};

void CheckText(const Observed& o, const char* text) {
  const auto* t = reinterpret_cast<const std::uint8_t*>(text);
  if (t <= o.start || t >= o.end) __builtin_trap();
  // The NUL must be inside the block: memchr stops at the end, so a miss is a fault.
  if (std::memchr(t, 0, static_cast<std::size_t>(o.end - t)) == nullptr) __builtin_trap();
}

void OnStatus(void*, const char* text) {
  if (text == nullptr) __builtin_trap();
}

void OnAct(void* context, RecordAction action, const char* text) {
  auto* o = static_cast<Observed*>(context);
  CheckText(*o, text);
  if (static_cast<std::size_t>(action) >= kRecordActionCount) __builtin_trap();
  if (action == RecordAction::PushDirectory) {
    ++o->directories;
    if (!PushDirectory(*o->stack, text)) __builtin_trap();
  }
}

void OnProgress(void* context, std::size_t taken) {
  auto* o = static_cast<Observed*>(context);
  const std::size_t size = static_cast<std::size_t>(o->end - o->start);
  if (taken < o->lastProgress || taken > size) __builtin_trap();
  o->lastProgress = taken;
  if (ProgressPosition(taken, size) > ProgressRange(size)) __builtin_trap();
}

std::vector<const char*>* gEntries;

bool Grow(DirectoryStack& stack) {
  gEntries->resize(gEntries->size() * 2 + 1);
  stack.entries = gEntries->data();
  stack.capacity = gEntries->size();
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact-size copy: one byte read past it and AddressSanitizer stops the run.
  std::vector<std::uint8_t> block(data, data + size);
  std::vector<const char*> entries(4);
  gEntries = &entries;
  DirectoryStack stack = {entries.data(), entries.size(), 0, Grow};
  LogWalk walk;
  BeginWalk(walk, block.data(), block.size());
  Observed o = {block.data(), block.data() + block.size(), 0, 0, &stack};
  const RecordSink sink = {&o, OnStatus, OnAct, OnProgress};
  WalkLog(walk, sink);
  if (walk.cursor < walk.start || walk.cursor > walk.end) __builtin_trap();
  if (stack.count != o.directories) __builtin_trap();
  // Popped newest first, each a text of the block.
  for (std::size_t n = o.directories; n-- > 0;) {
    const char* text = PopDirectory(stack);
    if (text != entries[n]) __builtin_trap();
    CheckText(o, text);
  }
  if (PopDirectory(stack) != nullptr) __builtin_trap();
  return 0;
}
