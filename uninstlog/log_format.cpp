// Encoding of uninstall log records and the growth of the record buffer.
#include "uninstlog/log_format.h"

#include "uninstlog/uninstall_log.h"

static std::size_t Length(const char* text) {
  std::size_t n = 0;
  while (text[n] != '\0') ++n;
  return n;
}

std::size_t LogRecordSize(const char* text) { return Length(text) + 2; }

std::size_t EncodeLogRecord(std::uint8_t* out, std::size_t room, std::uint8_t type, const char* text) {
  const std::size_t size = LogRecordSize(text);
  if (out == nullptr || size > room) return 0;
  out[0] = type;
  for (std::size_t i = 0; i + 2 < size; ++i) out[i + 1] = static_cast<std::uint8_t>(text[i]);
  out[size - 1] = 0;
  return size;
}

std::size_t GrownLogCapacity(std::size_t capacity, std::size_t needed) {
  std::size_t grown = capacity != 0 ? capacity : kLogBufferCapacity;
  while (grown < needed) {
    if (grown > static_cast<std::size_t>(-1) / 2) return 0;
    grown *= 2;
  }
  return grown;
}

bool AppendLogRecord(UninstallLog& log, std::uint8_t type, const char* text, LogReallocate reallocate) {
  if (log.buffer == nullptr || text == nullptr || log.position > log.capacity) return false;
  const std::size_t size = LogRecordSize(text);
  const std::size_t room = log.capacity - log.position;
  if (size > room) {
    // A long installation root repeats in every path: dropping records would leave
    // objects the uninstaller never removes, and could lose the final uninstall key.
    if (size > static_cast<std::size_t>(-1) - log.position) return false;
    const std::size_t grown = GrownLogCapacity(log.capacity, log.position + size);
    if (grown == 0 || reallocate == nullptr) return false;
    std::uint8_t* block = reallocate(log.buffer, grown);
    if (block == nullptr) return false;
    log.buffer = block;
    log.capacity = grown;
  }
  log.position += EncodeLogRecord(log.buffer + log.position, log.capacity - log.position, type, text);
  return true;
}
