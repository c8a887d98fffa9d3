// Fonts: the built-in system font, fonts loaded from glyph pictures,
// proportional widths, measuring and drawing in each copy mode.
#include "system/font.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "system/picture.h"
#include "tests/system/picture_fixture.h"

namespace {

using ztest::Bytes;

class FontTest : public ztest::PictureTest {
 protected:
  // The pixels of a rectangle of an 8-bit bitmap.
  static std::vector<uint32_t> Rect(BMAP* b, int32_t x0, int32_t y0, int32_t w, int32_t h) {
    std::vector<uint32_t> out;
    for (int32_t y = y0; y < y0 + h; ++y)
      for (int32_t x = x0; x < x0 + w; ++x) out.push_back(LS_GetPixel(b, x, y));
    return out;
  }
  static std::vector<uint32_t> Cell(int index) {
    return Rect(LS_Var.SysFont->Picture, index % 40 * 8, index / 40 * 8, 8, 8);
  }

  // A 32 x 8 picture of four 8 x 8 glyphs for 'A' to 'D': A uses columns
  // 0 to 4, B is empty, C has only column 0, D reaches column 7.
  std::string GlyphSheet(uint8_t depth = 8) {
    std::vector<uint32_t> pixels(32 * 8, 0);
    const uint32_t ink = depth == 8 ? 7 : 0xFFFFFFFFu;
    for (int y = 1; y < 7; ++y) {
      pixels[static_cast<size_t>(y * 32 + (y % 5))] = ink;  // A: a slant over columns 0 to 4
      pixels[static_cast<size_t>(y * 32 + 4)] = ink;
    }
    pixels[3 * 32 + 16] = ink;      // C
    pixels[6 * 32 + 24 + 7] = ink;  // D
    ztest::TgaSpec spec;
    spec.width = 32;
    spec.height = 8;
    spec.depth = depth;
    return Put("glyphs.tga", ztest::TgaFile(spec, pixels, true));
  }
};

TEST_F(FontTest, SystemFontIsSetAtLibraryStart) {
  const FONT* f = LS_Var.SysFont;
  ASSERT_NE(f, nullptr);
  const BMAP* p = f->Picture;
  EXPECT_EQ(std::tuple(p->SizeX, p->SizeY, p->ByteLen, p->Format, p->Kind), std::tuple(325, 24, 325, BMAP_PAL8, LS_DefaultHeap));
  EXPECT_EQ(std::tuple(f->CellWidth, f->CellHeight, f->CellsPerRow, f->Caret, f->FirstChar, f->NbChar, f->WidthTable),
            std::tuple(8, 8, 40, 95, 32, 120, nullptr));
  // Ink 255 on 0, column 7 of every cell blank, and no glyph but the blank empty.
  for (int i = 0; i < 120; ++i) {
    const std::vector<uint32_t> cell = Cell(i);
    for (int k = 0; k < 64; ++k) ASSERT_TRUE(cell[size_t(k)] == 0 || (cell[size_t(k)] == 255 && k % 8 != 7)) << i;
    if (i > 0) { EXPECT_NE(cell, Cell(0)) << "glyph " << i + 32 << " is empty"; }
  }
  LS_FreeFont(LS_Var.SysFont);  // does nothing
  EXPECT_EQ(LS_Var.SysFont->Picture->SizeX, 325);
}

TEST_F(FontTest, SystemFontDrawsFromTheCellsOfOemCodes) {
  EXPECT_EQ(LS_GetStringWidth(LS_Var.SysFont, "AB"), 16);
  BMAP* screen = Make(40, 10, 8);
  EXPECT_EQ(LS_DrawString(LS_Var.SysFont, screen, "A", 2, 1, 0), 1);
  EXPECT_EQ(Rect(screen, 2, 1, 8, 8), Cell(33));

  // Codes outside 32 to 151 draw nothing.
  LS_FillRect(screen, 0, 0, 39, 9, 77);
  LS_DrawChar(LS_Var.SysFont, screen, 31, 0, 0, 0);
  LS_DrawChar(LS_Var.SysFont, screen, 152, 8, 0, 0);
  LS_DrawChar(LS_Var.SysFont, screen, -1, 16, 0, 0);
  EXPECT_EQ(Rect(screen, 0, 0, 40, 10), std::vector<uint32_t>(400, 77));
  LS_DrawChar(LS_Var.SysFont, screen, 151, 0, 0, 0);
  EXPECT_EQ(Rect(screen, 0, 0, 8, 8), Cell(119));

  // Text is Windows-1252: "ù" (0xF9) is OEM 151, "é" (0xE9) OEM 130; the
  // caller's text stays as it was.
  char text[] = "\xF9\xE9z";
  LS_ClearBmap(screen);
  EXPECT_EQ(LS_DrawString(LS_Var.SysFont, screen, text, 0, 1, 0), 3);
  EXPECT_STREQ(text, "\xF9\xE9z");
  EXPECT_EQ(std::tuple(Rect(screen, 0, 1, 8, 8), Rect(screen, 8, 1, 8, 8)), std::tuple(Cell(119), Cell(130 - 32)));
  LS_DrawString(LS_Var.SysFont, screen, "\x80", 24, 1, 0);  // a character without an OEM form draws as "?"
  EXPECT_EQ(Rect(screen, 24, 1, 8, 8), Cell('?' - 32));
  EXPECT_EQ(LS_DrawString(LS_Var.SysFont, screen, nullptr, 0, 0, 0), 0);
}

TEST_F(FontTest, TransparentModeKeepsTheBackground) {
  BMAP* screen = Plain(8, 8, 8, 5);
  LS_DrawString(LS_Var.SysFont, screen, "A", 0, 0, LS_BLIT_TRANSPARENT);
  std::vector<uint32_t> cell = Cell(33);
  for (uint32_t& v : cell) v = v ? v : 5u;
  EXPECT_EQ(Rect(screen, 0, 0, 8, 8), cell);
}

TEST_F(FontTest, ProportionalWidthsAreMeasuredFromTheGlyphs) {
  const int16_t allocs = LSI_Var.NbAlloc, bmaps = LSI_Var.NbBmap, fonts = LSI_Var.NbFont;
  FONT* f = LS_LoadFont(GlyphSheet().c_str(), 8, 8, 'A', 4, 1, 45, 0);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(std::tuple(LSI_Var.NbFont, f->CellsPerRow, f->Caret), std::tuple(int16_t(fonts + 1), 4, 45));
  ASSERT_NE(f->WidthTable, nullptr);
  // Columns 0 to 4: 4 + 1 + 1; empty: 8 / 2 + 1 + 1; only column 0: the
  // same; column 7: 7 + 1 + 1.
  EXPECT_EQ(Bytes(f->WidthTable, f->WidthTable + 4), (Bytes{6, 6, 6, 9}));
  EXPECT_EQ(LS_GetStringWidth(f, "ABCD"), 27);
  // Outside the font a character advances nothing.
  EXPECT_EQ(LS_GetStringWidth(f, "A@E\xE9" "D"), 15);
  BMAP* screen = Make(40, 8, 8);
  EXPECT_EQ(LS_DrawString(f, screen, "DzA", 1, 0, 0), 3);
  // D's column 7, then A right after D: z advanced nothing
  EXPECT_EQ(std::tuple(LS_GetPixel(screen, 1 + 7, 6), LS_GetPixel(screen, 1 + 9 + 4, 1)), std::tuple(7u, 7u));
  LS_FreeFont(f);
  EXPECT_EQ(std::tuple(LSI_Var.NbFont, LSI_Var.NbBmap, LSI_Var.NbAlloc), std::tuple(fonts, int16_t(bmaps + 1), int16_t(allocs + 2)));

  // Spacing 0 is a fixed-width font.
  f = LS_LoadFont(GlyphSheet().c_str(), 8, 8, 'A', 4, 0, 0, 0);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(std::tuple(f->WidthTable, LS_GetStringWidth(f, "ABzz")), std::tuple(nullptr, 32));
  LS_FreeFont(f);
}

TEST_F(FontTest, AlphaModeBlendsA32BitGlyphSheet) {
  FONT* f = LS_LoadFont(GlyphSheet(32).c_str(), 8, 8, 'A', 4, 2, 0, 0);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(std::tuple(f->Picture->Format, f->WidthTable[0]), std::tuple(BMAP_ARGB8888, uint8_t{7}));
  BMAP* screen = Plain(16, 8, 32, 0x00102030);
  LS_DrawString(f, screen, "C", 3, 0, LS_BLIT_ALPHA);
  EXPECT_EQ(std::tuple(LS_GetPixel(screen, 3, 3) & 0xFFFFFF, LS_GetPixel(screen, 4, 3) & 0xFFFFFF, LS_GetPixel(screen, 3, 2) & 0xFFFFFF),
            std::tuple(0xFFFFFFu, 0x102030u, 0x102030u));
  LS_FreeFont(f);
}

TEST_F(FontTest, FontsThatCannotBeMadeGiveNullAndKeepNothing) {
  const std::string sheet = GlyphSheet();
  const int16_t allocs = LSI_Var.NbAlloc, bmaps = LSI_Var.NbBmap;
  Put("cut.tga", ztest::Cut(ztest::ReadBytes(root_ + "/" + sheet), 30));
  // width 0, wider than the picture, no character, past code 255
  const std::tuple<const char*, int32_t, int32_t, int32_t, int32_t> rows[] = {
      {"none.tga", 8, 8, 32, 4}, {sheet.c_str(), 0, 8, 32, 4}, {sheet.c_str(), 33, 8, 32, 4}, {sheet.c_str(), 8, 8, 32, 0},
      {sheet.c_str(), 8, 8, 200, 57}, {nullptr, 8, 8, 32, 4}, {"cut.tga", 8, 8, 32, 4}};
  for (auto [name, width, height, first, count] : rows)
    EXPECT_EQ(LS_LoadFont(name, width, height, first, count, 1, 0, 0), nullptr) << width << " " << first << " " << count;
  EXPECT_EQ(std::tuple(LSI_Var.NbAlloc, LSI_Var.NbBmap), std::tuple(allocs, bmaps));
  LS_FreeFont(nullptr);

  // A cell that reaches past the picture's bottom is drawn as far as it goes.
  FONT* f = LS_LoadFont(sheet.c_str(), 8, 12, 'A', 8, 1, 0, 0);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(std::tuple(f->WidthTable[0], f->WidthTable[7]), std::tuple(6, 6));  // a cell wholly outside counts as empty
  LS_DrawChar(f, Make(8, 12, 8), 'H', 0, 0, 0);
  LS_FreeFont(f);
}

}  // namespace
