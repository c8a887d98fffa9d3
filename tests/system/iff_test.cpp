// IFF pictures: PBM raw and ByteRun1, ILBM of 1 to 8 planes at any width,
// raw and coded, with and without a mask plane, and the chunk walk.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "system/picture.h"
#include "tests/system/picture_fixture.h"

namespace {

using ztest::Bytes;

// Indices below 2^planes, with runs and noise.
std::vector<uint8_t> Indices(int width, int height, int planes) {
  std::vector<uint8_t> out;
  for (uint32_t v : ztest::TestPixels(width, height, 1, static_cast<uint32_t>(planes + width)))
    out.push_back(static_cast<uint8_t>(v & ((1u << planes) - 1)));
  return out;
}

// The pixels a bitmap of the even width holds: the column added to an odd
// width is 0 (its plane bits are padding).
std::vector<uint32_t> Widened(const std::vector<uint8_t>& pixels, int width, int height) {
  const int even = (width + 1) & ~1;
  std::vector<uint32_t> out;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < even; ++x) out.push_back(x < width ? pixels[static_cast<size_t>(y * width + x)] : 0);
  return out;
}

Bytes Ilbm(const std::vector<uint8_t>& pixels, int width, int height, int planes, bool mask, bool packed) {
  const Bytes raw = ztest::IlbmPlanes(pixels, width, height, planes, mask);
  Bytes cmap(static_cast<size_t>(3 << planes), 0x44);
  return ztest::IffForm(
      "ILBM", {ztest::IffChunk("BMHD", ztest::Bmhd(width, height, planes, mask ? 1 : 0, packed)),
               ztest::IffChunk("CMAP", cmap), ztest::IffChunk("BODY", packed ? ztest::ByteRun1(raw) : raw)});
}

class IffTest : public ztest::PictureTest {
 protected:
  bool LoadIff(const Bytes& bytes, std::vector<uint32_t>* pixels = nullptr, BMAP** kept = nullptr) {
    return Load(LS_LoadIff, Put("pic.lbm", bytes), pixels, kept);
  }
};

TEST_F(IffTest, IlbmOfEveryPlaneCountWidthAndCoding) {
  for (const int planes : {1, 4, 5, 8}) {
    for (const int width : {8, 20, 32, 3, 17}) {
      for (const bool mask : {false, true}) {
        for (const bool packed : {false, true}) {
          const std::vector<uint8_t> pixels = Indices(width, 5, planes);
          BMAP* b = nullptr;
          std::vector<uint32_t> got;
          ASSERT_TRUE(LoadIff(Ilbm(pixels, width, 5, planes, mask, packed), &got, &b))
              << planes << " " << width << " " << mask << " " << packed;
          EXPECT_EQ(got, Widened(pixels, width, 5)) << planes << " " << width << " " << mask << " " << packed;
          EXPECT_EQ(b->Depth, 8);
          EXPECT_EQ(b->SizeX, (width + 1) & ~1);
          LS_FreeBmap(b);
        }
      }
    }
  }
}

// Hold-and-modify and extra-half-brite pictures are refused (their pixels
// are not colour indices); other display modes load.
TEST_F(IffTest, HoldAndModifyAndExtraHalfBriteAreRefused) {
  const std::vector<uint8_t> pixels = Indices(16, 2, 6);
  for (const auto& [mode, loads] :
       {std::pair{0x0u, true}, {0x8004u, true}, {0x800u, false}, {0x80u, false}}) {
    const Bytes camg = {0, 0, static_cast<uint8_t>(mode >> 8), static_cast<uint8_t>(mode)};
    EXPECT_EQ(
        LoadIff(ztest::IffForm(
            "ILBM", {ztest::IffChunk("BMHD", ztest::Bmhd(16, 2, 6, 0, false)), ztest::IffChunk("CAMG", camg),
                     ztest::IffChunk("BODY", ztest::IlbmPlanes(pixels, 16, 2, 6, false))})),
        loads)
        << mode;
  }
}

TEST_F(IffTest, PbmRawAndByteRun1) {
  // Rows of a PBM are an even number of bytes: width 5 is stored as 6.
  const std::vector<uint8_t> pixels = Indices(6, 4, 8);
  const Bytes raw(pixels.begin(), pixels.end());
  for (const bool packed : {false, true}) {
    const Bytes file = ztest::IffForm("PBM ", {ztest::IffChunk("BMHD", ztest::Bmhd(5, 4, 8, 0, packed)),
                                               ztest::IffChunk("BODY", packed ? ztest::ByteRun1(raw) : raw)});
    BMAP* b = nullptr;
    std::vector<uint32_t> got;
    ASSERT_TRUE(LoadIff(file, &got, &b)) << packed;
    EXPECT_EQ(got, std::vector<uint32_t>(pixels.begin(), pixels.end()));
    EXPECT_EQ(b->SizeX, 6);
    LS_FreeBmap(b);
  }
}

TEST_F(IffTest, ByteRun1Controls) {
  // 0xFF: 2 copies; 0x81: 128 copies; 0x80: nothing; 0x03: 4 literals.
  const Bytes body{0xFF, 7, 0x80, 0x81, 9, 0x80, 0x03, 1, 2, 3, 4};
  const Bytes file = ztest::IffForm(
      "PBM ", {ztest::IffChunk("BMHD", ztest::Bmhd(134, 1, 8, 0, 1)), ztest::IffChunk("BODY", body)});
  std::vector<uint32_t> got;
  ASSERT_TRUE(LoadIff(file, &got));
  std::vector<uint32_t> want{7, 7};
  want.insert(want.end(), 128, 9);
  want.insert(want.end(), {1, 2, 3, 4});
  EXPECT_EQ(got, want);
}

TEST_F(IffTest, RunsCarryAcrossRowsAndStopAtTheLastRow) {
  // PBM 2 x 3: one run of 5, then a run of 128 that the picture cuts.
  const Bytes body{0xFC, 4, 0x81, 6};
  const Bytes file = ztest::IffForm(
      "PBM ", {ztest::IffChunk("BMHD", ztest::Bmhd(2, 3, 8, 0, 1)), ztest::IffChunk("BODY", body)});
  std::vector<uint32_t> got;
  ASSERT_TRUE(LoadIff(file, &got));
  EXPECT_EQ(got, (std::vector<uint32_t>{4, 4, 4, 4, 4, 6}));

  // A raw PBM body longer than the pixels is cut.
  const Bytes longBody(100, 3);
  ASSERT_TRUE(LoadIff(ztest::IffForm("PBM ", {ztest::IffChunk("BMHD", ztest::Bmhd(2, 3, 8, 0, 0)),
                                              ztest::IffChunk("BODY", longBody)}),
                      &got));
  EXPECT_EQ(got, std::vector<uint32_t>(6, 3));
}

TEST_F(IffTest, ChunksAreFoundByTheirListNotByScanning) {
  // "BODY" and "BMHD" inside another chunk's data are not chunks.
  const std::vector<uint8_t> pixels = Indices(16, 2, 4);
  const Bytes raw = ztest::IlbmPlanes(pixels, 16, 2, 4, false);
  Bytes decoy{'B', 'O', 'D', 'Y', 0, 0, 0, 2, 0xAA, 0xBB, 'B', 'M', 'H', 'D', 0, 0, 0, 20};
  decoy.resize(41, 0x55);  // odd: padded
  const Bytes file = ztest::IffForm(
      "ILBM", {ztest::IffChunk("ANNO", decoy), ztest::IffChunk("BMHD", ztest::Bmhd(16, 2, 4, 0, 0)),
               ztest::IffChunk("BODY", raw)});
  std::vector<uint32_t> got;
  ASSERT_TRUE(LoadIff(file, &got));
  EXPECT_EQ(got, Widened(pixels, 16, 2));

  // The header reader tells kind, sizes and compression.
  Put("pic.lbm", file);
  LSI_IFFINFO info;
  ASSERT_EQ(LSI_ReadIffHeader("pic.lbm", &info), 1);
  EXPECT_EQ(info.Kind, LSI_IFF_ILBM);
  EXPECT_EQ(info.Width, 16);
  EXPECT_EQ(info.Height, 2);
  EXPECT_EQ(info.Planes, 4);
  EXPECT_EQ(info.Compression, 0);
  EXPECT_EQ(info.FileSize, file.size());
}

TEST_F(IffTest, PlaneToChunky) {
  uint8_t pixels[8] = {0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0};
  LSI_PlaneToChunky(0xA5, pixels, 0, 8);
  EXPECT_EQ(Bytes(pixels, pixels + 8), (Bytes{1, 0, 1, 0, 0, 1, 0, 1}));
  LSI_PlaneToChunky(0xFF, pixels, 3, 5);
  EXPECT_EQ(Bytes(pixels, pixels + 8), (Bytes{9, 8, 9, 8, 8, 1, 0, 1}));
}

}  // namespace
