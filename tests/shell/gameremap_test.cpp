// The dithered palette remap: the patterns chosen per colour, where they
// are placed, and the rectangle the remap writes.
#include <gtest/gtest.h>

#include <vector>

#include "shell/gamepicture.h"
#include "system/pixel.h"
#include "tests/fakes/shell_fakes.h"

namespace {

// 256 different colours.
PALETTE Distinct() {
  PALETTE p{};
  for (int i = 0; i < 256; ++i)
    p.Entry[i] = {static_cast<uint8_t>(i & 63), static_cast<uint8_t>((i >> 6) * 20),
                  static_cast<uint8_t>((i * 7) & 63)};
  return p;
}

BMAP* Filled8(int32_t width, int32_t height, uint8_t (*value)(int32_t x, int32_t y)) {
  BMAP* b = LS_CreateBmap(width, height, 8, 0);
  LS_LockBmap(b);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) *LSI_PixelAt(b, x, y) = value(x, y);
  LS_UnlockBmap(b);
  return b;
}

uint8_t At(BMAP* b, int32_t x, int32_t y) {
  LS_LockBmap(b);
  const uint8_t v = *LSI_PixelAt(b, x, y);
  LS_UnlockBmap(b);
  return v;
}

class GameRemap : public ztest::ShellTest {};

TEST_F(GameRemap, IntoItsOwnPaletteEveryColourKeepsItsEntry) {
  const PALETTE palette = Distinct();
  SB_REMAPPATTERNS patterns;
  SB_BuildRemapPatterns(&palette, &palette, &patterns);
  for (int c = 0; c < 256; ++c)
    for (int k = 0; k < 4; ++k) ASSERT_EQ(patterns.Entry[k][c], c) << "colour " << c << " cell " << k;

  BMAP* source = Filled8(16, 16, [](int32_t x, int32_t y) { return static_cast<uint8_t>(x * 16 + y); });
  BMAP* destination = LS_CreateBmap(16, 16, 8, 0);
  SB_RemapBmap(source, &palette, destination, &palette);
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 16; ++x) ASSERT_EQ(At(destination, x, y), x * 16 + y);
  LS_FreeBmap(destination);
  LS_FreeBmap(source);
}

TEST_F(GameRemap, GreyBetweenBlackAndItsDoubleIsACheckerboard) {
  PALETTE from{}, to{};
  from.Entry[0] = {5, 5, 5};
  for (LS_RGB& e : to.Entry) e = {63, 63, 63};
  to.Entry[0] = {0, 0, 0};
  to.Entry[1] = {10, 10, 10};
  BMAP* source = Filled8(4, 4, [](int32_t, int32_t) -> uint8_t { return 0; });
  BMAP* destination = LS_CreateBmap(4, 4, 8, 0);
  SB_RemapBmap(source, &from, destination, &to);
  // Two of each entry; the like ones on the diagonal.
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(At(destination, x, y), (x + y) & 1) << x << "," << y;
  LS_FreeBmap(destination);
  LS_FreeBmap(source);
}

TEST_F(GameRemap, AMixOfThreeColoursPutsTheLikeOnesOnTheDiagonal) {
  // (4, 0, 0) is best made of black three times and (16, 0, 0) once, or
  // other mixtures; whatever is chosen, the bottom-right cell holds an
  // entry at least as near to the top-left one as the other two cells.
  PALETTE from{}, to{};
  from.Entry[0] = {4, 0, 0};
  for (LS_RGB& e : to.Entry) e = {63, 63, 63};
  to.Entry[0] = {0, 0, 0};
  to.Entry[1] = {16, 0, 0};
  to.Entry[2] = {8, 0, 0};
  SB_REMAPPATTERNS patterns;
  SB_BuildRemapPatterns(&from, &to, &patterns);
  const auto dist = [&](int a, int b) {
    const LS_RGB &p = to.Entry[a], &q = to.Entry[b];
    return (p.Red - q.Red) * (p.Red - q.Red) + (p.Green - q.Green) * (p.Green - q.Green) +
           (p.Blue - q.Blue) * (p.Blue - q.Blue);
  };
  const int a = patterns.Entry[0][0], b = patterns.Entry[1][0], c = patterns.Entry[2][0],
            d = patterns.Entry[3][0];
  EXPECT_LE(dist(d, a), dist(b, a));
  EXPECT_LE(dist(d, a), dist(c, a));
  int sum = 0;
  for (int k = 0; k < 4; ++k) sum += to.Entry[patterns.Entry[k][0]].Red;
  EXPECT_EQ(sum, 16);  // the mean is exact
}

TEST_F(GameRemap, OnlyTheSharedRectangleIsWritten) {
  const PALETTE palette = Distinct();
  BMAP* source = Filled8(4, 3, [](int32_t x, int32_t y) { return static_cast<uint8_t>(10 + x + 4 * y); });
  BMAP* large = Filled8(9, 7, [](int32_t, int32_t) -> uint8_t { return 200; });
  SB_RemapBmap(source, &palette, large, &palette);
  for (int32_t y = 0; y < 7; ++y)
    for (int32_t x = 0; x < 9; ++x)
      ASSERT_EQ(At(large, x, y), x < 4 && y < 3 ? 10 + x + 4 * y : 200) << x << "," << y;
  BMAP* small = Filled8(2, 2, [](int32_t, int32_t) -> uint8_t { return 1; });
  SB_RemapBmap(large, &palette, small, &palette);
  EXPECT_EQ(At(small, 1, 1), 15);
  LS_FreeBmap(small);
  LS_FreeBmap(large);
  LS_FreeBmap(source);
}

TEST_F(GameRemap, ABitmapRemapsInPlace) {
  PALETTE from = Distinct(), to = Distinct();
  for (LS_RGB& e : to.Entry) e.Red = static_cast<uint8_t>(63 - e.Red);
  SB_REMAPPATTERNS patterns;
  SB_BuildRemapPatterns(&from, &to, &patterns);
  BMAP* bmap = Filled8(6, 6, [](int32_t x, int32_t y) { return static_cast<uint8_t>(x * 40 + y); });
  SB_RemapBmap(bmap, &from, bmap, &to);
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 6; ++x)
      ASSERT_EQ(At(bmap, x, y), patterns.Entry[(y & 1) * 2 + (x & 1)][x * 40 + y]);
  LS_FreeBmap(bmap);
}

TEST_F(GameRemap, WrongDepthsAndMissingPalettesChangeNothing) {
  const PALETTE palette = Distinct();
  BMAP* wide = LS_CreateBmap(4, 4, 16, 0);
  BMAP* destination = Filled8(4, 4, [](int32_t, int32_t) -> uint8_t { return 9; });
  BMAP* source = Filled8(4, 4, [](int32_t, int32_t) -> uint8_t { return 3; });
  SB_RemapBmap(wide, &palette, destination, &palette);
  SB_RemapBmap(source, nullptr, destination, &palette);
  SB_RemapBmap(source, &palette, destination, nullptr);
  SB_RemapBmap(source, &palette, wide, &palette);
  SB_RemapBmap(nullptr, &palette, destination, &palette);
  EXPECT_EQ(At(destination, 2, 2), 9);
  LS_FreeBmap(source);
  LS_FreeBmap(destination);
  LS_FreeBmap(wide);
}

}  // namespace
