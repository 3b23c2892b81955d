// Uninstall log records: their bytes, and a record buffer that grows instead of
// overrunning or losing records.
#include "uninstlog/log_format.h"
#include "uninstlog/uninstall_log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::uint8_t* Realloc(std::uint8_t* block, std::size_t size) {
  return static_cast<std::uint8_t*>(std::realloc(block, size));
}

std::uint8_t* RefuseGrowth(std::uint8_t*, std::size_t) { return nullptr; }

UninstallLog FreshLog(std::size_t capacity) {
  UninstallLog log = {};
  log.buffer = static_cast<std::uint8_t*>(std::calloc(capacity, 1));
  log.capacity = capacity;
  return log;
}

std::string Used(const UninstallLog& log) {
  return std::string(reinterpret_cast<const char*>(log.buffer), log.position);
}

struct EncodeCase {
  std::uint8_t type;
  const char* text;
  std::size_t room;
  std::string expected;  // empty: nothing stored
};

TEST(EncodeLogRecord, Table) {
  using std::string_literals::operator""s;
  static const EncodeCase cases[] = {
      {LogType::File, "C:\\a.dcu", 64, "\x03" "C:\\a.dcu\0"s},
      {LogType::Component, "", 2, "\x02\0"s},  // an empty text takes two bytes
      {LogType::Banner, "ab", 4, "\x01" "ab\0"s},  // exactly fits
      {LogType::Banner, "ab", 3, ""},               // one short: nothing, not a cut record
      {LogType::Directory, "", 1, ""},
      {LogType::Directory, "x", 0, ""},
  };
  for (std::size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const EncodeCase& c = cases[i];
    std::uint8_t out[64];
    std::memset(out, 0xEE, sizeof out);
    const std::size_t n = EncodeLogRecord(out, c.room, c.type, c.text);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), n), c.expected) << "row " << i;
    if (n == 0) {
      EXPECT_EQ(out[0], 0xEE) << "row " << i << ": wrote although it did not fit";
    } else {
      EXPECT_EQ(n, LogRecordSize(c.text)) << "row " << i;
    }
  }
}

TEST(GrownLogCapacity, DoublesUntilItFits) {
  struct Row {
    std::size_t capacity, needed, expected;
  };
  static const Row rows[] = {
      {65535, 10, 65535},  {65535, 65535, 65535}, {65535, 65536, 131070},
      {65535, 200000, 262140}, {0, 1, 65535},     {static_cast<std::size_t>(-1) / 2 + 1, static_cast<std::size_t>(-1), 0},
  };
  for (std::size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i)
    EXPECT_EQ(GrownLogCapacity(rows[i].capacity, rows[i].needed), rows[i].expected) << "row " << i;
}

TEST(AppendLogRecord, RecordsFollowEachOtherWithNothingBetween) {
  UninstallLog log = FreshLog(kLogBufferCapacity);
  using std::string_literals::operator""s;
  ASSERT_TRUE(AppendLogRecord(log, LogType::Banner, "Tarvel Lib\rSetup", Realloc));
  ASSERT_TRUE(AppendLogRecord(log, LogType::Directory, "C:\\TL", Realloc));
  ASSERT_TRUE(AppendLogRecord(log, LogType::Component, " Shared Files", Realloc));
  ASSERT_TRUE(AppendLogRecord(log, LogType::ValueName, "", Realloc));
  EXPECT_EQ(Used(log), "\x01Tarvel Lib\rSetup\0\x09" "C:\\TL\0\x02 Shared Files\0\x06\0"s);
  std::free(log.buffer);
}

// 70,000 bytes and more of records: the buffer grows past its first 65535 bytes, every
// record stays whole and in order (ASan guards the writes).
TEST(AppendLogRecord, SeventyThousandBytesOfRecordsAllKept) {
  UninstallLog log = FreshLog(kLogBufferCapacity);
  std::string expected;
  const std::string root = "C:\\Program Files\\" + std::string(200, 'r') + "\\";
  int count = 0;
  while (expected.size() < 140000) {
    const std::string path = root + std::to_string(count++) + ".dcu";
    ASSERT_TRUE(AppendLogRecord(log, LogType::File, path.c_str(), Realloc)) << "record " << count;
    expected += '\x03';
    expected += path;
    expected += '\0';
  }
  ASSERT_TRUE(AppendLogRecord(log, LogType::MachineKeyGone,
                              "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvel Lib", Realloc));
  expected += "\x08Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvel Lib";
  expected += '\0';
  EXPECT_GE(log.capacity, log.position);
  EXPECT_EQ(log.capacity, 4 * kLogBufferCapacity);
  EXPECT_TRUE(Used(log) == expected) << "the used bytes differ from the records appended";
  std::free(log.buffer);
}

TEST(AppendLogRecord, WhenGrowthFailsTheWholeRecordIsDropped) {
  UninstallLog log = FreshLog(16);
  ASSERT_TRUE(AppendLogRecord(log, LogType::File, "0123456789", RefuseGrowth));  // 12 bytes
  EXPECT_FALSE(AppendLogRecord(log, LogType::File, "abc", RefuseGrowth));       // needs 5, 4 left
  EXPECT_EQ(log.position, 12u);
  EXPECT_EQ(log.capacity, 16u);
  EXPECT_EQ(log.buffer[12], 0) << "a part of the dropped record was written";
  ASSERT_TRUE(AppendLogRecord(log, LogType::File, "ab", RefuseGrowth));  // still fits exactly
  EXPECT_EQ(log.position, 16u);
  std::free(log.buffer);
}

TEST(AppendLogRecord, AnUnopenedLogTakesNothing) {
  UninstallLog log = {};
  EXPECT_FALSE(AppendLogRecord(log, LogType::File, "x", Realloc));
  EXPECT_EQ(log.position, 0u);
  EXPECT_EQ(log.buffer, nullptr);
}

}  // namespace
