// Copies between bitmaps: clipping, transparency, the display's copy
// between surfaces, and the alpha blend.
#include <gtest/gtest.h>

#include <vector>

#include "platform/display.h"
#include "system/bmap.h"
#include "tests/system/bmap_fixture.h"

namespace {

using ztest::ExitCodeOf;

class Bitmove : public ztest::BmapTest {
 protected:
  // A source whose pixel (x, y) holds 10 x y + x + 1.
  BMAP* Numbered(int32_t width, int32_t height, int32_t depth) {
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) pixels.push_back(static_cast<uint32_t>(10 * y + x + 1));
    return Filled(width, height, depth, pixels);
  }
  static uint32_t At(BMAP* b, int32_t x, int32_t y) { return LS_GetPixel(b, x, y); }
};

TEST_F(Bitmove, NegativeSourceCornerMovesTheDestination) {
  BMAP* src = Numbered(8, 4, 8);
  BMAP* dst = LS_CreateBmap(20, 10, 8, 0);
  LS_Bitmove(src, dst, -5, 0, 7, 0, 2, 3, 0);
  EXPECT_EQ(At(dst, 7, 3), 1u);  // source column 0 at x + 5
  EXPECT_EQ(At(dst, 14, 3), 8u);
  EXPECT_EQ(At(dst, 6, 3), 0u);
  EXPECT_EQ(At(dst, 15, 3), 0u);
  LS_FreeBmap(dst);
  LS_FreeBmap(src);
}

TEST_F(Bitmove, NegativeDestinationMovesTheSourceCorner) {
  BMAP* src = Numbered(8, 4, 8);
  BMAP* dst = LS_CreateBmap(5, 5, 8, 0);
  LS_Bitmove(src, dst, 0, 0, 7, 3, -3, -2, 0);
  EXPECT_EQ(At(dst, 0, 0), 24u);  // source (3, 2)
  EXPECT_EQ(At(dst, 4, 1), 38u);  // source (7, 3)
  EXPECT_EQ(At(dst, 0, 2), 0u);
  LS_FreeBmap(dst);
  LS_FreeBmap(src);
}

TEST_F(Bitmove, CornersInAnyOrderAndClippedOnBothSides) {
  BMAP* src = Numbered(6, 6, 16);
  BMAP* dst = LS_CreateBmap(4, 4, 16, 0);
  // Reversed corners reaching past the source; the destination cuts too.
  LS_Bitmove(src, dst, 9, 9, 4, 3, 1, 2, 0);
  EXPECT_EQ(At(dst, 1, 2), 35u);  // source (4, 3)
  EXPECT_EQ(At(dst, 2, 3), 46u);  // source (5, 4)
  EXPECT_EQ(At(dst, 3, 3), 0u);   // nothing beyond source column 5
  EXPECT_EQ(At(dst, 0, 2), 0u);
  // Wholly outside: nothing at all.
  LS_ClearBmap(dst);
  LS_Bitmove(src, dst, 0, 0, 5, 5, 4, 0, 0);
  LS_Bitmove(src, dst, -9, 0, -1, 5, 0, 0, 0);
  LS_Bitmove(src, dst, 6, 0, 9, 5, 0, 0, 0);
  LS_Bitmove(src, dst, 0, 0, 5, 5, -6, 0, 0);
  LS_Bitmove(src, dst, 0, 0, 1, 1, INT32_MIN, INT32_MIN, 0);
  LS_Bitmove(src, dst, INT32_MIN, 0, INT32_MAX, 1, 0, 0, 0);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(At(dst, x, y), 0u);
  LS_FreeBmap(dst);
  LS_FreeBmap(src);
}

TEST_F(Bitmove, TransparentCopyKeepsTheDestinationWhereTheSourceIsZero) {
  BMAP* src = Filled(3, 1, 8, {5, 0, 7});
  BMAP* dst = Filled(3, 1, 8, {1, 2, 3});
  LS_Bitmove(src, dst, 0, 0, 2, 0, 0, 0, 1);
  EXPECT_EQ(At(dst, 0, 0), 5u);
  EXPECT_EQ(At(dst, 1, 0), 2u);
  EXPECT_EQ(At(dst, 2, 0), 7u);
  LS_FreeBmap(dst);
  LS_FreeBmap(src);
}

TEST_F(Bitmove, TransparentCopyWritesWholePixels) {
  BMAP* src = Filled(3, 1, 16, {0x0100, 0, 0x00FF});
  BMAP* dst = Filled(3, 1, 16, {0xAAAA, 0xBBBB, 0xCCCC});
  LS_Bitmove(src, dst, 0, 0, 2, 0, 0, 0, 1);
  EXPECT_EQ(At(dst, 0, 0), 0x0100u);
  EXPECT_EQ(At(dst, 1, 0), 0xBBBBu);
  EXPECT_EQ(At(dst, 2, 0), 0x00FFu);
  BMAP* deep = Filled(2, 1, 24, {0x010000, 0});
  BMAP* under = Filled(2, 1, 24, {0x123456, 0x654321});
  LS_Bitmove(deep, under, 0, 0, 1, 0, 0, 0, 1);
  EXPECT_EQ(At(under, 0, 0), 0x010000u);
  EXPECT_EQ(At(under, 1, 0), 0x654321u);
  LS_FreeBmap(under);
  LS_FreeBmap(deep);
  LS_FreeBmap(dst);
  LS_FreeBmap(src);
}

TEST_F(Bitmove, OverlappingCopyWithinOneBitmap) {
  BMAP* b = Numbered(6, 6, 8);
  LS_Bitmove(b, b, 0, 0, 3, 3, 1, 1, 0);
  EXPECT_EQ(At(b, 1, 1), 1u);
  EXPECT_EQ(At(b, 4, 4), 34u);
  EXPECT_EQ(At(b, 2, 4), 32u);
  LS_Bitmove(b, b, 1, 1, 4, 4, 0, 0, 1);
  EXPECT_EQ(At(b, 0, 0), 1u);
  EXPECT_EQ(At(b, 3, 3), 34u);
  LS_FreeBmap(b);
}

TEST_F(Bitmove, CopyIntoAWidePitchSurfaceLandsRowByRow) {
  BMAP* src = Numbered(5, 3, 16);
  BMAP* dst = LS_CreateBmap(7, 4, 16, BMAP_SYSMEM);
  LS_Bitmove(src, dst, 0, 0, 4, 2, 1, 1, 0);
  LS_LockBmap(dst);
  ASSERT_GT(dst->ByteLen, 14);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 5; ++x) {
      uint16_t v;
      std::memcpy(&v, dst->Start + (y + 1) * dst->ByteLen + (x + 1) * 2, 2);
      EXPECT_EQ(v, 10 * y + x + 1);
    }
  LS_UnlockBmap(dst);
  // And back out of it.
  BMAP* back = LS_CreateBmap(7, 4, 16, 0);
  LS_Bitmove(dst, back, 0, 0, 6, 3, 0, 0, 0);
  EXPECT_EQ(At(back, 5, 3), 25u);
  LS_FreeBmap(back);
  LS_FreeBmap(dst);
  LS_FreeBmap(src);
}

TEST_F(Bitmove, SurfacesAreCopiedByTheDisplay) {
  BMAP* src = LS_CreateBmap(4, 4, 16, BMAP_VIDEOMEM);
  BMAP* dst = LS_CreateBmap(4, 4, 16, BMAP_VIDEOMEM);
  Put(src, 0, 0, 0x1234);
  Put(dst, 1, 0, 0x7777);
  const plat::DisplayCounters before = plat::GetDisplayCounters();
  LS_Bitmove(src, dst, 0, 0, 1, 0, 0, 0, 1);  // keyed: colour 0 is skipped
  EXPECT_EQ(plat::GetDisplayCounters().fastBlits, before.fastBlits + 1);
  EXPECT_EQ(At(dst, 0, 0), 0x1234u);
  EXPECT_EQ(At(dst, 1, 0), 0x7777u);
  LS_Bitmove(src, dst, 0, 0, 1, 0, 0, 0, 0);
  EXPECT_EQ(At(dst, 1, 0), 0u);
  // Bit 2 of the mode, system memory or a framed window: the full copy.
  LS_Bitmove(src, dst, 0, 0, 1, 0, 0, 0, 4);
  LS_Var.Style = 256;
  LS_Bitmove(src, dst, 0, 0, 1, 0, 0, 0, 0);
  LS_Var.Style = 0;
  BMAP* sys = LS_CreateBmap(4, 4, 16, BMAP_SYSMEM);
  LS_Bitmove(src, sys, 0, 0, 3, 3, 0, 0, 0);
  EXPECT_EQ(At(sys, 0, 0), 0x1234u);
  EXPECT_EQ(plat::GetDisplayCounters().blits, before.blits + 3);
  EXPECT_EQ(plat::GetDisplayCounters().fastBlits, before.fastBlits + 2);
  LS_FreeBmap(sys);
  LS_FreeBmap(dst);
  LS_FreeBmap(src);
}

TEST_F(Bitmove, BusyDisplayIsWaitedForAndLostSurfacesRestored) {
  static int redraws = 0;
  redraws = 0;
  BMAP* src = LS_CreateBmap(4, 4, 16, BMAP_VIDEOMEM);
  BMAP* dst = LS_CreateBmap(4, 4, 16, BMAP_VIDEOMEM);
  LS_SetBmapRestoreProc(dst, [](BMAP*) { return ++redraws; });
  Put(src, 2, 2, 0x4321);
  plat::MakeNextBlitsBusy(3);
  const int32_t fast = plat::GetDisplayCounters().fastBlits;
  LS_Bitmove(src, dst, 0, 0, 3, 3, 0, 0, 0);
  EXPECT_EQ(plat::GetDisplayCounters().fastBlits, fast + 4);
  EXPECT_EQ(At(dst, 2, 2), 0x4321u);
  plat::MarkSurfaceLost(dst->Surface);
  LS_Bitmove(src, dst, 2, 2, 2, 2, 0, 0, 0);
  EXPECT_EQ(redraws, 1);
  EXPECT_EQ(At(dst, 0, 0), 0x4321u);
  LS_FreeBmap(dst);
  LS_FreeBmap(src);
}

TEST_F(Bitmove, LockedSurfacesAreRefusedByTheDisplayCopy) {
  BMAP* src = LS_CreateBmap(4, 4, 16, BMAP_VIDEOMEM);
  BMAP* dst = LS_CreateBmap(4, 4, 16, BMAP_VIDEOMEM);
  LS_LockBmap(src);
  LS_LockBmap(src);
  LogErrors();
  LS_Bitmove(src, dst, 0, 0, 3, 3, 0, 0, 0);
  LS_UnlockBmap(src);
  LS_UnlockBmap(src);
  LS_LockBmap(dst);
  LS_Bitmove(src, dst, 0, 0, 3, 3, 0, 0, 0);
  LS_UnlockBmap(dst);
  EXPECT_EQ(Logged("Source DDRAW BMAP Locked"), 1);
  EXPECT_EQ(Logged("Destination DDRAW BMAP Locked"), 1);
  LS_FreeBmap(dst);
  LS_FreeBmap(src);
}

TEST_F(Bitmove, FramedFrontScreenIsReachedAtTheClientOffset) {
  LS_Var.Style = 256;
  plat::SetWindowClient({100, 50, 320, 200});
  MakeScreens(1);
  BMAP* src = LS_CreateBmap(2, 2, 16, BMAP_SYSMEM);
  Put(src, 0, 0, 0xABCD);
  LS_Bitmove(src, LS_Var.Screen, 0, 0, 1, 1, 3, 4, 0);
  LS_FillRect(LS_Var.Screen, 0, 0, 0, 0, 0x1111);
  uint8_t* pixels;
  int32_t pitch;
  ASSERT_EQ(plat::LockSurface(LS_Var.Screen->Surface, &pixels, &pitch), plat::kDisplayOk);
  uint16_t v;
  std::memcpy(&v, pixels + 54 * pitch + 103 * 2, 2);
  EXPECT_EQ(v, 0xABCD);
  std::memcpy(&v, pixels + 50 * pitch + 100 * 2, 2);
  EXPECT_EQ(v, 0x1111);
  plat::UnlockSurface(LS_Var.Screen->Surface);
  LS_FreeBmap(src);
  FreeScreens();
}

TEST_F(Bitmove, AlphaBlendIntoFiveSixFive) {
  BMAP* src = Filled(3, 1, 32, {0xFF00FF00, 0x00FFFFFF, 0x80FF0000});
  src->Format = BMAP_ARGB8888;
  BMAP* dst = Filled(3, 1, 16, {0, 0x1234, 0});
  dst->Format = BMAP_RGB565;
  LS_Bitmove(src, dst, 0, 0, 2, 0, 0, 0, 2);
  EXPECT_EQ(At(dst, 0, 0), 0x07C0u);  // green at five bits, lowest bit 0
  EXPECT_EQ(At(dst, 1, 0), 0x1234u);  // alpha 0 leaves it
  EXPECT_EQ(At(dst, 2, 0), 15u << 11);
  LS_FreeBmap(dst);
  LS_FreeBmap(src);
}

TEST_F(Bitmove, AlphaBlendIntoFiveFiveFive) {
  BMAP* src = Filled(2, 1, 32, {0x80FF0000, 0x40000000});
  BMAP* dst = Filled(2, 1, 16, {0x001F, 0x7FFF});
  LS_Bitmove(src, dst, 0, 0, 1, 0, 0, 0, 2);
  // a = 128 x 0.003921569: red 31 a truncates to 15, blue 31 (1 - a) to 15.
  EXPECT_EQ(At(dst, 0, 0), 15u << 10 | 15u);
  // a = 64 x 0.003921569 over white: each component 31 (1 - a) = 23.2.
  EXPECT_EQ(At(dst, 1, 0), 23u << 10 | 23u << 5 | 23u);
  LS_FreeBmap(dst);
  LS_FreeBmap(src);
}

TEST_F(Bitmove, AlphaBlendIntoThirtyTwoBits) {
  BMAP* src = Filled(1, 1, 32, {0x80FF8000});
  BMAP* keeps = Filled(1, 1, 32, {0xC0000000});
  keeps->Format = BMAP_ARGB8888;
  LS_Bitmove(src, keeps, 0, 0, 0, 0, 0, 0, 2);
  EXPECT_EQ(At(keeps, 0, 0), 0xC0804000u);  // the larger alpha stays
  BMAP* plain = Filled(1, 1, 32, {0x40000000});
  LS_Bitmove(src, plain, 0, 0, 0, 0, 0, 0, 2);
  EXPECT_EQ(At(plain, 0, 0), 0x00804000u);  // alpha written 0
  LS_FreeBmap(plain);
  LS_FreeBmap(keeps);
  LS_FreeBmap(src);
}

TEST_F(Bitmove, AlphaNeedsAThirtyTwoBitSourceAndAKnownDestination) {
  BMAP* shallow = Filled(1, 1, 24, {0xFFFFFF});
  BMAP* dst = Filled(1, 1, 16, {0x1234});
  LS_Bitmove(shallow, dst, 0, 0, 0, 0, 0, 0, 2);
  EXPECT_EQ(At(dst, 0, 0), 0x1234u);
  BMAP* src = Filled(1, 1, 32, {0xFFFFFFFF});
  BMAP* deep = Filled(1, 1, 24, {0x123456});
  LS_Bitmove(src, deep, 0, 0, 0, 0, 0, 0, 2);
  EXPECT_EQ(At(deep, 0, 0), 0x123456u);
  dst->Format = BMAP_BGR565;
  LS_Bitmove(src, dst, 0, 0, 0, 0, 0, 0, 2);
  EXPECT_EQ(At(dst, 0, 0), 0x1234u);
  LS_FreeBmap(deep);
  LS_FreeBmap(src);
  LS_FreeBmap(dst);
  LS_FreeBmap(shallow);
}

}  // namespace
