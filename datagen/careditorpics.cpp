// Draws the car editors' pictures: flat shapes in a few colours, the title
// lettered with a small 5 x 7 font of its own.
#include "datagen/careditorpics.h"

#include <cstdint>
#include <cstdlib>

namespace datagen {
namespace {

constexpr uint32_t kOutline = 0x202020;  // near black: drawn, not transparent

// The title's letters, 5 x 7, one row a byte (bit 4 the left column).
struct Glyph {
  char c;
  uint8_t rows[7];
};
constexpr Glyph kGlyphs[] = {
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}}, {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {'N', {0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}}, {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}}, {' ', {0, 0, 0, 0, 0, 0, 0}}};

void Letter(Picture24* p, char c, int x, int y, int scale, uint32_t colour) {
  for (const Glyph& g : kGlyphs) {
    if (g.c != c) continue;
    for (int r = 0; r < 7; ++r)
      for (int k = 0; k < 5; ++k)
        if (g.rows[r] & (0x10 >> k))
          for (int dy = 0; dy < scale; ++dy)
            for (int dx = 0; dx < scale; ++dx) p->Set(x + k * scale + dx, y + r * scale + dy, colour);
  }
}

void Fill(Picture24* p, int x1, int y1, int x2, int y2, uint32_t colour) {
  for (int y = y1; y <= y2; ++y)
    for (int x = x1; x <= x2; ++x) p->Set(x, y, colour);
}

// A bevelled plate: light top-left, dark bottom-right.
Picture24 Plate(int w, int h, uint32_t face) {
  Picture24 p(w, h);
  Fill(&p, 0, 0, w - 1, h - 1, kOutline);
  Fill(&p, 1, 1, w - 2, h - 2, 0xD0D0D0);
  Fill(&p, 2, 2, w - 2, h - 2, 0x505050);
  Fill(&p, 2, 2, w - 3, h - 3, face);
  return p;
}

Picture24 Title(uint32_t band, uint32_t letters) {
  const char* text = "CAR PAINT";
  Picture24 p(300, 48);
  for (int y = 4; y < 44; ++y) Fill(&p, 0, y, 299 - (y % 8 == 0 ? 6 : 0), y, band);
  int x = 14;
  for (const char* c = text; *c; ++c, x += 30) Letter(&p, *c, x, 10, 4, letters);
  return p;
}

// An arrow pointing left (dir -1) or right (dir 1) on a plate.
Picture24 Arrow(int dir, bool pressed) {
  Picture24 p = Plate(40, 40, pressed ? 0xE0A020 : 0x3060A0);
  for (int y = 8; y <= 31; ++y) {
    const int half = 12 - std::abs(y - 20);
    for (int k = 0; k <= half; ++k) {
      const int x = dir < 0 ? 10 + (12 - half) + k : 29 - (12 - half) - k;
      p.Set(x, y, pressed ? 0xFFFFFF : 0xF0F0F0);
    }
  }
  return p;
}

Picture24 Quit(bool pressed) {
  Picture24 p = Plate(40, 40, pressed ? 0xF04040 : 0xA02020);
  for (int i = 10; i <= 29; ++i)
    for (int t = 0; t < 3; ++t) {
      p.Set(i, i + t - 1, 0xFFFFFF);
      p.Set(39 - i, i + t - 1, 0xFFFFFF);
    }
  return p;
}

// The dither switch: plain when off, a checker of two greens when on.
Picture24 Dither(bool on) {
  Picture24 p = Plate(40, 24, on ? 0x20C040 : 0x404040);
  for (int y = 5; y <= 18; ++y)
    for (int x = 5; x <= 34; ++x)
      if (on && (x + y) % 2 == 0) p.Set(x, y, 0x108020);
  return p;
}

Picture24 Track() {
  Picture24 p(12, 150);
  Fill(&p, 0, 0, 11, 149, kOutline);
  Fill(&p, 1, 1, 10, 148, 0x707070);
  Fill(&p, 5, 3, 6, 146, 0x181818);
  return p;
}

Picture24 Knob(bool held) {
  Picture24 p = Plate(20, 10, held ? 0xFFD040 : 0xC0C0C0);
  Fill(&p, 4, 4, 15, 5, held ? 0x806000 : 0x606060);
  return p;
}

// The mouse pointer and the inspector's cursor: an arrow, white with a
// dark edge, its tip at the top-left corner.
Picture24 Pointer(uint32_t face) {
  Picture24 p(12, 18);
  for (int y = 0; y < 18; ++y) {
    const int w = y < 12 ? y + 1 : 12 - (y - 12) * 2;
    for (int x = 0; x < w && x < 12; ++x)
      p.Set(x, y, x == 0 || x == w - 1 || y == 11 ? kOutline : face);
  }
  return p;
}

}  // namespace

std::vector<CarEditorPicture> CarEditorPictures() {
  return {
      {"INTERFAC/TITLES/CARA.TGA", Title(0x2040A0, 0xF0F0F0)},
      {"INTERFAC/TITLES/CARB.TGA", Title(0x3060E0, 0xFFE060)},
      {"INTERFAC/MOUSE/MOUSE.TGA", Pointer(0xFFFFFF)},
      {"INTERFAC/BOUTONS/LEFTA.TGA", Arrow(-1, false)},
      {"INTERFAC/BOUTONS/LEFTB.TGA", Arrow(-1, true)},
      {"INTERFAC/BOUTONS/RIGHTA.TGA", Arrow(1, false)},
      {"INTERFAC/BOUTONS/RIGHTB.TGA", Arrow(1, true)},
      {"INTERFAC/BOUTONS/QUITA.TGA", Quit(false)},
      {"INTERFAC/BOUTONS/QUITB.TGA", Quit(true)},
      {"INTERFAC/BOUTONS/VBARA.TGA", Track()},
      {"INTERFAC/BOUTONS/BARA.TGA", Knob(false)},
      {"INTERFAC/BOUTONS/BARB.TGA", Knob(true)},
      {"INTERFAC/BOUTONS/ERRORA.TGA", Dither(false)},
      {"INTERFAC/BOUTONS/ERRORB.TGA", Dither(true)},
      {"INTERFAC/CURSOR.TGA", Pointer(0x40FF40)},
  };
}

}  // namespace datagen
