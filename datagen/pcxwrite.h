// Writes 8-bit run-length PCX pictures with their 256-colour palette.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

struct Picture8 {
  int width = 0, height = 0;
  std::vector<uint8_t> pixels;   // width x height palette indices
  std::vector<uint8_t> palette;  // 256 x (r, g, b), 0..255
};

bool WritePcx(const std::string& path, const Picture8& picture);
// The file's bytes; empty when the sizes do not match.
std::vector<uint8_t> EncodePcx(const Picture8& picture);

}  // namespace datagen
