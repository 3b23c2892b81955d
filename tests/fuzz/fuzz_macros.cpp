// ExpandMacros with arbitrary templates and values at every output capacity.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/macros.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t capacity = (static_cast<size_t>(data[0]) << 8 | data[1]) % 5000 + 1;
  // Nine NUL-separated texts: the template, then the eight values.
  std::string parts[9];
  int k = 0;
  for (size_t i = 2; i < size && k < 9; ++i) {
    if (data[i] == 0) {
      ++k;
    } else {
      parts[k] += static_cast<char>(data[i]);
    }
  }
  std::vector<std::vector<char>> values(kMacroCount, std::vector<char>(kMacroValueCapacity));
  std::vector<char> scratch(kExpansionScratchCapacity);
  MacroTable table = {};
  for (int i = 0; i < kMacroCount; ++i) table.values[i] = values[i].data();
  table.scratch = scratch.data();
  for (int i = 0; i < kMacroCount; ++i) SetMacroValue(table, static_cast<Macro>(i), parts[i + 1].c_str());
  std::vector<char> out(capacity);
  ExpandMacros(table, parts[0].c_str(), out.data(), out.size());
  if (std::strlen(out.data()) >= capacity) __builtin_trap();
  return 0;
}
