// Rasterises the interface's fonts with FreeType, keeping the coverage of
// each pixel as its alpha, and draws the interface's arrow.
#include "datagen/menufonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <vector>

#include "frontend/menu.h"

namespace datagen {
namespace {

constexpr int kCellsPerRow = 16;

// One glyph's coverage, cut to the columns holding ink; `top` rows of it
// stand above the baseline.
struct Glyph {
  int width = 0, rows = 0, top = 0;
  std::vector<uint8_t> coverage;
};

bool Render(FT_Face face, int code, Glyph* glyph) {
  *glyph = Glyph{};
  if (FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_RENDER)) return false;
  const FT_Bitmap& b = face->glyph->bitmap;
  if (b.pixel_mode != FT_PIXEL_MODE_GRAY) return false;
  int left = static_cast<int>(b.width), right = -1;
  for (unsigned y = 0; y < b.rows; ++y)
    for (unsigned x = 0; x < b.width; ++x)
      if (b.buffer[y * b.pitch + x]) {
        left = std::min(left, static_cast<int>(x));
        right = std::max(right, static_cast<int>(x));
      }
  if (right < left) return true;  // no ink, as the space
  glyph->width = right - left + 1;
  glyph->rows = static_cast<int>(b.rows);
  glyph->top = face->glyph->bitmap_top;
  glyph->coverage.resize(static_cast<size_t>(glyph->width * glyph->rows));
  for (int y = 0; y < glyph->rows; ++y)
    for (int x = 0; x < glyph->width; ++x)
      glyph->coverage[y * glyph->width + x] = b.buffer[y * b.pitch + x + left];
  return true;
}

// The glyphs at the largest pixel size at which every one fits its cell;
// the baseline's row within the cell.
bool FitGlyphs(FT_Face face, const MenuFont& font, std::vector<Glyph>* glyphs, int* baseline) {
  for (int size = font.cellHeight; size >= 4; --size) {
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size))) return false;
    glyphs->assign(static_cast<size_t>(font.count), Glyph{});
    int ascent = 0, descent = 0, width = 0;
    for (int i = 0; i < font.count; ++i) {
      Glyph& g = (*glyphs)[i];
      if (!Render(face, font.first + i, &g)) return false;
      if (!g.width) continue;
      ascent = std::max(ascent, g.top);
      descent = std::max(descent, g.rows - g.top);
      width = std::max(width, g.width);
    }
    if (ascent + descent <= font.cellHeight && width <= font.cellWidth) {
      *baseline = ascent + (font.cellHeight - ascent - descent) / 2;
      return true;
    }
  }
  return false;
}

void SetPixel(TgaImage* image, int x, int y, uint32_t colour, uint8_t alpha) {
  uint8_t* p = &image->pixels[(static_cast<size_t>(y) * image->width + x) * 4];
  p[0] = colour & 0xFF;
  p[1] = (colour >> 8) & 0xFF;
  p[2] = (colour >> 16) & 0xFF;
  p[3] = alpha;
}

}  // namespace

const MenuFont kMenuFonts[4] = {
    {"INTER/FONTES/NETBIG.TGA", 32, 36, 32, 59, 0xFFF4D8},
    {"INTER/FONTES/NETSMALL.TGA", 10, 11, 32, 94, 0xFFD040},
    {"INTER/FONTES/NETSMAL2.TGA", 10, 11, 32, 94, 0xD8E0F0},
    {"INTER/FONTES/NETSMAL3.TGA", 10, 11, 32, 94, 0x80C8FF},
};

bool MenuFontImage(const std::string& fontFile, const MenuFont& font, TgaImage* image, std::string* error) {
  FT_Library library;
  if (FT_Init_FreeType(&library)) {
    *error = "cannot start FreeType";
    return false;
  }
  FT_Face face;
  bool ok = !FT_New_Face(library, fontFile.c_str(), 0, &face);
  std::vector<Glyph> glyphs;
  int baseline = 0;
  if (!ok) *error = "cannot open the font " + fontFile;
  if (ok) {
    ok = FitGlyphs(face, font, &glyphs, &baseline);
    if (!ok) *error = "the glyphs do not fit the cells";
    FT_Done_Face(face);
  }
  FT_Done_FreeType(library);
  if (!ok) return false;
  const int rows = (font.count + kCellsPerRow - 1) / kCellsPerRow;
  *image = TgaImage{};
  image->width = kCellsPerRow * font.cellWidth;
  image->height = rows * font.cellHeight;
  image->depth = 32;
  image->pixels.assign(static_cast<size_t>(image->width) * image->height * 4, 0);
  for (int i = 0; i < font.count; ++i) {
    const Glyph& g = glyphs[i];
    const int left = i % kCellsPerRow * font.cellWidth, top = i / kCellsPerRow * font.cellHeight;
    const int y0 = top + baseline - g.top;
    for (int y = 0; y < g.rows; ++y)
      for (int x = 0; x < g.width; ++x)
        if (const uint8_t c = g.coverage[y * g.width + x]) SetPixel(image, left + x, y0 + y, font.colour, c);
  }
  return true;
}

TgaImage MenuArrowImage() {
  // The arrow's outline: a point at the left, a slanted right side, a
  // notch and a tail. The menus draw the picture with its top-left corner
  // at the pointer's position and test the point SB_MENUHITDROP pixels
  // below it, so the point stands that many clear rows down: what its tip
  // touches is what a click takes.
  static const char* const kArrow[] = {
      "#               ", "##              ", "#.#             ", "#..#            ", "#...#           ",
      "#....#          ", "#.....#         ", "#......#        ", "#.......#       ", "#........#      ",
      "#.........#     ", "#..........#    ", "#......#####    ", "#...#..#        ", "#..# #..#       ",
      "#.#  #..#       ", "##    #..#      ", "#     #..#      ", "       #..#     ", "       ####     ",
  };
  constexpr int kPointRow = SB_MENUHITDROP;
  TgaImage image;
  image.width = 16;
  image.height = kPointRow + static_cast<int>(std::size(kArrow));
  image.depth = 24;
  image.pixels.assign(static_cast<size_t>(image.width) * image.height * 3, 0);
  for (int y = kPointRow; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      const char c = kArrow[y - kPointRow][x];
      const uint8_t v = c == '.' ? 0xFF : c == '#' ? 0x40 : 0;
      uint8_t* p = &image.pixels[(static_cast<size_t>(y) * image.width + x) * 3];
      p[0] = p[1] = p[2] = v;
    }
  return image;
}

}  // namespace datagen
