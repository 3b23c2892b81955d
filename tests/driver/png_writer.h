// Minimal PNG writer (stored deflate blocks) for test screenshots.
#pragma once
#include <string>
#include <vector>

namespace driver {
// rgb: width*height pixels as 0x00RRGGBB, rows top to bottom.
bool WritePng(const std::string& path, int width, int height, const std::vector<unsigned>& rgb);
}
