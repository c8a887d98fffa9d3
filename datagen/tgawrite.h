// Writes uncompressed 24-bit TGA pictures, top row first.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

struct Picture24 {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;  // width x height x (red, green, blue)

  Picture24() = default;
  Picture24(int w, int h, uint8_t r = 0, uint8_t g = 0, uint8_t b = 0);
  void Set(int x, int y, uint8_t r, uint8_t g, uint8_t b);
  // Pixels outside the picture read as black and are not written.
  uint32_t Get(int x, int y) const;  // 0xRRGGBB
  void Set(int x, int y, uint32_t colour) { Set(x, y, colour >> 16, (colour >> 8) & 0xFF, colour & 0xFF); }
};

bool WriteTga(const std::string& path, const Picture24& picture);

}  // namespace datagen
