// setup.exe's command line over arbitrary texts: whatever it names (the log's file
// too) lies inside the line, /D= reaches to its end but for trailing blanks, and only
// rows with a short name can be chosen, never by a start of the wizard.
#include <cstdint>
#include <string>

#include "engine/component_table.h"
#include "setup/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);  // cut at the first NUL by the reader
  const char* begin = line.c_str();
  const char* end = begin + std::char_traits<char>::length(begin);
  const SetupOptions o = ReadSetupCommandLine(begin);
  auto inside = [&](std::string_view v) { return v.data() >= begin && v.data() + v.size() <= end; };
  if (o.refused.data() != nullptr && !inside(o.refused)) __builtin_trap();
  if (o.log.data() != nullptr && !inside(o.log)) __builtin_trap();
  if (o.destination.data() != nullptr) {
    if (!inside(o.destination)) __builtin_trap();
    for (const char* p = o.destination.data() + o.destination.size(); p < end; ++p)
      if (*p != ' ' && *p != '\t') __builtin_trap();
  }
  for (int i = 0; i < 32; ++i) {
    const bool chosen = ((o.components >> i) & 1u) != 0;
    if (chosen && (i >= kComponentCount || kComponentShortNames[i].empty())) __builtin_trap();
  }
  // A problem makes the line malformed unless the usage was asked for.
  if (o.kind != StartKind::Usage && (o.kind == StartKind::Malformed) != (o.problem != nullptr)) __builtin_trap();
  if (o.kind == StartKind::Silent && !o.silent) __builtin_trap();
  // The wizard takes a destination, never a choice of components.
  if (o.kind == StartKind::Wizard && (o.silent || o.componentsNamed)) __builtin_trap();
  return 0;
}
