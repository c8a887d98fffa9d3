// Damaged and refused picture files: every reader gives null, raises no
// error, keeps no block or bitmap and leaves the heap's direction alone.
// One table per reader: cuts, bad signatures and fields, huge sizes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datagen/pcxwrite.h"
#include "system/error.h"
#include "system/picture.h"
#include "tests/system/picture_fixture.h"

namespace {

using ztest::Bytes;
using Reader = BMAP* (*)(const char*, uintptr_t);

Bytes With(Bytes b, std::initializer_list<std::pair<size_t, uint8_t>> changes) {
  for (auto [at, value] : changes) b[at] = value;
  return b;
}

class BadPictureTest : public ztest::PictureTest {
 protected:
  void TearDown() override {
    EXPECT_EQ(LS_GetLastError(), 0u);
    EXPECT_TRUE(Boxes().empty());
    ztest::PictureTest::TearDown();
  }
  void Refused(Reader reader, const std::vector<std::pair<std::string, Bytes>>& rows) {
    for (const auto& [what, bytes] : rows) EXPECT_FALSE(Load(reader, Put("bad.pic", bytes))) << what;
  }
  // The whole file loads; cuts at the start, in the header, in the body
  // and of the last byte do not.
  void Cuts(Reader reader, const Bytes& file, size_t header, const std::string& what, size_t whole = 0) {
    if (!whole) whole = file.size();
    EXPECT_TRUE(Load(reader, Put("cut.pic", file))) << what;
    for (size_t length : {size_t{0}, size_t{1}, header - 1, header, (header + whole) / 2, whole - 1})
      EXPECT_FALSE(Load(reader, Put("cut.pic", ztest::Cut(file, length)))) << what << " cut at " << length;
  }
  static Bytes SmallTga(uint8_t depth, bool packed, uint8_t descriptor = 0x20) {
    ztest::TgaSpec spec;
    spec.width = 5, spec.height = 3, spec.depth = depth, spec.descriptor = descriptor, spec.id = "ab";
    return ztest::TgaFile(spec, ztest::TestPixels(5, 3, (depth + 7) / 8), packed);
  }
  Bytes SmallPcx() {
    datagen::Picture8 p;
    p.width = 5;
    p.height = 3;
    p.pixels = {1, 1, 1, 200, 200, 3, 3, 3, 3, 3, 0xC5, 0xC5, 9, 9, 1};
    p.palette.assign(768, 33);
    datagen::WritePcx(temp_ + "/small.pcx", p);
    return ztest::ReadBytes(temp_ + "/small.pcx");
  }
  static Bytes SmallIlbm(bool packed, bool mask) {
    const std::vector<uint8_t> pixels{1, 2, 3, 4, 5, 6, 7, 1, 1, 1, 1, 1, 2, 3, 7, 7, 7, 7, 7, 7};
    return ztest::IffPicture("ILBM", ztest::Bmhd(10, 2, 3, mask, packed), ztest::IlbmPlanes(pixels, 10, 2, 3, mask),
                             packed);
  }
  static Bytes Pbm(int width, int height, int planes, int compression, const Bytes& body) {
    return ztest::IffPicture("PBM ", ztest::Bmhd(width, height, planes, 0, compression), body, false);
  }
  static Bytes SmallBma(int depth, int packing) {
    return ztest::BmaFile(ztest::TestPixels(6, 3, depth / 8, 4), 6, 3, depth, packing);
  }
};

TEST_F(BadPictureTest, CutFilesAreRefused) {
  for (const uint8_t depth : {8, 32})
    for (const bool packed : {false, true}) Cuts(LS_LoadTga, SmallTga(depth, packed, packed ? 0 : 0x20), 20, "tga");
  for (const bool packed : {false, true}) Cuts(LS_LoadIff, SmallIlbm(packed, !packed), 48, "ilbm");
  Cuts(LS_LoadIff, Pbm(4, 3, 8, 1, ztest::ByteRun1({1, 1, 1, 1, 2, 3, 4, 5, 5, 5, 5, 5})), 48, "pbm");
  for (const int depth : {8, 24})
    for (const int packing : {0, 1}) Cuts(LS_LoadBmapFile, SmallBma(depth, packing), 32, "bma");
  // A PCX cut in its palette still loads, without one.
  const Bytes pcx = SmallPcx();
  const size_t pixelsEnd = pcx.size() - 769;
  Cuts(LS_LoadPcx, pcx, 128, "pcx", pixelsEnd);
  Put("cut.pcx", ztest::Cut(pcx, pixelsEnd + 300));
  EXPECT_TRUE(Load(LS_LoadPcx, "cut.pcx"));
  EXPECT_EQ(LS_LoadPcxPalette("cut.pcx"), nullptr);
}

TEST_F(BadPictureTest, BadTgaFields) {
  const Bytes tga = SmallTga(8, false);
  Refused(LS_LoadTga, {
                          {"type 0", With(tga, {{2, 0}})},
                          {"type 11", With(tga, {{2, 11}})},
                          {"height 0", With(SmallTga(24, true), {{14, 0}, {15, 0}})},
                          {"depth 12", With(tga, {{16, 12}})},
                          {"identification past the end", With(tga, {{0, 200}})},
                          {"colour map past the end", With(tga, {{1, 1}, {5, 0}, {6, 1}, {7, 24}})},
                          {"65535 x 65535 coded", [] {
                             Bytes b = With(SmallTga(32, true), {{12, 0xFF}, {13, 0xFF}, {14, 0xFF}, {15, 0xFF}});
                             b.resize(100, 0x81);
                             return b;
                           }()},
                      });
}

TEST_F(BadPictureTest, BadPcxFields) {
  const Bytes pcx = SmallPcx();
  Bytes huge = With(pcx, {{8, 0xFF}, {9, 0xFF}, {10, 0xFF}, {11, 0xFF}, {66, 0xFF}, {67, 0xFF}});
  huge.resize(128);
  huge.insert(huge.end(), {0xFF, 1, 0xFF, 1});
  Refused(LS_LoadPcx, {
                          {"manufacturer 11", With(pcx, {{0, 11}})},
                          {"version 3", With(pcx, {{1, 3}})},
                          {"4 bits", With(pcx, {{3, 4}})},
                          {"3 planes", With(pcx, {{65, 3}})},
                          {"ymax < ymin", With(pcx, {{6, 5}})},
                          {"bytes per line below the width", With(pcx, {{66, 4}, {67, 0}})},
                          {"65535 x 65535", huge},
                      });
}

TEST_F(BadPictureTest, BadIffFields) {
  const Bytes bmhd = ztest::IffChunk("BMHD", ztest::Bmhd(4, 3, 8, 0, 0));
  const Bytes body = ztest::IffChunk("BODY", Bytes(12, 1));
  Bytes formCut = ztest::IffForm("PBM ", {bmhd, body});
  formCut[7] = static_cast<uint8_t>(formCut[7] - 4);
  Bytes chunkPastFile = ztest::IffForm("PBM ", {bmhd, body});
  chunkPastFile[chunkPastFile.size() - 13] = 0x7F;  // the body's length grows far past the file
  chunkPastFile[7] = 0xFF;
  chunkPastFile[6] = 0x7F;
  Refused(LS_LoadIff, {
                          {"no FORM", With(SmallIlbm(false, false), {{0, 'f'}})},
                          {"ilbm width 0", ztest::IffPicture("ILBM", ztest::Bmhd(0, 2, 3, 0, 0), Bytes(40, 0), false)},
                          {"ilbm of 9 planes", ztest::IffPicture("ILBM", ztest::Bmhd(8, 2, 9, 0, 0), Bytes(80, 0), false)},
                          {"pbm of 7 planes", Pbm(8, 2, 7, 0, Bytes(80, 0))},
                          {"compression 2", Pbm(8, 2, 8, 2, Bytes(80, 0))},
                          {"no BODY", ztest::IffForm("PBM ", {bmhd})},
                          {"no BMHD", ztest::IffForm("PBM ", {body})},
                          {"BMHD of 19 bytes", ztest::IffForm("PBM ", {ztest::IffChunk("BMHD", ztest::Cut(ztest::Bmhd(4, 3, 8, 0, 0), 19)), body})},
                          {"chunk past the FORM", formCut},
                          {"chunk past the file", chunkPastFile},
                          {"literal past the body", Pbm(4, 3, 8, 1, {0x04, 1, 2})},
                          {"run value past the body", Pbm(4, 3, 8, 1, {0xFE})},
                          {"ilbm 65535 x 65535", ztest::IffPicture("ILBM", ztest::Bmhd(65535, 65535, 8, 1, 1), Bytes(40, 0x81), false)},
                      });
  LSI_IFFINFO info;
  Put("bad.lbm", With(SmallIlbm(false, false), {{0, 'f'}}));
  EXPECT_EQ(LSI_ReadIffHeader("bad.lbm", &info), 0);
}

TEST_F(BadPictureTest, BadBmaFields) {
  Bytes huge = ztest::BmaHeader(65535, 65535, 65535, 32, 1);
  huge.resize(100, 0xFF);
  Refused(LS_LoadBmapFile, {
                               {"not Radoro", With(SmallBma(8, 0), {{5, 'O'}})},
                               {"packing 2", With(SmallBma(8, 1), {{31, 2}})},
                               {"height 0", With(SmallBma(16, 0), {{26, 0}, {27, 0}})},
                               {"depth 15", With(SmallBma(8, 0), {{30, 15}})},
                               {"65535 x 65535", huge},
                           });
}

TEST_F(BadPictureTest, MissingAndEmptyFiles) {
  for (const Reader reader : {Reader{LS_LoadTga}, Reader{LS_LoadPcx}, Reader{LS_LoadIff}, Reader{LS_LoadBmapFile}}) {
    EXPECT_FALSE(Load(reader, "none.pic"));
    EXPECT_FALSE(Load(reader, Put("empty.pic", {})));
    EXPECT_EQ(reader(nullptr, 0), nullptr);
  }
}

}  // namespace
