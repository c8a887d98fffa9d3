// Procedural HUD pictures: dial faces with rims, ticks, numbers and a red
// zone, and small side views of cars.
#include "datagen/hudart.h"

#include <cmath>
#include <string>

#include "race/types.h"

namespace datagen {
namespace {

constexpr double kPi = 3.14159265358979323846;
// Both dials step one tick every eighth of a half turn: 20 km/h on the
// speedometer, 1000 rpm on the rev counter.
constexpr double kTick = kPi / 8;

// 3 x 5 digits, rows top to bottom, bit 2 the left column.
constexpr uint8_t kDigits[10][5] = {{7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7},
                                    {5, 5, 7, 1, 1}, {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1},
                                    {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7}};

struct Dial {
  int cx, cy, radius;
  int ticks;      // major ticks from 0
  int labelStep;  // a number every labelStep ticks
  int labelUnit;  // the number of a tick
  int redFrom;    // first tick of the red zone; past the last for none
};

constexpr uint32_t kFace = 0x181A22, kRim = 0xB4B4BE, kTickColour = 0xE6E6E6, kNumber = 0xC8C8D2;
constexpr uint32_t kRed = 0xC81E1E, kHub = 0x6E6E78, kGearBox = 0x2C303C;

// A point at distance r from the centre, turned by a from straight down.
void Polar(const Dial& d, double a, double r, double* x, double* y) {
  *x = d.cx - r * std::sin(a);
  *y = d.cy + r * std::cos(a);
}

void Disc(Picture24& p, double cx, double cy, double r, uint32_t colour) {
  for (int y = static_cast<int>(cy - r) - 1; y <= cy + r + 1; ++y)
    for (int x = static_cast<int>(cx - r) - 1; x <= cx + r + 1; ++x)
      if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) p.Set(x, y, colour);
}

// Pixels between radii r0 and r1 and angles a0 and a1.
void Band(Picture24& p, const Dial& d, double r0, double r1, double a0, double a1, uint32_t colour) {
  for (int y = d.cy - d.radius; y <= d.cy + d.radius; ++y)
    for (int x = d.cx - d.radius; x <= d.cx + d.radius; ++x) {
      const double dx = x - d.cx, dy = y - d.cy, r = std::sqrt(dx * dx + dy * dy);
      double a = std::atan2(-dx, dy);  // the needle's angle of this pixel
      if (a < 0) a += 2 * kPi;
      if (r >= r0 && r <= r1 && a >= a0 && a <= a1) p.Set(x, y, colour);
    }
}

void Line(Picture24& p, double x0, double y0, double x1, double y1, uint32_t colour) {
  const int steps = static_cast<int>(std::ceil(std::max(std::fabs(x1 - x0), std::fabs(y1 - y0)))) + 1;
  for (int i = 0; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    p.Set(static_cast<int>(std::lround(x0 + (x1 - x0) * t)),
          static_cast<int>(std::lround(y0 + (y1 - y0) * t)), colour);
  }
}

void Number(Picture24& p, int cx, int cy, int value, uint32_t colour) {
  const std::string text = std::to_string(value);
  const int width = static_cast<int>(text.size()) * 4 - 1;
  for (size_t i = 0; i < text.size(); ++i)
    for (int row = 0; row < 5; ++row)
      for (int col = 0; col < 3; ++col)
        if (kDigits[text[i] - '0'][row] >> (2 - col) & 1)
          p.Set(cx - width / 2 + static_cast<int>(i) * 4 + col, cy - 2 + row, colour);
}

void DrawDial(Picture24& p, const Dial& d) {
  Disc(p, d.cx, d.cy, d.radius, kRim);
  Disc(p, d.cx, d.cy, d.radius - 2, kFace);
  Band(p, d, d.radius - 9, d.radius - 4, d.redFrom * kTick, d.ticks * kTick, kRed);
  for (int k = 0; k <= 2 * d.ticks; ++k) {
    double x0, y0, x1, y1;
    const bool major = k % 2 == 0;
    Polar(d, k * kTick / 2, d.radius - (major ? 10 : 7), &x0, &y0);
    Polar(d, k * kTick / 2, d.radius - 4, &x1, &y1);
    Line(p, x0, y0, x1, y1, kTickColour);
    if (!major || (k / 2) % d.labelStep) continue;
    double lx, ly;
    Polar(d, k * kTick / 2, d.radius - 17, &lx, &ly);
    Number(p, static_cast<int>(std::lround(lx)), static_cast<int>(std::lround(ly)), k / 2 * d.labelUnit,
           kNumber);
  }
}

}  // namespace

Picture24 CounterPicture() {
  Picture24 p(kCounterWidth, kCounterHeight);
  const Dial rev{SB_REVNEEDLEX, SB_NEEDLEY, 50, 8, 1, 1, 7};
  const Dial speed{SB_SPEEDNEEDLEX, SB_NEEDLEY, 54, 15, 2, 20, 16};
  DrawDial(p, rev);
  DrawDial(p, speed);  // over the rev counter's unused right half
  for (int y = 57; y <= 78; ++y)
    for (int x = 119; x <= 149; ++x) p.Set(x, y, kGearBox);
  Disc(p, rev.cx, rev.cy, 4, kHub);
  Disc(p, speed.cx, speed.cy, 4, kHub);
  return p;
}

Picture24 CarPicture(int number) {
  static constexpr uint32_t kBodies[8] = {0xD02020, 0x2050D0, 0xE0C020, 0x20A040,
                                          0xE8E8E8, 0xE07010, 0x8030B0, 0x20B8C8};
  const uint32_t body = kBodies[(number - 1) & 7];
  Picture24 p(kCarPictureWidth, kCarPictureHeight);
  for (int y = 7; y <= 15; ++y)
    for (int x = 2 + (y < 10 ? 10 - y : 0); x <= 69 - (y < 11 ? 11 - y : 0); ++x) p.Set(x, y, body);
  for (int y = 1; y <= 7; ++y)
    for (int x = 24 - y; x <= 44 + y / 2; ++x) p.Set(x, y, y < 3 ? body : 0x78AADC);
  Line(p, 34, 2, 34, 7, body);  // the door pillar
  for (const int wx : {16, 56}) {
    Disc(p, wx, 15, 4.5, 0x1E1E1E);
    Disc(p, wx, 15, 1.5, 0x969696);
  }
  return p;
}

}  // namespace datagen
