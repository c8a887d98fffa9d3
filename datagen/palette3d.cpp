// The 3D palette: entries 0 to 191 a cube of 6 reds, 8 greens and 4 blues
// (the eye tells greens apart best and blues least), 192 to 254 a grey
// ramp, and 255 the HUD fonts' background, which no other entry equals so
// that a font's background always lands on it.
#include "datagen/palette3d.h"

#include "race/types.h"

namespace datagen {
namespace {

constexpr int kReds = 6, kGreens = 8, kBlues = 4, kGreys = 63;

// A 6-bit level (0..63) as the 8-bit byte whose top six bits it is.
uint8_t Byte(int level) { return static_cast<uint8_t>(level << 2 | level >> 4); }

void Put(std::vector<uint8_t>& p, int index, int r, int g, int b) {
  p[static_cast<size_t>(index) * 3 + 0] = Byte(r);
  p[static_cast<size_t>(index) * 3 + 1] = Byte(g);
  p[static_cast<size_t>(index) * 3 + 2] = Byte(b);
}

}  // namespace

std::vector<uint8_t> TexturePalette() {
  std::vector<uint8_t> p(768, 0);
  const int reserved[3] = {SB_FONTBACK_RED / 4, SB_FONTBACK_GREEN / 4, SB_FONTBACK_BLUE / 4};
  for (int r = 0; r < kReds; ++r)
    for (int g = 0; g < kGreens; ++g)
      for (int b = 0; b < kBlues; ++b) {
        int level[3] = {r * 63 / (kReds - 1), g * 63 / (kGreens - 1), b * 63 / (kBlues - 1)};
        // The cube's corner that is the reserved colour moves one step.
        if (level[0] == reserved[0] && level[1] == reserved[1] && level[2] == reserved[2]) --level[2];
        Put(p, kPaletteCubeFirst + (r * kGreens + g) * kBlues + b, level[0], level[1], level[2]);
      }
  for (int k = 0; k < kGreys; ++k) {
    const int grey = (k * 63 + (kGreys - 1) / 2) / (kGreys - 1);
    Put(p, kPaletteGreyFirst + k, grey, grey, grey);
  }
  Put(p, kPaletteReserved, reserved[0], reserved[1], reserved[2]);
  return p;
}

Picture8 RoadPicture(int grey) {
  Picture8 picture;
  picture.width = picture.height = 64;
  uint32_t seed = 5;
  for (int i = 0; i < 64 * 64; ++i) {
    seed = seed * 1664525u + 1013904223u;
    picture.pixels.push_back(static_cast<uint8_t>(kPaletteGreyFirst + grey + (seed >> 29)));
  }
  picture.palette = TexturePalette();
  return picture;
}

Picture24 RoadPicture24(int grey) {
  const Picture8 road = RoadPicture(grey);
  Picture24 picture(road.width, road.height);
  for (int y = 0; y < road.height; ++y)
    for (int x = 0; x < road.width; ++x) {
      const uint8_t* c = &road.palette[road.pixels[static_cast<size_t>(y) * road.width + x] * 3u];
      picture.Set(x, y, c[0], c[1], c[2]);
    }
  return picture;
}

Picture8 TexturePalettePicture() {
  Picture8 picture;
  picture.width = picture.height = 16;
  for (int i = 0; i < 256; ++i) picture.pixels.push_back(static_cast<uint8_t>(i));
  picture.palette = TexturePalette();
  return picture;
}

}  // namespace datagen
