// The Apps entry's details: written once per run, after the scripts, from the product
// constants, the macros and the files the log names.
#include "engine/uninstall_entry.h"

#include <windows.h>

#include <cstdint>

#include "engine/setup_state.h"
#include "resources/product_info.h"
#include "services/registry.h"
#include "uninstlog/log_format.h"

namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvel Lib";

bool SameText(const char* a, const char* b) {
  while (*a != '\0' && *a == *b) ++a, ++b;
  return *a == *b;
}

// Whether a file record before the one at `at` names the same file: a file that
// several steps create (extracted, then listed as a build output) is one file.
bool NamedBefore(const std::uint8_t* records, std::size_t at, const char* text) {
  for (std::size_t i = 0; i < at;) {
    const char* earlier = reinterpret_cast<const char*>(records + i + 1);
    if (records[i] == LogType::File && SameText(earlier, text)) return true;
    i += LogRecordSize(earlier);
  }
  return false;
}

// What the installation wrote, in KiB rounded up: the files the log names, each once,
// as they are on disk now (a build output that was not made counts nothing).
DWORD WrittenKib(const UninstallLog& log) {
  if (log.buffer == nullptr) return 0;
  std::uint64_t bytes = 0;
  for (std::size_t i = 0; i < log.position;) {
    const char* text = reinterpret_cast<const char*>(log.buffer + i + 1);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (log.buffer[i] == LogType::File && !NamedBefore(log.buffer, i, text) &&
        GetFileAttributesExA(text, GetFileExInfoStandard, &data) &&
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
      bytes += (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    i += LogRecordSize(text);
  }
  const std::uint64_t kib = (bytes + 1023) / 1024;
  return kib > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(kib);
}

}  // namespace

void WriteUninstallEntry() {
  WriteRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "Publisher", TARVEL_COMPANY);
  WriteRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion", TARVEL_DISPLAY_VERSION);
  // The file the Shared Files script extracts the uninstaller to.
  ExpandMacros(gSetup.macros, "$SYS_DIR$\\qlnclear.exe", gSetup.pathBuffer, kPathBufferCapacity);
  WriteRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayIcon", gSetup.pathBuffer);
  WriteRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation", MacroValue(gSetup.macros, Macro::HomeDir));
  WriteRegDword(HKEY_LOCAL_MACHINE, kUninstallKey, "EstimatedSize", WrittenKib(gSetup.log));
  WriteRegDword(HKEY_LOCAL_MACHINE, kUninstallKey, "NoModify", 1);
  WriteRegDword(HKEY_LOCAL_MACHINE, kUninstallKey, "NoRepair", 1);
  // The registered command in its /S form, for the tools that remove without asking.
  ExpandMacros(gSetup.macros, "qlnclear.exe /S $HOME_DIR$\\uninst.qln", gSetup.pathBuffer, kPathBufferCapacity);
  WriteRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString", gSetup.pathBuffer);
}
