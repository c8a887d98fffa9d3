// Conversion between pixel formats: dithering, palette lookup, mask moves,
// the nearest-colour search, the in-place remap and their tables.
#include <gtest/gtest.h>

#include <string>

#include "system/bmap.h"
#include "system/lsvar.h"
#include "system/palette.h"
#include "tests/system/bmap_fixture.h"

namespace {

using Convert = ztest::BmapTest;
using Pixels = std::vector<uint32_t>;

TEST_F(Convert, WhiteDithersToWhiteAtEveryPosition) {
  BMAP* src = Plain(4, 4, 24, 0xFFFFFF);
  BMAP* dst = Plain(6, 6, 16, 0);
  LS_Bitmove(src, dst, 0, 0, 3, 3, 1, 2, 0);
  EXPECT_EQ(Picture(dst, 0x7FFF), "......\n......\n.####.\n.####.\n.####.\n.####.\n");
  BMAP* wide = Plain(4, 4, 16, 0, BMAP_RGB565);
  LS_Bitmove(src, wide, 0, 0, 3, 3, 0, 0, 0);
  EXPECT_EQ(ValueAt(wide, 3, 3), 0xFFFFu);
}

// Thresholds 0 4 1 5 / 6 2 7 3 / 1 5 0 4 / 7 3 6 2 against a remainder
// of 4; the threshold is the destination position's.
TEST_F(Convert, DarkGreyDithersByTheThresholdOfTheDestinationPosition) {
  BMAP* src = Plain(4, 4, 32, 0x00040404);
  BMAP* dst = Plain(5, 4, 16, 0);
  LS_Bitmove(src, dst, 0, 0, 3, 3, 0, 0, 0);
  EXPECT_EQ(Picture(dst, 0x0421), "#.#..\n.#.#.\n#.#..\n.#.#.\n");
  LS_Bitmove(src, dst, 0, 0, 0, 0, 1, 0, 0);  // threshold 4 at (1, 0)
  LS_Bitmove(src, dst, 0, 0, 0, 0, 4, 3, 0);  // threshold 3 at (4 mod 4, 3)
  EXPECT_EQ((Pixels{ValueAt(dst, 1, 0), ValueAt(dst, 4, 3)}), (Pixels{0, 0}));
  LS_Bitmove(Plain(4, 4, 32, 0x00080808), dst, 0, 0, 3, 3, 0, 0, 0);  // 8 is 1 at five bits, rounded
  EXPECT_EQ(Picture(dst, 0x0421), "####.\n####.\n####.\n####.\n");
}

TEST_F(Convert, PaletteIndicesThroughTheRemapTable) {
  BMAP* src = Plain(2, 1, 8, 0);
  Put(src, 0, 0, 255);
  BMAP* dst = Plain(2, 1, 16, 0x1234, BMAP_RGB565);
  LS_Bitmove(src, dst, 0, 0, 1, 0, 0, 0, 0);
  EXPECT_EQ(ztest::PixelsOf(dst), (Pixels{0xFFFF, 0}));  // entry 255 of the default palette
  LS_FillRect(dst, 0, 0, 1, 0, 0x1234);
  LS_Bitmove(src, dst, 0, 0, 1, 0, 0, 0, 1);
  EXPECT_EQ(ValueAt(dst, 1, 0), 0x1234u);  // index 0 skipped
  dst->Format = BMAP_ARGB1555;
  LS_Bitmove(src, dst, 0, 0, 1, 0, 0, 0, 0);
  EXPECT_EQ(ztest::PixelsOf(dst), (Pixels{0x7FFF, 0x8000}));  // entry 0 is the alpha mask alone
}

TEST_F(Convert, OddWidthsNeverWritePastTheRectangle) {
  BMAP* src = Plain(5, 2, 8, 255);
  for (auto [depth, white, under] : {std::tuple{16, 0x7FFFu, 0x1111u}, {24, 0xFCFCFCu, 0x111111u}}) {
    BMAP* dst = Plain(5, 2, depth, 0x111111);
    LS_Bitmove(src, dst, 0, 0, 2, 1, 1, 0, 0);
    EXPECT_EQ((Pixels{ValueAt(dst, 0, 1), ValueAt(dst, 1, 1), ValueAt(dst, 3, 1), ValueAt(dst, 4, 1)}), (Pixels{under, white, white, under}));
  }
}

TEST_F(Convert, MasksMoveBetweenTrueColourFormats) {
  struct Case {
    int32_t fromDepth, fromFormat;
    uint32_t value;
    int32_t toDepth, toFormat;
    uint32_t expected;
  } cases[] = {
      {16, BMAP_RGB565, 0x07E0, 32, BMAP_XRGB8888, 0x00FC00},
      {24, BMAP_BGR888, 0x112233, 24, BMAP_RGB888, 0x332211},
      {32, BMAP_ARGB8888, 0x80FF0000, 16, BMAP_ARGB1555, 0xFC00},
      {32, BMAP_XRGB8888, 0xFF123456, 32, BMAP_ABGR8888, 0x00563412},
      {32, BMAP_XRGB8888, 0x00FF8040, 16, BMAP_BGR555, 0x221F},
      {16, BMAP_ABGR1555, 0x8000, 32, BMAP_ARGB8888, 0x80000000},
  };
  for (const Case& c : cases) {
    BMAP* dst = Plain(1, 1, c.toDepth, 0, c.toFormat);
    LS_Bitmove(Plain(1, 1, c.fromDepth, c.value, c.fromFormat), dst, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(ValueAt(dst, 0, 0), c.expected) << c.fromFormat << " to " << c.toFormat;
  }
  BMAP* src = Plain(2, 1, 16, 0, BMAP_RGB565);  // keyed: 0 is skipped
  Put(src, 1, 0, 0xFFFF);
  BMAP* dst = Plain(2, 1, 24, 0x0A0B0C);
  LS_Bitmove(src, dst, 0, 0, 1, 0, 0, 0, 1);
  EXPECT_EQ(ztest::PixelsOf(dst), (Pixels{0x0A0B0C, 0xF8FCF8}));
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
  EXPECT_EQ(ztest::PixelsOf(dst), (Pixels{1, 2, 1}));
  palette->Entry[3] = {11, 11, 11};  // a palette edited in place is seen at the next copy
  LS_Bitmove(src, dst, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(ValueAt(dst, 0, 0), 3u);
  LS_FreePalette(palette);
}

// The largest component difference decides: (20, 20, 20) is 8 from entry 2
// (on green) and 10 from entry 1.
TEST_F(Convert, NearestColourSearch) {
  PALETTE palette{};
  palette.Entry[1] = {10, 10, 10};
  palette.Entry[2] = {12, 20, 12};
  palette.Entry[3] = {63, 0, 0};
  palette.Entry[4] = {40, 41, 42};
  LS_InitColorSearch(&palette);
  const std::tuple<int32_t, int32_t, int32_t, int32_t> rows[] = {
      {11, 11, 11, 1}, {12, 20, 12, 2}, {63, 5, 5, 3}, {39, 45, 40, 4}, {20, 20, 20, 2}, {64, 0, 0, 0}, {3, -1, 0, 0}};
  for (auto [r, g, b, index] : rows) EXPECT_EQ(LS_FindNearestColor(r, g, b), index) << r << " " << g << " " << b;
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
  EXPECT_EQ((std::tuple{LSI_RemapTable.Builds, LSI_RemapTable.Value[7]}), (std::tuple{builds + 1, 0x07E0u}));
  LS_GetPixelFormat(&f, BMAP_RGB555);
  LSI_BuildRemapTable(&palette, &f, BMAP_RGB555);
  EXPECT_EQ(LSI_RemapTable.Value[7], 0x03E0u);
  LS_InitColorSearch(&palette);
  const uint32_t searches = LSI_ColorSearch.Builds;
  LS_InitColorSearch(&palette);
  EXPECT_EQ(LSI_ColorSearch.Builds, searches);
  palette.Entry[7] = {30, 30, 30};
  LS_InitColorSearch(&palette);
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
  EXPECT_EQ((std::tuple{b->Format, ValueAt(b, 2, 1)}), (std::tuple{BMAP_BGR565, 0x001Fu}));
  EXPECT_EQ(LS_RemapBmap(b, BMAP_ARGB1555), 1);
  EXPECT_EQ(ValueAt(b, 0, 0), 0x7C00u);  // no alpha in the old format
  LS_SetErrorMode(LS_ERRMODE_LOG);
  EXPECT_EQ(LS_RemapBmap(b, BMAP_XRGB8888), 0);
  EXPECT_EQ(b->Format, BMAP_ARGB1555);
  EXPECT_EQ(Logged(" :  Cannot Remap BMAP"), 1);
}

TEST_F(Convert, ConversionReachesSurfaces) {
  BMAP* dst = Make(3, 3, 32, BMAP_SYSMEM);
  LS_Bitmove(Plain(3, 3, 8, 255), dst, 0, 0, 2, 2, 0, 0, 0);
  EXPECT_EQ((std::tuple{ValueAt(dst, 2, 2), dst->LockCount}), (std::tuple{0xFCFCFCu, 0}));
}

TEST_F(Convert, FormatCodesSetByHandNeverWidenAPixel) {
  BMAP* src = Plain(1, 1, 32, 0xFFFFFFFF, BMAP_ARGB8888);
  BMAP* narrow = Plain(4, 1, 16, 0x7777, BMAP_ARGB8888);
  LS_Bitmove(src, narrow, 0, 0, 0, 0, 0, 0, 0);
  BMAP* bytes = Plain(4, 1, 8, 7, BMAP_RGB565);
  LS_Bitmove(src, bytes, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ((Pixels{ValueAt(narrow, 1, 0), ValueAt(bytes, 1, 0)}), (Pixels{0x7777, 7}));
}

}  // namespace
