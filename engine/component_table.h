// The component table: one row per installable component, with its detected IDE root.
#pragma once
#include <cstdint>
#include <string_view>

struct ScriptStep;

struct ComponentEntry {
  const char* caption;        // list caption, with its leading space; nullptr ends the table
  const char* ideKey;         // registry key of the IDE, or nullptr
  const char* rootValueName;  // "RootDir", or nullptr
  char* ideRoot;              // detected root (260 bytes, heap), or nullptr
  std::int32_t visibility;    // -2 = not offered
  std::int32_t selection;     // 1 = install, -1 = unticked, -2 = not available
  std::int32_t listIndex;
  const ScriptStep* script;
};

inline constexpr int kComponentCount = 13;
inline constexpr std::int32_t kNotOffered = -2;
inline constexpr std::int32_t kNotAvailable = -2;

// The rows' names on setup.exe's command line, by row; the shared files, always
// installed, have none.
inline constexpr std::string_view kComponentShortNames[kComponentCount] = {
    "d3", "d4", "d5", "d6", "d7", "d2005", "bcb3", "bcb4", "bcb5", "bcb6", {}, "demos", "help"};

// The rows in table order, followed by the end row. Detection writes into them.
ComponentEntry* ComponentTable();

// Frees every row's IDE root string (Windows builds).
void ReleaseComponentRoots();
