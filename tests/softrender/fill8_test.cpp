// The 8-bit perspective polygon families: wrap masks, the edge walk, the
// runs of a span, transparency, and agreement with a rasteriser that
// divides at every pixel.
#include <gtest/gtest.h>

#include <random>

#include "softrender/fill8/persppoly8.h"
#include "softrender/fillcore.h"
#include "tests/support/fillpages.h"

namespace {

using ztest::Corner;
using ztest::FenceCanvas;
using ztest::Page;

TEST(WrapMasks, FollowTheTextureSides) {
  const struct {
    int32_t k;
    uint32_t mask;
  } rows[] = {{0, 0xFFFF}, {1, 0x7FFF}, {8, 0xFF7F}, {9, 0x7F7F}, {18, 0x3F3F}, {36, 0x0F0F}, {63, 0x0101}};
  for (const auto& r : rows) EXPECT_EQ(E3D_WrapMaskTable[r.k], r.mask) << r.k;
  for (int32_t k : {-1, 64, 255}) EXPECT_EQ(E3D_ClampSizeIndex(k), 63) << k;
}

TEST(RowOffsets, CoverTheRowsOfTheLargestView) {
  E3D_SetRowOffsets(800);
  EXPECT_EQ(E3D_RowOffsets[1], 800);
  EXPECT_EQ(E3D_RowOffsets[599], 599 * 800);  // the 800 x 600 modes' last row
}

TEST(SaturatingConversion, TruncatesTowardZeroAndGivesTheLowestIntegerOutOfRange) {
  const struct {
    double in;
    int32_t out;
  } rows[] = {{2.9, 2}, {-2.9, -2}, {2147483647.0, INT32_MAX}, {2147483648.0, INT32_MIN},
              {-2147483648.0, INT32_MIN}, {-3e9, INT32_MIN}, {NAN, INT32_MIN}, {INFINITY, INT32_MIN}};
  for (const auto& r : rows) EXPECT_EQ(E3D_SaturateToInt32(r.in), r.out) << r.in;
}

TEST(EdgeWalk, RoundsHalfUpAndLeavesTheLowerRowOut) {
  const TSOFTVERTEX tri[3] = {Corner(0, 0), Corner(1, 2), Corner(0, 2)};
  E3D_LeftEdge[2] = 999;
  int32_t top = 0, bottom = 0;
  ASSERT_TRUE(E3D_ScanPolygonEdges(tri, 3, 640, 480, &top, &bottom));
  EXPECT_EQ(top, 0);
  EXPECT_EQ(bottom, 2);
  EXPECT_EQ(E3D_LeftEdge[0], 0);
  EXPECT_EQ(E3D_LeftEdge[1], 1);  // 0.5 rounds up
  EXPECT_EQ(E3D_LeftEdge[2], 999);  // the lower corner's row is not written
}

// Row y of the polygon drawn with the page: which columns it covers.
struct FamilyRun {
  FenceCanvas canvas{64, 40};
  std::vector<uint8_t> page = ztest::TexturePage(Page::Column);
  float matrix[9] = {-1, 0, 0, 0, 4111.0f / 1048576.0f, 0, 0, 0, 0};
  TSOFTORIGIN origin{0, -250.0f, 0};
  void Draw(std::vector<TSOFTVERTEX> corners, bool transparent = false, int32_t k = 0) {
    E3D_NegFocal = -1, E3D_NegCenterX = 0, E3D_NegCenterY = 0;
    canvas.Select();
    (transparent ? E3D_PerspPolyTransp8 : E3D_PerspPolyOpaque8)(k, corners.data(), static_cast<int32_t>(corners.size()),
                                                                page.data(), canvas.First(), &origin, matrix);
  }
};

// u = 250 + 4111 x / 16 in 8.8 (column page: texel = u's whole part):
// the step over 16 pixels is 256, one texel, and 16 steps fall 15 units
// short of the exact point, which lies just past a whole texel.
TEST(PerspFamily, OnlyTheSpanStartIsExactAndEachRunStartsFromTheExactPoint) {
  const struct {
    int32_t length;
    std::vector<uint8_t> texels;  // pixels 0, 1, then 16 and 17 where present
  } rows[] = {{1, {0}}, {2, {0, 1}}, {17, {0, 1, 16}}, {18, {0, 1, 16, 18}}};
  for (const auto& r : rows) {
    FamilyRun run;
    run.canvas = FenceCanvas(64, 40, 0xAA);
    run.Draw({Corner(0, 3), Corner(r.length, 3), Corner(r.length, 4), Corner(0, 4)});
    std::vector<uint8_t> got = {run.canvas.At(0, 3)};
    if (r.length > 1) got.push_back(run.canvas.At(1, 3));
    for (int32_t x = 16; x < r.length; ++x) got.push_back(run.canvas.At(x, 3));
    EXPECT_EQ(got, r.texels) << r.length;
    EXPECT_EQ(run.canvas.Span(3, 0xAA), std::make_pair(0, r.length));
    EXPECT_EQ(run.canvas.Span(4, 0xAA), std::make_pair(0, 0));  // the bottom row is not drawn
  }
}

TEST(PerspFamily, EitherWindingFillsTheSamePixelsAndFlatPolygonsNothing) {
  FamilyRun a, b, flat;
  a.Draw({Corner(10, 10), Corner(20, 10), Corner(10, 20)});
  b.Draw({Corner(10, 20), Corner(20, 10), Corner(10, 10)});
  flat.Draw({Corner(10, 10), Corner(30, 10), Corner(20, 10)});
  EXPECT_EQ(a.canvas.bytes, b.canvas.bytes);
  EXPECT_EQ(a.canvas.Span(10, 0), std::make_pair(10, 20));
  EXPECT_EQ(a.canvas.Span(19, 0), std::make_pair(10, 11));
  EXPECT_EQ(a.canvas.Span(20, 0), std::make_pair(0, 0));
  EXPECT_EQ(flat.canvas.bytes, FenceCanvas(64, 40).bytes);
}

TEST(PerspFamily, TransparentLeavesTexelZeroAndOpaqueWritesIt) {
  for (bool transparent : {false, true}) {
    FamilyRun run;
    run.page = ztest::TexturePage(Page::Checker);
    run.canvas = FenceCanvas(64, 40, 0xAA);
    run.matrix[4] = 1.0f / 256.0f, run.origin.UOffset = 0;  // one texel a pixel
    run.Draw({Corner(0, 0), Corner(40, 0), Corner(40, 1), Corner(0, 1)}, transparent);
    EXPECT_EQ(run.canvas.At(3, 0), 0xAA * transparent) << transparent;  // texel 0 at u 3
    EXPECT_EQ(run.canvas.At(9, 0), 1);
  }
}

TEST(PerspFamily, SmallTexturesRepeatAndNegativeCoordinatesWrap) {
  FamilyRun run;
  run.page = ztest::TexturePage(Page::Column);
  run.matrix[4] = 1.0f / 256.0f, run.origin.UOffset = 256.0f * 3;  // u = x - 3 texels
  run.Draw({Corner(0, 0), Corner(8, 0), Corner(8, 1), Corner(0, 1)}, false, 63);
  std::vector<uint8_t> row;
  for (int32_t x = 0; x < 8; ++x) row.push_back(run.canvas.At(x, 0));
  EXPECT_EQ(row, std::vector<uint8_t>({1, 0, 1, 0, 1, 0, 1, 0}));  // u = -3 reads column 253 & 1
}

// Seeded polygons of moderate slant against the reference: each row's
// ends within a pixel, and the texel within one on 99% of the pixels.
TEST(PerspFamily, AgreesWithAPerPixelDivision) {
  std::mt19937 rng(51);
  ztest::Projection640();
  int64_t pixels = 0, close = 0, endRows = 0, rows = 0;
  for (int32_t i = 0; i < 60; ++i) {
    const ztest::PerspCase c = ztest::SeededPerspPolygon(rng, 640, 480);
    for (Page kind : {Page::Constant, Page::Column, Page::Row}) {
      const std::vector<uint8_t> page = ztest::TexturePage(kind);
      FenceCanvas got(640, 480), want(640, 480);
      got.Select();
      std::vector<TSOFTVERTEX> corners = c.corners;
      TSOFTORIGIN origin = c.origin;
      float matrix[9];
      std::copy(c.matrix, c.matrix + 9, matrix);
      E3D_PerspPolyOpaque8(0, corners.data(), static_cast<int32_t>(corners.size()), const_cast<uint8_t*>(page.data()),
                           got.First(), &origin, matrix);
      ztest::ReferencePerspPolygon(c, page.data(), 0xFFFF, false, want);
      for (int32_t y = 0; y < 480; ++y) {
        if (kind == Page::Constant) {
          const auto a = got.Span(y), b = want.Span(y);
          if (a == b) continue;
          ++endRows;
          EXPECT_LE(std::abs(a.first - b.first), 1) << i << " row " << y;
          EXPECT_LE(std::abs(a.second - b.second), 1) << i << " row " << y;
          continue;
        }
        ++rows;
        for (int32_t x = 0; x < 640; ++x) {
          if (!got.At(x, y) && !want.At(x, y)) continue;
          const int32_t d = std::abs(got.At(x, y) - want.At(x, y));
          ++pixels, close += std::min(d, 256 - d) <= 1;
        }
      }
    }
  }
  EXPECT_GT(pixels, 100000);
  EXPECT_GE(close * 100, pixels * 99) << close << " of " << pixels;
  EXPECT_LT(endRows * 20, rows) << "rows whose ends differ";
}

}  // namespace
