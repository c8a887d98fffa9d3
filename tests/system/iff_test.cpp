// IFF pictures: PBM raw and ByteRun1, ILBM of 1 to 8 planes at any width,
// raw and coded, with and without a mask plane, and the chunk walk.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "system/picture.h"
#include "tests/system/picture_fixture.h"

namespace {

using ztest::Bytes;
using Pixels = std::vector<uint32_t>;

// Indices below 2^planes, with runs and noise.
std::vector<uint8_t> Indices(int width, int height, int planes) {
  std::vector<uint8_t> out;
  for (uint32_t v : ztest::TestPixels(width, height, 1, static_cast<uint32_t>(planes + width)))
    out.push_back(static_cast<uint8_t>(v & ((1u << planes) - 1)));
  return out;
}

// The pixels a bitmap of the even width holds: the column added to an odd
// width is 0 (its plane bits are padding).
Pixels Widened(const std::vector<uint8_t>& pixels, int width, int height) {
  Pixels out;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < ((width + 1) & ~1); ++x) out.push_back(x < width ? pixels[static_cast<size_t>(y * width + x)] : 0);
  return out;
}

class IffTest : public ztest::PictureTest {
 protected:
  bool LoadIff(const Bytes& bytes, Pixels* pixels = nullptr, BMAP** kept = nullptr) {
    return Load(LS_LoadIff, Put("pic.lbm", bytes), pixels, kept);
  }
};

TEST_F(IffTest, IlbmOfEveryPlaneCountWidthAndCoding) {
  struct Row {
    int planes, width;
    bool mask, packed;
  } rows[] = {{1, 8, false, true}, {4, 20, true, false}, {5, 3, false, false}, {8, 17, true, true}, {8, 32, false, true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.planes) + " planes, width " + std::to_string(r.width));
    const std::vector<uint8_t> pixels = Indices(r.width, 5, r.planes);
    const Bytes raw = ztest::IlbmPlanes(pixels, r.width, 5, r.planes, r.mask);
    const Bytes file = ztest::IffForm(
        "ILBM", {ztest::IffChunk("BMHD", ztest::Bmhd(r.width, 5, r.planes, r.mask, r.packed)),
                 ztest::IffChunk("CMAP", Bytes(static_cast<size_t>(3 << r.planes), 0x44)),
                 ztest::IffChunk("BODY", r.packed ? ztest::ByteRun1(raw) : raw)});
    Pixels got;
    ASSERT_TRUE(LoadIff(file, &got));
    EXPECT_EQ(got, Widened(pixels, r.width, 5));
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
  for (const bool packed : {false, true}) {
    BMAP* b = nullptr;
    Pixels got;
    ASSERT_TRUE(LoadIff(ztest::IffPicture("PBM ", ztest::Bmhd(5, 4, 8, 0, packed), Bytes(pixels.begin(), pixels.end()),
                                          packed),
                        &got, &b));
    EXPECT_EQ(std::tuple(got, b->SizeX), std::tuple(Pixels(pixels.begin(), pixels.end()), 6));
    LS_FreeBmap(b);
  }
}

TEST_F(IffTest, ByteRun1ControlsAndRunsAcrossRows) {
  Pixels long_{7, 7};  // 0xFF: 2 copies; 0x81: 128 copies; 0x80: nothing; 0x03: 4 literals
  long_.insert(long_.end(), 128, 9);
  long_.insert(long_.end(), {1, 2, 3, 4});
  struct Row {
    int width, height, compression;
    Bytes body;
    Pixels want;
  } rows[] = {
      {134, 1, 1, {0xFF, 7, 0x80, 0x81, 9, 0x80, 0x03, 1, 2, 3, 4}, long_},
      {2, 3, 1, {0xFC, 4, 0x81, 6}, {4, 4, 4, 4, 4, 6}},  // a run of 5 across rows, then one cut at the end
      {2, 3, 0, Bytes(100, 3), Pixels(6, 3)},             // a raw body longer than the pixels
  };
  for (const Row& r : rows) {
    Pixels got;
    ASSERT_TRUE(LoadIff(ztest::IffPicture("PBM ", ztest::Bmhd(r.width, r.height, 8, 0, r.compression), r.body, false),
                        &got));
    EXPECT_EQ(got, r.want);
  }
}

TEST_F(IffTest, ChunksAreFoundByTheirListNotByScanning) {
  // "BODY" and "BMHD" inside another chunk's data are not chunks.
  const std::vector<uint8_t> pixels = Indices(16, 2, 4);
  Bytes decoy{'B', 'O', 'D', 'Y', 0, 0, 0, 2, 0xAA, 0xBB, 'B', 'M', 'H', 'D', 0, 0, 0, 20};
  decoy.resize(41, 0x55);  // odd: padded
  const Bytes file = ztest::IffForm("ILBM", {ztest::IffChunk("ANNO", decoy), ztest::IffChunk("BMHD", ztest::Bmhd(16, 2, 4, 0, 0)),
                                             ztest::IffChunk("BODY", ztest::IlbmPlanes(pixels, 16, 2, 4, false))});
  Pixels got;
  ASSERT_TRUE(LoadIff(file, &got));
  EXPECT_EQ(got, Widened(pixels, 16, 2));
  // The header reader tells kind, sizes and compression.
  LSI_IFFINFO info;
  ASSERT_EQ(LSI_ReadIffHeader("pic.lbm", &info), 1);
  EXPECT_EQ(std::tuple(info.Kind, info.Width, info.Height, info.Planes, info.FileSize),
            std::tuple(LSI_IFF_ILBM, 16, 2, 4, file.size()));
}

TEST_F(IffTest, PlaneToChunky) {
  uint8_t pixels[8] = {0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0};
  LSI_PlaneToChunky(0xA5, pixels, 0, 8);
  EXPECT_EQ(Bytes(pixels, pixels + 8), (Bytes{1, 0, 1, 0, 0, 1, 0, 1}));
  LSI_PlaneToChunky(0xFF, pixels, 3, 5);
  EXPECT_EQ(Bytes(pixels, pixels + 8), (Bytes{9, 8, 9, 8, 8, 1, 0, 1}));
}

}  // namespace
