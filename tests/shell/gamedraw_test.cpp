// The game's blits and its clipped line.
#include "shell/gamedraw.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "system/pixel.h"
#include "tests/fakes/shell_fakes.h"

namespace {

using Points = std::set<std::pair<int32_t, int32_t>>;

Points Set(BMAP* b) {
  Points out;
  LS_LockBmap(b);
  for (int32_t y = 0; y < b->SizeY; ++y)
    for (int32_t x = 0; x < b->SizeX; ++x)
      if (*LSI_PixelAt(b, x, y)) out.insert({x, y});
  LS_UnlockBmap(b);
  return out;
}

Points Row(int32_t x1, int32_t x2, int32_t y) {
  Points out;
  for (int32_t x = x1; x <= x2; ++x) out.insert({x, y});
  return out;
}

class GameDraw : public ztest::ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    bmap_ = LS_CreateBmap(16, 16, 8, 0);
  }
  void TearDown() override {
    LS_FreeBmap(bmap_);
    ShellTest::TearDown();
  }
  Points Line(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    LS_ClearBmap(bmap_);
    SB_DrawLine(bmap_, x0, y0, x1, y1, 7);
    return Set(bmap_);
  }
  BMAP* bmap_ = nullptr;
};

TEST_F(GameDraw, InterceptIsTruncatedTowardsZero) {
  EXPECT_EQ(SB_LineIntercept(0, 0, 10, 5, 4), 2);
  EXPECT_EQ(SB_LineIntercept(0, 0, 10, 5, 3), 1);
  EXPECT_EQ(SB_LineIntercept(0, 0, 10, -5, 3), -1);
  EXPECT_EQ(SB_LineIntercept(-10, 5, 10, 5, 0), 5);
  EXPECT_EQ(SB_LineIntercept(0, 0, 1, 2000000000, 2), INT32_MAX);  // held within range
}

TEST_F(GameDraw, LinesAreCutAtTheLeftEdge) {
  EXPECT_EQ(Line(-10, 5, 10, 5), Row(0, 10, 5));
  EXPECT_EQ(Line(10, 5, -10, 5), Row(0, 10, 5));
  EXPECT_EQ(Line(-10, 5, 0, 5), Row(0, 0, 5));  // an end on the edge keeps its pixel
}

TEST_F(GameDraw, LinesAreCutAtEveryEdge) {
  EXPECT_EQ(Line(5, 5, 30, 5), Row(5, 15, 5));
  EXPECT_EQ(Line(3, -4, 3, 4), (Points{{3, 0}, {3, 1}, {3, 2}, {3, 3}, {3, 4}}));
  EXPECT_EQ(Line(3, 12, 3, 40), (Points{{3, 12}, {3, 13}, {3, 14}, {3, 15}}));
  const Points diagonal = Line(-2, -2, 20, 20);
  EXPECT_EQ(diagonal.size(), 16u);
  EXPECT_EQ(diagonal.count({0, 0}), 1u);
  EXPECT_EQ(diagonal.count({15, 15}), 1u);
}

TEST_F(GameDraw, SixteenBitLinesUseTheirOwnPrimitive) {
  BMAP* wide = LS_CreateBmap(8, 8, 16, 0);
  SB_DrawLine(wide, -5, 3, 4, 3, 0xF800);
  for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(LS_GetPixel(wide, x, 3), x <= 4 ? 0xF800u : 0u) << x;
  EXPECT_EQ(LS_BmapLockCount, 0);
  LS_FreeBmap(wide);
}

TEST_F(GameDraw, LinesWhollyOutsideDrawNothing) {
  EXPECT_TRUE(Line(-10, 5, -1, 5).empty());
  EXPECT_TRUE(Line(16, 0, 30, 15).empty());
  EXPECT_TRUE(Line(0, -3, 15, -1).empty());
  EXPECT_TRUE(Line(-20, 10, 10, -20).empty());  // crosses no part of the bitmap
  EXPECT_TRUE(Line(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MIN).empty());
  SB_DrawLine(nullptr, 0, 0, 5, 5, 1);
}

TEST_F(GameDraw, BlitsCopyOpaqueOrSkipColourZero) {
  BMAP* source = LS_CreateBmap(2, 1, 8, 0);
  LS_LockBmap(source);
  source->Start[0] = 0;
  source->Start[1] = 9;
  LS_UnlockBmap(source);
  SB_FillRect(bmap_, 0, 0, 15, 15, 4);
  SB_BitmoveTransparent(source, bmap_, 0, 0, 1, 0, 3, 3);
  EXPECT_EQ(LS_GetPixel(bmap_, 3, 3), 4u);
  EXPECT_EQ(LS_GetPixel(bmap_, 4, 3), 9u);
  SB_Bitmove(source, bmap_, 0, 0, 1, 0, 3, 3);
  EXPECT_EQ(LS_GetPixel(bmap_, 3, 3), 0u);
  SB_DrawBox(bmap_, 0, 0, 15, 15, 2, 0);
  EXPECT_EQ(LS_GetPixel(bmap_, 0, 7), 2u);
  SB_ClearBmap(bmap_);
  EXPECT_TRUE(Set(bmap_).empty());
  LS_FreeBmap(source);
}

TEST_F(GameDraw, FloydConvertsTheWholeTrueColourPictureToTheCorner) {
  BMAP* picture = LS_CreateBmap(20, 10, 24, 0);
  PALETTE palette{};
  bmap_->Palette = &palette;
  SB_BitmoveFloyd(picture, bmap_, 5, 5, 8, 8, 3, 4);
  ASSERT_EQ(ztest::Shell().floyd.size(), 1u);
  EXPECT_EQ(ztest::Shell().floyd[0],
            (std::vector<int64_t>{reinterpret_cast<intptr_t>(picture), reinterpret_cast<intptr_t>(bmap_), 0,
                                  0, 19, 9, 0, 0}));
  bmap_->Palette = nullptr;  // without a palette it is an ordinary copy
  SB_BitmoveFloyd(picture, bmap_, 5, 5, 8, 8, 3, 4);
  EXPECT_EQ(ztest::Shell().floyd.size(), 1u);
  LS_FreeBmap(picture);
}

}  // namespace
