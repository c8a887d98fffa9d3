// The console background: a night-blue vertical gradient crossed by a
// faint grid and soft diagonal bands, in palette entries 1 to 254 of a
// dark ramp. Everything is computed in integers, so every run gives the
// same bytes.
#include "datagen/devenv.h"

#include <algorithm>

namespace datagen {
namespace {

constexpr int kRampFirst = 1, kRampLast = 254;

// The ramp: from near black to a muted steel blue, never brighter than a
// third of white, so white text keeps its contrast.
void FillPalette(std::vector<uint8_t>& palette) {
  palette.assign(768, 0);
  for (int i = kRampFirst; i <= kRampLast; ++i) {
    const int t = i - kRampFirst;  // 0 .. 253
    palette[static_cast<size_t>(i * 3 + 0)] = static_cast<uint8_t>(4 + t * 26 / 253);
    palette[static_cast<size_t>(i * 3 + 1)] = static_cast<uint8_t>(8 + t * 40 / 253);
    palette[static_cast<size_t>(i * 3 + 2)] = static_cast<uint8_t>(18 + t * 66 / 253);
  }
  palette[kDevEnvWhite * 3 + 0] = palette[kDevEnvWhite * 3 + 1] = palette[kDevEnvWhite * 3 + 2] = 255;
}

// A small integer hash for a grain that does not repeat visibly.
int Grain(int x, int y) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return static_cast<int>((h ^ (h >> 16)) & 7) - 3;  // -3 .. 4
}

int Shade(int x, int y) {
  int v = 40 + y * 120 / (kDevEnvHeight - 1);  // darker at the top
  const int band = ((x + y * 2) / 6) % 64;     // soft diagonal bands
  v += band < 32 ? band / 4 : (63 - band) / 4;
  if (x % 32 == 0 || y % 32 == 0) v += 14;  // the grid
  v += Grain(x, y);
  return std::clamp(v, kRampFirst, kRampLast);
}

}  // namespace

Picture8 DevEnvPicture() {
  Picture8 picture;
  picture.width = kDevEnvWidth;
  picture.height = kDevEnvHeight;
  FillPalette(picture.palette);
  picture.pixels.resize(static_cast<size_t>(kDevEnvWidth * kDevEnvHeight));
  for (int y = 0; y < kDevEnvHeight; ++y)
    for (int x = 0; x < kDevEnvWidth; ++x)
      picture.pixels[static_cast<size_t>(y * kDevEnvWidth + x)] = static_cast<uint8_t>(Shade(x, y));
  return picture;
}

}  // namespace datagen
