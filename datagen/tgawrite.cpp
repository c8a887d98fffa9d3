// TGA writer: image type 2 (true colour, uncompressed), 24 bits, blue green
// red byte order, descriptor bit 5 set for top-down rows; and files of any
// depth, raw or run-length coded, from pixel bytes.
#include "datagen/tgawrite.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "datagen/bytes.h"

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

namespace {

// Run-length packets over the whole pixel stream.
void EncodeRuns(std::vector<uint8_t>& out, const uint8_t* pixels, size_t count, size_t unit) {
  auto same = [&](size_t a, size_t b) { return std::memcmp(pixels + a * unit, pixels + b * unit, unit) == 0; };
  for (size_t i = 0; i < count;) {
    const size_t end = std::min(count, i + 128);
    size_t run = 1;
    while (i + run < end && same(i, i + run)) ++run;
    if (run >= 2) {
      out.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
      out.insert(out.end(), pixels + i * unit, pixels + (i + 1) * unit);
      i += run;
      continue;
    }
    size_t n = 1;
    while (i + n < end && !(i + n + 1 < end && same(i + n, i + n + 1))) ++n;
    out.push_back(static_cast<uint8_t>(n - 1));
    out.insert(out.end(), pixels + i * unit, pixels + (i + n) * unit);
    i += n;
  }
}

}  // namespace

std::vector<uint8_t> EncodeTga(const TgaImage& image, bool rle) {
  const int w = image.width, h = image.height;
  const size_t unit = static_cast<size_t>(image.depth + 7) / 8;
  const bool mapped = image.depth == 8;
  if (w <= 0 || h <= 0 || w > 65535 || h > 65535 || (image.depth != 8 && unit < 2) || unit > 4 ||
      image.pixels.size() != static_cast<size_t>(w) * h * unit || image.map.size() != (mapped ? 768u : 0u))
    return {};
  std::vector<uint8_t> out = {0, static_cast<uint8_t>(mapped ? 1 : 0),
                              static_cast<uint8_t>(rle ? 10 : mapped ? 1 : 2)};
  Put16(out, 0);
  Put16(out, mapped ? 256 : 0);
  out.push_back(mapped ? 24 : 0);
  Put32(out, 0);
  Put16(out, static_cast<uint32_t>(w));
  Put16(out, static_cast<uint32_t>(h));
  out.push_back(static_cast<uint8_t>(image.depth));
  out.push_back(0x20);
  out.insert(out.end(), image.map.begin(), image.map.end());
  if (rle)
    EncodeRuns(out, image.pixels.data(), static_cast<size_t>(w) * h, unit);
  else
    out.insert(out.end(), image.pixels.begin(), image.pixels.end());
  return out;
}

}  // namespace datagen
