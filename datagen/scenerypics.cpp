// The scenery's pictures: window clouds from tileable value noise, and the
// lit and unlit LED dots.
#include "datagen/scenerypics.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

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

}  // namespace datagen
