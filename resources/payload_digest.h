// The payload's digest, shared by the generator that writes the resource script and
// by setup.exe, which checks it before it writes anything: the CRC-32 (reflected,
// polynomial 0xEDB88320) of every payload resource's bytes, in a table resource.
#pragma once
#include <cstddef>
#include <cstdint>

// A resource type of its own, so that no payload ID can name the table.
inline constexpr unsigned kPayloadDigestType = 256;
inline constexpr unsigned kPayloadDigestId = 1;

// The table's rows, in ID order: two little-endian 32-bit words each.
struct PayloadDigest {
  std::uint32_t id;
  std::uint32_t crc;
};
static_assert(sizeof(PayloadDigest) == 8);

// Bit by bit, without a table: the whole payload takes a few milliseconds so, and the
// program stays smaller.
inline std::uint32_t Crc32(const unsigned char* bytes, std::size_t size) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) {
    c ^= bytes[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
  }
  return ~c;
}
