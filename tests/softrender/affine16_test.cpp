// The 16-bit affine triangle filler: the rows it covers, vertex order and
// winding, the texels of the corners' plane, wrapping, transparency and
// the shortest spans. The page's texels are their own offsets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "tests/support/fillpages.h"

namespace {

using ztest::Corner;
using ztest::FenceCanvas16;

FenceCanvas16 Draw(TSOFTVERTEX a, TSOFTVERTEX b, TSOFTVERTEX c, int32_t transparent = 0, int32_t k = 0) {
  FenceCanvas16 canvas(64, 48, 0xAAAA);
  std::vector<uint16_t> page = ztest::TexturePage16();
  E3D_AffineTri16(k, &canvas.window, reinterpret_cast<uint8_t*>(page.data()), &a, &b, &c, transparent);
  EXPECT_TRUE(canvas.FenceIntact());
  return canvas;
}

// One texel a pixel, from row 100 of the page.
TSOFTVERTEX At(int32_t x, int32_t y) { return Corner(x, y, 256 * x, 256 * (y + 100)); }

TEST(AffineTri16, FillsRowsFromTheTopCornerToTheBottomOneExcluded) {
  const FenceCanvas16 canvas = Draw(At(10, 10), At(20, 10), At(10, 20));
  EXPECT_EQ(canvas.Span(9, 0xAAAA), std::make_pair(0, 0));
  for (int32_t y = 10; y < 20; ++y) EXPECT_EQ(canvas.Span(y, 0xAAAA), std::make_pair(10, 30 - y)) << y;
  EXPECT_EQ(canvas.Span(20, 0xAAAA), std::make_pair(0, 0));
  EXPECT_EQ(canvas.At(12, 14), (114 << 8) + 12);
}

// Seeded triangles on the plane u = 256 x + 64 y, v = 256 y + 128 x + 4096
// (whose top edges differ in slope): every order of the corners fills the
// same pixels with the same texels, each within one texel of the plane.
TEST(AffineTri16, AnyVertexOrderAndWindingFillsTheSamePixelsWithTheSameTexels) {
  std::mt19937 rng(52);
  std::uniform_int_distribution<int32_t> x(0, 64), y(0, 48);
  int32_t drawn = 0;
  for (int32_t i = 0; i < 200; ++i) {
    std::vector<TSOFTVERTEX> c;
    for (int32_t j = 0; j < 3; ++j) {
      const int32_t px = x(rng), py = y(rng);
      c.push_back(Corner(px, py, 256 * px + 64 * py, 256 * py + 128 * px + 4096));
    }
    std::sort(c.begin(), c.end(), [](const TSOFTVERTEX& a, const TSOFTVERTEX& b) { return a.Y < b.Y; });
    if (c[0].Y < c[1].Y && (c[1].X - c[0].X) * (c[2].Y - c[0].Y) == (c[2].X - c[0].X) * (c[1].Y - c[0].Y)) continue;
    const FenceCanvas16 first = Draw(c[0], c[1], c[2]);
    int32_t order[3] = {0, 1, 2};
    while (std::next_permutation(order, order + 3))
      EXPECT_EQ(Draw(c[order[0]], c[order[1]], c[order[2]]).bytes, first.bytes) << i;
    for (int32_t py = 0; py < 48; ++py)
      for (int32_t px = 0; px < 64; ++px) {
        const uint16_t texel = first.At(px, py);
        if (texel == 0xAAAA) continue;
        ++drawn;
        const int32_t u = px + py / 4, v = py + px / 2 + 16;
        EXPECT_LE(std::abs((texel & 255) - u), 1) << px << "," << py;
        EXPECT_LE(std::abs((texel >> 8) - v), 1) << px << "," << py;
      }
  }
  EXPECT_GT(drawn, 10000);
}

TEST(AffineTri16, WrapsSkipsTexelZeroOnlyWhenTransparentAndWritesShortSpans) {
  // k = 9 (128 x 128) from u = 128.0 at column 0: the left column reads
  // texture column 0, and its top pixel texel 0.
  auto wrapped = [](int32_t transparent) {
    return Draw(Corner(0, 0, 128 * 256, 0), Corner(40, 0, 168 * 256, 0), Corner(0, 10, 128 * 256, 10 * 256),
                transparent, 9);
  };
  const FenceCanvas16 opaque = wrapped(0), transparent = wrapped(1);
  EXPECT_EQ(opaque.At(0, 1), 0x0100);
  EXPECT_EQ(opaque.At(1, 0), 1);
  EXPECT_EQ(opaque.At(0, 0), 0);  // texel 0 written as colour 0
  EXPECT_EQ(transparent.At(0, 0), 0xAAAA);
  EXPECT_EQ(transparent.At(1, 0), 1);
  // Rows of two pixels and of one.
  const FenceCanvas16 small = Draw(At(0, 0), At(2, 0), At(0, 2));
  EXPECT_EQ(small.Span(0, 0xAAAA), std::make_pair(0, 2));
  EXPECT_EQ(small.Span(1, 0xAAAA), std::make_pair(0, 1));
  EXPECT_EQ(std::vector<uint16_t>({small.At(0, 0), small.At(1, 0), small.At(0, 1)}),
            std::vector<uint16_t>({100 << 8, (100 << 8) + 1, 101 << 8}));
}

}  // namespace
