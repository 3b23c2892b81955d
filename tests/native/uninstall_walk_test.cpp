// The uninstaller's record walk: records taken from raw blocks, the action order of
// the table, the whole walk as one event sequence, the directory list and the
// progress scale; and random blocks that must never be read past.
#include "uninstaller/log_walk.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// Every event of a walk as one line, so a walk is compared as a whole.
struct Recorder {
  std::vector<std::string> events;
};

const char* ActionName(RecordAction action) {
  static const char* const names[] = {"title",     "message", "delete-file",  "open-hkcu",  "open-hklm",
                                      "del-value", "del-hkcu", "del-hklm",    "push-dir"};
  return names[static_cast<size_t>(action)];
}

void OnStatus(void* context, const char* text) {
  static_cast<Recorder*>(context)->events.push_back(std::string("status ") + text);
}
void OnAct(void* context, RecordAction action, const char* text) {
  // strlen touches every byte of the text: a text without its NUL is seen by ASan.
  static_cast<Recorder*>(context)->events.push_back(std::string(ActionName(action)) + " " +
                                                   std::string(text, std::strlen(text)));
}
void OnProgress(void* context, size_t taken) {
  static_cast<Recorder*>(context)->events.push_back("at " + std::to_string(taken));
}

RecordSink SinkFor(Recorder& recorder) { return RecordSink{&recorder, OnStatus, OnAct, OnProgress}; }

std::string Record(std::uint8_t type, const std::string& text) {
  return std::string(1, static_cast<char>(type)) + text + std::string(1, '\0');
}

// The block in a heap allocation of exactly its size, as the uninstaller reads it.
struct Block {
  explicit Block(const std::string& bytes) : data(new std::uint8_t[bytes.size() ? bytes.size() : 1]), size(bytes.size()) {
    if (size) std::memcpy(data, bytes.data(), size);
  }
  ~Block() { delete[] data; }
  Block(const Block&) = delete;
  Block& operator=(const Block&) = delete;
  std::uint8_t* data;
  size_t size;
};

struct NextCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> expected;  // "type:text" per record taken
};

TEST(NextRecord, Table) {
  const NextCase cases[] = {
      {"empty block", "", {}},
      {"one record", Record(3, "C:\\a"), {"3:C:\\a"}},
      {"empty text takes two bytes", Record(2, "") + Record(9, "D"), {"2:", "9:D"}},
      {"unknown type is taken", Record(10, "x") + Record(3, "y"), {"10:x", "3:y"}},
      {"type 255", Record(255, "z"), {"255:z"}},
      {"type 0 ends the walk", Record(3, "a") + Record(0, "b") + Record(3, "c"), {"3:a"}},
      {"last text without its NUL is not taken", Record(3, "a") + std::string("\x03" "C:\\ab", 6), {"3:a"}},
      {"type byte as the last byte", Record(3, "a") + std::string("\x03", 1), {"3:a"}},
      {"lone NUL byte", std::string(1, '\0'), {}},
  };
  for (const NextCase& c : cases) {
    Block block(c.bytes);
    LogWalk walk;
    BeginWalk(walk, block.data, block.size);
    std::vector<std::string> got;
    for (int guard = 0; guard < 100; ++guard) {
      const std::uint8_t type = NextRecord(walk);
      if (type == 0) break;
      got.push_back(std::to_string(type) + ":" + walk.currentText);
    }
    EXPECT_EQ(got, c.expected) << c.name;
    EXPECT_LE(walk.cursor, walk.end) << c.name;
    if (walk.cursor == walk.end) {
      EXPECT_EQ(NextRecord(walk), 0) << c.name << ": again after the end";
    }
  }
}

TEST(DispatchRecord, EveryTypeRunsItsOnePairWithItsStatus) {
  struct DispatchCase {
    std::uint8_t type;
    std::vector<std::string> expected;
  };
  const DispatchCase cases[] = {
      {0, {}},
      {1, {"title T"}},
      {2, {"message T"}},
      {3, {"status Deleting the files ...", "delete-file T"}},
      {4, {"status Washes the registry ...", "open-hkcu T"}},
      {5, {"status Washes the registry ...", "open-hklm T"}},
      {6, {"del-value T"}},
      {7, {"del-hkcu T"}},
      {8, {"del-hklm T"}},
      {9, {"push-dir T"}},
  };
  for (const DispatchCase& c : cases) {
    Recorder recorder;
    DispatchRecord(c.type, "T", SinkFor(recorder));
    EXPECT_EQ(recorder.events, c.expected) << "type " << int(c.type);
  }
  for (int type = 10; type < 256; ++type) {
    Recorder recorder;
    DispatchRecord(static_cast<std::uint8_t>(type), "T", SinkFor(recorder));
    EXPECT_TRUE(recorder.events.empty()) << "type " << type;
  }
}

TEST(WalkLog, SharedFilesLogAsOneSequence) {
  const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvel Lib";
  const std::string records[] = {
      Record(1, "Banner"),        Record(9, "C:\\L"),           Record(2, " Shared Files"),
      Record(3, "C:\\L\\a.txt"),  Record(3, "C:\\L\\b.hlp"),    Record(3, "C:\\W\\qlnclear.exe"),
      Record(5, key),             Record(6, "DisplayName"),     Record(5, key),
      Record(6, "UninstallString"), Record(8, key),
  };
  std::string bytes;
  std::vector<size_t> offsets;
  for (const std::string& r : records) {
    offsets.push_back(bytes.size());
    bytes += r;
  }
  Block block(bytes);
  LogWalk walk;
  BeginWalk(walk, block.data, block.size);
  Recorder start;
  const std::uint8_t first = NextRecord(walk);  // what the dialog's start-up does
  DispatchRecord(first, walk.currentText, SinkFor(start));
  EXPECT_EQ(start.events, std::vector<std::string>{"title Banner"});

  Recorder recorder;
  WalkLog(walk, SinkFor(recorder));
  auto at = [&](size_t i) { return "at " + std::to_string(i < offsets.size() ? offsets[i] : bytes.size()); };
  const std::vector<std::string> expected = {
      at(1),  "push-dir C:\\L",
      at(2),  "message  Shared Files",
      at(3),  "status Deleting the files ...", "delete-file C:\\L\\a.txt",
      at(4),  "status Deleting the files ...", "delete-file C:\\L\\b.hlp",
      at(5),  "status Deleting the files ...", "delete-file C:\\W\\qlnclear.exe",
      at(6),  "status Washes the registry ...", "open-hklm " + key,
      at(7),  "del-value DisplayName",
      at(8),  "status Washes the registry ...", "open-hklm " + key,
      at(9),  "del-value UninstallString",
      at(10), "del-hklm " + key,
      at(11),
  };
  EXPECT_EQ(recorder.events, expected);
  EXPECT_EQ(recorder.events.front(), "at 8") << "starts at the banner record's size";
}

TEST(WalkLog, WhereTheBarStops) {
  struct StopCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> expected;
  };
  const StopCase cases[] = {
      {"empty log", "", {"at 0"}},
      {"type 0 in the middle stops there", Record(9, "D") + Record(0, "") + Record(3, "f"),
       {"at 0", "push-dir D", "at 3"}},
      {"type 0 as the last record", Record(3, "f") + Record(0, ""), {"at 0", "status Deleting the files ...", "delete-file f", "at 3", "at 5"}},
      {"cut-off last record: not acted on, bar full", Record(3, "f") + std::string("\x03g", 2),
       {"at 0", "status Deleting the files ...", "delete-file f", "at 3", "at 5"}},
      {"a later banner replaces the title", Record(10, "x") + Record(1, "B2"), {"at 0", "at 3", "title B2", "at 7"}},
  };
  for (const StopCase& c : cases) {
    Block block(c.bytes);
    LogWalk walk;
    BeginWalk(walk, block.data, block.size);
    Recorder recorder;
    WalkLog(walk, SinkFor(recorder));
    EXPECT_EQ(recorder.events, c.expected) << c.name;
  }
}

bool GrowWithRealloc(DirectoryStack& stack) {
  const size_t capacity = stack.capacity ? stack.capacity * 2 : 4;
  void* grown = std::realloc(stack.entries, capacity * sizeof(const char*));
  if (grown == nullptr) return false;
  stack.entries = static_cast<const char**>(grown);
  stack.capacity = capacity;
  return true;
}
bool NeverGrow(DirectoryStack&) { return false; }

TEST(DirectoryStack, GrowsPastItsFirstBlockAndPopsNewestFirst) {
  static std::vector<std::string> paths;
  for (int i = 0; i < 2100; ++i) paths.push_back("C:\\L\\d" + std::to_string(i));
  DirectoryStack stack{static_cast<const char**>(std::malloc(kDirectoryStackCapacity * sizeof(const char*))),
                       kDirectoryStackCapacity, 0, GrowWithRealloc};
  for (const std::string& p : paths) EXPECT_TRUE(PushDirectory(stack, p.c_str())) << p;
  EXPECT_EQ(stack.count, paths.size());
  for (size_t i = paths.size(); i-- > 0;) ASSERT_STREQ(PopDirectory(stack), paths[i].c_str()) << "entry " << i;
  EXPECT_EQ(PopDirectory(stack), nullptr);
  std::free(stack.entries);
}

TEST(DirectoryStack, WithoutGrowthTheSurplusIsDroppedNotWrittenPastTheEnd) {
  struct DropCase {
    size_t capacity;
    bool (*grow)(DirectoryStack&);
    size_t pushes;
    size_t kept;
  };
  // capacity 0 stands for a block that could not be taken at start-up.
  const DropCase cases[] = {{3, NeverGrow, 5, 3}, {3, nullptr, 3, 3}, {0, NeverGrow, 2, 0}, {0, GrowWithRealloc, 9, 9}};
  const char* const names[] = {"a", "b", "c", "d", "e", "f", "g", "h", "i"};
  for (size_t row = 0; row < sizeof cases / sizeof cases[0]; ++row) {
    const DropCase& c = cases[row];
    DirectoryStack stack{c.capacity ? static_cast<const char**>(std::malloc(c.capacity * sizeof(const char*))) : nullptr,
                         c.capacity, 0, c.grow};
    size_t accepted = 0;
    for (size_t i = 0; i < c.pushes; ++i) accepted += PushDirectory(stack, names[i]) ? 1 : 0;
    EXPECT_EQ(accepted, c.kept) << "row " << row;
    EXPECT_EQ(stack.count, c.kept) << "row " << row;
    for (size_t i = c.kept; i-- > 0;) EXPECT_STREQ(PopDirectory(stack), names[i]) << "row " << row;
    EXPECT_EQ(PopDirectory(stack), nullptr) << "row " << row;
    std::free(stack.entries);
  }
}

TEST(Progress, RangeAndPositionStayWithin16Bits) {
  struct ProgressCase {
    size_t size;
    size_t taken;
    unsigned range;
    unsigned position;
  };
  static const ProgressCase cases[] = {
      {0, 0, 0, 0},           {100, 8, 100, 8},          {65535, 65535, 65535, 65535},
      {65536, 65536, 65535, 65535}, {131070, 65535, 65535, 32767}, {200000, 8, 65535, 2},
      {200000, 200000, 65535, 65535}, {100, 200, 100, 100},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const ProgressCase& c = cases[i];
    EXPECT_EQ(ProgressRange(c.size), c.range) << "row " << i;
    EXPECT_EQ(ProgressPosition(c.taken, c.size), c.position) << "row " << i;
  }
}

// Random blocks, biased towards few NULs and short lengths, each in an allocation of
// exactly its size: the sanitizer reports any byte read past it.
TEST(WalkLog, RandomBlocksAreNeverReadPastTheirEnd) {
  std::mt19937 random(20260512);
  for (int round = 0; round < 20000; ++round) {
    const size_t size = random() % 64;
    const unsigned nulChance = 1 + random() % 16;
    std::string bytes(size, '\0');
    for (char& b : bytes) b = (random() % nulChance == 0) ? '\0' : static_cast<char>(1 + random() % 255);
    Block block(bytes);
    LogWalk walk;
    BeginWalk(walk, block.data, block.size);
    Recorder recorder;
    WalkLog(walk, SinkFor(recorder));
    ASSERT_LE(walk.cursor, walk.end) << "round " << round;
    ASSERT_FALSE(recorder.events.empty()) << "round " << round;
  }
}

}  // namespace
