// TGA files: reading every depth, row order and coding, run-length packets
// across rows, and writing bitmaps that read back the same.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "system/error.h"
#include "system/heap.h"
#include "system/picture.h"
#include "tests/system/picture_fixture.h"

namespace {

using ztest::Bytes;
using ztest::TgaSpec;
using Pixels = std::vector<uint32_t>;

TgaSpec Spec(int width, int height, uint8_t depth, uint8_t descriptor = 0x20) {
  TgaSpec s;
  s.width = width, s.height = height, s.depth = depth, s.descriptor = descriptor;
  return s;
}

class TgaTest : public ztest::PictureTest {
 protected:
  bool LoadTga(const Bytes& bytes, Pixels* pixels = nullptr, BMAP** kept = nullptr) {
    return Load(LS_LoadTga, Put("pic.tga", bytes), pixels, kept);
  }
};

TEST_F(TgaTest, EveryDepthRowOrderAndCodingLoadsTheSamePixels) {
  struct Row {
    uint8_t depth;
    int32_t format;
  } rows[] = {{8, BMAP_PAL8}, {15, BMAP_RGB555}, {24, BMAP_RGB888}, {32, BMAP_ARGB8888}};
  for (const Row& r : rows) {
    const Pixels want = ztest::TestPixels(13, 7, (r.depth + 7) / 8, r.depth);
    for (const uint8_t descriptor : {uint8_t{0x00}, uint8_t{0x30}})  // bottom-up, top-down (right-to-left ignored)
      for (const bool packed : {false, true}) {
        SCOPED_TRACE(std::to_string(r.depth) + " " + std::to_string(descriptor) + " " + std::to_string(packed));
        BMAP* b = nullptr;
        Pixels got;
        ASSERT_TRUE(LoadTga(ztest::TgaFile(Spec(13, 7, r.depth, descriptor), want, packed), &got, &b));
        EXPECT_EQ(std::tuple(got, b->Format), std::tuple(want, r.format));
        LS_FreeBmap(b);
      }
  }
}

TEST_F(TgaTest, IdentificationFieldAndColourMapAreSkipped) {
  const Pixels want = ztest::TestPixels(5, 3, 1);
  TgaSpec spec = Spec(5, 3, 8);
  spec.id = "HELLO";
  spec.mapType = 1;
  for (auto [entries, bits] : {std::pair{256, 24}, {3, 15}}) {  // a 15-bit entry takes two bytes
    spec.mapLength = static_cast<uint16_t>(entries);
    spec.mapBits = static_cast<uint8_t>(bits);
    Pixels got;
    ASSERT_TRUE(LoadTga(ztest::TgaFile(spec, want, false), &got));
    EXPECT_EQ(got, want);
  }
}

TEST_F(TgaTest, RunLengthPacketsCarryOnIntoTheNextRowAndStopAtTheLast) {
  struct Row {
    TgaSpec spec;
    Bytes body;
    Pixels want;
  } rows[] = {
      // A run of 5 sevens, then one literal 9: the run ends in the second row.
      {Spec(3, 2, 8), {0x84, 7, 0x00, 9}, {7, 7, 7, 7, 7, 9}},
      {Spec(3, 2, 8, 0x00), {0x84, 7, 0x00, 9}, {7, 7, 9, 7, 7, 7}},  // bottom-up: the second row is above
      {Spec(3, 2, 24),  // a literal packet of 4 across rows, then a run of 2
       {0x03, 3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 0x81, 0xFF, 0xEE, 0xDD},
       {0x010203, 0x040506, 0x070809, 0x0A0B0C, 0xDDEEFF, 0xDDEEFF}},
      {Spec(2, 2, 16), {0xFF, 0x34, 0x12}, Pixels(4, 0x1234)},  // 128 pixels for 4
  };
  for (Row& r : rows) {
    r.spec.imageType = 10;
    Bytes file = ztest::TgaHeader(r.spec);
    file.insert(file.end(), r.body.begin(), r.body.end());
    Pixels got;
    ASSERT_TRUE(LoadTga(file, &got));
    EXPECT_EQ(got, r.want);
  }
  // Packets that stop at each row's end give the same picture.
  const Pixels want = ztest::TestPixels(37, 11, 4, 9);
  Pixels got;
  ASSERT_TRUE(LoadTga(ztest::TgaFile(Spec(37, 11, 32, 0x00), want, true, false), &got));
  EXPECT_EQ(got, want);
}

TEST_F(TgaTest, LoadsIntoOtherHeapsAndSurfaces) {
  const Pixels want = ztest::TestPixels(9, 4, 2);
  Put("pic.tga", ztest::TgaFile(Spec(9, 4, 16), want, true));
  const HHEAP heap = LS_GetHeap(1 << 16);
  BMAP* inHeap = LS_LoadTga("pic.tga", heap);
  ASSERT_NE(inHeap, nullptr);
  EXPECT_EQ(std::tuple(LSI_FindHeap(inHeap), ztest::PixelsOf(inHeap)), std::tuple(LSI_GetHeapOf(heap), want));
  LS_FreeBmap(inHeap);
  LS_ReleaseHeap(heap);
  BMAP* surface = LS_LoadTga("pic.tga", BMAP_SYSMEM);  // its rows are wider than its pixels
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(std::tuple(surface->LockCount, ztest::PixelsOf(surface)), std::tuple(0, want));
  LS_FreeBmap(surface);
}

TEST_F(TgaTest, PicturesBeyondTheHeapGiveNullWithoutError) {
  // 4000 x 4000 x 32 bits coded in a few kilobytes: more than the heap holds.
  TgaSpec spec = Spec(4000, 4000, 32);
  spec.imageType = 10;
  Bytes file = ztest::TgaHeader(spec);
  for (int i = 0; i < 4000 * 4000 / 128 + 1; ++i) file.insert(file.end(), {0xFF, 1, 2, 3, 4});
  EXPECT_FALSE(LoadTga(file));
  EXPECT_EQ(LS_GetLastError(), 0u);
}

// Writing ----------------------------------------------------------------

class TgaSaveTest : public TgaTest {
 protected:
  // Saves, then reads the file back.
  Bytes Save(BMAP* b, const PALETTE* palette = nullptr) {
    EXPECT_EQ(LS_SaveTga("out.tga", b, palette, 0), 1);
    return ztest::ReadBytes(root_ + "/OUT.TGA");
  }
  // Saves and loads back.
  Pixels RoundTrip(BMAP* b, int32_t* format = nullptr) {
    Save(b);
    BMAP* back = LS_LoadTga("out.tga", 0);
    EXPECT_NE(back, nullptr);
    if (!back) return {};
    if (format) *format = back->Format;
    Pixels pixels = ztest::PixelsOf(back);
    LS_FreeBmap(back);
    return pixels;
  }
};

TEST_F(TgaSaveTest, EveryDepthReadsBackTheSame) {
  for (const int32_t depth : {8, 16, 24, 32}) {
    const Pixels want = ztest::TestPixels(11, 5, depth / 8, static_cast<uint32_t>(depth));
    BMAP* b = Filled(11, 5, depth, want);
    if (depth == 32) b->Format = BMAP_ARGB8888;
    EXPECT_EQ(RoundTrip(b), want) << depth;
  }
}

TEST_F(TgaSaveTest, AlphaChannelIsKept) {
  // Alpha, blue, green, red in the bitmap: alpha, red, green, blue in the file.
  BMAP* b = Filled(2, 1, 32, {0x80112233, 0x00FFFFFF});
  b->Format = BMAP_ABGR8888;
  int32_t format = 0;
  EXPECT_EQ(RoundTrip(b, &format), (Pixels{0x80332211, 0x00FFFFFF}));
  EXPECT_EQ(format, BMAP_ARGB8888);
}

TEST_F(TgaSaveTest, HeaderBytes) {
  Bytes file = Save(Make(300, 2, 24));
  EXPECT_EQ(ztest::Cut(file, 18), (Bytes{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x2C, 0x01, 2, 0, 24, 0x20}));
  EXPECT_EQ(file.size(), 18u + 300u * 2u * 3u);
  file = Save(Make(3, 4, 8));
  EXPECT_EQ(ztest::Cut(file, 18), (Bytes{0, 1, 1, 0, 0, 0, 1, 24, 0, 0, 0, 0, 3, 0, 4, 0, 8, 0x20}));
  EXPECT_EQ(file.size(), 18u + 768u + 12u);
}

TEST_F(TgaSaveTest, ColourMapComesFromTheGivenPaletteTheBitmapsOrTheCurrentOne) {
  PALETTE given{}, own{};
  for (int i = 0; i < 256; ++i) {
    given.Entry[i] = {static_cast<uint8_t>(i & 63), static_cast<uint8_t>((i >> 1) & 63), 63};
    own.Entry[i] = {1, 2, 3};
  }
  LS_Var.Palette.Entry[5] = {63, 0, 32};
  BMAP* b = Make(2, 2, 8);
  auto entry = [](const Bytes& file, int i) { return Bytes(file.begin() + 18 + i * 3, file.begin() + 21 + i * 3); };
  EXPECT_EQ(entry(Save(b), 5), (Bytes{0x82, 0x00, 0xFF}));  // blue 32, green 0, red 63
  b->Palette = &own;
  EXPECT_EQ(entry(Save(b), 5), (Bytes{12, 8, 4}));
  EXPECT_EQ(entry(Save(b, &given), 45), (Bytes{0xFF, 22 << 2 | 22 >> 4, 45 << 2 | 45 >> 4}));
  b->Palette = nullptr;
}

TEST_F(TgaSaveTest, Rgb565SavesAsRgb555AndStaysUntouched) {
  const Pixels source{0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0x8410};
  BMAP* b = Filled(3, 2, 16, source);
  b->Format = BMAP_RGB565;
  EXPECT_EQ(RoundTrip(b), (Pixels{0x7C00, 0x03E0, 0x001F, 0x7FFF, 0x0000, 0x4210}));
  EXPECT_EQ(std::tuple(ztest::PixelsOf(b), b->Format), std::tuple(source, BMAP_RGB565));
}

TEST_F(TgaSaveTest, WidePitchSurfaceSavesOnlyItsPixels) {
  BMAP* surface = Make(7, 3, 16, BMAP_SYSMEM);
  surface->Format = BMAP_RGB555;
  const Pixels want = ztest::TestPixels(7, 3, 2, 5);
  for (int32_t i = 0; i < 21; ++i) ztest::BmapTest::Put(surface, i % 7, i / 7, want[static_cast<size_t>(i)]);
  EXPECT_EQ(RoundTrip(surface), want);
  EXPECT_EQ(Save(surface).size(), 18u + 7u * 3u * 2u);
}

TEST_F(TgaSaveTest, UncreatableFileOrNoBitmapGivesZero) {
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  EXPECT_EQ(LS_SaveTga("nodir>sub>out.tga", Make(2, 2, 16), nullptr, 0), 0);
  EXPECT_EQ(LS_GetLastError(), 5u);
  EXPECT_EQ(LS_SaveTga("out.tga", nullptr, nullptr, 0), 0);
  EXPECT_FALSE(ztest::FileExists(root_ + "/OUT.TGA"));
}

}  // namespace
