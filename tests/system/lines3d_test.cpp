// The line, pixel and outline primitives at 8 and 16 bits, and the
// division table of short edges.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "system/asm3d/zidade3d.h"
#include "tests/system/window3d_fixture.h"

namespace {

using ztest::PixelSet;

class Lines3d : public ztest::Window3dTest, public ::testing::WithParamInterface<int32_t> {
 protected:
  void SetUp() override {
    Window3dTest::SetUp();
    LS_InitWindowFull(bmap_ = Make(kSize, kSize, GetParam()), &window_, 0xFFFFFFFF);
  }

  // The depth's own line primitive.
  void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour = 0xFF) {
    window_.W_PRIMITIVE->Line(&window_, x1, y1, x2, y2, colour);
  }
  PixelSet DrawnLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    std::memset(bmap_->Start, 0, static_cast<size_t>(bmap_->ByteLen) * kSize);
    Line(x1, y1, x2, y2);
    return Drawn(bmap_);
  }

  static constexpr int32_t kSize = 16;
  BMAP* bmap_ = nullptr;
  _WINDOW window_{};
};

TEST_P(Lines3d, ShortLines) {
  const PixelSet tie{{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}};  // a tie on the minor axis steps at the first half
  const std::pair<std::array<int32_t, 4>, PixelSet> rows[] = {
      {{5, 5, 5, 5}, {{5, 5}}},
      {{3, 0, 0, 3}, {{3, 0}, {2, 1}, {1, 2}, {0, 3}}},
      {{10, 7, 7, 7}, {{7, 7}, {8, 7}, {9, 7}, {10, 7}}},
      {{0, 0, 4, 2}, tie},
      {{4, 2, 0, 0}, tie},
  };
  for (const auto& [e, pixels] : rows) EXPECT_EQ(DrawnLine(e[0], e[1], e[2], e[3]), pixels) << e[0] << "," << e[1];
}

// Every line between two points of the grid: the right number of pixels,
// both ends, one pixel per step of the major axis, each step moving at most
// one along the minor axis, close to the true line, and the same pixels
// when given the other way round. The pixels are read straight from the
// bitmap: this draws 131,072 lines per depth.
TEST_P(Lines3d, EveryLineOfTheGridIsSound) {
  using Grid = std::array<std::array<bool, kSize>, kSize>;  // [y][x]
  const auto draw = [&](int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    std::memset(bmap_->Start, 0, static_cast<size_t>(bmap_->ByteLen) * kSize);
    Line(x1, y1, x2, y2);
    Grid on{};
    for (int32_t y = 0; y < kSize; ++y)
      for (int32_t b = 0; b < bmap_->ByteLen; ++b)
        if (bmap_->Start[y * bmap_->ByteLen + b]) on[y][b * 8 / GetParam()] = true;
    return on;
  };
  for (int32_t a = 0; a < kSize * kSize; ++a)
    for (int32_t b = 0; b < kSize * kSize; ++b) {
      const int32_t x1 = a % kSize, y1 = a / kSize, x2 = b % kSize, y2 = b / kSize;
      const Grid on = draw(x1, y1, x2, y2);
      const int32_t dx = x2 - x1, dy = y2 - y1;
      const bool flat = std::abs(dx) >= std::abs(dy);
      const int32_t major = std::max(std::abs(dx), std::abs(dy));
      const auto at = [&](int32_t along, int32_t across) {
        return flat ? on[across][along] : on[along][across];
      };
      size_t count = 0;
      for (const auto& row : on) count += static_cast<size_t>(std::count(row.begin(), row.end(), true));
      SCOPED_TRACE(testing::Message() << "(" << x1 << ", " << y1 << ")-(" << x2 << ", " << y2 << ")");
      ASSERT_EQ(count, static_cast<size_t>(major + 1));
      ASSERT_TRUE(on[y1][x1] && on[y2][x2]);
      int32_t previous = flat ? y1 : x1;
      for (int32_t t = 0; t <= major; ++t) {
        const int32_t sign = (flat ? dx : dy) < 0 ? -1 : 1;
        const int32_t along = (flat ? x1 : y1) + sign * t;
        int32_t found = -1;
        for (int32_t m = 0; m < kSize; ++m)
          if (at(along, m)) found = m;
        ASSERT_GE(found, 0) << "gap at " << along;
        ASSERT_LE(std::abs(found - previous), 1);
        previous = found;
        const double exact = major == 0 ? (flat ? y1 : x1)
                                        : (flat ? y1 + static_cast<double>(dy) * t / major
                                                : x1 + static_cast<double>(dx) * t / major);
        ASSERT_LE(std::fabs(found - exact), 0.5 + 1.0 / 64);
      }
      ASSERT_EQ(draw(x2, y2, x1, y1), on) << "the reverse differs";
    }
}

TEST_P(Lines3d, LongLinesKeepTheirEnds) {
  LS_InitWindowFull(bmap_ = Make(1000, 700, GetParam()), &window_, 0);
  const int32_t ends[][4] = {{0, 0, 999, 1}, {999, 0, 0, 699}, {3, 699, 5, 0}, {0, 0, 998, 699}};
  for (const auto& e : ends) {
    LS_ClearBmap(bmap_);
    Line(e[0], e[1], e[2], e[3], 0x77);
    const PixelSet pixels = Drawn(bmap_);
    EXPECT_EQ(pixels.size(), static_cast<size_t>(std::max(std::abs(e[2] - e[0]), std::abs(e[3] - e[1])) + 1));
    EXPECT_TRUE(pixels.count({e[0], e[1]}) && pixels.count({e[2], e[3]}));
  }
}

// Face types draw their outlines; type 16 keeps only its low four bits
// and draws as type 0; detail 0 sends every type to type 0.
TEST_P(Lines3d, OutlinesOfFaces) {
  const _TRIANGLE t = Triangle(0, 0, 4, 0, 0, 4, 0x1E);
  LS_WinTriangle(&window_, 16, &t);
  const PixelSet triangle = InColour(bmap_, 0x1E);
  EXPECT_EQ(std::tuple(triangle.size(), Drawn(bmap_)), std::tuple(12u, triangle));
  EXPECT_TRUE(triangle.count({2, 2}) && triangle.count({4, 0}) && triangle.count({0, 4}));
  LS_ClearBmap(bmap_);
  window_.W_DETAIL = 0;
  const _QUADRANGLE q = Quadrangle({0, 0, 4, 0, 4, 4, 0, 4}, 0x2D);
  LS_WinQuadrangle(&window_, 2, &q);  // type 2 would be the null routine
  PixelSet square;
  for (int32_t i = 0; i <= 4; ++i) square.insert({{i, 0}, {i, 4}, {0, i}, {4, i}});
  EXPECT_EQ(Drawn(bmap_), square);
}

INSTANTIATE_TEST_SUITE_P(Depths, Lines3d, ::testing::Values(8, 16),
                         [](const auto& info) { return "Depth" + std::to_string(info.param); });

using Pixels3d = ztest::Window3dTest;

TEST_F(Pixels3d, PlotsWriteTheLowBitsAtTheWindowsOffset) {
  BMAP* b8 = Make(40, 30, 8);
  _WINDOW w8, w16;
  LS_InitWindow(b8, &w8, 0, 10, 20, 20, 10);
  WI_PLOT8(&w8, 3, 2, 0x1234);
  EXPECT_EQ(Drawn(b8), (PixelSet{{13, 22}}));
  EXPECT_EQ(LS_GetPixel(b8, 13, 22), 0x34u);
  BMAP* b16 = Make(40, 30, 16);
  LS_InitWindow(b16, &w16, 0, 10, 20, 20, 10);
  LS_Plot16(&w16, 3, 2, 0x12345);
  w16.W_PRIMITIVE->Plot(&w16, 0, 0, 7);
  EXPECT_EQ(std::tuple(LS_GetPixel(b16, 13, 22), LS_GetPixel(b16, 10, 20), Drawn(b16).size()), std::tuple(0x2345u, 7u, 2u));
}

TEST(LineDivideTable, HoldsTheQuotientsOfShortEdges) {
  const std::tuple<uint32_t, uint32_t, uint32_t> rows[] = {{1, 0, 0}, {0, 5, 0}, {1, 3, 21845}, {5, 3, 109226}, {63, 1, 4128768}};
  for (auto [a, b, quotient] : rows) EXPECT_EQ(_L3_LINEDIVIDETABLE[a][b], quotient) << a << "/" << b;
  // Rows of 64 entries of 4 bytes: (a << 8) + 4 b.
  EXPECT_EQ(reinterpret_cast<const uint8_t*>(&_L3_LINEDIVIDETABLE[5][3]) - reinterpret_cast<const uint8_t*>(_L3_LINEDIVIDETABLE),
            (5 << 8) + 12);
}

}  // namespace
