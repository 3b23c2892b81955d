// The uninstall log's byte records, shared by the installer that writes them and the
// uninstaller that replays them: a type byte, an ANSI text, a NUL. Portable.
#pragma once
#include <cstddef>
#include <cstdint>

namespace LogType {
inline constexpr std::uint8_t Banner = 1;       // product banner; always first
inline constexpr std::uint8_t Component = 2;    // caption of the component whose script starts
inline constexpr std::uint8_t File = 3;         // absolute path of a created (or built) file
inline constexpr std::uint8_t UserKey = 4;      // HKCU key in which a value was set
inline constexpr std::uint8_t MachineKey = 5;   // HKLM key in which a value was set
inline constexpr std::uint8_t ValueName = 6;    // value set in the key of the record before
inline constexpr std::uint8_t UserKeyGone = 7;  // HKCU key to delete (never written by the installer)
inline constexpr std::uint8_t MachineKeyGone = 8;  // HKLM key to delete; always last
inline constexpr std::uint8_t Directory = 9;    // absolute path of a created directory
}  // namespace LogType

inline constexpr std::size_t kLogBufferCapacity = 65535;
inline constexpr std::size_t kLogFileNameCapacity = 260;

// Bytes one record of this text occupies: the type, the text and its NUL.
std::size_t LogRecordSize(const char* text);

// Stores one whole record at out when it fits in room bytes; returns the bytes
// stored, or 0 (nothing written) when it does not fit.
std::size_t EncodeLogRecord(std::uint8_t* out, std::size_t room, std::uint8_t type, const char* text);

// Capacity a record buffer grows to so that needed bytes fit: the current capacity
// doubled as often as necessary. 0 when no such size exists.
std::size_t GrownLogCapacity(std::size_t capacity, std::size_t needed);
