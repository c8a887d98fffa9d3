// The 16-bit perspective polygon families and the filler from 8-bit
// pages: the rows and spans of the edge walk, the exact and stepped
// positions of a span, the members' wrap masks, transparency, and
// agreement with a rasteriser that divides at every pixel. The pages'
// texels are their own offsets, row x 256 + column.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "softrender/fill16/persppoly16.h"
#include "tests/support/fillpages.h"

namespace {

using ztest::Corner;
using ztest::FenceCanvas16;

enum class Filler { Opaque, Transp, Pal };

// A rectangle's top row of n pixels from x 0, or any polygon, drawn with
// u = U x 65536 / D - u offset on a view where D is 1 (focal 1, centre 0).
struct Fill16 {
  FenceCanvas16 canvas{160, 40, 0xAAAA};
  std::vector<uint16_t> page = ztest::TexturePage16();
  std::vector<uint8_t> page8 = ztest::TexturePage(ztest::Page::Row);
  std::vector<uint16_t> colours = std::vector<uint16_t>(256);
  float matrix[9] = {-1, 0, 0, 0, 1.0f / 256, 0, 0, 0, 1.0f / 256};  // one texel a pixel across and down
  TSOFTORIGIN origin{};
  Fill16() {
    for (int i = 0; i < 256; ++i) colours[i] = static_cast<uint16_t>(i);
  }
  void Draw(std::vector<TSOFTVERTEX> corners, Filler f = Filler::Opaque, int32_t k = 0, uint32_t mask = 0xFFFF) {
    E3D_NegFocal = -1, E3D_NegCenterX = 0, E3D_NegCenterY = 0;
    canvas.Select();
    const auto n = static_cast<int32_t>(corners.size());
    auto* texels = reinterpret_cast<uint8_t*>(page.data());
    if (f == Filler::Pal)
      E3D_PerspPolyPal16(mask, corners.data(), n, page8.data(), colours.data(), canvas.First(), &origin, matrix);
    else
      (f == Filler::Opaque ? E3D_PerspPolyOpaque16 : E3D_PerspPolyTransp16)(k, corners.data(), n, texels,
                                                                             canvas.First(), &origin, matrix);
    EXPECT_TRUE(canvas.FenceIntact());
  }
  void Row(int32_t n, Filler f = Filler::Opaque, int32_t k = 0) {
    Draw({Corner(0, 3), Corner(n, 3), Corner(n, 4), Corner(0, 4)}, f, k);
  }
};

TEST(PerspFamily16, FillsTheRowsOfTheEdgeWalkInEitherWinding) {
  for (Filler f : {Filler::Opaque, Filler::Transp, Filler::Pal}) {
    Fill16 a, b, rounding;
    for (Fill16* r : {&a, &b, &rounding}) r->origin.VOffset = -100 * 256;  // no texel 0
    a.Draw({Corner(10, 10), Corner(20, 10), Corner(10, 20)}, f);
    b.Draw({Corner(10, 20), Corner(20, 10), Corner(10, 10)}, f);
    EXPECT_EQ(a.canvas.bytes, b.canvas.bytes) << int(f);
    EXPECT_EQ(a.canvas.Span(9, 0xAAAA), std::make_pair(0, 0));
    for (int32_t y = 10; y < 20; ++y) EXPECT_EQ(a.canvas.Span(y, 0xAAAA), std::make_pair(10, 30 - y)) << y;
    EXPECT_EQ(a.canvas.Span(20, 0xAAAA), std::make_pair(0, 0)) << int(f);
    // Both edges at half a pixel on row 1: x rounds half up.
    rounding.Draw({Corner(0, 0), Corner(8, 0), Corner(9, 2), Corner(1, 2)}, f);
    EXPECT_EQ(rounding.canvas.Span(0, 0xAAAA), std::make_pair(0, 8)) << int(f);
    EXPECT_EQ(rounding.canvas.Span(1, 0xAAAA), std::make_pair(1, 9)) << int(f);
  }
}

// u and v = 4111 x / 16 + 250 and + 16 x 256 + 230 units: 16 steps of
// 256 fall 15 units short of the exact point, which lies just past a whole
// texel for u at pixel 16 and for v at pixel 32. A pixel shows
// (row << 8) | column.
TEST(PerspFamily16, EveryFullBlockEndsExactlyAndTheRemainderIsStepped) {
  const struct {
    int32_t length, pixel;
    uint16_t texel;
  } rows[] = {
      {1, 0, 0x1000},  {2, 1, 0x1101},     // E(xl) + S
      {17, 16, 0x2010},                    // no full block: pixel 16 stepped
      {18, 16, 0x2011}, {18, 17, 0x2112},  // pixel 16 exact, then one step
      {33, 32, 0x3021},                    // one block, a remainder of 16 stepped
  };
  for (Filler f : {Filler::Opaque, Filler::Transp}) {
    for (const auto& r : rows) {
      Fill16 run;
      run.matrix[4] = run.matrix[7] = 4111.0f / 1048576.0f, run.matrix[8] = 0;
      run.origin.UOffset = -250, run.origin.VOffset = -(16 * 256 + 230);
      run.Row(r.length, f);
      EXPECT_EQ(run.canvas.At(r.pixel, 3), r.texel) << r.length << " pixel " << r.pixel << " filler " << int(f);
      EXPECT_EQ(run.canvas.Span(3, 0xAAAA), std::make_pair(0, r.length));
    }
  }
}

// D = 1 + 2^-30 at the span's start, growing 2^-26 a block; U = 1000:
// the first two points take D rounded to the float 1 (u = 65536000), the
// third D in double (a hair over 1, so u truncates to 65535999).
TEST(PerspFamily16, TheFirstTwoPointsAreRoundedToFloatsAndLaterOnesNot) {
  E3D_PERSPPOLY16 poly{};
  poly.Poly.PerPixel[0] = 0x1p-30f, poly.PerBlock[0] = 0x1p-26f;
  E3D_PERSPPOINTS16 points(poly, 1.0f, 1000.0f, 0.0f, 1);
  std::vector<int32_t> u;
  for (int32_t i = 0; i < 3; ++i) {
    int32_t ue, ve;
    points(ue, ve);
    u.push_back(ue);
  }
  EXPECT_EQ(u, std::vector<int32_t>({65536000, 65536000, 65535999}));
}

// v falls by one unit over 16 pixels: its step is -1 (0xFFFF in the low
// half), whose addition carries into u, 255 units from the next column.
TEST(PerspFamily16, ANegativeStepOfOneAndTheCarryIntoU) {
  Fill16 run;
  run.matrix[4] = 0, run.matrix[7] = -1.0f / 1048576.0f, run.matrix[8] = 0;
  run.origin.UOffset = -255, run.origin.VOffset = -2048;
  run.Row(2);
  EXPECT_EQ(run.canvas.At(0, 3), 0x0800);
  EXPECT_EQ(run.canvas.At(1, 3), 0x0701);  // row 7, and column 1 from the carry
}

TEST(PerspFamily16, EachMemberWrapsInsideItsTexture) {
  // u and v at 255.5 texels: the offset 0xFFFF ANDed with the member's mask.
  const struct {
    int32_t k;
    uint16_t mask;
  } rows[] = {{0, 0xFFFF},  {1, 0x7FFF},  {7, 0x01FF},  {8, 0xFF7F},  {9, 0x7F7F},
              {27, 0x1F1F}, {36, 0x0F0F}, {56, 0xFF01}, {63, 0x0101}};
  for (Filler f : {Filler::Opaque, Filler::Transp})
    for (const auto& r : rows) {
      Fill16 run;
      run.matrix[4] = run.matrix[8] = 0;
      run.origin.UOffset = run.origin.VOffset = -(255 * 256 + 128);
      run.Row(3, f, r.k);
      EXPECT_EQ(run.canvas.At(2, 3), r.mask) << r.k << " filler " << int(f);
    }
  // k = 9, 128 x 128: column 130 reads 2 and row 200 reads 72; k = 0
  // wraps at 256 texels through the 16-bit halves alone.
  Fill16 small, whole;
  small.matrix[8] = whole.matrix[8] = 0;
  small.origin.VOffset = -200 * 256;
  small.Row(140, Filler::Opaque, 9);
  EXPECT_EQ(small.canvas.At(130, 3), 72 * 256 + 2);
  whole.origin.UOffset = -250 * 256, whole.origin.VOffset = -255 * 256;
  whole.Row(10);
  EXPECT_EQ(whole.canvas.At(9, 3), 0xFF03);  // column 259, row 255
}

TEST(PerspFamily16, TransparentSkipsTexelZeroWhereverItFalls) {
  // Checker holes at columns 0..7 and 16..23 of row 0: pixel 0 starts the
  // span and pixel 16 ends its first block, both exact.
  const struct {
    int32_t pixel;
    uint16_t opaque, transparent;
  } rows[] = {{0, 0, 0xAAAA}, {7, 0, 0xAAAA}, {8, 8, 8}, {16, 0, 0xAAAA}, {24, 24, 24}};
  for (Filler f : {Filler::Opaque, Filler::Transp}) {
    Fill16 run;
    run.page = ztest::TexturePage16(true);
    run.matrix[8] = 0;
    run.Row(30, f);
    for (const auto& r : rows)
      EXPECT_EQ(run.canvas.At(r.pixel, 3), f == Filler::Opaque ? r.opaque : r.transparent) << r.pixel;
  }
  Fill16 blank, one;
  blank.page.assign(65536, 0);
  one.page.assign(65536, 1);
  blank.Draw({Corner(3, 2), Corner(150, 9), Corner(20, 39)}, Filler::Transp);
  one.Draw({Corner(3, 2), Corner(150, 9), Corner(20, 39)}, Filler::Transp);
  EXPECT_EQ(blank.canvas.bytes, Fill16().canvas.bytes);
  EXPECT_EQ(one.canvas.At(20, 20), 1);
}

// The filler from 8-bit pages: a page whose row r holds r, through the
// identity table, shows v's row; mask 0x7F7F repeats the top-left
// 128 x 128, and bits above 0xFFFF are not counted.
TEST(PerspPal16, ShowsTheTableColourOfTheMaskedTexel) {
  for (uint32_t mask : {0xFFFFu, 0x7F7Fu, 0xFFFF7F7Fu}) {
    Fill16 run;
    run.canvas = FenceCanvas16(200, 200, 0xAAAA);
    run.origin.VOffset = -56 * 256;  // v from row 56
    run.Draw({Corner(0, 0), Corner(200, 0), Corner(200, 200), Corner(0, 200)}, Filler::Pal, 0, mask);
    for (int32_t y : {0, 71, 72, 150, 199})
      EXPECT_EQ(run.canvas.At(5, y), ((56 + y) & 255) & (mask >> 8 & 255)) << mask << " row " << y;
  }
  Fill16 columns;
  std::mt19937 rng(52);
  for (uint8_t& t : columns.page8) t = static_cast<uint8_t>(rng());
  for (int i = 0; i < 256; ++i) columns.colours[i] = static_cast<uint16_t>(0x8000 | i * 3);
  columns.canvas = FenceCanvas16(160, 160, 0xAAAA);
  columns.Draw({Corner(0, 0), Corner(160, 0), Corner(160, 160), Corner(0, 160)}, Filler::Pal, 0, 0x7F7F);
  int32_t wrong = 0;
  for (int32_t y = 0; y < 160; ++y)
    for (int32_t x = 0; x < 160; ++x)
      wrong += columns.canvas.At(x, y) != columns.colours[columns.page8[(y & 127) * 256 + (x & 127)]];
  EXPECT_EQ(wrong, 0);
}

// Seeded polygons of moderate slant against the reference, whose texels
// are their offsets: column and row within one texel on 99% of pixels.
TEST(PerspFamily16, AgreesWithAPerPixelDivision) {
  std::mt19937 rng(52);
  ztest::Projection640();
  const std::vector<uint16_t> page = ztest::TexturePage16();
  int64_t pixels = 0, close = 0;
  for (int32_t i = 0; i < 40; ++i) {
    const ztest::PerspCase c = ztest::SeededPerspPolygon(rng, 640, 480);
    FenceCanvas16 got(640, 480), want(640, 480);
    got.Select();
    std::vector<TSOFTVERTEX> corners = c.corners;
    TSOFTORIGIN origin = c.origin;
    float matrix[9];
    std::copy(c.matrix, c.matrix + 9, matrix);
    E3D_PerspPolyOpaque16(0, corners.data(), static_cast<int32_t>(corners.size()),
                          reinterpret_cast<uint8_t*>(const_cast<uint16_t*>(page.data())), got.First(), &origin, matrix);
    ztest::ReferencePerspPolygon(c, page.data(), 0xFFFF, false, want);
    for (int32_t y = 0; y < 480; ++y)
      for (int32_t x = 0; x < 640; ++x) {
        if (!got.At(x, y) || !want.At(x, y)) continue;
        auto near = [](int32_t a, int32_t b) { return std::min(std::abs(a - b), 256 - std::abs(a - b)) <= 1; };
        ++pixels;
        close += near(got.At(x, y) & 255, want.At(x, y) & 255) && near(got.At(x, y) >> 8, want.At(x, y) >> 8);
      }
  }
  EXPECT_GT(pixels, 80000);
  EXPECT_GE(close * 100, pixels * 99) << close << " of " << pixels;
}

}  // namespace
