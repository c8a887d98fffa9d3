// Damaged and refused picture files: every reader gives null, raises no
// error, keeps no block or bitmap and leaves the heap's direction alone.
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

class BadPictureTest : public ztest::PictureTest {
 protected:
  void TearDown() override {
    EXPECT_EQ(LS_GetLastError(), 0u);
    EXPECT_TRUE(Boxes().empty());
    ztest::PictureTest::TearDown();
  }
  void Refused(Reader reader, const Bytes& bytes, const std::string& what) {
    EXPECT_FALSE(Load(reader, Put("bad.pic", bytes))) << what;
  }
  void Accepted(Reader reader, const Bytes& bytes, const std::string& what) {
    EXPECT_TRUE(Load(reader, Put("bad.pic", bytes))) << what;
  }
  // Every cut shorter than `whole` is refused; the rest load.
  void EveryCut(Reader reader, const Bytes& bytes, size_t whole, const std::string& what) {
    Accepted(reader, bytes, what + " whole");
    for (size_t length = 0; length < bytes.size(); ++length) {
      if (length < whole)
        Refused(reader, ztest::Cut(bytes, length), what + " cut at " + std::to_string(length));
      else
        Accepted(reader, ztest::Cut(bytes, length), what + " cut at " + std::to_string(length));
    }
  }
  static Bytes SmallTga(uint8_t depth, bool packed, uint8_t descriptor = 0x20) {
    ztest::TgaSpec spec;
    spec.width = 5;
    spec.height = 3;
    spec.depth = depth;
    spec.descriptor = descriptor;
    spec.id = "ab";
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
    const Bytes raw = ztest::IlbmPlanes(pixels, 10, 2, 3, mask);
    return ztest::IffForm("ILBM", {ztest::IffChunk("BMHD", ztest::Bmhd(10, 2, 3, mask, packed)),
                                   ztest::IffChunk("BODY", packed ? ztest::ByteRun1(raw) : raw, false)});
  }
  static Bytes SmallPbm(bool packed) {
    const Bytes raw{1, 1, 1, 1, 2, 3, 4, 5, 5, 5, 5, 5};
    return ztest::IffForm("PBM ", {ztest::IffChunk("BMHD", ztest::Bmhd(4, 3, 8, 0, packed)),
                                   ztest::IffChunk("BODY", packed ? ztest::ByteRun1(raw) : raw, false)});
  }
  static Bytes SmallBma(int depth, int packing) {
    return ztest::BmaFile(ztest::TestPixels(6, 3, depth / 8, 4), 6, 3, depth, packing);
  }
};

TEST_F(BadPictureTest, EveryCutOfASmallFileIsRefused) {
  for (const uint8_t depth : {8, 16, 24, 32})
    for (const bool packed : {false, true})
      for (const uint8_t descriptor : {uint8_t{0}, uint8_t{0x20}}) {
        const Bytes file = SmallTga(depth, packed, descriptor);
        EveryCut(LS_LoadTga, file, file.size(),
                 "tga " + std::to_string(depth) + (packed ? " packed" : " raw"));
      }
  for (const bool packed : {false, true})
    for (const bool mask : {false, true})
      EveryCut(LS_LoadIff, SmallIlbm(packed, mask), SmallIlbm(packed, mask).size(), "ilbm");
  for (const bool packed : {false, true})
    EveryCut(LS_LoadIff, SmallPbm(packed), SmallPbm(packed).size(), "pbm");
  for (const int depth : {8, 16, 24, 32})
    for (const int packing : {0, 1}) {
      const Bytes file = SmallBma(depth, packing);
      EveryCut(LS_LoadBmapFile, file, file.size(), "bma " + std::to_string(depth));
    }
}

TEST_F(BadPictureTest, PcxCutInItsPaletteLoadsWithoutOne) {
  const Bytes file = SmallPcx();
  const size_t pixelsEnd = file.size() - 769;
  EveryCut(LS_LoadPcx, file, pixelsEnd, "pcx");
  for (size_t length = pixelsEnd; length < file.size(); length += 97) {
    Put("cut.pcx", ztest::Cut(file, length));
    EXPECT_EQ(LS_LoadPcxPalette("cut.pcx"), nullptr) << length;
  }
}

TEST_F(BadPictureTest, RefusedHeaders) {
  for (const uint8_t type : {0, 3, 9, 11, 255}) {
    Bytes tga = SmallTga(8, false);
    tga[2] = type;
    Refused(LS_LoadTga, tga, "tga type " + std::to_string(type));
  }
  struct PcxField {
    size_t at;
    uint8_t value;
  };
  for (const PcxField f :
       {PcxField{0, 11}, PcxField{1, 3}, PcxField{3, 4}, PcxField{3, 1}, PcxField{65, 3}, PcxField{65, 0}}) {
    Bytes pcx = SmallPcx();
    pcx[f.at] = f.value;
    Refused(LS_LoadPcx, pcx, "pcx byte " + std::to_string(f.at));
  }
  Bytes iff = SmallIlbm(false, false);
  iff[0] = 'f';
  Refused(LS_LoadIff, iff, "no FORM");
  LSI_IFFINFO info;
  Put("bad.lbm", iff);
  EXPECT_EQ(LSI_ReadIffHeader("bad.lbm", &info), 0);
  Bytes bma = SmallBma(8, 0);
  bma[5] = 'O';
  Refused(LS_LoadBmapFile, bma, "not Radoro");
  bma = SmallBma(8, 1);
  bma[31] = 2;
  Refused(LS_LoadBmapFile, bma, "packing 2");
}

TEST_F(BadPictureTest, RefusedSizes) {
  // Width or height 0.
  for (const size_t at : {12, 14}) {
    Bytes tga = SmallTga(24, true);
    tga[at] = tga[at + 1] = 0;
    Refused(LS_LoadTga, tga, "tga size 0");
  }
  for (const size_t at : {24, 26}) {
    Bytes bma = SmallBma(16, 0);
    bma[at] = bma[at + 1] = 0;
    Refused(LS_LoadBmapFile, bma, "bma size 0");
  }
  Refused(LS_LoadIff,
          ztest::IffForm("ILBM", {ztest::IffChunk("BMHD", ztest::Bmhd(0, 2, 3, 0, 0)),
                                  ztest::IffChunk("BODY", Bytes(40, 0))}),
          "ilbm width 0");
  Refused(LS_LoadIff,
          ztest::IffForm("PBM ", {ztest::IffChunk("BMHD", ztest::Bmhd(4, 0, 8, 0, 0)),
                                  ztest::IffChunk("BODY", Bytes(40, 0))}),
          "pbm height 0");
  // xmax below xmin, ymax below ymin, bytes per line below the width.
  Bytes pcx = SmallPcx();
  pcx[4] = 9;  // xmin 9 > xmax 4
  Refused(LS_LoadPcx, pcx, "xmax < xmin");
  pcx = SmallPcx();
  pcx[6] = 5;  // ymin 5 > ymax 2
  Refused(LS_LoadPcx, pcx, "ymax < ymin");
  pcx = SmallPcx();
  pcx[66] = 4;
  pcx[67] = 0;
  Refused(LS_LoadPcx, pcx, "bytes per line 4 for width 5");
  // Depths.
  for (const uint8_t depth : {0, 1, 4, 12, 17, 31, 33, 64}) {
    Bytes tga = SmallTga(8, false);
    tga[16] = depth;
    Refused(LS_LoadTga, tga, "tga depth " + std::to_string(depth));
  }
  for (const uint8_t depth : {0, 1, 4, 15, 31, 64}) {
    Bytes bma = SmallBma(8, 0);
    bma[30] = depth;
    Refused(LS_LoadBmapFile, bma, "bma depth " + std::to_string(depth));
  }
  for (const int planes : {0, 9, 24}) {
    Refused(LS_LoadIff,
            ztest::IffForm("ILBM", {ztest::IffChunk("BMHD", ztest::Bmhd(8, 2, planes, 0, 0)),
                                    ztest::IffChunk("BODY", Bytes(80, 0))}),
            "ilbm planes " + std::to_string(planes));
  }
  for (const int planes : {1, 4, 7, 24}) {
    Refused(LS_LoadIff,
            ztest::IffForm("PBM ", {ztest::IffChunk("BMHD", ztest::Bmhd(8, 2, planes, 0, 0)),
                                    ztest::IffChunk("BODY", Bytes(80, 0))}),
            "pbm planes " + std::to_string(planes));
  }
  Refused(LS_LoadIff,
          ztest::IffForm("PBM ", {ztest::IffChunk("BMHD", ztest::Bmhd(8, 2, 8, 0, 2)),
                                  ztest::IffChunk("BODY", Bytes(80, 0))}),
          "compression 2");
}

TEST_F(BadPictureTest, HugeSizesInASmallFile) {
  for (const uint8_t type : {2, 10}) {
    Bytes tga = SmallTga(32, type == 10);
    tga[2] = type;
    tga[12] = tga[13] = tga[14] = tga[15] = 0xFF;
    tga.resize(100, 0x81);
    Refused(LS_LoadTga, tga, "tga 65535 x 65535");
  }
  Bytes pcx = SmallPcx();
  pcx[8] = pcx[9] = pcx[10] = pcx[11] = 0xFF;
  pcx[66] = pcx[67] = 0xFF;
  pcx.resize(128);
  pcx.insert(pcx.end(), {0xFF, 1, 0xFF, 1});
  Refused(LS_LoadPcx, pcx, "pcx 65535 x 65535");
  for (const int compression : {0, 1})
    Refused(LS_LoadIff,
            ztest::IffForm("PBM ", {ztest::IffChunk("BMHD", ztest::Bmhd(65535, 65535, 8, 0, compression)),
                                    ztest::IffChunk("BODY", Bytes(40, 0x81))}),
            "pbm 65535 x 65535");
  Refused(LS_LoadIff,
          ztest::IffForm("ILBM", {ztest::IffChunk("BMHD", ztest::Bmhd(65535, 65535, 8, 1, 1)),
                                  ztest::IffChunk("BODY", Bytes(40, 0x81))}),
          "ilbm 65535 x 65535");
  for (const int packing : {0, 1}) {
    Bytes bma = ztest::BmaHeader(65535, 65535, 65535, 32, packing);
    bma.resize(100, 0xFF);
    Refused(LS_LoadBmapFile, bma, "bma 65535 x 65535");
  }
}

TEST_F(BadPictureTest, OffsetsPastTheEnd) {
  // Identification and colour map past the end.
  Bytes tga = SmallTga(8, false);
  tga[0] = 200;
  Refused(LS_LoadTga, tga, "identification past the end");
  tga = SmallTga(8, false);
  tga[1] = 1;
  tga[5] = 0;
  tga[6] = 1;  // 256 entries
  tga[7] = 24;
  Refused(LS_LoadTga, tga, "colour map past the end");

  const Bytes bmhd = ztest::IffChunk("BMHD", ztest::Bmhd(4, 3, 8, 0, 0));
  const Bytes body = ztest::IffChunk("BODY", Bytes(12, 1));
  Refused(LS_LoadIff, ztest::IffForm("PBM ", {bmhd}), "no BODY");
  Refused(LS_LoadIff, ztest::IffForm("PBM ", {body}), "no BMHD");
  Refused(LS_LoadIff,
          ztest::IffForm("PBM ", {ztest::IffChunk("BMHD", ztest::Cut(ztest::Bmhd(4, 3, 8, 0, 0), 19)), body}),
          "BMHD of 19 bytes");
  // A chunk longer than the FORM: the FORM's length is cut before the body ends.
  Bytes form = ztest::IffForm("PBM ", {bmhd, body});
  form[7] = static_cast<uint8_t>(form[7] - 4);
  Refused(LS_LoadIff, form, "chunk past the FORM");
  // A chunk longer than the file, the FORM claiming as much.
  form = ztest::IffForm("PBM ", {bmhd, body});
  form[form.size() - 13] = 0x7F;  // the body's length grows far past the file
  form[7] = 0xFF;
  form[6] = 0x7F;
  Refused(LS_LoadIff, form, "chunk past the file");
  // A ByteRun1 literal past the body: 5 literals promised, 2 there.
  Refused(LS_LoadIff, ztest::IffForm("PBM ", {bmhd, ztest::IffChunk("BODY", Bytes{0x04, 1, 2})}),
          "literal past the body");
  Refused(LS_LoadIff,
          ztest::IffForm("PBM ", {ztest::IffChunk("BMHD", ztest::Bmhd(4, 3, 8, 0, 1)),
                                  ztest::IffChunk("BODY", Bytes{0x04, 1, 2})}),
          "literal past the body");
  Refused(LS_LoadIff,
          ztest::IffForm("PBM ", {ztest::IffChunk("BMHD", ztest::Bmhd(4, 3, 8, 0, 1)),
                                  ztest::IffChunk("BODY", Bytes{0xFE})}),
          "run value past the body");
}

TEST_F(BadPictureTest, MissingAndEmptyFiles) {
  for (const Reader reader :
       {Reader{LS_LoadTga}, Reader{LS_LoadPcx}, Reader{LS_LoadIff}, Reader{LS_LoadBmapFile}}) {
    EXPECT_FALSE(Load(reader, "none.pic"));
    EXPECT_FALSE(Load(reader, Put("empty.pic", {})));
    EXPECT_EQ(reader(nullptr, 0), nullptr);
  }
}

}  // namespace
