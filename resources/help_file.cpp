// The library's Windows help file, built by the payload generator.
#include <string>

std::string HelpFile() {
  // Header of a Windows help file with an empty internal directory.
  std::string s;
  auto put32 = [&](unsigned v) {
    for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  put32(0x00035F3F);
  put32(16);
  put32(0xFFFFFFFF);
  put32(16 + 9);
  put32(9);
  put32(0);
  s += '\x04';
  return s;
}
