// Procedural pictures around a race: block-letter texts on gradients, and
// the meters' panel of frames and bar scales.
#include "datagen/sessionart.h"

#include <cstring>

namespace datagen {
namespace {

struct Glyph {
  char c;
  uint8_t rows[7];  // 5 columns each, bit 4 the left one
};

// clang-format off
constexpr Glyph kGlyphs[] = {
    {'A', {14, 17, 17, 31, 17, 17, 17}}, {'C', {14, 17, 16, 16, 16, 17, 14}},
    {'E', {31, 16, 16, 30, 16, 16, 31}}, {'I', {14, 4, 4, 4, 4, 4, 14}},
    {'K', {17, 18, 20, 24, 20, 18, 17}}, {'L', {16, 16, 16, 16, 16, 16, 31}},
    {'M', {17, 27, 21, 21, 17, 17, 17}}, {'N', {17, 25, 21, 19, 17, 17, 17}},
    {'O', {14, 17, 17, 17, 17, 17, 14}}, {'P', {30, 17, 17, 30, 16, 16, 16}},
    {'R', {30, 17, 17, 30, 20, 18, 17}}, {'S', {15, 16, 16, 14, 1, 1, 30}},
    {'T', {31, 4, 4, 4, 4, 4, 4}},       {'V', {17, 17, 17, 17, 17, 10, 4}},
    {'W', {17, 17, 17, 21, 21, 21, 10}}, {'Z', {31, 1, 2, 4, 8, 16, 31}},
};
// clang-format on

const Glyph* Find(char c) {
  for (const Glyph& g : kGlyphs)
    if (g.c == c) return &g;
  return nullptr;
}

// Each glyph takes 6 columns (one blank) of scale x scale pixels.
int TextWidth(const char* text, int scale) { return (static_cast<int>(std::strlen(text)) * 6 - 1) * scale; }

void Text(Picture24& p, const char* text, int y, int scale, uint32_t colour) {
  int x = (p.width - TextWidth(text, scale)) / 2;
  for (const char* c = text; *c; ++c, x += 6 * scale) {
    const Glyph* g = Find(*c);
    if (!g) continue;
    for (int row = 0; row < 7; ++row)
      for (int col = 0; col < 5; ++col) {
        if (!(g->rows[row] >> (4 - col) & 1)) continue;
        for (int dy = 0; dy < scale; ++dy)
          for (int dx = 0; dx < scale; ++dx) p.Set(x + col * scale + dx, y + row * scale + dy, colour);
      }
  }
}

// Top to bottom from one colour to the other.
Picture24 Gradient(int width, int height, uint32_t top, uint32_t bottom) {
  Picture24 p(width, height);
  for (int y = 0; y < height; ++y) {
    uint32_t colour = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      const int a = top >> shift & 0xFF, b = bottom >> shift & 0xFF;
      colour |= static_cast<uint32_t>(a + (b - a) * y / (height > 1 ? height - 1 : 1)) << shift;
    }
    for (int x = 0; x < width; ++x) p.Set(x, y, colour);
  }
  return p;
}

}  // namespace

Picture24 PleaseWaitPicture() {
  Picture24 p = Gradient(320, 64, 0x1C2A5A, 0x0A0E22);
  Text(p, "PLEASE WAIT", 18, 4, 0xF0F0F0);
  return p;
}

Picture24 LogoPicture() {
  Picture24 p = Gradient(640, 480, 0x000000, 0x3A1406);
  Text(p, "TAMRISK", 190, 12, 0xE8A030);
  return p;
}

Picture24 InfoPagePicture() {
  Picture24 p = Gradient(480, 240, 0x102040, 0x040810);
  Text(p, "ZENTROVA RACE", 50, 5, 0xF0D040);
  Text(p, "PRESS SPACE", 150, 4, 0xE0E0E0);
  return p;
}

Picture8 MeterPicture() {
  Picture8 m;
  m.width = kMeterWidth;
  m.height = kMeterHeight;
  m.palette.assign(256 * 3, 0);
  // 0 black (transparent over the race), 1..64 a grey ramp, 65..128 green
  // to red.
  for (int i = 1; i <= 64; ++i) std::memset(&m.palette[i * 3], (i - 1) * 4, 3);
  for (int i = 0; i < 64; ++i) {
    m.palette[(65 + i) * 3] = static_cast<uint8_t>(i * 4);
    m.palette[(65 + i) * 3 + 1] = static_cast<uint8_t>(252 - i * 4);
  }
  m.pixels.assign(static_cast<size_t>(m.width * m.height), 0);
  auto fill = [&](int x1, int y1, int x2, int y2, uint8_t colour) {
    for (int y = y1; y <= y2; ++y)
      for (int x = x1; x <= x2; ++x) m.pixels[static_cast<size_t>(y * m.width + x)] = colour;
  };
  // A car seen from above, front up: the axles, the body with its
  // windscreen and rear window, and a framed box at each wheel, where the
  // physics meters draw the wheel's slip bar.
  fill(22, 14, 86, 16, 20);
  fill(22, 94, 86, 96, 20);
  fill(30, 6, 78, 104, 48);
  fill(32, 8, 76, 102, 34);
  fill(36, 30, 72, 42, 12);
  fill(36, 84, 72, 92, 12);
  for (const int x : {1, 85})
    for (const int y : {1, 81}) {
      fill(x, y, x + 22, y + 29, 60);
      fill(x + 1, y + 1, x + 21, y + 28, 6);
    }
  return m;
}

}  // namespace datagen
