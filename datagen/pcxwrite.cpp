// PCX writer: version 5, one 8-bit plane, run-length lines, palette at the end.
#include "datagen/pcxwrite.h"
#include "datagen/bytes.h"

#include <algorithm>
#include <fstream>

namespace datagen {
namespace {

void EncodeLine(std::vector<uint8_t>& out, const uint8_t* line, int width) {
  int x = 0;
  while (x < width) {
    const uint8_t value = line[x];
    int run = 1;
    while (x + run < width && run < 63 && line[x + run] == value) ++run;
    if (run > 1 || value >= 0xC0) out.push_back(static_cast<uint8_t>(0xC0 | run));
    out.push_back(value);
    x += run;
  }
}

}  // namespace

std::vector<uint8_t> EncodePcx(const Picture8& picture) {
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height ||
      picture.palette.size() != 768)
    return {};
  const int bytesPerLine = (picture.width + 1) & ~1;  // lines are an even number of bytes
  std::vector<uint8_t> out;
  out.push_back(10);  // manufacturer
  out.push_back(5);   // version
  out.push_back(1);   // run-length encoding
  out.push_back(8);   // bits per pixel
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, picture.width - 1);
  Put16(out, picture.height - 1);
  Put16(out, 72);
  Put16(out, 72);
  out.insert(out.end(), 48, 0);  // 16-colour palette, unused
  out.push_back(0);
  out.push_back(1);  // planes
  Put16(out, bytesPerLine);
  Put16(out, 1);  // colour palette
  Put16(out, 0);
  Put16(out, 0);
  out.insert(out.end(), 54, 0);
  std::vector<uint8_t> line(static_cast<size_t>(bytesPerLine), 0);
  for (int y = 0; y < picture.height; ++y) {
    std::copy_n(picture.pixels.begin() + static_cast<long>(y) * picture.width, picture.width, line.begin());
    EncodeLine(out, line.data(), bytesPerLine);
  }
  out.push_back(12);
  out.insert(out.end(), picture.palette.begin(), picture.palette.end());
  return out;
}

bool WritePcx(const std::string& path, const Picture8& picture) {
  const std::vector<uint8_t> out = EncodePcx(picture);
  if (out.empty()) return false;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  return static_cast<bool>(file.flush());
}

}  // namespace datagen
