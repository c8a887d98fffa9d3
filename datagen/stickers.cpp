// The stickers: digits drawn from a 3 x 5 pattern scaled up inside a white
// disc, and emblems filled from their outlines; black stays background.
#include "datagen/stickers.h"

#include <cmath>
#include <cstdint>

namespace datagen {

namespace {

constexpr int kSize = 40;

// Rows of the digits 0..9, three bits a row, the top row first.
constexpr uint8_t kDigits[10][5] = {{7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7},
                                    {5, 5, 7, 1, 1}, {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 2, 2, 2},
                                    {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7}};

// A picture of the given depth from a colour function 0xRRGGBB.
template <typename Colour>
TgaImage Draw(int depth, Colour colour) {
  TgaImage image{kSize, kSize, depth, {}, {}};
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const uint32_t c = colour(x, y);
      image.pixels.push_back(static_cast<uint8_t>(c));
      image.pixels.push_back(static_cast<uint8_t>(c >> 8));
      image.pixels.push_back(static_cast<uint8_t>(c >> 16));
      if (depth == 32) image.pixels.push_back(255);
    }
  return image;
}

double Distance(int x, int y) { return std::hypot(x + 0.5 - kSize / 2.0, y + 0.5 - kSize / 2.0); }

TgaImage Number(int digit) {
  return Draw(24, [digit](int x, int y) -> uint32_t {
    if (Distance(x, y) > kSize / 2.0 - 1) return 0;
    const int column = (x - 11) / 6, row = (y - 5) / 6;  // 18 x 30 texels of digit
    const bool ink = x >= 11 && y >= 5 && column < 3 && row < 5 && (kDigits[digit][row] >> (2 - column) & 1);
    return ink ? 0x101010 : 0xFFFFFF;
  });
}

// A five-pointed star: inside when the radius is below the star's edge at
// that angle.
TgaImage Star() {
  return Draw(32, [](int x, int y) -> uint32_t {
    const double a = std::atan2(y + 0.5 - kSize / 2.0, x + 0.5 - kSize / 2.0) + 3.14159265358979 / 2;
    const double phase = std::fmod(std::fabs(a) * 5 / (2 * 3.14159265358979), 1.0);
    const double edge = 8 + 11 * std::fabs(1 - 2 * phase);
    return Distance(x, y) < edge ? 0xFFD020 : 0;
  });
}

TgaImage Bolt() {
  return Draw(32, [](int x, int y) -> uint32_t {
    const bool upper = y < 20 && x >= 14 + (20 - y) / 2 - 4 && x <= 14 + (20 - y) / 2 + 4;
    const bool lower = y >= 18 && y < 38 && x >= 22 - (y - 18) / 2 - 4 && x <= 22 - (y - 18) / 2 + 4;
    return upper || lower ? 0x30A0FF : 0;
  });
}

TgaImage Shield() {
  return Draw(32, [](int x, int y) -> uint32_t {
    const int half = y < 24 ? 17 : 17 - (y - 24) * 17 / 14;
    if (y < 3 || y > 37 || std::abs(x - 20) > half) return 0;
    return ((x / 6) + (y / 6)) % 2 ? 0xF0F0F0 : 0xC02020;
  });
}

}  // namespace

std::vector<StickerFile> Stickers() {
  std::vector<StickerFile> files;
  for (int n = 1; n <= 9; ++n) files.push_back({"NUM" + std::to_string(n) + ".TGA", Number(n)});
  files.push_back({"STAR.TGA", Star()});
  files.push_back({"BOLT.TGA", Bolt()});
  files.push_back({"SHIELD.TGA", Shield()});
  return files;
}

}  // namespace datagen
