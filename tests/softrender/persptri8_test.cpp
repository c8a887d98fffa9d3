// The 1/z triangle filler and its span routine: parts, degenerate
// triangles, the runs of a row, the records it advances, transparency
// and the right-clipped column.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "softrender/asm/perspspan8.h"
#include "softrender/softrender.h"
#include "tests/support/fillpages.h"

namespace {

using ztest::Corner;
using ztest::FenceCanvas;
using ztest::Page;

FenceCanvas Draw(TSOFTVERTEX a, TSOFTVERTEX b, TSOFTVERTEX c, Page kind = Page::Constant, int32_t transparent = 0) {
  FenceCanvas canvas(64, 48, 0xAA);
  std::vector<uint8_t> page = ztest::TexturePage(kind);
  E3D_PerspTri8(0, &canvas.window, page.data(), &a, &b, &c, transparent);
  return canvas;
}

TEST(PerspTri8, FlatTopAndFlatBottomTrianglesAreDrawnWhole) {
  const struct {
    TSOFTVERTEX a, b, c;
    std::pair<int32_t, int32_t> first, last;  // rows 10 and 19, right ends left out
  } rows[] = {{Corner(10, 10), Corner(30, 10), Corner(20, 20), {10, 30}, {19, 21}},
              {Corner(20, 10), Corner(30, 20), Corner(10, 20), {0, 0}, {11, 29}}};  // row 10 has no width
  for (const auto& r : rows) {
    const FenceCanvas canvas = Draw(r.a, r.b, r.c);
    EXPECT_EQ(canvas.Span(9, 0xAA), std::make_pair(0, 0));
    EXPECT_EQ(canvas.Span(10, 0xAA), r.first);
    EXPECT_EQ(canvas.Span(19, 0xAA), r.last);
    EXPECT_EQ(canvas.Span(20, 0xAA), std::make_pair(0, 0));
  }
}

// The 1/z triangles meet the polygons of the other fillers along their
// edges: each covers exactly the pixels the affine filler covers, so that
// no background shows between a triangle and its neighbour of the other
// kind (a far one filled affine, or a polygon without perspective).
TEST(PerspTri8, CoversThePixelsTheAffineFillerCovers) {
  const std::vector<std::array<std::pair<int32_t, int32_t>, 3>> triangles = {
      {{{10, 10}, {30, 10}, {20, 20}}}, {{{20, 10}, {30, 20}, {10, 20}}}, {{{3, 2}, {60, 9}, {17, 40}}},
      {{{59, 1}, {2, 30}, {41, 47}}},   {{{0, 0}, {64, 1}, {0, 2}}},      {{{5, 44}, {63, 3}, {31, 46}}}};
  for (const auto& t : triangles) {
    std::vector<TSOFTVERTEX> c;
    for (const auto& [x, y] : t) c.push_back(Corner(x, y));
    const FenceCanvas persp = Draw(c[0], c[1], c[2]);
    FenceCanvas affine(64, 48, 0xAA);
    std::vector<uint8_t> page = ztest::TexturePage(Page::Constant);
    E3D_AffineTri8(0, &affine.window, page.data(), &c[0], &c[1], &c[2], 0);
    for (int32_t y = 0; y < 48; ++y)
      EXPECT_EQ(persp.Span(y, 0xAA), affine.Span(y, 0xAA)) << t[0].first << "," << t[0].second << " row " << y;
  }
}

TEST(PerspTri8, DegenerateTrianglesDrawNothing) {
  EXPECT_TRUE(E3D_PerspTriTooThin(0.000005f));
  EXPECT_TRUE(E3D_PerspTriTooThin(-0.000005f));
  EXPECT_FALSE(E3D_PerspTriTooThin(0.00002f));
  const FenceCanvas blank(64, 48, 0xAA);
  EXPECT_EQ(Draw(Corner(0, 0), Corner(10, 10), Corner(20, 20)).bytes, blank.bytes);
  EXPECT_EQ(Draw(Corner(0, 5), Corner(10, 5), Corner(20, 5)).bytes, blank.bytes);
}

TEST(PerspTri8, KindTenSkipsTexelZero) {
  for (int32_t transparent : {0, 1}) {
    const FenceCanvas canvas = Draw(Corner(0, 0, 0, 0, 1), Corner(40, 0, 40 * 256, 0, 1),
                                    Corner(0, 10, 0, 10 * 256, 1), Page::Checker, transparent);
    EXPECT_EQ(canvas.At(3, 0), transparent ? 0xAA : 0) << transparent;
    EXPECT_EQ(canvas.At(9, 0), 1) << transparent;
  }
}

// A right-clipped corner at x = width in a view as wide as its bitmap:
// nothing past the last column, nor in the next row's first pixel.
TEST(PerspTri8, ARightClippedCornerStopsAtTheLastColumn) {
  FenceCanvas canvas(64, 48, 0xAA, 0);
  std::vector<uint8_t> page = ztest::TexturePage(Page::Constant);
  TSOFTVERTEX a = Corner(40, 0), b = Corner(64, 10), c = Corner(40, 48);
  E3D_PerspTri8(0, &canvas.window, page.data(), &a, &b, &c, 0);
  EXPECT_EQ(canvas.Span(10, 0xAA), std::make_pair(40, 64));
  for (int32_t y = 1; y < 48; ++y) EXPECT_EQ(canvas.At(0, y), 0xAA) << y;
}

// Rows of a span on a plane at z = 1: u = 250 + 4111 x / 16 in 8.8 on the
// column page, so 16 steps fall short of a texel that the exact point
// reaches.
struct SpanRow {
  FenceCanvas canvas{64, 8, 0xAA};
  std::vector<uint8_t> page = ztest::TexturePage(Page::Column);
  TPERSPEDGE left{}, right{};
  void Draw(int32_t pixels, int32_t lines = 1) {
    // Both edges cross the row at a pixel's left side: x + half a pixel.
    left.X = 0x8000, right.X = pixels * 65536 + 0x8000, left.W = 1, left.UW = 250;
    E3D_PerspSpanLine = canvas.First(), E3D_PerspSpanPitch = canvas.pitch, E3D_PerspSpanTexture = page.data();
    E3D_PerspSpanStepW = 0, E3D_PerspSpanStepU = 4111, E3D_PerspSpanStepV = 0, E3D_PerspSpanWidth = 64;
    E3D_PerspSpan8(0xFFFF, lines, &left, &right);
  }
};

TEST(PerspSpan8, BlockEndsAreExactAndTheRestIsStepped) {
  const struct {
    int32_t pixels;
    std::vector<uint8_t> texels;  // pixels 0, 1, 16 and 17 where present
  } rows[] = {{1, {0}}, {2, {0, 1}}, {17, {0, 1, 16}}, {18, {0, 1, 17, 18}}};
  for (const auto& r : rows) {
    SpanRow row;
    row.Draw(r.pixels);
    std::vector<uint8_t> got = {row.canvas.At(0, 0)};
    for (int32_t x : {1, 16, 17})
      if (x < r.pixels) got.push_back(row.canvas.At(x, 0));
    EXPECT_EQ(got, r.texels) << r.pixels;
    EXPECT_EQ(row.canvas.Span(0, 0xAA), std::make_pair(0, r.pixels));
  }
  SpanRow none;
  none.left.X = 5 * 65536, none.right.X = 6 * 65536 - 1;  // both in column 5
  E3D_PerspSpan8(0xFFFF, 1, &none.left, &none.right);
  EXPECT_EQ(none.canvas.Span(0, 0xAA), std::make_pair(0, 0));
}

TEST(PerspSpan8, ThreeLinesAdvanceTheRecordsByThreeSteps) {
  SpanRow row;
  row.left.XStep = 65536, row.right.XStep = 2 * 65536;
  row.left.StepW = 0.25f, row.left.StepUW = 2, row.left.StepVW = -4;
  row.Draw(4, 3);
  EXPECT_EQ(row.left.X, 3 * 65536 + 0x8000);
  EXPECT_EQ(row.right.X, 10 * 65536 + 0x8000);
  EXPECT_EQ(row.left.W, 1.75f);
  EXPECT_EQ(row.left.UW, 256.0f);
  EXPECT_EQ(row.left.VW, -12.0f);
  EXPECT_EQ(E3D_PerspSpanLine, row.canvas.First() + 3 * row.canvas.pitch);
  EXPECT_EQ(row.canvas.Span(3, 0xAA), std::make_pair(0, 0));
}

}  // namespace

namespace {

// On a plane facing the camera, u and v set to the middles of texel x and
// texel y at the corners (v with half of x added): every pixel reads its
// own column and row y + (x + 1) / 2, in both parts.
TEST(PerspTri8, TexelsFollowThePlaneOfTheCorners) {
  const std::vector<std::vector<std::pair<int32_t, int32_t>>> triangles = {
      {{12, 0}, {50, 14}, {20, 40}}, {{40, 2}, {5, 20}, {45, 44}}};
  for (const auto& t : triangles)
    for (Page kind : {Page::Column, Page::Row}) {
      std::vector<TSOFTVERTEX> c;
      for (const auto& [x, y] : t) c.push_back(Corner(x, y, 256 * x + 128, 256 * y + 128 * x + 128, 3));
      const FenceCanvas canvas = Draw(c[0], c[1], c[2], kind);
      int32_t drawn = 0;
      for (int32_t y = 0; y < 48; ++y)
        for (int32_t x = 0, first = 1; x < 64; ++x)
          if (canvas.At(x, y) != 0xAA) {
            ++drawn;
            // A row's first pixel reads its own column (u taken at the
            // pixel, not where the edge crosses the row; v of an odd x
            // falls on a texel's side); the 16-pixel steps may lag by one.
            const int32_t want = kind == Page::Column ? x : y + (x + 1) / 2;
            EXPECT_LE(std::abs(canvas.At(x, y) - want), first && kind == Page::Column ? 0 : 1) << x << "," << y;
            first = 0;
          }
      EXPECT_GT(drawn, 300);
    }
}

}  // namespace
