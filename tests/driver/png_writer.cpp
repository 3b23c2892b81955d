// Screenshots as ordinary PNG files: 8-bit RGB, each row filtered by its difference
// from the row above (flat window colours then compress to almost nothing), deflated
// by zlib, which is linked in statically so no test program needs a DLL of its own.
#include "tests/driver/png_writer.h"

#include <windows.h>
#include <zlib.h>

namespace driver {
namespace {

void Put32(std::string& out, unsigned long v) {
  out += static_cast<char>((v >> 24) & 0xFF);
  out += static_cast<char>((v >> 16) & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
  out += static_cast<char>(v & 0xFF);
}

void Chunk(std::string& out, const char* type, const std::string& data) {
  Put32(out, static_cast<unsigned long>(data.size()));
  const size_t start = out.size();
  out.append(type, 4);
  out += data;
  const auto* body = reinterpret_cast<const Bytef*>(out.data() + start);
  Put32(out, crc32(0, body, static_cast<uInt>(out.size() - start)));
}

}  // namespace

bool WritePng(const std::string& path, int width, int height, const std::vector<unsigned>& rgb) {
  if (width <= 0 || height <= 0 || rgb.size() < static_cast<size_t>(width) * height) return false;
  const size_t stride = static_cast<size_t>(width) * 3;
  std::string raw(static_cast<size_t>(height) * (stride + 1), '\0');
  for (int y = 0; y < height; ++y) {
    unsigned char* row = reinterpret_cast<unsigned char*>(&raw[y * (stride + 1)]);
    row[0] = y == 0 ? 0 : 2;  // filter: none for the first row, "up" for the rest
    for (int x = 0; x < width; ++x) {
      const unsigned p = rgb[static_cast<size_t>(y) * width + x];
      const unsigned above = y == 0 ? 0 : rgb[static_cast<size_t>(y - 1) * width + x];
      for (int c = 0; c < 3; ++c) {
        const int shift = 16 - 8 * c;
        row[1 + x * 3 + c] = static_cast<unsigned char>(((p >> shift) - (above >> shift)) & 0xFF);
      }
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packedSize, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
                static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK)
    return false;
  packed.resize(packedSize);
  std::string ihdr;
  Put32(ihdr, static_cast<unsigned long>(width));
  Put32(ihdr, static_cast<unsigned long>(height));
  ihdr += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, standard filters, no interlace
  std::string png = "\x89PNG\r\n\x1a\n";
  Chunk(png, "IHDR", ihdr);
  Chunk(png, "IDAT", packed);
  Chunk(png, "IEND", "");
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(f, png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
  CloseHandle(f);
  return ok && written == png.size();
}

}  // namespace driver
