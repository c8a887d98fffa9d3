// The 3D palette: entries 0 to 191 a cube of 6 reds, 8 greens and 4 blues
// (the eye tells greens apart best and blues least), 192 to 254 a grey
// ramp, and 255 the HUD fonts' background, which no other entry equals so
// that a font's background always lands on it.
#include "datagen/palette3d.h"

#include <algorithm>

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

namespace {

constexpr int kSide = 64;

// An entry of the colour cube (red 0..5, green 0..7, blue 0..3) or of the
// grey ramp (0..62).
uint8_t Cube(int r, int g, int b) { return static_cast<uint8_t>(kPaletteCubeFirst + (r * 8 + g) * 4 + b); }
uint8_t Grey(int k) { return static_cast<uint8_t>(kPaletteGreyFirst + k); }

// The texel at (x across, y along) with its grain (0..7).
uint8_t RoadTexel(RoadKind kind, int x, int y, int grain) {
  switch (kind) {
    case RoadKind::Road: {
      const bool edge = x == 2 || x == 3 || x == 60 || x == 61;
      const bool centre = (x == 31 || x == 32) && y % 32 < 16;
      return edge || centre ? Grey(60) : Grey(20 + grain);
    }
    case RoadKind::Kerb: {
      const int side = std::min(x, kSide - 1 - x);  // texels from the nearer edge
      if (side < 2) return Cube(1, 5, 0);                           // green verge
      if (side < 6) return y % 16 < 8 ? Cube(5, 0, 0) : Grey(62);  // kerb, red and white
      return Grey(11 + grain);                                      // dark asphalt
    }
    case RoadKind::Wall:
      return y % 16 == 0 || x == 31 ? Grey(6) : Grey(44 + grain / 2);
    case RoadKind::Gutter:
      return Grey(40 + grain);
    case RoadKind::SecondStrip:
      return Grey(26 + grain);
  }
  return 0;
}

}  // namespace

Picture8 RoadPicture(RoadKind kind) {
  Picture8 picture;
  picture.width = picture.height = kSide;
  uint32_t seed = 5;
  for (int i = 0; i < kSide * kSide; ++i) {
    seed = seed * 1664525u + 1013904223u;
    picture.pixels.push_back(RoadTexel(kind, i % kSide, i / kSide, static_cast<int>(seed >> 29)));
  }
  picture.palette = TexturePalette();
  return picture;
}

Picture24 RoadPicture24(RoadKind kind) {
  const Picture8 road = RoadPicture(kind);
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
