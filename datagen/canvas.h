// Drawing on 0xAARRGGBB canvases for the generated pictures: blends,
// rounded boxes, rectangles, discs, arrows, text stamped from the
// interface's glyph sheets, and the TGA pixels of a canvas.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "datagen/menufonts.h"
#include "datagen/tgawrite.h"

#include <algorithm>
#include <cmath>

namespace datagen {

// A 0xAARRGGBB canvas.
struct Canvas {
  int w = 0, h = 0;
  std::vector<uint32_t> px;
  Canvas(int width, int height, uint32_t fill = 0) : w(width), h(height), px(size_t(width) * height, fill) {}
  uint32_t& At(int x, int y) { return px[size_t(y) * w + x]; }
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
};

inline uint32_t Argb(uint32_t alpha, uint32_t rgb) { return alpha << 24 | (rgb & 0xFFFFFF); }

inline uint32_t Mix(uint32_t a, uint32_t b, double t) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const double ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
    out |= uint32_t(std::lround(ca + (cb - ca) * t)) << shift;
  }
  return out;
}

// Ink of the given coverage laid over a pixel: colour mixed, alpha kept at
// least the ink's.
inline void Blend(Canvas* c, int x, int y, uint32_t rgb, uint32_t coverage) {
  if (!c->Inside(x, y) || !coverage) return;
  uint32_t& p = c->At(x, y);
  const uint32_t alpha = std::max(p >> 24, coverage);
  const uint32_t mixed = Mix(p, rgb, coverage / 255.0) & 0xFFFFFF;
  p = Argb(alpha, mixed);
}

// A rounded box from (x0, y0), w x h, the corners' radius r, shaded from
// top to bottom, its edge softened over two pixels.
inline void RoundBox(Canvas* c, int x0, int y0, int w, int h, int r, uint32_t top, uint32_t bottom, uint32_t alpha) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double dx = std::max({0, r - x, x - (w - 1 - r)}), dy = std::max({0, r - y, y - (h - 1 - r)});
      const double edge = r - std::sqrt(dx * dx + dy * dy);
      if (edge <= 0) continue;
      const double soft = std::min(1.0, edge / 2.0);
      const uint32_t rgb = Mix(top, bottom, h > 1 ? double(y) / (h - 1) : 0) & 0xFFFFFF;
      if (c->Inside(x0 + x, y0 + y)) c->At(x0 + x, y0 + y) = Argb(uint32_t(alpha * soft), rgb);
    }
}

inline void Rect(Canvas* c, int x0, int y0, int w, int h, uint32_t argb) {
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x)
      if (c->Inside(x, y)) c->At(x, y) = argb;
}

inline void Disc(Canvas* c, int cx, int cy, int r, uint32_t argb) {
  for (int y = -r; y <= r; ++y)
    for (int x = -r; x <= r; ++x)
      if (x * x + y * y <= r * r && c->Inside(cx + x, cy + y)) c->At(cx + x, cy + y) = argb;
}

// A filled triangle pointing left (dir -1), right (1), up (-2) or down (2).
inline void Arrow(Canvas* c, int cx, int cy, int size, int dir, uint32_t argb) {
  for (int a = 0; a <= size; ++a)
    for (int b = -a / 2; b <= a / 2; ++b) {
      const int along = dir < 0 ? a - size / 2 : size / 2 - a;
      const bool horizontal = dir == -1 || dir == 1;
      const int x = horizontal ? cx + along : cx + b, y = horizontal ? cy + b : cy + along;
      if (c->Inside(x, y)) c->At(x, y) = argb;
    }
}

// A glyph sheet of the interface: 16 cells a row.
struct Sheet {
  TgaImage image;
  MenuFont font;
  int Ink(int cx, int cy, int x, int y) const {
    return image.pixels[(size_t(cy * font.cellHeight + y) * image.width + cx * font.cellWidth + x) * 4 + 3];
  }
  // Columns of the character holding ink; a third of the cell for a blank.
  int Width(char ch) const {
    const int i = ch - font.first;
    if (i <= 0 || i >= font.count) return font.cellWidth / 3;
    int right = 0;
    for (int y = 0; y < font.cellHeight; ++y)
      for (int x = 0; x < font.cellWidth; ++x)
        if (Ink(i % 16, i / 16, x, y)) right = std::max(right, x + 1);
    return right;
  }
  int TextWidth(const std::string& text, int scale) const {
    int w = 0;
    for (char ch : text) w += (Width(ch) + 2) * scale;
    return w > 0 ? w - 2 * scale : 0;
  }
  void Draw(Canvas* c, const std::string& text, int x, int y, int scale, uint32_t rgb) const {
    for (char ch : text) {
      const int i = ch - font.first;
      if (i > 0 && i < font.count)
        for (int gy = 0; gy < font.cellHeight * scale; ++gy)
          for (int gx = 0; gx < font.cellWidth * scale; ++gx)
            Blend(c, x + gx, y + gy, rgb, uint32_t(Ink(i % 16, i / 16, gx / scale, gy / scale)));
      x += (Width(ch) + 2) * scale;
    }
  }
  // The text centred on (cx, cy).
  void Centred(Canvas* c, const std::string& text, int cx, int cy, int scale, uint32_t rgb) const {
    Draw(c, text, cx - TextWidth(text, scale) / 2, cy - font.cellHeight * scale / 2, scale, rgb);
  }
};

struct Fonts {
  Sheet big, small;
};

// The big and small glyph sheets rasterised from the font file; false
// with the reason when it cannot be used.
inline bool LoadFonts(const std::string& fontFile, Fonts* f, std::string* error) {
  f->big.font = kMenuFonts[0];
  f->small.font = kMenuFonts[1];
  return MenuFontImage(fontFile, f->big.font, &f->big.image, error) &&
         MenuFontImage(fontFile, f->small.font, &f->small.image, error);
}

inline TgaImage ToTga(const Canvas& c, int depth) {
  TgaImage image;
  image.width = c.w, image.height = c.h, image.depth = depth;
  for (uint32_t p : c.px) {
    image.pixels.push_back(uint8_t(p));
    image.pixels.push_back(uint8_t(p >> 8));
    image.pixels.push_back(uint8_t(p >> 16));
    if (depth == 32) image.pixels.push_back(uint8_t(p >> 24));
  }
  return image;
}

}  // namespace datagen
