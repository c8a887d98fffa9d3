// The 8-bit affine triangle filler: the rows and columns it covers, the
// texel of a span's first pixel, vertex order, and transparency.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "tests/support/fillpages.h"

namespace {

using ztest::Corner;
using ztest::FenceCanvas;
using ztest::Page;

FenceCanvas Draw(TSOFTVERTEX a, TSOFTVERTEX b, TSOFTVERTEX c, Page kind = Page::Constant, int32_t transparent = 0,
                 uint8_t background = 0) {
  FenceCanvas canvas(64, 48, background);
  std::vector<uint8_t> page = ztest::TexturePage(kind);
  E3D_AffineTri8(0, &canvas.window, page.data(), &a, &b, &c, transparent);
  return canvas;
}

TEST(AffineTri8, FillsRowsFromTheTopCornerToTheBottomOneExcluded) {
  const FenceCanvas canvas = Draw(Corner(10, 10), Corner(20, 10), Corner(10, 20));
  EXPECT_EQ(canvas.Span(9), std::make_pair(0, 0));
  for (int32_t y = 10; y < 20; ++y) EXPECT_EQ(canvas.Span(y), std::make_pair(10, 30 - y)) << y;
  EXPECT_EQ(canvas.Span(20), std::make_pair(0, 0));
  EXPECT_TRUE(canvas.FenceIntact());
}

TEST(AffineTri8, ASliverDrawsNothingWhereBothEdgesShareAWholeX) {
  const FenceCanvas canvas = Draw(Corner(10, 0), Corner(10, 20), Corner(11, 20));
  // The right edge's truncated slope reaches x 11 on row 11.
  for (int32_t y = 0; y < 11; ++y) EXPECT_EQ(canvas.Span(y), std::make_pair(0, 0)) << y;
  for (int32_t y = 11; y < 20; ++y) EXPECT_EQ(canvas.Span(y), std::make_pair(10, 11)) << y;
}

// The left edge carries u from 0 to 20 texels over 20 rows: each row's
// first pixel reads the column of its row.
TEST(AffineTri8, ASpanStartsFromTheLeftEdgesTexel) {
  const FenceCanvas canvas =
      Draw(Corner(10, 0, 0, 0), Corner(40, 0, 30 * 256, 0), Corner(10, 20, 20 * 256, 0), Page::Column, 0, 0xAA);
  for (int32_t y = 0; y < 20; ++y) EXPECT_EQ(canvas.At(10, y), y) << y;
  EXPECT_EQ(canvas.At(11, 0), 1);  // one texel a pixel across
}

TEST(AffineTri8, AnyVertexOrderFillsTheSamePixels) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int32_t> x(0, 64), y(0, 48);
  for (int32_t i = 0; i < 200; ++i) {
    std::vector<TSOFTVERTEX> c = {Corner(x(rng), y(rng)), Corner(x(rng), y(rng)), Corner(x(rng), y(rng))};
    std::sort(c.begin(), c.end(), [](const TSOFTVERTEX& a, const TSOFTVERTEX& b) { return a.Y < b.Y; });
    // Two top edges of one slope leave the left edge to the vertex order.
    if (c[0].Y < c[1].Y && (c[1].X - c[0].X) * (c[2].Y - c[0].Y) == (c[2].X - c[0].X) * (c[1].Y - c[0].Y)) continue;
    const FenceCanvas first = Draw(c[0], c[1], c[2]);
    int32_t order[3] = {0, 1, 2};
    while (std::next_permutation(order, order + 3))
      EXPECT_EQ(Draw(c[order[0]], c[order[1]], c[order[2]]).bytes, first.bytes) << i;
  }
}

TEST(AffineTri8, TransparentSkipsTexelZero) {
  for (int32_t transparent : {0, 1}) {
    const FenceCanvas canvas =
        Draw(Corner(0, 0, 0, 0), Corner(40, 0, 40 * 256, 0), Corner(0, 10, 0, 10 * 256), Page::Checker, transparent, 0xAA);
    EXPECT_EQ(canvas.At(3, 0), transparent ? 0xAA : 0) << transparent;  // texel 0
    EXPECT_EQ(canvas.At(9, 0), 1) << transparent;
  }
}

}  // namespace

namespace {

// u = 256 x and v = 256 y + 128 x at the corners: every pixel reads its
// own column, and row y + x / 2, whichever side the middle corner lies on.
TEST(AffineTri8, TexelsFollowThePlaneOfTheCorners) {
  const std::vector<std::vector<std::pair<int32_t, int32_t>>> triangles = {
      {{12, 0}, {50, 14}, {20, 40}}, {{40, 2}, {5, 20}, {45, 44}}, {{5, 5}, {60, 30}, {30, 30}}};
  for (const auto& t : triangles)
    for (Page kind : {Page::Column, Page::Row}) {
      std::vector<TSOFTVERTEX> c;
      for (const auto& [x, y] : t) c.push_back(Corner(x, y, 256 * x, 256 * y + 128 * x));
      const FenceCanvas canvas = Draw(c[0], c[1], c[2], kind, 0, 0xAA);
      int32_t drawn = 0;
      for (int32_t y = 0; y < 48; ++y)
        for (int32_t x = 0; x < 64; ++x)
          if (canvas.At(x, y) != 0xAA) {
            ++drawn;
            EXPECT_LE(std::abs(canvas.At(x, y) - (kind == Page::Column ? x : y + x / 2)), 1) << x << "," << y;
          }
      EXPECT_GT(drawn, 300);
    }
}

}  // namespace
