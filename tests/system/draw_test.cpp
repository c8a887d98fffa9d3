// Drawing on bitmaps: fills, boxes, lines, pixels, and surfaces restored
// under a fill.
#include <gtest/gtest.h>

#include <string>

#include "platform/display.h"
#include "system/bmap.h"
#include "tests/system/bmap_fixture.h"

namespace {

class Draw : public ztest::BmapTest {
 protected:
  // Rows of the bitmap as text: '#' where the pixel equals colour, '.'
  // where it is 0, '?' otherwise.
  static std::string Picture(BMAP* b, uint32_t colour) {
    std::string text;
    for (int32_t y = 0; y < b->SizeY; ++y) {
      for (int32_t x = 0; x < b->SizeX; ++x) {
        const uint32_t v = LS_GetPixel(b, x, y);
        text += v == colour ? '#' : v == 0 ? '.' : '?';
      }
      text += '\n';
    }
    return text;
  }
};

TEST_F(Draw, FillsTwentyFourBitPixelsLowBytesFirst) {
  BMAP* b = LS_CreateBmap(4, 2, 24, 0);
  LS_FillRect(b, 1, 0, 2, 1, 0xA1B2C3);
  EXPECT_EQ(b->Start[3], 0xC3);
  EXPECT_EQ(b->Start[4], 0xB2);
  EXPECT_EQ(b->Start[5], 0xA1);
  EXPECT_EQ(LS_GetPixel(b, 2, 1), 0xA1B2C3u);
  EXPECT_EQ(LS_GetPixel(b, 3, 1), 0u);
  EXPECT_EQ(LS_GetPixel(b, 0, 0), 0u);
  LS_FreeBmap(b);
}

TEST_F(Draw, FillCornersAreOrderedAndClamped) {
  BMAP* b = LS_CreateBmap(5, 3, 16, 0);
  LS_FillRect(b, 12, 8, 2, -2, 0x12345);  // a 16-bit pixel takes the low half
  EXPECT_EQ(Picture(b, 0x2345),
            "..###\n"
            "..###\n"
            "..###\n");
  LS_FillRect(b, -1, -1, -9, 9, 7);  // wholly left of the bitmap
  LS_FillRect(b, 0, 3, 4, 9, 7);     // wholly below
  EXPECT_EQ(Picture(b, 7).find('#'), std::string::npos);
  LS_ClearBmap(b);
  EXPECT_EQ(Picture(b, 1), ".....\n.....\n.....\n");
  BMAP* small = LS_CreateBmap(4, 1, 8, 0);
  LS_FillRect(small, 0, 0, 3, 0, 0x1FF);
  EXPECT_EQ(LS_GetPixel(small, 3, 0), 0xFFu);
  LS_FreeBmap(small);
  LS_FreeBmap(b);
}

TEST_F(Draw, RoundedFilledBoxLeavesItsCorners) {
  BMAP* b = LS_CreateBmap(10, 10, 8, 0);
  LS_DrawBox(b, 9, 9, 0, 0, 5, LS_BOX_FILLED | LS_BOX_ROUNDED);
  EXPECT_EQ(Picture(b, 5),
            "...####...\n"
            ".########.\n"
            "##########\n"
            "##########\n"
            "##########\n"
            "##########\n"
            "##########\n"
            "##########\n"
            ".########.\n"
            "...####...\n");
  LS_FreeBmap(b);
}

TEST_F(Draw, OutlinesPlainAndRounded) {
  BMAP* b = LS_CreateBmap(8, 6, 8, 0);
  LS_DrawBox(b, 0, 0, 7, 5, 3, 0);
  EXPECT_EQ(Picture(b, 3),
            "########\n"
            "#......#\n"
            "#......#\n"
            "#......#\n"
            "#......#\n"
            "########\n");
  LS_ClearBmap(b);
  LS_DrawBox(b, 0, 0, 7, 5, 3, LS_BOX_ROUNDED);
  EXPECT_EQ(Picture(b, 3),
            "...##...\n"
            ".##..##.\n"
            "#......#\n"
            "#......#\n"
            ".##..##.\n"
            "...##...\n");
  LS_ClearBmap(b);
  LS_DrawBox(b, 1, 1, 6, 4, 3, LS_BOX_FILLED);
  EXPECT_EQ(Picture(b, 3),
            "........\n"
            ".######.\n"
            ".######.\n"
            ".######.\n"
            ".######.\n"
            "........\n");
  LS_FreeBmap(b);
}

TEST_F(Draw, InvertedBoxDrawnTwiceRestoresThePixels) {
  BMAP* b = LS_CreateBmap(10, 10, 16, 0);
  for (int32_t y = 0; y < 10; ++y)
    for (int32_t x = 0; x < 10; ++x) Put(b, x, y, static_cast<uint32_t>(x * 37 + y * 1001));
  LS_DrawBox(b, 0, 0, 9, 9, 0, LS_BOX_FILLED | LS_BOX_ROUNDED | LS_BOX_INVERTED);
  EXPECT_EQ(LS_GetPixel(b, 0, 0), 0u);  // a corner stays
  EXPECT_EQ(LS_GetPixel(b, 5, 5), (5u * 37 + 5 * 1001) ^ 0xFFFF);
  LS_DrawBox(b, 0, 0, 9, 9, 0, LS_BOX_FILLED | LS_BOX_ROUNDED | LS_BOX_INVERTED);
  for (int32_t y = 0; y < 10; ++y)
    for (int32_t x = 0; x < 10; ++x)
      EXPECT_EQ(LS_GetPixel(b, x, y), static_cast<uint32_t>(x * 37 + y * 1001));
  LS_FreeBmap(b);
}

TEST_F(Draw, SlopedLineOfSixteenBitPixels) {
  BMAP* b = LS_CreateBmap(10, 4, 16, 0);
  LS_DrawLine(b, 0, 0, 9, 3, 0x1234);
  EXPECT_EQ(Picture(b, 0x1234),
            "##........\n"
            "..###.....\n"
            ".....###..\n"
            "........##\n");
  LS_FreeBmap(b);
}

TEST_F(Draw, LinesAreClippedAtTheEdges) {
  BMAP* b = LS_CreateBmap(6, 6, 8, 0);
  LS_DrawLine(b, -4, 1, -1, 5, 9);  // both ends left: nothing
  LS_DrawLine(b, 2, -8, 5, -1, 9);  // both ends above: nothing
  EXPECT_EQ(Picture(b, 9).find('#'), std::string::npos);
  LS_DrawLine(b, -10, -10, 20, 20, 9);
  EXPECT_EQ(Picture(b, 9),
            "#.....\n"
            ".#....\n"
            "..#...\n"
            "...#..\n"
            "....#.\n"
            ".....#\n");
  LS_ClearBmap(b);
  LS_DrawLine(b, 2, 9, 2, -3, 4);  // vertical: a one-pixel-wide fill
  LS_DrawLine(b, INT32_MIN, 0, INT32_MAX, 5, 4);
  LS_DrawLine(b, INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX, 4);
  EXPECT_EQ(Picture(b, 4).substr(0, 7), "..#...\n");
  LS_FreeBmap(b);
}

TEST_F(Draw, PixelsReadAndWritten) {
  BMAP* deep = LS_CreateBmap(3, 3, 24, 0);
  Put(deep, 1, 2, 0x00ABCDEF);
  EXPECT_EQ(LS_GetPixel(deep, 1, 2), 0xABCDEFu);
  EXPECT_EQ(LS_GetPixel(deep, 3, 2), 0u);
  EXPECT_EQ(LS_GetPixel(deep, -1, 0), 0u);
  BMAP* b = LS_CreateBmap(3, 3, 8, 0);
  LS_PutPixel8(b, 2, 2, 0x1F7);
  LS_PutPixel8(b, 3, 0, 1);
  LS_PutPixel8(b, 0, -1, 1);
  EXPECT_EQ(Picture(b, 0xF7), "...\n...\n..#\n");
  LS_PutPixel8(deep, 0, 0, 5);  // not an 8-bit bitmap: nothing
  EXPECT_EQ(LS_GetPixel(deep, 0, 0), 0u);
  LS_FreeBmap(b);
  LS_FreeBmap(deep);
}

TEST_F(Draw, SurfacesAreFilledByTheDisplayUnlessLocked) {
  BMAP* b = LS_CreateBmap(6, 4, 16, BMAP_VIDEOMEM);
  const int32_t fills = plat::GetDisplayCounters().fills;
  LS_FillRect(b, 1, 1, 2, 2, 0x5555);
  EXPECT_EQ(plat::GetDisplayCounters().fills, fills + 1);
  LS_LockBmap(b);
  LS_FillRect(b, 3, 3, 5, 3, 0x6666);  // the caller holds the pixels
  LS_UnlockBmap(b);
  EXPECT_EQ(plat::GetDisplayCounters().fills, fills + 1);
  EXPECT_EQ(Picture(b, 0x5555),
            "......\n"
            ".##...\n"
            ".##...\n"
            "...???\n");
  LS_FreeBmap(b);
}

TEST_F(Draw, SurfaceBackInAnotherModeIsRecreatedKeyedClearedAndRedrawn) {
  static int redraws = 0;
  redraws = 0;
  BMAP* b = LS_CreateBmap(4, 4, 16, BMAP_SYSMEM);
  LS_SetBmapRestoreProc(b, [](BMAP* bmap) {
    LS_FillRect(bmap, 0, 0, 0, 0, 0x0F0F);
    return ++redraws;
  });
  LS_FillRect(b, 0, 0, 3, 3, 0x3333);
  plat::MarkSurfaceLost(b->Surface);
  plat::SetRestoreAnswer(plat::kDisplayWrongMode);
  LS_FillRect(b, 3, 3, 3, 3, 0x7777);
  EXPECT_EQ(redraws, 1);
  // Cleared: a surface merely restored would hold leftovers.
  EXPECT_EQ(Picture(b, 0x3333),
            "?...\n"
            "....\n"
            "....\n"
            "...?\n");
  EXPECT_EQ(LS_GetPixel(b, 0, 0), 0x0F0Fu);
  // Keyed with colour 0: a transparent copy from it leaves zeros out.
  BMAP* dst = LS_CreateBmap(4, 4, 16, BMAP_SYSMEM);
  LS_FillRect(dst, 0, 0, 3, 3, 0x1111);
  LS_Bitmove(b, dst, 0, 0, 3, 3, 0, 0, 1);
  EXPECT_EQ(LS_GetPixel(dst, 0, 0), 0x0F0Fu);
  EXPECT_EQ(LS_GetPixel(dst, 1, 0), 0x1111u);
  LS_FreeBmap(dst);
  LS_FreeBmap(b);
}

TEST_F(Draw, LostScreensAreRestoredBeforeAFill) {
  static int redraws = 0;
  redraws = 0;
  MakeScreens(2);
  LS_SetBmapRestoreProc(LS_Var.Screen, [](BMAP*) { return ++redraws; });
  plat::MarkSurfaceLost(LS_Var.Screen->Surface);
  EXPECT_EQ(plat::IsSurfaceLost(LS_Var.BackScreen->Surface), plat::kDisplaySurfaceLost);
  LS_FillRect(LS_Var.BackScreen, 0, 0, 9, 9, 0x2222);
  EXPECT_EQ(redraws, 1);
  EXPECT_EQ(plat::IsSurfaceLost(LS_Var.Screen->Surface), plat::kDisplayOk);
  EXPECT_EQ(LS_GetPixel(LS_Var.BackScreen, 9, 9), 0x2222u);
  FreeScreens();
}

}  // namespace
