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

class TgaTest : public ztest::PictureTest {
 protected:
  bool LoadTga(const Bytes& bytes, std::vector<uint32_t>* pixels = nullptr, BMAP** kept = nullptr) {
    return Load(LS_LoadTga, Put("pic.tga", bytes), pixels, kept);
  }
};

TEST_F(TgaTest, EveryDepthRowOrderAndCodingLoadsTheSamePixels) {
  struct Case {
    uint8_t depth;
    int32_t bmapDepth, format;
  };
  for (const Case c : {Case{8, 8, BMAP_PAL8}, Case{15, 16, BMAP_RGB555}, Case{16, 16, BMAP_RGB555},
                       Case{24, 24, BMAP_RGB888}, Case{32, 32, BMAP_ARGB8888}}) {
    const int bytes = (c.depth + 7) / 8;
    const std::vector<uint32_t> want = ztest::TestPixels(13, 7, bytes, c.depth);
    for (const uint8_t descriptor : {uint8_t{0x00}, uint8_t{0x20}, uint8_t{0x10}, uint8_t{0x30}}) {
      for (const bool packed : {false, true}) {
        TgaSpec spec;
        spec.width = 13;
        spec.height = 7;
        spec.depth = c.depth;
        spec.descriptor = descriptor;
        BMAP* b = nullptr;
        std::vector<uint32_t> got;
        ASSERT_TRUE(LoadTga(ztest::TgaFile(spec, want, packed), &got, &b))
            << int{c.depth} << " " << int{descriptor} << " " << packed;
        EXPECT_EQ(got, want) << int{c.depth} << " " << int{descriptor} << " " << packed;
        EXPECT_EQ(b->Depth, c.bmapDepth);
        EXPECT_EQ(b->Format, c.format);
        EXPECT_EQ(b->SizeX, 13);
        EXPECT_EQ(b->SizeY, 7);
        LS_FreeBmap(b);
      }
    }
  }
}

TEST_F(TgaTest, IdentificationFieldAndColourMapAreSkipped) {
  const std::vector<uint32_t> want = ztest::TestPixels(5, 3, 1);
  TgaSpec spec;
  spec.width = 5;
  spec.height = 3;
  spec.depth = 8;
  spec.id = "HELLO";
  std::vector<uint32_t> got;
  ASSERT_TRUE(LoadTga(ztest::TgaFile(spec, want, false), &got));
  EXPECT_EQ(got, want);

  // Type 1 with a map of 256 entries of 24 bits: the indices load as they are.
  spec.id.clear();
  spec.mapType = 1;
  spec.mapLength = 256;
  spec.mapBits = 24;
  ASSERT_TRUE(LoadTga(ztest::TgaFile(spec, want, false), &got));
  EXPECT_EQ(got, want);

  // A 15-bit entry takes two bytes.
  spec.mapLength = 3;
  spec.mapBits = 15;
  const Bytes file = ztest::TgaFile(spec, want, false);
  EXPECT_EQ(file.size(), 18u + 6u + 15u);
  ASSERT_TRUE(LoadTga(file, &got));
  EXPECT_EQ(got, want);
}

TEST_F(TgaTest, OnlyImageTypesOneTwoAndTenAreRead) {
  for (const uint8_t type : {0, 3, 9, 11, 255, 4, 33}) {
    TgaSpec spec;
    spec.width = spec.height = 2;
    spec.depth = 8;
    Bytes file = ztest::TgaFile(spec, {1, 2, 3, 4}, false);
    file[2] = type;
    EXPECT_FALSE(LoadTga(file)) << int{type};
  }
}

TEST_F(TgaTest, RunLengthPacketsCarryOnIntoTheNextRow) {
  TgaSpec spec;
  spec.width = 3;
  spec.height = 2;
  spec.depth = 8;
  spec.imageType = 10;
  // A run of 5 sevens, then one literal 9: the run ends in the second row.
  Bytes file = ztest::TgaHeader(spec);
  file.insert(file.end(), {0x84, 7, 0x00, 9});
  std::vector<uint32_t> got;
  ASSERT_TRUE(LoadTga(file, &got));
  EXPECT_EQ(got, (std::vector<uint32_t>{7, 7, 7, 7, 7, 9}));

  // Bottom-up, the second file row is the upper one.
  file[17] = 0x00;
  ASSERT_TRUE(LoadTga(file, &got));
  EXPECT_EQ(got, (std::vector<uint32_t>{7, 7, 9, 7, 7, 7}));

  // A literal packet across rows, 24 bits.
  spec.depth = 24;
  spec.descriptor = 0x20;
  file = ztest::TgaHeader(spec);
  file.push_back(0x03);  // 4 literal pixels
  for (uint32_t v : {0x010203u, 0x040506u, 0x070809u, 0x0A0B0Cu}) ztest::PutPixel(file, v, 3);
  file.insert(file.end(), {0x81, 0xFF, 0xEE, 0xDD});  // 2 of one
  ASSERT_TRUE(LoadTga(file, &got));
  EXPECT_EQ(got, (std::vector<uint32_t>{0x010203, 0x040506, 0x070809, 0x0A0B0C, 0xDDEEFF, 0xDDEEFF}));
}

TEST_F(TgaTest, RunPastTheLastRowIsCutThere) {
  TgaSpec spec;
  spec.width = 2;
  spec.height = 2;
  spec.depth = 16;
  spec.imageType = 10;
  Bytes file = ztest::TgaHeader(spec);
  file.insert(file.end(), {0xFF, 0x34, 0x12});  // 128 pixels for 4
  std::vector<uint32_t> got;
  ASSERT_TRUE(LoadTga(file, &got));
  EXPECT_EQ(got, (std::vector<uint32_t>(4, 0x1234)));
}

TEST_F(TgaTest, PacketsCrossingRowsAndPacketsStoppingAtRowsGiveTheSamePicture) {
  const std::vector<uint32_t> want = ztest::TestPixels(37, 11, 4, 9);
  TgaSpec spec;
  spec.width = 37;
  spec.height = 11;
  spec.depth = 32;
  for (const uint8_t descriptor : {uint8_t{0x00}, uint8_t{0x20}}) {
    spec.descriptor = descriptor;
    std::vector<uint32_t> across, within;
    ASSERT_TRUE(LoadTga(ztest::TgaFile(spec, want, true, true), &across));
    ASSERT_TRUE(LoadTga(ztest::TgaFile(spec, want, true, false), &within));
    EXPECT_EQ(across, want);
    EXPECT_EQ(within, want);
  }
}

TEST_F(TgaTest, LoadsIntoOtherHeapsAndSurfaces) {
  const std::vector<uint32_t> want = ztest::TestPixels(9, 4, 2);
  TgaSpec spec;
  spec.width = 9;
  spec.height = 4;
  spec.depth = 16;
  Put("pic.tga", ztest::TgaFile(spec, want, true));

  const HHEAP heap = LS_GetHeap(1 << 16);
  BMAP* inHeap = LS_LoadTga("pic.tga", heap);
  ASSERT_NE(inHeap, nullptr);
  EXPECT_EQ(LSI_FindHeap(inHeap), LSI_GetHeapOf(heap));
  EXPECT_EQ(ztest::PixelsOf(inHeap), want);
  LS_FreeBmap(inHeap);
  LS_ReleaseHeap(heap);

  // A surface's rows are wider than its pixels.
  BMAP* surface = LS_LoadTga("pic.tga", BMAP_SYSMEM);
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(surface->LockCount, 0);
  EXPECT_EQ(surface->Format, BMAP_RGB555);
  EXPECT_EQ(ztest::PixelsOf(surface), want);
  LS_FreeBmap(surface);
}

TEST_F(TgaTest, PicturesBeyondTheHeapOrTheFileGiveNullWithoutError) {
  // 4000 x 4000 x 32 bits coded in a few kilobytes: more than the heap holds.
  TgaSpec spec;
  spec.width = 4000;
  spec.height = 4000;
  spec.depth = 32;
  spec.imageType = 10;
  Bytes file = ztest::TgaHeader(spec);
  for (int i = 0; i < 4000 * 4000 / 128 + 1; ++i) file.insert(file.end(), {0xFF, 1, 2, 3, 4});
  EXPECT_FALSE(LoadTga(file));
  // 65535 x 65535 in a file of 100 bytes, raw and coded.
  spec.width = spec.height = 65535;
  for (const uint8_t type : {2, 10}) {
    spec.imageType = type;
    file = ztest::TgaHeader(spec);
    file.resize(100, 0x80);
    EXPECT_FALSE(LoadTga(file)) << int{type};
  }
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
};

TEST_F(TgaSaveTest, EveryDepthReadsBackTheSame) {
  for (const int32_t depth : {8, 16, 24, 32}) {
    const std::vector<uint32_t> want = ztest::TestPixels(11, 5, depth / 8, static_cast<uint32_t>(depth));
    BMAP* b = Filled(11, 5, depth, want);
    if (depth == 32) b->Format = BMAP_ARGB8888;
    Save(b);
    BMAP* back = LS_LoadTga("out.tga", 0);
    ASSERT_NE(back, nullptr) << depth;
    EXPECT_EQ(ztest::PixelsOf(back), want) << depth;
    EXPECT_EQ(back->Depth, depth);
    LS_FreeBmap(back);
    LS_FreeBmap(b);
  }
}

TEST_F(TgaSaveTest, HeaderBytes) {
  BMAP* b = LS_CreateBmap(300, 2, 24, 0);
  Bytes file = Save(b);
  const Bytes trueColour{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x2C, 0x01, 2, 0, 24, 0x20};
  EXPECT_EQ(ztest::Cut(file, 18), trueColour);
  EXPECT_EQ(file.size(), 18u + 300u * 2u * 3u);
  LS_FreeBmap(b);

  b = LS_CreateBmap(3, 4, 8, 0);
  file = Save(b);
  const Bytes mapped{0, 1, 1, 0, 0, 0, 1, 24, 0, 0, 0, 0, 3, 0, 4, 0, 8, 0x20};
  EXPECT_EQ(ztest::Cut(file, 18), mapped);
  EXPECT_EQ(file.size(), 18u + 768u + 12u);
  LS_FreeBmap(b);
}

TEST_F(TgaSaveTest, ColourMapComesFromTheGivenPaletteTheBitmapsOrTheCurrentOne) {
  PALETTE given{}, own{};
  for (int i = 0; i < 256; ++i) {
    given.Entry[i] = {static_cast<uint8_t>(i & 63), static_cast<uint8_t>((i >> 1) & 63),
                      static_cast<uint8_t>(63)};
    own.Entry[i] = {1, 2, 3};
  }
  LS_Var.Palette.Entry[5] = {63, 0, 32};
  BMAP* b = LS_CreateBmap(2, 2, 8, 0);
  auto entry = [](const Bytes& file, int i) {
    return Bytes(file.begin() + 18 + i * 3, file.begin() + 21 + i * 3);
  };

  Bytes file = Save(b);
  EXPECT_EQ(entry(file, 5), (Bytes{0x82, 0x00, 0xFF}));  // blue 32, green 0, red 63
  b->Palette = &own;
  file = Save(b);
  EXPECT_EQ(entry(file, 5), (Bytes{12, 8, 4}));
  file = Save(b, &given);
  EXPECT_EQ(entry(file, 0), (Bytes{0xFF, 0, 0}));
  EXPECT_EQ(entry(file, 45), (Bytes{0xFF, 22 << 2 | 22 >> 4, 45 << 2 | 45 >> 4}));
  b->Palette = nullptr;
  LS_FreeBmap(b);
}

TEST_F(TgaSaveTest, Rgb565SavesAsItsRgb555RemapAndStaysUntouched) {
  const std::vector<uint32_t> source{0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0x8410};
  BMAP* b = Filled(3, 2, 16, source);
  b->Format = BMAP_RGB565;
  Save(b);
  EXPECT_EQ(ztest::PixelsOf(b), source);
  EXPECT_EQ(b->Format, BMAP_RGB565);

  BMAP* expected = Filled(3, 2, 16, source);
  expected->Format = BMAP_RGB565;
  ASSERT_EQ(LS_RemapBmap(expected, BMAP_RGB555), 1);
  BMAP* back = LS_LoadTga("out.tga", 0);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(ztest::PixelsOf(back), ztest::PixelsOf(expected));
  EXPECT_EQ(ztest::PixelsOf(back)[0], 0x7C00u);
  LS_FreeBmap(back);
  LS_FreeBmap(expected);
  LS_FreeBmap(b);
}

TEST_F(TgaSaveTest, WidePitchSurfaceSavesOnlyItsPixels) {
  BMAP* surface = LS_CreateBmap(7, 3, 16, BMAP_SYSMEM);
  ASSERT_NE(surface, nullptr);
  surface->Format = BMAP_RGB555;
  const std::vector<uint32_t> want = ztest::TestPixels(7, 3, 2, 5);
  LS_LockBmap(surface);
  EXPECT_GT(surface->ByteLen, 14);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 7; ++x)
      LSI_StorePixel(LSI_PixelAt(surface, x, y), 2, want[static_cast<size_t>(y * 7 + x)]);
  LS_UnlockBmap(surface);
  const Bytes file = Save(surface);
  EXPECT_EQ(file.size(), 18u + 7u * 3u * 2u);
  BMAP* back = LS_LoadTga("out.tga", 0);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(ztest::PixelsOf(back), want);
  LS_FreeBmap(back);
  LS_FreeBmap(surface);
}

TEST_F(TgaSaveTest, UncreatableFileOrNoBitmapGivesZero) {
  LogErrors();
  BMAP* b = LS_CreateBmap(2, 2, 16, 0);
  EXPECT_EQ(LS_SaveTga("nodir>sub>out.tga", b, nullptr, 0), 0);
  EXPECT_NE(ErrorFile().find("LS_ERROR: 5"), std::string::npos);
  EXPECT_EQ(LS_SaveTga("out.tga", nullptr, nullptr, 0), 0);
  EXPECT_FALSE(ztest::FileExists(root_ + "/OUT.TGA"));
  LS_FreeBmap(b);
}

}  // namespace
