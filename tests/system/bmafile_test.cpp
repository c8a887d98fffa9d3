// The library's own "Radoro" bitmap files, picture type codes and the
// dispatch of LS_LoadPicture.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "system/picture.h"
#include "tests/system/picture_fixture.h"

namespace {

using ztest::Bytes;

class BmaTest : public ztest::PictureTest {
 protected:
  bool LoadBma(const Bytes& bytes, std::vector<uint32_t>* pixels = nullptr, BMAP** kept = nullptr) {
    return Load(LS_LoadBmapFile, Put("pic.bma", bytes), pixels, kept);
  }
};

TEST_F(BmaTest, RawAndPackedAtEveryDepth) {
  for (const int depth : {8, 16, 24, 32}) {
    for (const int packing : {0, 1}) {
      const std::vector<uint32_t> want = ztest::TestPixels(23, 6, depth / 8, static_cast<uint32_t>(depth));
      BMAP* b = nullptr;
      std::vector<uint32_t> got;
      ASSERT_TRUE(LoadBma(ztest::BmaFile(want, 23, 6, depth, packing), &got, &b)) << depth << " " << packing;
      EXPECT_EQ(got, want) << depth << " " << packing;
      EXPECT_EQ(b->Depth, depth);
      LS_FreeBmap(b);
    }
  }
}

TEST_F(BmaTest, RawRowsAdvanceByTheFilesBytesPerRow) {
  Bytes file = ztest::BmaHeader(2, 2, 5, 16, 0);
  file.insert(file.end(), {0x34, 0x12, 0x78, 0x56, 0xEE, 0xCD, 0xAB, 0x01, 0x00});
  std::vector<uint32_t> got;
  ASSERT_TRUE(LoadBma(file, &got));
  EXPECT_EQ(got, (std::vector<uint32_t>{0x1234, 0x5678, 0xABCD, 0x0001}));
}

TEST_F(BmaTest, PackedRowsEndAtTheirWidthInBytes) {
  // 16 bits, width 2: rows of 4 bytes. A count of 0 consumes its value
  // byte; bytes of a packet past the row's end are dropped.
  Bytes file = ztest::BmaHeader(2, 2, 0, 16, 1);
  file.insert(file.end(),
              {0x80, 0x99, 0x83, 0x11, 0x03, 0x22, 0xAA, 0xBB});  // row 0: 11 11 11 22, AA BB dropped
  file.insert(file.end(), {0x02, 0x01, 0x02, 0x86, 0x07});        // row 1: 01 02 07 07, two 07 dropped
  std::vector<uint32_t> got;
  ASSERT_TRUE(LoadBma(file, &got));
  EXPECT_EQ(got, (std::vector<uint32_t>{0x1111, 0x2211, 0x0201, 0x0707}));
}

TEST_F(BmaTest, ExtensionIsAddedWhenTheNameHasNone) {
  const std::vector<uint32_t> want = ztest::TestPixels(3, 2, 1);
  Put("X.BMA", ztest::BmaFile(want, 3, 2, 8, 0));
  std::vector<uint32_t> got;
  ASSERT_TRUE(Load(LS_LoadBmapFile, "X", &got));
  EXPECT_EQ(got, want);
  EXPECT_FALSE(Load(LS_LoadBmapFile, "X.TXT"));
}

TEST_F(BmaTest, UnknownPackingOrSignatureGivesNull) {
  const std::vector<uint32_t> want = ztest::TestPixels(3, 2, 1);
  Bytes file = ztest::BmaFile(want, 3, 2, 8, 0);
  file[31] = 2;
  EXPECT_FALSE(LoadBma(file));
  file[31] = 0;
  file[0] = 'r';
  EXPECT_FALSE(LoadBma(file));
}

TEST_F(BmaTest, PictureTypes) {
  EXPECT_EQ(LS_GetPictureType("pic.tga"), LS_PIC_TGA);
  EXPECT_EQ(LS_GetPictureType("PIC.TGA"), LS_PIC_TGA);
  EXPECT_EQ(LS_GetPictureType("pic.tga.bak"), LS_PIC_TGA);
  EXPECT_EQ(LS_GetPictureType("pic"), LS_PIC_NONE);
  EXPECT_EQ(LS_GetPictureType("pic."), LS_PIC_NONE);
  EXPECT_EQ(LS_GetPictureType("pic.tg"), LS_PIC_NONE);
  EXPECT_EQ(LS_GetPictureType("pic.tgax"), LS_PIC_TGA);
  EXPECT_EQ(LS_GetPictureType("x.gif"), LS_PIC_GIF);
  EXPECT_EQ(LS_GetPictureType("x.bma"), LS_PIC_BMA);
  EXPECT_EQ(LS_GetPictureType("x.Pcx"), LS_PIC_PCX);
  EXPECT_EQ(LS_GetPictureType("x.lbm"), LS_PIC_LBM);
  EXPECT_EQ(LS_GetPictureType("x.iff"), LS_PIC_NONE);
  EXPECT_EQ(LS_GetPictureType(nullptr), LS_PIC_NONE);
}

TEST_F(BmaTest, LoadPictureDispatchesByType) {
  const std::vector<uint32_t> want = ztest::TestPixels(3, 2, 1);
  Put("x.bma", ztest::BmaFile(want, 3, 2, 8, 0));
  Put("x.gif", ztest::BmaFile(want, 3, 2, 8, 0));
  BMAP* b = LS_LoadPicture("x.bma", LS_GetPictureType("x.bma"), 0);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(ztest::PixelsOf(b), want);
  LS_FreeBmap(b);
  EXPECT_EQ(LS_LoadPicture("x.gif", LS_GetPictureType("x.gif"), 0), nullptr);
  EXPECT_EQ(LS_LoadPicture("x.bma", LS_PIC_NONE, 0), nullptr);
  EXPECT_EQ(LS_LoadPicture("x.bma", 77, 0), nullptr);
  EXPECT_EQ(LS_LoadPicture("x.bma", LS_PIC_TGA, 0), nullptr);  // not a TGA: refused
}

}  // namespace
