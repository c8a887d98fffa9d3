// The busy cursor's wheel: a grey tyre and rim, a hub and six spokes,
// each pixel lit by its distance from the centre and from the nearest
// spoke's line.
#include "datagen/busycursor.h"

#include <cmath>

namespace datagen {

TgaImage BusyCursorImage(int frame) {
  constexpr int kSide = 32, kSpokes = 6;
  constexpr double kPi = 3.141592653589793;
  const double spoke = 2.0 * kPi / kSpokes;
  const double turn = spoke * frame / kBusyCursorFrames;
  TgaImage image;
  image.width = image.height = kSide;
  image.depth = 24;
  image.pixels.assign(static_cast<size_t>(kSide) * kSide * 3, 0);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      const double dx = x + 0.5 - kSide / 2.0, dy = y + 0.5 - kSide / 2.0;
      const double r = std::hypot(dx, dy);
      // The angle from the nearest spoke, in -spoke/2..spoke/2.
      double a = std::fmod(std::atan2(dy, dx) - turn + 4.0 * kPi, spoke);
      if (a > spoke / 2) a -= spoke;
      uint8_t v = 0;
      if (r <= 15.0 && r >= 12.0)
        v = 0x70;  // the tyre
      else if (r < 12.0 && r >= 10.5)
        v = 0xC0;  // the rim
      else if (r < 3.0)
        v = 0xE0;  // the hub
      else if (r < 10.5 && std::fabs(r * std::sin(a)) < 1.1)
        v = 0xF0;  // a spoke
      uint8_t* p = &image.pixels[(static_cast<size_t>(y) * kSide + x) * 3];
      p[0] = p[1] = p[2] = v;
    }
  return image;
}

}  // namespace datagen
