// Copies between bitmaps: clipping, transparency, the display's copy
// between surfaces, and the alpha blend.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/display.h"
#include "system/bmap.h"
#include "tests/system/bmap_fixture.h"

namespace {

using Pixels = std::vector<uint32_t>;

class Bitmove : public ztest::BmapTest {
 protected:
  // A source whose pixel (x, y) holds 10 y + x + 1.
  BMAP* Numbered(int32_t width, int32_t height, int32_t depth) {
    Pixels pixels;
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) pixels.push_back(static_cast<uint32_t>(10 * y + x + 1));
    return Filled(width, height, depth, pixels);
  }
};

TEST_F(Bitmove, CornersAreOrderedAndClippedOnBothSides) {
  struct Row {
    const char* what;
    int32_t x1, y1, x2, y2, dx, dy;
    std::vector<std::tuple<int32_t, int32_t, uint32_t>> probes;  // x, y, pixel
  } rows[] = {
      {"a negative source corner moves the destination", -5, 0, 7, 0, 2, 3, {{7, 3, 1}, {14, 3, 8}, {6, 3, 0}, {15, 3, 0}}},
      {"a negative destination moves the source corner", 0, 0, 7, 3, -3, -2, {{0, 0, 24}, {4, 1, 38}, {0, 2, 0}}},
      {"reversed corners past the source", 9, 9, 4, 3, 1, 2, {{1, 2, 35}, {4, 2, 38}, {5, 2, 0}, {1, 3, 0}, {0, 2, 0}}},
      {"wholly to the right", 0, 0, 7, 3, 20, 0, {}},
      {"wholly left of the source", -9, 0, -1, 3, 0, 0, {}},
      {"far away", 0, 0, 1, 1, INT32_MIN, INT32_MIN, {}},
      {"the widest source moves the destination away", INT32_MIN, 0, INT32_MAX, 1, 0, 0, {}},
  };
  BMAP* src = Numbered(8, 4, 16);
  BMAP* dst = Make(20, 10, 16);
  for (const Row& r : rows) {
    LS_ClearBmap(dst);
    LS_Bitmove(src, dst, r.x1, r.y1, r.x2, r.y2, r.dx, r.dy, 0);
    const Pixels all = ztest::PixelsOf(dst);
    if (r.probes.empty()) { EXPECT_EQ(std::count(all.begin(), all.end(), 0u), 200) << r.what; }
    for (auto [x, y, pixel] : r.probes) EXPECT_EQ(ValueAt(dst, x, y), pixel) << r.what << " at " << x << "," << y;
  }
}

TEST_F(Bitmove, TransparentCopyKeepsTheDestinationWhereTheWholeSourcePixelIsZero) {
  const std::tuple<int32_t, Pixels, Pixels, Pixels> rows[] = {
      {8, {5, 0, 7}, {1, 2, 3}, {5, 2, 7}},
      {16, {0x0100, 0, 0x00FF}, {0xAAAA, 0xBBBB, 0xCCCC}, {0x0100, 0xBBBB, 0x00FF}},
      {24, {0x010000, 0, 1}, {0x123456, 0x654321, 0}, {0x010000, 0x654321, 1}},
      {32, {0x01000000, 0, 1}, {7, 8, 9}, {0x01000000, 8, 1}},
  };
  for (const auto& [depth, source, under, result] : rows) {
    BMAP* dst = Filled(3, 1, depth, under);
    LS_Bitmove(Filled(3, 1, depth, source), dst, 0, 0, 2, 0, 0, 0, 1);
    EXPECT_EQ(ztest::PixelsOf(dst), result) << depth;
  }
}

TEST_F(Bitmove, OverlappingCopyWithinOneBitmap) {
  BMAP* b = Numbered(6, 6, 8);
  LS_Bitmove(b, b, 0, 0, 3, 3, 1, 1, 0);
  EXPECT_EQ((Pixels{ValueAt(b, 1, 1), ValueAt(b, 4, 4), ValueAt(b, 2, 4)}), (Pixels{1, 34, 32}));
  LS_Bitmove(b, b, 1, 1, 4, 4, 0, 0, 1);
  EXPECT_EQ((Pixels{ValueAt(b, 0, 0), ValueAt(b, 3, 3)}), (Pixels{1, 34}));
}

TEST_F(Bitmove, CopyIntoAndOutOfAWidePitchSurface) {
  BMAP* surface = Make(7, 4, 16, BMAP_SYSMEM);
  LS_Bitmove(Numbered(5, 3, 16), surface, 0, 0, 4, 2, 1, 1, 0);
  BMAP* back = Make(7, 4, 16);
  LS_Bitmove(surface, back, 0, 0, 6, 3, 0, 0, 0);
  EXPECT_EQ((Pixels{ValueAt(back, 1, 1), ValueAt(back, 5, 1), ValueAt(back, 1, 3), ValueAt(back, 5, 3), ValueAt(back, 6, 3)}),
            (Pixels{1, 5, 21, 25, 0}));
}

TEST_F(Bitmove, SurfacesAreCopiedByTheDisplay) {
  BMAP* src = Make(4, 4, 16, BMAP_VIDEOMEM);
  BMAP* dst = Make(4, 4, 16, BMAP_VIDEOMEM);
  Put(src, 0, 0, 0x1234);
  Put(dst, 1, 0, 0x7777);
  const plat::DisplayCounters before = plat::GetDisplayCounters();
  LS_Bitmove(src, dst, 0, 0, 1, 0, 0, 0, 1);  // keyed: colour 0 is skipped
  EXPECT_EQ((Pixels{ValueAt(dst, 0, 0), ValueAt(dst, 1, 0)}), (Pixels{0x1234, 0x7777}));
  LS_Bitmove(src, dst, 0, 0, 1, 0, 0, 0, 0);
  EXPECT_EQ(ValueAt(dst, 1, 0), 0u);
  // Bit 2 of the mode, system memory or a framed window: the full copy.
  LS_Bitmove(src, dst, 0, 0, 1, 0, 0, 0, 4);
  LS_Var.Style = 256;
  LS_Bitmove(src, dst, 0, 0, 1, 0, 0, 0, 0);
  LS_Var.Style = 0;
  BMAP* sys = Make(4, 4, 16, BMAP_SYSMEM);
  LS_Bitmove(src, sys, 0, 0, 3, 3, 0, 0, 0);
  EXPECT_EQ(ValueAt(sys, 0, 0), 0x1234u);
  EXPECT_EQ(plat::GetDisplayCounters().blits, before.blits + 3);
  EXPECT_EQ(plat::GetDisplayCounters().fastBlits, before.fastBlits + 2);
  // A busy display is waited for; a lost surface is restored.
  static int redraws = 0;
  LS_SetBmapRestoreProc(dst, [](BMAP*) { return ++redraws; });
  plat::MakeNextBlitsBusy(3);
  LS_Bitmove(src, dst, 0, 0, 3, 3, 0, 0, 0);
  EXPECT_EQ(plat::GetDisplayCounters().fastBlits, before.fastBlits + 2 + 4);
  plat::MarkSurfaceLost(dst->Surface);
  Put(src, 2, 2, 0x4321);
  LS_Bitmove(src, dst, 2, 2, 2, 2, 0, 0, 0);
  EXPECT_EQ(redraws, 1);
  EXPECT_EQ(ValueAt(dst, 0, 0), 0x4321u);
  LogErrors();  // locked surfaces are refused
  for (BMAP* locked : {src, dst}) {
    LS_LockBmap(locked);
    LS_Bitmove(src, dst, 0, 0, 3, 3, 0, 0, 0);
    LS_UnlockBmap(locked);
  }
  EXPECT_EQ(Logged("Source DDRAW BMAP Locked") + Logged("Destination DDRAW BMAP Locked"), 2);
}

TEST_F(Bitmove, FramedFrontScreenIsReachedAtTheClientOffset) {
  LS_Var.Style = 256;
  plat::SetWindowClient({100, 50, 320, 200});
  MakeScreens(1);
  BMAP* src = Make(2, 2, 16, BMAP_SYSMEM);
  Put(src, 0, 0, 0xABCD);
  LS_Bitmove(src, LS_Var.Screen, 0, 0, 1, 1, 3, 4, 0);
  LS_FillRect(LS_Var.Screen, 0, 0, 0, 0, 0x1111);
  uint8_t* pixels;
  int32_t pitch;
  ASSERT_EQ(plat::LockSurface(LS_Var.Screen->Surface, &pixels, &pitch), plat::kDisplayOk);
  uint16_t v[2];
  std::memcpy(&v[0], pixels + 54 * pitch + 103 * 2, 2);
  std::memcpy(&v[1], pixels + 50 * pitch + 100 * 2, 2);
  EXPECT_EQ((Pixels{v[0], v[1]}), (Pixels{0xABCD, 0x1111}));
  plat::UnlockSurface(LS_Var.Screen->Surface);
  FreeScreens();
}

TEST_F(Bitmove, AlphaBlend) {
  struct Row {
    const char* what;
    int32_t depth, format;
    Pixels source, under, result;
  } rows[] = {
      // Green at five bits (lowest bit 0); alpha 0 leaves the pixel.
      {"565", 16, BMAP_RGB565, {0xFF00FF00, 0x00FFFFFF, 0x80FF0000}, {0, 0x1234, 0}, {0x07C0, 0x1234, 15u << 11}},
      // a = 128 x 0.003921569: red 31 a truncates to 15, blue 31 (1 - a) to
      // 15; a = 64 over white: each component 31 (1 - a) = 23.2.
      {"555", 16, BMAP_RGB555, {0x80FF0000, 0x40000000, 0}, {0x001F, 0x7FFF, 0}, {15u << 10 | 15u, 23u << 10 | 23u << 5 | 23u, 0}},
      {"32 with alpha: the larger alpha stays", 32, BMAP_ARGB8888, {0x80FF8000}, {0xC0000000}, {0xC0804000}},
      {"32 without: alpha written 0", 32, BMAP_XRGB8888, {0x80FF8000}, {0x40000000}, {0x00804000}},
      {"24: nothing", 24, BMAP_RGB888, {0xFFFFFFFF}, {0x123456}, {0x123456}},
      {"an unknown 16-bit format: nothing", 16, BMAP_BGR565, {0xFFFFFFFF}, {0x1234}, {0x1234}},
  };
  for (const Row& r : rows) {
    const int32_t n = static_cast<int32_t>(r.source.size());
    BMAP* src = Filled(n, 1, 32, r.source);
    src->Format = BMAP_ARGB8888;
    BMAP* dst = Filled(n, 1, r.depth, r.under);
    dst->Format = r.format;
    LS_Bitmove(src, dst, 0, 0, n - 1, 0, 0, 0, 2);
    EXPECT_EQ(ztest::PixelsOf(dst), r.result) << r.what;
  }
  BMAP* dst = Filled(1, 1, 16, {0x1234});  // the source must have 32 bits
  LS_Bitmove(Filled(1, 1, 24, {0xFFFFFF}), dst, 0, 0, 0, 0, 0, 0, 2);
  EXPECT_EQ(ValueAt(dst, 0, 0), 0x1234u);
}

}  // namespace
