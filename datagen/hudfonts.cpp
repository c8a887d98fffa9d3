// Rasterises the race fonts with FreeType: each glyph is thresholded to
// ink, slanted, coloured with a vertical gradient and ringed with a dark
// outline, then placed on the strip with one background column between
// glyphs.
#include "datagen/hudfonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <vector>

#include "race/types.h"

namespace datagen {
namespace {

struct Style {
  uint32_t top, bottom;  // gradient of the ink, 0xRRGGBB
  uint32_t outline;
  int border;    // outline width: 0 or 1
  double slant;  // horizontal shear
};

constexpr Style kStyles[SB_NBFONTS] = {
    {0xFFF4A0, 0xFF9E20, 0x181008, 1, 0.2},
    {0xFFFFFF, 0xB8C8E0, 0x101018, 1, 0.2},
    {0xFFF08C, 0xFFD050, 0, 0, 0.0},
};

// One glyph's ink: a mask of width x rows, whose top row stands `top`
// rows above the baseline.
struct Ink {
  int width = 0, rows = 0, top = 0;
  std::vector<uint8_t> mask;
  bool At(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < rows && mask[y * width + x]; }
};

bool Render(FT_Face face, char c, Ink* ink) {
  if (FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_RENDER)) return false;
  const FT_Bitmap& b = face->glyph->bitmap;
  *ink = Ink{};
  // Keep only the columns that hold ink.
  int left = static_cast<int>(b.width), right = -1;
  for (unsigned y = 0; y < b.rows; ++y)
    for (unsigned x = 0; x < b.width; ++x)
      if (b.buffer[y * b.pitch + x] >= 128) {
        left = std::min(left, static_cast<int>(x));
        right = std::max(right, static_cast<int>(x));
      }
  if (right < left) return false;
  ink->width = right - left + 1;
  ink->rows = static_cast<int>(b.rows);
  ink->top = face->glyph->bitmap_top;
  ink->mask.resize(static_cast<size_t>(ink->width * ink->rows));
  for (int y = 0; y < ink->rows; ++y)
    for (int x = 0; x < ink->width; ++x)
      ink->mask[y * ink->width + x] = b.buffer[y * b.pitch + x + left] >= 128;
  return true;
}

uint32_t Mix(uint32_t a, uint32_t b, double t) {
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const double va = (a >> shift) & 0xFF, vb = (b >> shift) & 0xFF;
    out |= static_cast<uint32_t>(va + (vb - va) * t + 0.5) << shift;
  }
  return out;
}

// The glyphs at the largest pixel size at which all of them, with their
// outline, fit the strip's height; the baseline's row.
bool FitGlyphs(FT_Face face, int slot, std::vector<Ink>* glyphs, int* baseline) {
  const int height = SB_FONTHEIGHTS[slot], border = kStyles[slot].border;
  for (int size = height; size >= 4; --size) {
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size))) return false;
    glyphs->assign(static_cast<size_t>(SB_FONTGLYPHS[slot]), Ink{});
    int ascent = 0, descent = 0;
    for (int g = 0; g < SB_FONTGLYPHS[slot]; ++g) {
      if (!Render(face, SB_FONTCHARS[g], &(*glyphs)[g])) return false;
      ascent = std::max(ascent, (*glyphs)[g].top);
      descent = std::max(descent, (*glyphs)[g].rows - (*glyphs)[g].top);
    }
    if (ascent + descent + 2 * border <= height) {
      *baseline = border + ascent;
      return true;
    }
  }
  return false;
}

// Draws one glyph with its left edge at x; its width on the strip.
int PlaceGlyph(const Ink& ink, const Style& style, int height, int baseline, int x, Picture24* strip) {
  const int y0 = baseline - ink.top, b = style.border;
  auto ink_at = [&](int gx, int gy) { return ink.At(gx - b, gy - y0); };
  const int width = ink.width + 2 * b;
  for (int gy = 0; gy < height; ++gy)
    for (int gx = 0; gx < width; ++gx) {
      if (ink_at(gx, gy)) {
        strip->Set(x + gx, gy, Mix(style.top, style.bottom, static_cast<double>(gy) / (height - 1)));
        continue;
      }
      bool ring = false;
      for (int dy = -b; dy <= b && !ring; ++dy)
        for (int dx = -b; dx <= b && !ring; ++dx) ring = ink_at(gx + dx, gy + dy);
      if (ring) strip->Set(x + gx, gy, style.outline);
    }
  return width;
}

bool ColumnHasInk(const Picture24& strip, int x) {
  const uint32_t back = uint32_t{SB_FONTBACK_RED} << 16 | uint32_t{SB_FONTBACK_GREEN} << 8 | SB_FONTBACK_BLUE;
  for (int y = 0; y < strip.height; ++y)
    if (strip.Get(x, y) != back) return true;
  return false;
}

}  // namespace

bool HudFontStrip(const std::string& fontFile, int slot, Picture24* strip, std::string* error) {
  if (slot < 0 || slot >= SB_NBFONTS) return false;
  FT_Library library;
  if (FT_Init_FreeType(&library)) {
    *error = "cannot start FreeType";
    return false;
  }
  FT_Face face;
  bool ok = !FT_New_Face(library, fontFile.c_str(), 0, &face);
  std::vector<Ink> glyphs;
  int baseline = 0;
  if (!ok) *error = "cannot open the font " + fontFile;
  if (ok) {
    FT_Matrix shear{0x10000, static_cast<FT_Fixed>(kStyles[slot].slant * 0x10000), 0, 0x10000};
    FT_Set_Transform(face, &shear, nullptr);
    ok = FitGlyphs(face, slot, &glyphs, &baseline);
    if (!ok) *error = "the glyphs do not fit the strip";
    FT_Done_Face(face);
  }
  FT_Done_FreeType(library);
  if (!ok) return false;
  int width = 0;
  for (const Ink& ink : glyphs) width += ink.width + 2 * kStyles[slot].border + 1;
  *strip = Picture24(width - 1, SB_FONTHEIGHTS[slot], SB_FONTBACK_RED, SB_FONTBACK_GREEN, SB_FONTBACK_BLUE);
  int x = 0;
  for (const Ink& ink : glyphs) {
    const int w = PlaceGlyph(ink, kStyles[slot], strip->height, baseline, x, strip);
    for (int c = x; c < x + w; ++c)
      if (!ColumnHasInk(*strip, c)) {
        *error = "a glyph has a column without ink";
        return false;
      }
    x += w + 1;
  }
  return true;
}

}  // namespace datagen
