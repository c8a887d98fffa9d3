// Writes TGA pictures: uncompressed 24-bit ones from RGB pictures, and any
// depth the reader takes, raw or run-length coded, from ready pixel bytes.
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

// Pixels as a TGA stores them: depth 8 (indices into a 256-entry map of
// blue, green, red), 16 (5-5-5), 24 (blue, green, red) or 32 (and alpha),
// each pixel's bytes little-endian, top row first.
struct TgaImage {
  int width = 0, height = 0, depth = 24;
  std::vector<uint8_t> pixels;
  std::vector<uint8_t> map;  // 768 bytes for depth 8, else empty
};

// The file's bytes, rows top-down: type 1 or 2 raw, or type 10 run-length
// coded (packets of up to 128 pixels, runs from two alike, running on
// across rows). Empty when the sizes do not match.
std::vector<uint8_t> EncodeTga(const TgaImage& image, bool rle);

}  // namespace datagen
