// The scenery's pictures: window clouds from tileable value noise, and the
// lit and unlit LED dots.
#include "datagen/scenerypics.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "datagen/palette3d.h"

namespace datagen {

namespace {

// A lattice value in 0..1, the same for every run.
double Lattice(int x, int y, int seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
               static_cast<uint32_t>(seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return ((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
}

// Smooth noise over a lattice of `cells` cells across the side, wrapping.
double Noise(double u, double v, int cells, int seed) {
  const double x = u * cells, y = v * cells;
  const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
  const double fx = x - x0, fy = y - y0;
  const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
  auto at = [&](int i, int j) { return Lattice((i % cells + cells) % cells, (j % cells + cells) % cells, seed); };
  const double top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * sx;
  const double bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * sx;
  return top + (bottom - top) * sy;
}

}  // namespace

Picture24 CloudPicture(int variant) {
  Picture24 p(kCloudSide, kCloudSide);
  const double sky[3] = {variant ? 120.0 : 60.0, variant ? 150.0 : 110.0, variant ? 190.0 : 200.0};
  for (int y = 0; y < kCloudSide; ++y)
    for (int x = 0; x < kCloudSide; ++x) {
      const double u = static_cast<double>(x) / kCloudSide, v = static_cast<double>(y) / kCloudSide;
      const double n = 0.6 * Noise(u, v, 4, 1 + variant) + 0.3 * Noise(u, v, 8, 7) + 0.1 * Noise(u, v, 16, 11);
      const double cloud = std::clamp((n - 0.45) * 3.0, 0.0, 1.0);
      uint8_t c[3];
      for (int k = 0; k < 3; ++k) c[k] = static_cast<uint8_t>(std::lround(sky[k] + (235.0 - sky[k]) * cloud));
      p.Set(x, y, c[0], c[1], c[2]);
    }
  return p;
}

Picture24 FumeePicture() {
  Picture24 p(kFumeeSide, kFumeeSide);
  const double centre = (kFumeeSide - 1) / 2.0, radius = kFumeeSide / 2.0;
  for (int y = 0; y < kFumeeSide; ++y)
    for (int x = 0; x < kFumeeSide; ++x) {
      const double u = static_cast<double>(x) / kFumeeSide, v = static_cast<double>(y) / kFumeeSide;
      const double d = std::hypot(x - centre, y - centre) / radius;
      const double lumps = 0.8 + 0.4 * Noise(u, v, 4, 23);
      const double fall = std::clamp(1.0 - d * lumps, 0.0, 1.0);
      const auto c = static_cast<uint8_t>(std::lround(235.0 * fall * fall * (3.0 - 2.0 * fall)));
      p.Set(x, y, c, c, c);
    }
  return p;
}

Picture24 DiodePicture(bool lit) {
  // A round dot: the four corners dark, the middle brightest.
  Picture24 p(kDiodeSide, kDiodeSide, 8, 8, 8);
  const uint32_t rim = lit ? 0xE0A020 : 0x302810, core = lit ? 0xFFE060 : 0x403820;
  for (int y = 0; y < kDiodeSide; ++y)
    for (int x = 0; x < kDiodeSide; ++x) {
      const bool corner = (x == 0 || x == 3) && (y == 0 || y == 3);
      const bool middle = x >= 1 && x <= 2 && y >= 1 && y <= 2;
      if (!corner) p.Set(x, y, middle ? core : rim);
    }
  return p;
}

namespace {

// A filled disc of radius r about (cx, cy), in a picture drawn at twice the
// size it is designed for.
void Disc(Picture24& p, double cx, double cy, double r, uint32_t colour, uint32_t rim) {
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const double d = std::hypot((x + 0.5) / 2 - cx, (y + 0.5) / 2 - cy);
      if (d <= r) p.Set(x, y, d > r - 1.0 ? rim : colour);
    }
}

}  // namespace

Picture24 LedPanelPicture() {
  // Dark housing with the unlit dots of 8 x 8 texels, as the panels draw them.
  Picture24 p(256, 64, 20, 20, 24);
  const Picture24 off = DiodePicture(false);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 256; ++x) p.Set(x, y, off.Get(x & 3, y & 3));
  return p;
}

Picture24 StartLampsPicture(bool lit) {
  // Designed at 128 x 64: countdown lamps in rows 6 to 35, go lamps in rows
  // 36 to 60, columns 5 to 124.
  Picture24 p(256, 128, 24, 24, 28);
  for (int i = 0; i < 4; ++i) {
    const double x = 20 + 29 * i;
    Disc(p, x, 21, 12, lit ? 0xFF3020 : 0x501010, 0x101010);
    Disc(p, x, 48, 10, lit ? 0x40FF40 : 0x104010, 0x101010);
  }
  return p;
}

Picture24 RoadLightPicture() {
  // Four lamps of 16 x 16 texels at x 2, 37, 75, 110, y 1 (halved on the
  // card at scale 2), the first lit: the animation moves it along.
  Picture24 p(128, 32, 30, 30, 34);
  const int places[4] = {2, 37, 75, 110};
  for (int i = 0; i < 4; ++i)
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        if (std::hypot(x - 7.5, y - 7.5) <= 7.5) p.Set(places[i] + x, 1 + y, i == 0 ? 0xFFD040 : 0x403010);
  return p;
}

Picture24 DecofonPicture(int variant) {
  constexpr int kFlatSky = 40, kHorizon = 260, kPeriod = 128;
  const double skyTop[3] = {70, 110, 190}, skyLow[3] = {175, 200, 230};
  const double land[2][3] = {{60, 120, 50}, {110, 96, 84}};
  Picture24 p(kDecofonWidth, kDecofonHeight);
  for (int x = 0; x < kDecofonWidth; ++x) {
    const double u = static_cast<double>(x % kPeriod) / kPeriod;
    const double n = 0.7 * Noise(u, 0.5, 4, 31 + variant) + 0.3 * Noise(u, 0.25, 16, 37 + variant);
    const int ridge = static_cast<int>(std::lround((variant ? 130 : 170) + n * (variant ? 130 : 80)));
    for (int y = 0; y < kDecofonHeight; ++y) {
      uint8_t c[3];
      if (y < ridge) {
        const double t = std::clamp(static_cast<double>(y - kFlatSky) / (kHorizon - kFlatSky), 0.0, 1.0);
        for (int k = 0; k < 3; ++k) c[k] = static_cast<uint8_t>(std::lround(skyTop[k] + (skyLow[k] - skyTop[k]) * t));
      } else {
        // Darker far up the slopes, lighter toward the viewer; rocky peaks
        // get snow caps.
        const double shade = 0.7 + 0.5 * std::clamp((y - 150.0) / 330.0, 0.0, 1.0);
        const double grain = 0.85 + 0.3 * Noise(u, y / 120.0, 8, 41 + variant);
        const bool capped = variant && y < ridge + 14 && ridge < 175;
        for (int k = 0; k < 3; ++k) {
          const double v = capped ? 235.0 : land[variant][k] * shade * grain;
          c[k] = static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
        }
      }
      p.Set(x, y, c[0], c[1], c[2]);
    }
  }
  return p;
}

Picture8 InTexturePalette(const Picture24& picture) {
  const std::vector<uint8_t> palette = TexturePalette();
  Picture8 out{picture.width, picture.height, {}, palette};
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) {
      const uint32_t c = picture.Get(x, y);
      int best = 0;
      long bestDistance = -1;
      for (int k = 0; k < 255; ++k) {
        const long dr = static_cast<long>(c >> 16) - palette[3 * k], dg = static_cast<long>(c >> 8 & 255) - palette[3 * k + 1],
                   db = static_cast<long>(c & 255) - palette[3 * k + 2];
        const long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) best = k, bestDistance = d;
      }
      out.pixels.push_back(static_cast<uint8_t>(best));
    }
  return out;
}

}  // namespace datagen
