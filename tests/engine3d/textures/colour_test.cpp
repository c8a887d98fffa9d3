// Material conversion: the library copy at display depth, error-diffusion
// dithering, the alpha blend of stickers and the flood-filled alpha
// channel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <tuple>
#include <vector>

#include "datagen/tgawrite.h"
#include "engine3d/palette3d.h"
#include "shell/gamepicture.h"
#include "tests/engine3d/model_fixture.h"

namespace {

uint8_t* At(BMAP* b, int32_t x, int32_t y) {
  return b->Start + static_cast<ptrdiff_t>(y) * b->ByteLen + static_cast<ptrdiff_t>(x) * (b->Depth / 8);
}

// A bitmap whose every pixel is the given bytes.
BMAP* Solid(int32_t w, int32_t h, int32_t depth, std::vector<uint8_t> bytes) {
  BMAP* b = LS_CreateBmap(w, h, depth, 0);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) std::memcpy(At(b, x, y), bytes.data(), bytes.size());
  return b;
}

std::vector<uint8_t> Pixels(BMAP* b) {
  std::vector<uint8_t> out;
  for (int32_t y = 0; y < b->SizeY; ++y)
    out.insert(out.end(), At(b, 0, y), At(b, 0, y) + b->SizeX * b->Depth / 8);
  return out;
}

// The diffusion done plainly over a whole 24-bit picture into (0, 0), the
// channels in red, green, blue order.
std::vector<uint8_t> ReferenceFloyd(BMAP* src, const PALETTE& palette) {
  const int32_t w = src->SizeX, h = src->SizeY;
  std::vector<float> v(static_cast<size_t>(w) * h * 3);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      for (int32_t c = 0; c < 3; ++c) v[(y * w + x) * 3 + c] = At(src, x, y)[2 - c] * 0.12156863f;
  std::vector<uint8_t> out(static_cast<size_t>(w) * h);
  const auto give = [&](int32_t x, int32_t y, const float* e, float share) {
    for (int32_t c = 0; c < 3; ++c) {
      float& t = v[(y * w + x) * 3 + c];
      t = std::min(31.0f, std::max(0.0f, t + e[c] * share));
    }
  };
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      float* p = &v[(y * w + x) * 3];
      int32_t q[3];
      for (int32_t c = 0; c < 3; ++c) q[c] = std::min(31, std::max(0, static_cast<int32_t>(p[c] + 0.5f)));
      const int32_t best = SB_FindNearestColor(&palette, 2 * q[0], 2 * q[1], 2 * q[2]);
      out[y * w + x] = static_cast<uint8_t>(best);
      const LS_RGB& e = palette.Entry[best];
      const float err[3] = {p[0] - (e.Red + 1) / 2, p[1] - (e.Green + 1) / 2, p[2] - (e.Blue + 1) / 2};
      if (x < w - 1) {
        give(x + 1, y, err, 0.375f);
        if (y < h - 1) give(x, y + 1, err, 0.375f), give(x + 1, y + 1, err, 0.25f);
      } else if (y < h - 1) {
        give(0, y + 1, err, 0.375f);
        if (y < h - 2) give(x, y + 1, err, 0.375f), give(0, y + 2, err, 0.25f);
      }
    }
  return out;
}

class ColourTest : public ztest::ModelTest {
 protected:
  void TearDown() override {
    for (BMAP* b : bitmaps_) LS_FreeBmap(b);
    ModelTest::TearDown();
  }
  BMAP* Keep(BMAP* b) {
    bitmaps_.push_back(b);
    return b;
  }
  // An 8-bit destination of the size, filled with 7, over the palette.
  BMAP* Destination(int32_t w, int32_t h, PALETTE* palette) {
    BMAP* b = Keep(Solid(w, h, 8, {7}));
    b->Palette = palette;
    return b;
  }
  std::vector<BMAP*> bitmaps_;
  PALETTE palette_{};  // all black
};

TEST_F(ColourTest, DitheringSpreadsTheErrorOfMidGreyBetweenBlackAndWhite) {
  for (int32_t i = 1; i < 256; ++i) palette_.Entry[i] = {63, 63, 63};
  BMAP* grey = Keep(Solid(16, 16, 24, {128, 128, 128}));
  BMAP* out = Destination(16, 16, &palette_);
  SB_FloydBmap24to8(grey, out, 0, 0, 15, 15, 0, 0);
  const std::vector<uint8_t> got = Pixels(out);
  EXPECT_EQ(got, ReferenceFloyd(grey, palette_));
  const auto whites = std::count(got.begin(), got.end(), 1);
  EXPECT_NEAR(whites, 128, 16);
  EXPECT_EQ(std::count(got.begin(), got.end(), 0) + whites, 256);
}

TEST_F(ColourTest, DitheringReadsRedThirdClipsAndSkipsWhatItCannotDo) {
  palette_.Entry[1] = {63, 0, 0};
  palette_.Entry[2] = {0, 0, 63};
  BMAP* red = Keep(Solid(4, 4, 24, {0, 0, 255}));
  SB_FloydBmap24to8(red, Destination(4, 4, &palette_), 0, 0, 3, 3, 0, 0);
  EXPECT_EQ(Pixels(bitmaps_.back()), std::vector<uint8_t>(16, 1));
  palette_.Entry[1] = {63, 63, 63};
  // A white column 10 in a black picture, converted from x = -10.
  BMAP* src = Keep(Solid(20, 3, 24, {0, 0, 0}));
  for (int32_t y = 0; y < 3; ++y) std::memset(At(src, 10, y), 255, 3);
  BMAP* out = Destination(4, 3, &palette_);
  SB_FloydBmap24to8(src, out, 0, 0, 19, 2, -10, 0);
  EXPECT_EQ(Pixels(out), std::vector<uint8_t>({1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}));

  struct Case {
    const char* what;
    int32_t srcDepth, dstDepth, x2, y2;
    bool palette;
  };
  const Case cases[] = {{"one column", 24, 8, 0, 2, true},
                        {"one row", 24, 8, 3, 0, true},
                        {"no palette", 24, 8, 3, 2, false},
                        {"32-bit source", 32, 8, 3, 2, true},
                        {"16-bit target", 24, 16, 3, 2, true}};
  for (const Case& c : cases) {
    BMAP* s = Keep(Solid(4, 3, c.srcDepth, {255, 255, 255, 255}));
    BMAP* d = Keep(Solid(4, 3, c.dstDepth, {7, 7}));
    d->Palette = c.palette ? &palette_ : nullptr;
    const std::vector<uint8_t> before = Pixels(d);
    SB_FloydBmap24to8(s, d, 0, 0, c.x2, c.y2, 0, 0);
    EXPECT_EQ(Pixels(d), before) << c.what;
  }
  SB_FloydBmap24to8(nullptr, out, 0, 0, 3, 2, 0, 0);
  SB_FloydBmap24to8(src, nullptr, 0, 0, 3, 2, 0, 0);
}

TEST_F(ColourTest, AlphaBlendsKeepCopyOrMixTheBytes) {
  BMAP* src = Keep(LS_CreateBmap(4, 1, 32, 0));
  const uint8_t alphas[4] = {0, 255, 128, 64};
  for (int32_t x = 0; x < 4; ++x) {
    const uint8_t p[4] = {200, 200, 200, alphas[x]};
    std::memcpy(At(src, x, 0), p, 4);
  }
  BMAP* dst = Keep(Solid(4, 1, 24, {100, 100, 100}));
  SB_AlphaBlitBmap32to24(src, dst, 0, 0, 3, 0, 0, 0);
  EXPECT_EQ(Pixels(dst), std::vector<uint8_t>({100, 100, 100, 200, 200, 200, 150, 150, 150, 125, 125, 125}));
}

TEST_F(ColourTest, AlphaBlendsAreClippedOnEverySide) {
  // Source pixel (x, y) carries x * 16 + y + 1 in its first byte.
  BMAP* src = Keep(LS_CreateBmap(4, 4, 32, 0));
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) {
      const uint8_t p[4] = {static_cast<uint8_t>(x * 16 + y + 1), 0, 0, 255};
      std::memcpy(At(src, x, y), p, 4);
    }
  struct Case {
    int32_t x1, y1, x2, y2, dx, dy;
    int32_t shiftX, shiftY;  // destination (x, y) shows source (x + shiftX, y + shiftY)
    int32_t columns, rows;   // the destination is written below these and from the shifts on
  };
  const Case cases[] = {{0, 0, 3, 3, -2, 0, 2, 0, 2, 4},  {0, 0, 3, 3, 0, -3, 0, 3, 4, 1},
                        {-1, 0, 3, 3, 0, 0, -1, 0, 4, 4}, {0, 0, 9, 9, 0, 0, 0, 0, 4, 4},
                        {0, 0, 3, 3, 3, 3, -3, -3, 4, 4}, {0, 0, 3, 3, 0, 2, 0, -2, 4, 4},
                        {0, 0, 3, 3, 4, 0, 0, 0, 0, 0},   {-8, -8, -5, -5, 0, 0, 0, 0, 0, 0}};
  for (const Case& c : cases) {
    BMAP* dst = Keep(LS_CreateBmap(4, 4, 24, 0));
    SB_AlphaBlitBmap32to24(src, dst, c.x1, c.y1, c.x2, c.y2, c.dx, c.dy);
    for (int32_t y = 0; y < 4; ++y)
      for (int32_t x = 0; x < 4; ++x) {
        const bool written =
            x >= std::max(0, -c.shiftX) && y >= std::max(0, -c.shiftY) && x < c.columns && y < c.rows;
        const int32_t expected = written ? (x + c.shiftX) * 16 + (y + c.shiftY) + 1 : 0;
        EXPECT_EQ(*At(dst, x, y), expected) << c.x1 << "," << c.dx << "," << c.dy << " at " << x << "," << y;
      }
  }
}

TEST_F(ColourTest, AFloodFillClearsTheRegionAndPaintsItWithItsBorder) {
  // A 3 x 3 region of grey in a ring whose top row is black and the rest
  // 60: the region's edge meets 3 black and 9 grey-60 pixels once each.
  BMAP* b = Keep(Solid(5, 5, 32, {60, 60, 60, 0}));
  for (int32_t x = 0; x < 5; ++x) std::memset(At(b, x, 0), 0, 3);
  for (int32_t y = 1; y < 4; ++y)
    for (int32_t x = 1; x < 4; ++x) std::memset(At(b, x, y), 100, 3);
  SB_FillBmapToAlphaChannel(b, 2, 2, 0.0f);
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 5; ++x) {
      const bool inside = x >= 1 && x <= 3 && y >= 1 && y <= 3;
      const uint8_t expected[4] = {static_cast<uint8_t>(inside   ? 45
                                                        : y == 0 ? 0
                                                                 : 60),
                                   0, 0, static_cast<uint8_t>(inside ? 0 : 255)};
      EXPECT_EQ(At(b, x, y)[0], expected[0]) << x << "," << y;
      EXPECT_EQ(At(b, x, y)[3], expected[3]) << x << "," << y;
    }
  EXPECT_STREQ(SB_Var.LastOwner, "SB_FillBmapToAlphaChannel");
}

TEST_F(ColourTest, AFloodFillsThresholdIsClampedAndBadCallsDoNothing) {
  // Two halves 255 apart in every byte: only a threshold of 1 joins them,
  // and the far half's distance then gives 255, which must not count as
  // unvisited.
  const auto fill = [&](float threshold, int32_t seedX) {
    BMAP* b = Keep(Solid(4, 2, 32, {0, 0, 0, 9}));
    for (int32_t y = 0; y < 2; ++y)
      for (int32_t x = 2; x < 4; ++x) std::memset(At(b, x, y), 255, 3);
    SB_FillBmapToAlphaChannel(b, seedX, 0, threshold);
    return Pixels(b);
  };
  const std::vector<uint8_t> alone = fill(0.0f, 0), joined = fill(1.0f, 0);
  EXPECT_EQ(alone[3], 0);
  EXPECT_EQ(alone[11], 255);
  EXPECT_EQ(std::vector<uint8_t>({joined[3], joined[11]}), std::vector<uint8_t>({0, 255}));
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  for (const float t : {nan, -inf, -1.0f}) EXPECT_EQ(fill(t, 0), alone) << t;
  for (const float t : {inf, 2.0f}) EXPECT_EQ(fill(t, 0), joined) << t;
  const std::vector<uint8_t> untouched = fill(0.0f, 9);
  EXPECT_EQ(untouched[3], 9);
  BMAP* deep = Keep(Solid(2, 2, 24, {1, 2, 3}));
  SB_FillBmapToAlphaChannel(deep, 0, 0, 0.5f);
  EXPECT_EQ(Pixels(deep), std::vector<uint8_t>({1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3}));
  SB_FillBmapToAlphaChannel(nullptr, 0, 0, 0.5f);
}

class BigFill : public ztest::LibraryTest {};

TEST_F(BigFill, ARegionOfAMillionPixelsFillsWhole) {
  StartLibrary(64u << 20);
  BMAP* b = Solid(1000, 1000, 32, {5, 6, 7, 9});
  SB_FillBmapToAlphaChannel(b, 500, 500, 0.0f);
  int64_t cleared = 0;
  for (int32_t y = 0; y < 1000; ++y)
    for (int32_t x = 0; x < 1000; ++x) cleared += At(b, x, y)[3] == 0;
  EXPECT_EQ(cleared, 1000000);
  EXPECT_EQ(SB_Var.NbMemOwners, 0);
  LS_FreeBmap(b);
}

class DupTest : public ColourTest {
 protected:
  // A library of a 64 x 32 picture, a missing one, and three materials:
  // textured by each, and one untextured.
  MLIBENTRY* Entry() {
    std::filesystem::create_directories(root_ + "/L");
    EXPECT_TRUE(datagen::WriteTga(root_ + "/L/A.TGA", datagen::Picture24(64, 32, 9, 8, 7)));
    Put("L>LIB.MTL",
        datagen::MaterialBytes({"lib",
                                {{"L>A.TGA", 0, 0}, {"L>NONE.TGA", 0, 0}},
                                {{{0, 0}, 0, 0}, {{0, 0}, 0, 1}, {{0, 0}, MATERIAL_UNTEXTURED, 0}},
                                "MATR",
                                {},
                                {}},
                               {"v1.2", false}));
    return NewMLIBEntry("L>LIB.MTL");
  }
};

TEST_F(DupTest, TheCopyHasEmptyBitmapsAtTheDepthAndTakesTheReference) {
  MLIBENTRY* old = Entry();
  ASSERT_TRUE(old && old->Library && old->Library->Textures[0].Picture);
  ++old->RefCount;  // the prototype's and the object's
  MLIBENTRY* copy = SB_DupMaterialLibraryFrom16to256(old, 16, BMAP_RGB565);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(std::vector<int32_t>({copy->RefCount, old->RefCount}), std::vector<int32_t>({1, 1}));
  const MLIBTEXTURE* t = copy->Library->Textures;
  ASSERT_NE(t[0].Bitmap, nullptr);
  EXPECT_EQ(std::vector<int32_t>({t[0].Bitmap->SizeX, t[0].Bitmap->SizeY, t[0].Bitmap->Depth,
                                  t[0].Bitmap->Format, t[0].Width}),
            std::vector<int32_t>({256, 32, 16, BMAP_RGB565, 64}));
  EXPECT_NE(t[0].Bitmap, old->Library->Textures[0].Bitmap);
  EXPECT_EQ(std::vector<const void*>({t[0].Picture, t[1].Picture, t[1].Bitmap}),
            std::vector<const void*>(3, nullptr));
  int32_t tagged = 0;
  for (int32_t i = 0; i < SB_Var.NbBmapOwners; ++i)
    tagged += std::string(SB_BmapOwners[i].Owner) == "Careditor 17";
  EXPECT_EQ(tagged, 1);
  const TMATERIAL* m = copy->Library->Materials;
  EXPECT_EQ(std::vector<const void*>({m[0].Bitmap, m[0].Pixels, m[1].Bitmap, m[2].Bitmap}),
            std::vector<const void*>({t[0].Bitmap, t[0].Bitmap->Start, nullptr, nullptr}));
  // Each entry is released on its own; the list of entries ends empty.
  ReleaseMLIBEntry(copy);
  ReleaseMLIBEntry(old);
  EXPECT_EQ(E3D_MlibEntries, nullptr);
  EXPECT_EQ(SB_DupMaterialLibraryFrom16to256(nullptr, 8, BMAP_PAL8), nullptr);
}

TEST_F(DupTest, ARefusedAllocationKeepsNothing) {
  MLIBENTRY* old = Entry();
  ASSERT_NE(old, nullptr);
  LS_SetErrorMode(LS_ERRMODE_IGNORE);
  // The heap is filled but for a gap that grows from try to try, until the
  // copy fits; every refusal before leaves nothing taken.
  MLIBENTRY* copy = nullptr;
  int32_t refusals = 0;
  for (uint32_t gap = 64; !copy && gap <= (1u << 20); gap *= 2) {
    std::vector<void*> fill;
    HEAP* heap = LSI_GetHeapOf(LS_DefaultHeap);
    for (uint32_t most; (most = LSI_GetHeapMaxFree(heap)) > gap + 64;)
      fill.push_back(LS_GetMem(most - gap - 64));
    const auto counts =
        std::make_tuple(SB_Var.NbMemOwners, SB_Var.NbBmapOwners, LSI_Var.NbAlloc, LSI_Var.NbBmap);
    copy = SB_DupMaterialLibraryFrom16to256(old, 8, BMAP_PAL8);
    if (!copy) {
      ++refusals;
      EXPECT_EQ(std::make_tuple(SB_Var.NbMemOwners, SB_Var.NbBmapOwners, LSI_Var.NbAlloc, LSI_Var.NbBmap),
                counts);
      EXPECT_EQ(old->RefCount, 1);
    }
    for (void* block : fill) LS_Release(block);
  }
  EXPECT_GE(refusals, 4);
  ASSERT_NE(copy, nullptr);
  ReleaseMLIBEntry(copy);
  ++old->RefCount;
  ReleaseMLIBEntry(old);
}

// A version 1.1 library stores no material records, so a material count
// of 65000 loads as that many empty materials: the copy of a car cannot
// have them beside the original. The refused copy frees only what it
// made, never the original's bitmaps, which stay usable and are freed once.
TEST_F(DupTest, ACopyRefusedForItsMaterialsLeavesTheOriginalsBitmaps) {
  std::filesystem::create_directories(root_ + "/L");
  ASSERT_TRUE(datagen::WriteTga(root_ + "/L/A.TGA", datagen::Picture24(64, 32, 9, 8, 7)));
  datagen::MaterialLibrary stockcar{"STOCKCAR", {{"L>A.TGA", 0, 0}}, {}, "MATR", {}, {}};
  stockcar.materialCount = 65000;
  Put("L>STOCKCAR.MTL", datagen::MaterialBytes(stockcar, {"v1.1", false}));
  MLIBENTRY* old = NewMLIBEntry("L>STOCKCAR.MTL");
  ASSERT_TRUE(old && old->Library);
  ASSERT_EQ(old->Library->NbMaterials, 65000u);
  BMAP* bitmap = old->Library->Textures[0].Bitmap;
  ASSERT_NE(bitmap, nullptr);
  LS_SetErrorMode(LS_ERRMODE_IGNORE);
  std::vector<void*> fill;  // room for everything of the copy but its materials
  HEAP* heap = LSI_GetHeapOf(LS_DefaultHeap);
  for (uint32_t most; (most = LSI_GetHeapMaxFree(heap)) > (64u << 10) + 64;)
    fill.push_back(LS_GetMem(most - (64u << 10) - 64));
  const auto counts = std::make_tuple(SB_Var.NbMemOwners, SB_Var.NbBmapOwners, LSI_Var.NbBmap);
  EXPECT_EQ(SB_DupMaterialLibraryFrom16to256(old, 8, BMAP_PAL8), nullptr);
  EXPECT_EQ(std::make_tuple(SB_Var.NbMemOwners, SB_Var.NbBmapOwners, LSI_Var.NbBmap), counts);
  for (void* block : fill) LS_Release(block);
  EXPECT_EQ(old->Library->Textures[0].Bitmap, bitmap);
  std::memset(bitmap->Start, 3, static_cast<size_t>(bitmap->ByteLen));  // paint its first line
  ReleaseMLIBEntry(old);
}

}  // namespace
