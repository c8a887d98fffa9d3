// Draws the sky, ground, star and lens-flare pictures from periodic
// functions, so that the tiled ones join without seams.
#include "datagen/skypics.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace datagen {

namespace {

constexpr double kTwoPi = 6.283185307179586;

// A sum of waves whose whole periods fit the tile: 0..1.
double Waves(double u, double v, const int (*terms)[3], int count) {
  double sum = 0.0, weight = 0.0;
  for (int k = 0; k < count; ++k) {
    const double a = 1.0 / (k + 1);
    sum += a * std::sin(kTwoPi * (terms[k][0] * u + terms[k][1] * v) + terms[k][2]);
    weight += a;
  }
  return 0.5 + 0.5 * sum / weight;
}

uint8_t Byte(double v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

}  // namespace

Picture24 SkyPicture() {
  static const int kTerms[][3] = {{1, 2, 0}, {3, -1, 2}, {2, 5, 4}, {-5, 3, 1}, {7, 4, 3}, {9, -8, 5}};
  Picture24 p(kSkySide, kSkySide);
  for (int y = 0; y < kSkySide; ++y)
    for (int x = 0; x < kSkySide; ++x) {
      const double n = Waves(static_cast<double>(x) / kSkySide, static_cast<double>(y) / kSkySide, kTerms, 6);
      const double cloud = std::clamp((n - 0.5) * 3.5, 0.0, 1.0);
      p.Set(x, y, Byte(80 + 170 * cloud), Byte(135 + 115 * cloud), Byte(225 + 25 * cloud));
    }
  return p;
}

Picture24 GroundPicture() {
  static const int kTerms[][3] = {{2, 1, 0}, {-3, 4, 1}, {6, 5, 2}, {11, -7, 3}, {13, 12, 4}};
  Picture24 p(kGroundSide, kGroundSide);
  for (int y = 0; y < kGroundSide; ++y)
    for (int x = 0; x < kGroundSide; ++x) {
      const double n =
          Waves(static_cast<double>(x) / kGroundSide, static_cast<double>(y) / kGroundSide, kTerms, 5);
      const double grain = ((x * 37 + y * 91) * 2654435761u >> 27 & 7) / 7.0;
      p.Set(x, y, Byte(60 + 50 * n + 10 * grain), Byte(95 + 45 * n + 12 * grain), Byte(40 + 20 * n));
    }
  return p;
}

Picture24 StarsPicture() {
  Picture24 p(kStarsSide, kStarsSide);
  uint32_t seed = 12345;
  for (int k = 0; k < 7; ++k) {
    seed = seed * 1103515245u + 12345u;
    const int x = static_cast<int>(seed >> 16) % kStarsSide;
    seed = seed * 1103515245u + 12345u;
    const int y = static_cast<int>(seed >> 16) % kStarsSide;
    const uint8_t c = k % 3 == 0 ? 255 : 170;
    p.Set(x, y, c, c, c);
    if (k == 0) p.Set((x + 1) % kStarsSide, y, 120, 120, 140);
  }
  return p;
}

TgaImage FlareImage(int index) {
  const int side = index == 0 ? kGlowSide : kFlareSide;
  TgaImage image{side, side, 32, std::vector<uint8_t>(static_cast<size_t>(side) * side * 4), {}};
  const double centre = (side - 1) / 2.0, radius = side / 2.0;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      const double d = std::hypot(x - centre, y - centre) / radius;
      double a = 0.0;
      if (index == 0) {
        a = std::pow(std::clamp(1.0 - d, 0.0, 1.0), 1.6);  // the soft glow round the sun
      } else if (index % 3 == 1) {
        a = std::clamp(1.0 - std::fabs(d - 0.75) * 6.0, 0.0, 1.0);  // a ring
      } else if (index % 3 == 2) {
        a = std::clamp((1.0 - d) * 3.0, 0.0, 1.0) * 0.7;  // a disc with a soft rim
      } else {
        const double h =
            std::max(std::fabs(x - centre), std::fabs(y - centre) * 0.866 + std::fabs(x - centre) * 0.5);
        a = std::clamp((radius * 0.9 - h) / 3.0, 0.0, 1.0) * 0.6;  // a hexagon
      }
      uint8_t* px = &image.pixels[(static_cast<size_t>(y) * side + x) * 4];
      px[0] = 255, px[1] = 255, px[2] = 255, px[3] = Byte(255 * a);  // blue, green, red, alpha
    }
  return image;
}

}  // namespace datagen
