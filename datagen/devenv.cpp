// The console background: a night-blue vertical gradient crossed by a
// faint grid and soft diagonal bands, in the dark ramp of palette entries
// 1 to 39. Entries 40 to 255 hold a 6 x 6 x 6 colour cube (its white
// last), so that pictures remapped into the console's palette (VIEWIMAGE)
// keep their colours. Everything is computed in integers, so every run gives the
// same bytes.
#include "datagen/devenv.h"

#include <algorithm>

namespace datagen {
namespace {

constexpr int kRampFirst = 1, kRampLast = 39;
constexpr int kCubeFirst = kRampLast + 1, kCubeSide = 6;  // entries 40 to 255
constexpr int kShadeLow = 36, kShadeHigh = 186;           // the shades the picture uses

void SetEntry(std::vector<uint8_t>& palette, int entry, int red, int green, int blue) {
  palette[static_cast<size_t>(entry * 3 + 0)] = static_cast<uint8_t>(red);
  palette[static_cast<size_t>(entry * 3 + 1)] = static_cast<uint8_t>(green);
  palette[static_cast<size_t>(entry * 3 + 2)] = static_cast<uint8_t>(blue);
}

// The ramp: from near black to a muted steel blue, never brighter than a
// third of white, so white text keeps its contrast; then the cube, its
// levels evenly from 0 to 255, blue varying fastest.
void FillPalette(std::vector<uint8_t>& palette) {
  palette.assign(768, 0);
  constexpr int steps = kRampLast - kRampFirst;
  for (int i = kRampFirst; i <= kRampLast; ++i) {
    const int t = kShadeLow + (i - kRampFirst) * (kShadeHigh - kShadeLow) / steps;  // its shade
    SetEntry(palette, i, 4 + t * 26 / 253, 8 + t * 40 / 253, 18 + t * 66 / 253);
  }
  constexpr int level = 255 / (kCubeSide - 1);
  for (int r = 0; r < kCubeSide; ++r)
    for (int g = 0; g < kCubeSide; ++g)
      for (int b = 0; b < kCubeSide; ++b)
        SetEntry(palette, kCubeFirst + (r * kCubeSide + g) * kCubeSide + b, r * level, g * level, b * level);
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
  const int shade = std::clamp(v, kShadeLow, kShadeHigh) - kShadeLow;
  return kRampFirst +
         (shade * (kRampLast - kRampFirst) + (kShadeHigh - kShadeLow) / 2) / (kShadeHigh - kShadeLow);
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
