// The eight install macros in their fixed order, and their expansion into templates.
// Portable: the value blocks belong to the caller (the setup state on Windows).
#pragma once
#include <array>
#include <cstddef>
#include <string_view>

enum class Macro : int {
  HomeDir,         // installation root, no trailing separator
  SubDir,          // folder a script works in, e.g. "Delphi7"
  SubFile,         // package base name, e.g. "tarveld7"
  DelphiDir,       // root of the IDE whose script runs
  SysDir,          // Windows system directory
  DelphiReg,       // registry key of that IDE
  HomeOld,         // root of an earlier installation
  DelphiDirShort,  // 8.3 form of the IDE root
};

inline constexpr int kMacroCount = 8;
inline constexpr std::size_t kMacroValueCapacity = 261;
inline constexpr std::size_t kExpansionScratchCapacity = 4096;

// Order matters: a value is searched again for every macro after its own.
inline constexpr std::array<std::string_view, kMacroCount> kMacroNames = {
    "$HOME_DIR$",   "$SUB_DIR$",    "$SUB_FILE$", "$DELPHI_DIR$",
    "$SYS_DIR$",    "$DELPHI_REG$", "$HOME_OLD$", "$DELPHI_DIR_SHORT$",
};
static_assert(kMacroNames[static_cast<int>(Macro::DelphiDirShort)] == "$DELPHI_DIR_SHORT$");

struct MacroTable {
  char* values[kMacroCount];  // kMacroValueCapacity bytes each
  char* scratch;              // kExpansionScratchCapacity bytes
};

inline char* MacroValue(const MacroTable& table, Macro m) { return table.values[static_cast<int>(m)]; }

// Sets a value, cut to 260 characters.
void SetMacroValue(const MacroTable& table, Macro m, const char* value);

// One case-folded pass per macro, in table order. The result is cut to outCapacity
// (and to the scratch's size); out must not be the template.
void ExpandMacros(const MacroTable& table, const char* templ, char* out, std::size_t outCapacity);
