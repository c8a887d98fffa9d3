// The library's own "Radoro" bitmap files, picture type codes and the
// dispatch of LS_LoadPicture.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "system/picture.h"
#include "tests/system/picture_fixture.h"

namespace {

using ztest::Bytes;
using Pixels = std::vector<uint32_t>;

class BmaTest : public ztest::PictureTest {
 protected:
  bool LoadBma(const Bytes& bytes, Pixels* pixels = nullptr) { return Load(LS_LoadBmapFile, Put("pic.bma", bytes), pixels); }
  static Bytes File(const Bytes& header, const Bytes& body) {
    Bytes b = header;
    b.insert(b.end(), body.begin(), body.end());
    return b;
  }
};

TEST_F(BmaTest, RawAndPackedAtEveryDepth) {
  for (const int depth : {8, 16, 24, 32})
    for (const int packing : {0, 1}) {
      const Pixels want = ztest::TestPixels(23, 6, depth / 8, static_cast<uint32_t>(depth));
      Pixels got;
      ASSERT_TRUE(LoadBma(ztest::BmaFile(want, 23, 6, depth, packing), &got)) << depth << " " << packing;
      EXPECT_EQ(got, want) << depth << " " << packing;
    }
}

TEST_F(BmaTest, RowsAdvanceByTheFilesBytesPerRowOrEndAtTheirWidth) {
  struct Row {
    Bytes file;
    Pixels want;
  } rows[] = {
      // Raw rows of 5 bytes for 2 pixels of 16 bits.
      {File(ztest::BmaHeader(2, 2, 5, 16, 0), {0x34, 0x12, 0x78, 0x56, 0xEE, 0xCD, 0xAB, 0x01, 0x00}),
       {0x1234, 0x5678, 0xABCD, 0x0001}},
      // Packed rows of 4 bytes: a count of 0 consumes its value byte; bytes
      // of a packet past the row's end are dropped.
      {File(ztest::BmaHeader(2, 2, 0, 16, 1), {0x80, 0x99, 0x83, 0x11, 0x03, 0x22, 0xAA, 0xBB, 0x02, 0x01, 0x02, 0x86, 0x07}),
       {0x1111, 0x2211, 0x0201, 0x0707}},
  };
  for (const Row& r : rows) {
    Pixels got;
    ASSERT_TRUE(LoadBma(r.file, &got));
    EXPECT_EQ(got, r.want);
  }
}

TEST_F(BmaTest, ExtensionIsAddedWhenTheNameHasNone) {
  const Pixels want = ztest::TestPixels(3, 2, 1);
  Put("X.BMA", ztest::BmaFile(want, 3, 2, 8, 0));
  Pixels got;
  ASSERT_TRUE(Load(LS_LoadBmapFile, "X", &got));
  EXPECT_EQ(got, want);
  EXPECT_FALSE(Load(LS_LoadBmapFile, "X.TXT"));
}

TEST_F(BmaTest, PictureTypes) {
  const std::pair<const char*, int32_t> rows[] = {
      {"PIC.TGA", LS_PIC_TGA}, {"pic.tga.bak", LS_PIC_TGA}, {"pic.tgax", LS_PIC_TGA}, {"pic", LS_PIC_NONE},
      {"pic.tg", LS_PIC_NONE}, {"x.gif", LS_PIC_GIF},       {"x.Pcx", LS_PIC_PCX},    {"x.iff", LS_PIC_NONE},
  };
  for (const auto& [name, type] : rows) EXPECT_EQ(LS_GetPictureType(name), type) << name;
  EXPECT_EQ(LS_GetPictureType(nullptr), LS_PIC_NONE);
}

TEST_F(BmaTest, LoadPictureDispatchesByType) {
  const Pixels want = ztest::TestPixels(3, 2, 1);
  Put("x.bma", ztest::BmaFile(want, 3, 2, 8, 0));
  Put("x.gif", ztest::BmaFile(want, 3, 2, 8, 0));
  Pixels got;
  ASSERT_TRUE(Load([](const char* name, uintptr_t heap) { return LS_LoadPicture(name, LS_GetPictureType(name), heap); },
                   "x.bma", &got));
  EXPECT_EQ(got, want);
  EXPECT_EQ(LS_LoadPicture("x.gif", LS_GetPictureType("x.gif"), 0), nullptr);
  for (int32_t type : {LS_PIC_NONE, 77, LS_PIC_TGA}) EXPECT_EQ(LS_LoadPicture("x.bma", type, 0), nullptr) << type;
}

}  // namespace
