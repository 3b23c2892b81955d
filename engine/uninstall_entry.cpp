// The Apps entry's details: written once per run, after the scripts, from the product
// constants, the macros and the files the log names.
#include "engine/uninstall_entry.h"

#include <windows.h>

#include <cstdint>

#include "engine/setup_state.h"
#include "engine/text.h"
#include "resources/product_info.h"
#include "services/diag_log.h"
#include "services/registry.h"
#include "uninstlog/log_format.h"

namespace {

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

// The folder the uninstaller was extracted to, as every program names it: a 32-bit
// setup on 64-bit Windows writes to SysWOW64 through the name system32, which a 64-bit
// Apps page or package manager would take for its own, native folder.
void UninstallerFolder(char* out, std::size_t capacity) {
  const UINT n = sizeof(void*) == 4 ? GetSystemWow64DirectoryA(out, static_cast<UINT>(capacity)) : 0;
  if (n == 0 || n >= capacity) CopyText(out, capacity, MacroValue(gSetup.macros, Macro::SysDir));
}

// "<uninstaller>" followed by the option and the log's path, in PathBuffer.
const char* UninstallCommand(const char* uninstaller, const char* option) {
  char* command = gSetup.pathBuffer;
  CopyText(command, kPathBufferCapacity, "\"");
  AppendText(command, kPathBufferCapacity, uninstaller);
  AppendText(command, kPathBufferCapacity, option);
  AppendText(command, kPathBufferCapacity, MacroValue(gSetup.macros, Macro::HomeDir));
  AppendText(command, kPathBufferCapacity, "\\uninst.qln");
  return command;
}

// A value of the entry that could not be written is a failure of the run like any other.
void Checked(bool written, const char* valueName) {
  if (!DiagResult(written, "Machine value", kUninstallKey, valueName))
    NoteValueFailure(gSetup.failures, "HKEY_LOCAL_MACHINE", kUninstallKey, valueName);
}

void EntryText(const char* valueName, const char* text) {
  Checked(WriteRegString(HKEY_LOCAL_MACHINE, kUninstallKey, valueName, text), valueName);
}

void EntryNumber(const char* valueName, DWORD value) {
  Checked(WriteRegDword(HKEY_LOCAL_MACHINE, kUninstallKey, valueName, value), valueName);
}

}  // namespace

void WriteUninstallEntry() {
  // Without its log the entry's command would fail, or replay a log that someone else
  // put there: the values the script wrote go again, and that is a failure.
  if (gSetup.log.file == nullptr) {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    DiagLog("Apps entry %s: not written, the uninstall log was not created", kUninstallKey);
    NoteValueFailure(gSetup.failures, "HKEY_LOCAL_MACHINE", kUninstallKey, "UninstallString");
    return;
  }
  EntryText("Publisher", TARVEL_COMPANY);
  EntryText("DisplayVersion", TARVEL_DISPLAY_VERSION);
  char uninstaller[kPathCapacity + sizeof "\\qlnclear.exe"];
  UninstallerFolder(uninstaller, kPathCapacity);
  AppendText(uninstaller, sizeof uninstaller, "\\qlnclear.exe");
  EntryText("DisplayIcon", uninstaller);
  EntryText("InstallLocation", MacroValue(gSetup.macros, Macro::HomeDir));
  EntryNumber("EstimatedSize", WrittenKib(gSetup.log));
  EntryNumber("NoModify", 1);
  EntryNumber("NoRepair", 1);
  // Both commands name the uninstaller in full: a 64-bit Apps page searches a bare name
  // in its own system folder, the current one and PATH, never in SysWOW64, and PATH
  // holds folders the user can write. The script wrote the bare name, which the log
  // records; the value is replaced here so that the log's bytes stay the script's.
  EntryText("UninstallString", UninstallCommand(uninstaller, "\" "));
  EntryText("QuietUninstallString", UninstallCommand(uninstaller, "\" /S "));
}
