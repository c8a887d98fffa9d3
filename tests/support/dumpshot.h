// The pictures a headless run's input script dumps ("dump <file>"): an
// uncompressed 24-bit TGA, bottom row first, read back into 0xRRGGBB
// pixels by their place on the screen.
#pragma once
#include <cstdint>
#include <string>

#include "tests/support/testenv.h"

namespace ztest {

struct DumpShot {
  int32_t width = 0, height = 0;
  std::string bytes;
  // The pixel at (x, y) from the top-left corner, or 0 outside.
  uint32_t At(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    const size_t i = 18 + (static_cast<size_t>(height - 1 - y) * static_cast<size_t>(width) + size_t(x)) * 3;
    return uint32_t(uint8_t(bytes[i + 2])) << 16 | uint32_t(uint8_t(bytes[i + 1])) << 8 | uint8_t(bytes[i]);
  }
  // How many pixels of the w x h block at (x, y) differ from the other's.
  int32_t Differences(const DumpShot& other, int32_t x, int32_t y, int32_t w, int32_t h) const {
    int32_t n = 0;
    for (int32_t j = y; j < y + h; ++j)
      for (int32_t i = x; i < x + w; ++i) n += At(i, j) != other.At(i, j);
    return n;
  }
};

// The dump, or a picture of size 0 when the file is missing or not one.
inline DumpShot ReadDump(const std::string& path) {
  DumpShot shot;
  if (!FileExists(path)) return shot;
  shot.bytes = ReadFile(path);
  if (shot.bytes.size() < 18 || shot.bytes[2] != 2 || shot.bytes[16] != 24) return shot;
  const int32_t w = uint8_t(shot.bytes[12]) | uint8_t(shot.bytes[13]) << 8;
  const int32_t h = uint8_t(shot.bytes[14]) | uint8_t(shot.bytes[15]) << 8;
  if (shot.bytes.size() != 18 + size_t(w) * size_t(h) * 3) return shot;
  shot.width = w, shot.height = h;
  return shot;
}

}  // namespace ztest
