// Conversion between pixel formats: dithering, palette lookup, mask moves,
// the nearest-colour search, the in-place remap and their tables.
#include <gtest/gtest.h>

#include <string>

#include "system/bmap.h"
#include "system/lsvar.h"
#include "system/palette.h"
#include "tests/system/bmap_fixture.h"

namespace {

using ztest::ExitCodeOf;

class Convert : public ztest::BmapTest {
 protected:
  static uint32_t At(BMAP* b, int32_t x, int32_t y) { return LS_GetPixel(b, x, y); }
  // A bitmap of one value everywhere.
  static BMAP* Plain(int32_t width, int32_t height, int32_t depth, uint32_t value, int32_t format = 0) {
    BMAP* b = LS_CreateBmap(width, height, depth, 0);
    LS_FillRect(b, 0, 0, width - 1, height - 1, value);
    if (format) b->Format = format;
    return b;
  }
};

TEST_F(Convert, WhiteDithersToWhiteAtEveryPosition) {
  BMAP* src = Plain(4, 4, 24, 0xFFFFFF);
  BMAP* dst = Plain(6, 6, 16, 0);
  LS_Bitmove(src, dst, 0, 0, 3, 3, 1, 2, 0);
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 6; ++x)
      EXPECT_EQ(At(dst, x, y), x >= 1 && x <= 4 && y >= 2 ? 0x7FFFu : 0u) << x << "," << y;
  BMAP* wide = Plain(4, 4, 16, 0, BMAP_RGB565);
  LS_Bitmove(src, wide, 0, 0, 3, 3, 0, 0, 0);
  EXPECT_EQ(At(wide, 3, 3), 0xFFFFu);
  LS_FreeBmap(wide);
  LS_FreeBmap(dst);
  LS_FreeBmap(src);
}

TEST_F(Convert, DarkGreyDithersByTheThresholdOfTheDestinationPosition) {
  BMAP* src = Plain(4, 4, 32, 0x00040404);
  BMAP* dst = Plain(5, 4, 16, 0);
  LS_Bitmove(src, dst, 0, 0, 3, 3, 0, 0, 0);
  // Thresholds 0 4 1 5 / 6 2 7 3 / 1 5 0 4 / 7 3 6 2; remainder 4.
  const char* expected[] = {"#.#.", ".#.#", "#.#.", ".#.#"};
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x)
      EXPECT_EQ(At(dst, x, y), expected[y][x] == '#' ? 0x0421u : 0u) << x << "," << y;
  LS_Bitmove(src, dst, 0, 0, 0, 0, 1, 0, 0);  // threshold 4 at (1, 0)
  LS_Bitmove(src, dst, 0, 0, 0, 0, 4, 3, 0);  // threshold 3 at (4 mod 4, 3)
  EXPECT_EQ(At(dst, 1, 0), 0u);
  EXPECT_EQ(At(dst, 4, 3), 0u);
  LS_FreeBmap(dst);
  LS_FreeBmap(src);
}

TEST_F(Convert, PaletteIndicesThroughTheRemapTable) {
  BMAP* src = Plain(2, 1, 8, 0);
  Put(src, 0, 0, 255);
  BMAP* dst = Plain(2, 1, 16, 0x1234, BMAP_RGB565);
  LS_Bitmove(src, dst, 0, 0, 1, 0, 0, 0, 0);
  EXPECT_EQ(At(dst, 0, 0), 0xFFFFu);  // entry 255 of the default palette
  EXPECT_EQ(At(dst, 1, 0), 0u);
  LS_FillRect(dst, 0, 0, 1, 0, 0x1234);
  LS_Bitmove(src, dst, 0, 0, 1, 0, 0, 0, 1);
  EXPECT_EQ(At(dst, 1, 0), 0x1234u);  // index 0 skipped
  dst->Format = BMAP_ARGB1555;
  LS_Bitmove(src, dst, 0, 0, 1, 0, 0, 0, 0);
  EXPECT_EQ(At(dst, 1, 0), 0x8000u);  // entry 0 is the alpha mask alone
  EXPECT_EQ(At(dst, 0, 0), 0x7FFFu);
  LS_FreeBmap(dst);
  LS_FreeBmap(src);
}

TEST_F(Convert, OddWidthsNeverWritePastTheRectangle) {
  BMAP* src = Plain(5, 2, 8, 255);
  for (int32_t depth : {16, 24, 32}) {
    BMAP* dst = Plain(8, 2, depth, 0x111111);
    LS_Bitmove(src, dst, 0, 0, 2, 1, 1, 0, 0);
    const uint32_t white = depth == 16 ? 0x7FFF : 0xFCFCFC;
    for (int32_t x = 0; x < 8; ++x)
      EXPECT_EQ(At(dst, x, 1), x >= 1 && x <= 3 ? white : (depth == 16 ? 0x1111u : 0x111111u))
          << depth << " " << x;
    LS_FreeBmap(dst);
  }
  LS_FreeBmap(src);
}

TEST_F(Convert, MasksMoveBetweenTrueColourFormats) {
  struct Case {
    int32_t fromDepth, fromFormat;
    uint32_t value;
    int32_t toDepth, toFormat;
    uint32_t expected;
  };
  const Case cases[] = {
      {16, BMAP_RGB565, 0xF800, 32, BMAP_XRGB8888, 0xF80000},
      {16, BMAP_RGB565, 0x07E0, 32, BMAP_XRGB8888, 0x00FC00},
      {24, BMAP_BGR888, 0x112233, 24, BMAP_RGB888, 0x332211},
      {32, BMAP_ARGB8888, 0x80FF0000, 16, BMAP_ARGB1555, 0xFC00},
      {32, BMAP_XRGB8888, 0xFF123456, 32, BMAP_ABGR8888, 0x00563412},
      {16, BMAP_RGB555, 0x7C00, 16, BMAP_BGR565, 0x001F},
      {32, BMAP_XRGB8888, 0x00FF8040, 16, BMAP_BGR555, 0x221F},
      {16, BMAP_ABGR1555, 0x8000, 32, BMAP_ARGB8888, 0x80000000},
  };
  for (const Case& c : cases) {
    BMAP* src = Plain(1, 1, c.fromDepth, c.value, c.fromFormat);
    BMAP* dst = Plain(1, 1, c.toDepth, 0, c.toFormat);
    LS_Bitmove(src, dst, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(At(dst, 0, 0), c.expected) << c.fromFormat << " to " << c.toFormat;
    LS_FreeBmap(dst);
    LS_FreeBmap(src);
  }
  BMAP* src = Plain(2, 1, 16, 0, BMAP_RGB565);
  Put(src, 1, 0, 0xFFFF);
  BMAP* dst = Plain(2, 1, 24, 0x0A0B0C);
  LS_Bitmove(src, dst, 0, 0, 1, 0, 0, 0, 1);
  EXPECT_EQ(At(dst, 0, 0), 0x0A0B0Cu);
  EXPECT_EQ(At(dst, 1, 0), 0xF8FCF8u);
  LS_FreeBmap(dst);
  LS_FreeBmap(src);
}

TEST_F(Convert, TrueColourIntoEightBitsFindsTheNearestColour) {
  PALETTE* palette = LS_AllocPalette();
  palette->Entry[1] = {10, 10, 10};
  palette->Entry[2] = {12, 20, 12};
  BMAP* src = Plain(3, 1, 24, 0x2C2C2C);  // (11, 11, 11) at six bits
  Put(src, 1, 0, 0x305030);               // exactly entry 2
  BMAP* dst = Plain(3, 1, 8, 9);
  dst->Palette = palette;
  LS_Bitmove(src, dst, 0, 0, 2, 0, 0, 0, 0);
  EXPECT_EQ(At(dst, 0, 0), 1u);
  EXPECT_EQ(At(dst, 1, 0), 2u);
  EXPECT_EQ(At(dst, 2, 0), 1u);
  // A palette edited in place is seen at the next copy.
  palette->Entry[3] = {11, 11, 11};
  LS_Bitmove(src, dst, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(At(dst, 0, 0), 3u);
  LS_FreeBmap(dst);
  LS_FreeBmap(src);
  LS_FreePalette(palette);
}

TEST_F(Convert, NearestColourSearch) {
  PALETTE palette{};
  palette.Entry[1] = {10, 10, 10};
  palette.Entry[2] = {12, 20, 12};
  palette.Entry[3] = {63, 0, 0};
  palette.Entry[4] = {40, 41, 42};
  LS_InitColorSearch(&palette);
  EXPECT_EQ(LS_FindNearestColor(11, 11, 11), 1);
  EXPECT_EQ(LS_FindNearestColor(12, 20, 12), 2);
  EXPECT_EQ(LS_FindNearestColor(63, 5, 5), 3);
  EXPECT_EQ(LS_FindNearestColor(39, 45, 40), 4);
  EXPECT_EQ(LS_FindNearestColor(0, 0, 0), 0);
  EXPECT_EQ(LS_FindNearestColor(64, 0, 0), 0);
  EXPECT_EQ(LS_FindNearestColor(3, -1, 0), 0);
  // Largest difference decides: (20, 20, 20) is 8 from entry 2 (on green)
  // and 10 from entry 1.
  EXPECT_EQ(LS_FindNearestColor(20, 20, 20), 2);
  LS_InitColorSearch(nullptr);
  EXPECT_EQ(LS_FindNearestColor(11, 11, 11), 1);
}

TEST_F(Convert, TablesAreBuiltOnceAndFollowThePalettesColours) {
  PALETTE palette{};
  palette.Entry[7] = {63, 0, 63};
  PIXELFORMAT f;
  LS_GetPixelFormat(&f, BMAP_RGB565);
  LSI_BuildRemapTable(&palette, &f, BMAP_RGB565);
  const uint32_t builds = LSI_RemapTable.Builds;
  EXPECT_EQ(LSI_RemapTable.Value[7], 0xF81Fu);
  LSI_BuildRemapTable(&palette, &f, BMAP_RGB565);
  EXPECT_EQ(LSI_RemapTable.Builds, builds);
  palette.Entry[7] = {0, 63, 0};  // edited in place, same address
  LSI_BuildRemapTable(&palette, &f, BMAP_RGB565);
  EXPECT_EQ(LSI_RemapTable.Builds, builds + 1);
  EXPECT_EQ(LSI_RemapTable.Value[7], 0x07E0u);
  LS_GetPixelFormat(&f, BMAP_RGB555);
  LSI_BuildRemapTable(&palette, &f, BMAP_RGB555);
  EXPECT_EQ(LSI_RemapTable.Value[7], 0x03E0u);

  LS_InitColorSearch(&palette);
  const uint32_t searches = LSI_ColorSearch.Builds;
  LS_InitColorSearch(&palette);
  EXPECT_EQ(LSI_ColorSearch.Builds, searches);
  palette.Entry[7] = {30, 30, 30};
  LS_InitColorSearch(&palette);
  EXPECT_EQ(LSI_ColorSearch.Builds, searches + 1);
  EXPECT_EQ(LS_FindNearestColor(31, 30, 29), 7);
}

TEST_F(Convert, ComponentsAboveSixtyThreeKeepTheirLowSixBits) {
  PALETTE palette{};
  palette.Entry[5] = {127, 64, 0};  // a 6-bit converter reads (63, 0, 0)
  PIXELFORMAT f;
  LS_GetPixelFormat(&f, BMAP_RGB565);
  LSI_BuildRemapTable(&palette, &f, BMAP_RGB565);
  EXPECT_EQ(LSI_RemapTable.Value[5], 0xF800u);
  LS_InitColorSearch(&palette);
  EXPECT_EQ(LS_FindNearestColor(63, 0, 0), 5);
}

TEST_F(Convert, RemapInPlace) {
  BMAP* b = Plain(3, 2, 16, 0xF800, BMAP_RGB565);
  EXPECT_EQ(LS_RemapBmap(b, BMAP_RGB565), 1);
  EXPECT_EQ(LS_RemapBmap(b, BMAP_BGR565), 1);
  EXPECT_EQ(b->Format, BMAP_BGR565);
  EXPECT_EQ(At(b, 2, 1), 0x001Fu);
  EXPECT_EQ(LS_RemapBmap(b, BMAP_ARGB1555), 1);
  EXPECT_EQ(At(b, 0, 0), 0x7C00u);  // no alpha in the old format
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  EXPECT_EQ(LS_RemapBmap(b, BMAP_XRGB8888), 0);
  EXPECT_EQ(LS_GetLastError(), 8u);
  EXPECT_EQ(b->Format, BMAP_ARGB1555);
  LS_SetErrorMode(LS_ERRMODE_LOG);
  LS_RemapBmap(b, BMAP_RGB888);
  EXPECT_EQ(Logged(" :  Cannot Remap BMAP"), 1);
  LS_FreeBmap(b);
}

TEST_F(Convert, ConversionReachesSurfaces) {
  BMAP* src = Plain(3, 3, 8, 255);
  BMAP* dst = LS_CreateBmap(3, 3, 32, BMAP_SYSMEM);
  LS_Bitmove(src, dst, 0, 0, 2, 2, 0, 0, 0);
  EXPECT_EQ(At(dst, 2, 2), 0xFCFCFCu);
  EXPECT_EQ(dst->LockCount, 0);
  LS_FreeBmap(dst);
  LS_FreeBmap(src);
}

TEST_F(Convert, FormatCodesSetByHandNeverWidenAPixel) {
  BMAP* src = Plain(1, 1, 32, 0xFFFFFFFF, BMAP_ARGB8888);
  BMAP* narrow = Plain(4, 1, 16, 0x7777, BMAP_ARGB8888);
  LS_Bitmove(src, narrow, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(At(narrow, 1, 0), 0x7777u);
  BMAP* bytes = Plain(4, 1, 8, 7, BMAP_RGB565);
  LS_Bitmove(src, bytes, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(At(bytes, 1, 0), 7u);
  LS_FreeBmap(bytes);
  LS_FreeBmap(narrow);
  LS_FreeBmap(src);
}

TEST_F(Convert, ComponentTables) {
  EXPECT_EQ(LS_Comp5Table[0], 0u);
  EXPECT_EQ(LS_Comp5Table[7], 0u);
  EXPECT_EQ(LS_Comp5Table[8], 1u);
  EXPECT_EQ(LS_Comp5Table[255], 31u);
  EXPECT_EQ(LS_Comp6Table[3], 0u);
  EXPECT_EQ(LS_Comp6Table[4], 1u);
  EXPECT_EQ(LS_Comp6Table[255], 63u);
}

}  // namespace
