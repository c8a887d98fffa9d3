// TGA writer: image type 2 (true colour, uncompressed), 24 bits, blue green
// red byte order, descriptor bit 5 set for top-down rows.
#include "datagen/tgawrite.h"

#include <fstream>

namespace datagen {

Picture24::Picture24(int w, int h, uint8_t r, uint8_t g, uint8_t b) : width(w), height(h) {
  rgb.reserve(static_cast<size_t>(w > 0 && h > 0 ? w * h * 3 : 0));
  for (int i = 0; i < w * h; ++i) rgb.insert(rgb.end(), {r, g, b});
}

void Picture24::Set(int x, int y, uint8_t r, uint8_t g, uint8_t b) {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
  p[0] = r;
  p[1] = g;
  p[2] = b;
}

uint32_t Picture24::Get(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0;
  const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
  return uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
}

bool WriteTga(const std::string& path, const Picture24& picture) {
  const int w = picture.width, h = picture.height;
  if (w <= 0 || h <= 0 || w > 65535 || h > 65535 || picture.rgb.size() != static_cast<size_t>(w) * h * 3)
    return false;
  std::vector<uint8_t> out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  out.insert(out.end(), {static_cast<uint8_t>(w & 0xFF), static_cast<uint8_t>(w >> 8),
                         static_cast<uint8_t>(h & 0xFF), static_cast<uint8_t>(h >> 8), 24, 0x20});
  for (size_t i = 0; i < picture.rgb.size(); i += 3)
    out.insert(out.end(), {picture.rgb[i + 2], picture.rgb[i + 1], picture.rgb[i]});
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  return static_cast<bool>(file.flush());
}

}  // namespace datagen
