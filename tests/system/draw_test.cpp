// Drawing on bitmaps: fills, boxes, lines, pixels, and surfaces restored
// under a fill.
#include <gtest/gtest.h>

#include <string>

#include "platform/display.h"
#include "system/bmap.h"
#include "tests/system/bmap_fixture.h"

namespace {

using Draw = ztest::BmapTest;

TEST_F(Draw, FillsTwentyFourBitPixelsLowBytesFirst) {
  BMAP* b = Make(4, 2, 24);
  LS_FillRect(b, 1, 0, 2, 1, 0xA1B2C3);
  EXPECT_EQ(std::string(b->Start + 3, b->Start + 6), "\xC3\xB2\xA1");
  EXPECT_EQ(Picture(b, 0xA1B2C3), ".##.\n.##.\n");
}

TEST_F(Draw, FillCornersAreOrderedAndClamped) {
  BMAP* b = Make(5, 3, 16);
  LS_FillRect(b, 12, 8, 2, -2, 0x12345);  // a 16-bit pixel takes the low half
  EXPECT_EQ(Picture(b, 0x2345), "..###\n..###\n..###\n");
  LS_FillRect(b, -1, -1, -9, 9, 7);  // wholly left of the bitmap
  LS_FillRect(b, 0, 3, 4, 9, 7);     // wholly below
  EXPECT_EQ(Picture(b, 7).find('#'), std::string::npos);
  LS_ClearBmap(b);
  EXPECT_EQ(Picture(b, 1), ".....\n.....\n.....\n");
  BMAP* small = Make(4, 1, 8);
  LS_FillRect(small, 0, 0, 3, 0, 0x1FF);
  EXPECT_EQ(ValueAt(small, 3, 0), 0xFFu);
}

TEST_F(Draw, BoxesFilledOutlinedAndRounded) {
  BMAP* b = Make(10, 10, 8);
  LS_DrawBox(b, 9, 9, 0, 0, 5, LS_BOX_FILLED | LS_BOX_ROUNDED);
  EXPECT_EQ(Picture(b, 5), "...####...\n.########.\n##########\n##########\n##########\n##########\n##########\n"
                          "##########\n.########.\n...####...\n");
  BMAP* o = Make(8, 6, 8);
  LS_DrawBox(o, 0, 0, 7, 5, 3, 0);
  EXPECT_EQ(Picture(o, 3), "########\n#......#\n#......#\n#......#\n#......#\n########\n");
  LS_ClearBmap(o);
  LS_DrawBox(o, 0, 0, 7, 5, 3, LS_BOX_ROUNDED);
  EXPECT_EQ(Picture(o, 3), "...##...\n.##..##.\n#......#\n#......#\n.##..##.\n...##...\n");
  LS_ClearBmap(o);
  LS_DrawBox(o, 1, 1, 6, 4, 3, LS_BOX_FILLED);
  EXPECT_EQ(Picture(o, 3), "........\n.######.\n.######.\n.######.\n.######.\n........\n");
}

TEST_F(Draw, InvertedBoxDrawnTwiceRestoresThePixels) {
  std::vector<uint32_t> pixels;
  for (uint32_t i = 0; i < 100; ++i) pixels.push_back(i * 1037 & 0xFFFF);
  BMAP* b = Filled(10, 10, 16, pixels);
  LS_DrawBox(b, 0, 0, 9, 9, 0, LS_BOX_FILLED | LS_BOX_ROUNDED | LS_BOX_INVERTED);
  EXPECT_EQ((std::tuple{ValueAt(b, 0, 0), ValueAt(b, 5, 5)}), (std::tuple{0u, (55u * 1037 & 0xFFFF) ^ 0xFFFF}));  // a corner stays
  LS_DrawBox(b, 0, 0, 9, 9, 0, LS_BOX_FILLED | LS_BOX_ROUNDED | LS_BOX_INVERTED);
  EXPECT_EQ(ztest::PixelsOf(b), pixels);
}

TEST_F(Draw, LinesSlopedAndClippedAtTheEdges) {
  BMAP* s = Make(10, 4, 16);
  LS_DrawLine(s, 0, 0, 9, 3, 0x1234);
  EXPECT_EQ(Picture(s, 0x1234), "##........\n..###.....\n.....###..\n........##\n");
  BMAP* b = Make(6, 6, 8);
  LS_DrawLine(b, -4, 1, -1, 5, 9);  // both ends left: nothing
  LS_DrawLine(b, 2, -8, 5, -1, 9);  // both ends above: nothing
  EXPECT_EQ(Picture(b, 9).find('#'), std::string::npos);
  LS_DrawLine(b, -10, -10, 20, 20, 9);
  EXPECT_EQ(Picture(b, 9), "#.....\n.#....\n..#...\n...#..\n....#.\n.....#\n");
  LS_ClearBmap(b);
  LS_DrawLine(b, 2, 9, 2, -3, 4);  // vertical: a one-pixel-wide fill
  LS_DrawLine(b, INT32_MIN, 0, INT32_MAX, 5, 4);
  LS_DrawLine(b, INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX, 4);
  EXPECT_EQ(Picture(b, 4).substr(0, 7), "..#...\n");
  LS_ClearBmap(b);
  LS_DrawLine(b, -1, 0, 5, 2, 4);  // from just outside on the left: the line from where it enters
  EXPECT_EQ(Picture(b, 4).substr(0, 21), "##....\n..##..\n....##\n");
}

TEST_F(Draw, PixelsReadAndWritten) {
  BMAP* deep = Make(3, 3, 24);
  Put(deep, 1, 2, 0x00ABCDEF);
  EXPECT_EQ((std::tuple{ValueAt(deep, 1, 2), ValueAt(deep, 3, 2), ValueAt(deep, -1, 0)}), (std::tuple{0xABCDEFu, 0u, 0u}));
  BMAP* b = Make(3, 3, 8);
  LS_PutPixel8(b, 2, 2, 0x1F7);
  LS_PutPixel8(b, 3, 0, 1);
  LS_PutPixel8(b, 0, -1, 1);
  EXPECT_EQ(Picture(b, 0xF7), "...\n...\n..#\n");
  LS_PutPixel8(deep, 0, 0, 5);  // not an 8-bit bitmap: nothing
  EXPECT_EQ(ValueAt(deep, 0, 0), 0u);
}

TEST_F(Draw, SurfacesAreFilledByTheDisplayUnlessLocked) {
  BMAP* b = Make(6, 4, 16, BMAP_VIDEOMEM);
  const int32_t fills = plat::GetDisplayCounters().fills;
  LS_FillRect(b, 1, 1, 2, 2, 0x5555);
  LS_LockBmap(b);
  LS_FillRect(b, 3, 3, 5, 3, 0x6666);  // the caller holds the pixels
  LS_UnlockBmap(b);
  EXPECT_EQ(plat::GetDisplayCounters().fills, fills + 1);
  EXPECT_EQ(Picture(b, 0x5555), "......\n.##...\n.##...\n...???\n");
}

TEST_F(Draw, SurfaceBackInAnotherModeIsRecreatedKeyedClearedAndRedrawn) {
  static int redraws = 0;
  redraws = 0;
  BMAP* b = Make(4, 4, 16, BMAP_SYSMEM);
  LS_SetBmapRestoreProc(b, [](BMAP* bmap) {
    LS_FillRect(bmap, 0, 0, 0, 0, 0x0F0F);
    return ++redraws;
  });
  LS_FillRect(b, 0, 0, 3, 3, 0x3333);
  plat::MarkSurfaceLost(b->Surface);
  plat::SetRestoreAnswer(plat::kDisplayWrongMode);
  LS_FillRect(b, 3, 3, 3, 3, 0x7777);
  EXPECT_EQ(redraws, 1);
  EXPECT_EQ(Picture(b, 0x0F0F), "#...\n....\n....\n...?\n");  // cleared: no leftovers
  BMAP* dst = Make(4, 4, 16, BMAP_SYSMEM);  // keyed with colour 0: a transparent copy leaves zeros out
  LS_FillRect(dst, 0, 0, 3, 3, 0x1111);
  LS_Bitmove(b, dst, 0, 0, 3, 3, 0, 0, 1);
  EXPECT_EQ((std::tuple{ValueAt(dst, 0, 0), ValueAt(dst, 1, 0)}), (std::tuple{0x0F0Fu, 0x1111u}));
}

}  // namespace
