// PNG files of test and demo screenshots.
#pragma once
#include <string>
#include <vector>

namespace driver {
// rgb: width*height pixels as 0x00RRGGBB, rows top to bottom. False when the file
// cannot be written or the pixels are fewer than width*height.
bool WritePng(const std::string& path, int width, int height, const std::vector<unsigned>& rgb);
}
