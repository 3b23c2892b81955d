// Macro expansion: eight ReplaceAll passes through the scratch block.
#include "engine/macros.h"

#include "engine/text.h"

void SetMacroValue(const MacroTable& table, Macro m, const char* value) {
  CopyText(MacroValue(table, m), kMacroValueCapacity, value);
}

void ExpandMacros(const MacroTable& table, const char* templ, char* out, std::size_t outCapacity) {
  if (outCapacity == 0) return;
  const std::size_t cap = outCapacity < kExpansionScratchCapacity ? outCapacity : kExpansionScratchCapacity;
  const char* source = templ;
  for (int i = 0; i < kMacroCount; ++i) {
    ReplaceAll(source, kMacroNames[i].data(), table.values[i], out, cap);
    CopyText(table.scratch, kExpansionScratchCapacity, out);
    source = table.scratch;
  }
}
