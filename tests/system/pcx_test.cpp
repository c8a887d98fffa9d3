// PCX files: sizes from the header, lines of bytes-per-line bytes, runs
// across lines, and the palette at the end of the file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datagen/pcxwrite.h"
#include "system/picture.h"
#include "tests/system/picture_fixture.h"

namespace {

using ztest::Bytes;

// A picture and its palette as datagen's writer stores them.
datagen::Picture8 TestPicture(int width, int height) {
  datagen::Picture8 p;
  p.width = width;
  p.height = height;
  for (uint32_t v : ztest::TestPixels(width, height, 1, 3)) p.pixels.push_back(static_cast<uint8_t>(v));
  for (int i = 0; i < 768; ++i) p.palette.push_back(static_cast<uint8_t>(i * 7));
  return p;
}

// A header of 128 bytes.
Bytes PcxHeader(int xmin, int ymin, int xmax, int ymax, int bytesPerLine) {
  Bytes b{10, 5, 1, 8};
  ztest::PutLE16(b, static_cast<uint32_t>(xmin));
  ztest::PutLE16(b, static_cast<uint32_t>(ymin));
  ztest::PutLE16(b, static_cast<uint32_t>(xmax));
  ztest::PutLE16(b, static_cast<uint32_t>(ymax));
  b.resize(65, 0);
  b.push_back(1);  // planes
  ztest::PutLE16(b, static_cast<uint32_t>(bytesPerLine));
  b.resize(128, 0);
  return b;
}

class PcxTest : public ztest::PictureTest {
 protected:
  Bytes Written(const datagen::Picture8& p) {
    EXPECT_TRUE(datagen::WritePcx(temp_ + "/written.pcx", p));
    return ztest::ReadBytes(temp_ + "/written.pcx");
  }
  bool LoadPcx(const Bytes& bytes, std::vector<uint32_t>* pixels = nullptr, BMAP** kept = nullptr) {
    return Load(LS_LoadPcx, Put("pic.pcx", bytes), pixels, kept);
  }
};

TEST_F(PcxTest, PicturesOfDatagensWriterLoad) {
  for (const int width : {1, 2, 7, 64, 101}) {
    const datagen::Picture8 p = TestPicture(width, 9);
    BMAP* b = nullptr;
    std::vector<uint32_t> got;
    ASSERT_TRUE(LoadPcx(Written(p), &got, &b)) << width;
    EXPECT_EQ(got, std::vector<uint32_t>(p.pixels.begin(), p.pixels.end())) << width;
    EXPECT_EQ(b->Depth, 8);
    EXPECT_EQ(b->Format, BMAP_PAL8);
    LS_FreeBmap(b);
  }
}

TEST_F(PcxTest, WidthComesFromXminAndXmaxAndLinesAreBytesPerLineLong) {
  // Width 3 from xmin 5 to xmax 7, height 2 from ymin 10 to ymax 11; lines
  // of 4 bytes: the last byte of each is padding and is not stored.
  Bytes file = PcxHeader(5, 10, 7, 11, 4);
  file.insert(file.end(), {1, 2, 3, 0x77, 4, 0xC2, 5, 0x77});
  BMAP* b = nullptr;
  std::vector<uint32_t> got;
  ASSERT_TRUE(LoadPcx(file, &got, &b));
  EXPECT_EQ(b->SizeX, 3);
  EXPECT_EQ(b->SizeY, 2);
  EXPECT_EQ(got, (std::vector<uint32_t>{1, 2, 3, 4, 5, 5}));
  LS_FreeBmap(b);
}

TEST_F(PcxTest, RunsGoOnIntoTheNextLineAndEndAtTheLastOne) {
  // A run of 5 nines over lines of 2 (width 1 + padding), and a run of 63
  // past the end. 0xC0 is a run of nothing.
  Bytes file = PcxHeader(0, 0, 0, 3, 2);
  file.insert(file.end(), {0xC5, 9, 0xC0, 0xFF, 3});
  std::vector<uint32_t> got;
  ASSERT_TRUE(LoadPcx(file, &got));
  EXPECT_EQ(got, (std::vector<uint32_t>{9, 9, 9, 3}));
}

TEST_F(PcxTest, PaletteAtTheEnd) {
  const datagen::Picture8 p = TestPicture(5, 3);
  Put("pic.pcx", Written(p));
  PALETTE* palette = LS_LoadPcxPalette("pic.pcx");
  ASSERT_NE(palette, nullptr);
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(palette->Entry[i].Red, p.palette[static_cast<size_t>(i * 3)] >> 2);
    EXPECT_EQ(palette->Entry[i].Green, p.palette[static_cast<size_t>(i * 3 + 1)] >> 2);
    EXPECT_EQ(palette->Entry[i].Blue, p.palette[static_cast<size_t>(i * 3 + 2)] >> 2);
  }
  LS_FreePalette(palette);
}

TEST_F(PcxTest, AnotherMarkerGivesNoPaletteButThePictureStillLoads) {
  const datagen::Picture8 p = TestPicture(5, 3);
  Bytes file = Written(p);
  file[file.size() - 769] = 11;
  Put("pic.pcx", file);
  EXPECT_EQ(LS_LoadPcxPalette("pic.pcx"), nullptr);
  std::vector<uint32_t> got;
  ASSERT_TRUE(LoadPcx(file, &got));
  EXPECT_EQ(got, std::vector<uint32_t>(p.pixels.begin(), p.pixels.end()));
}

TEST_F(PcxTest, PaletteOfShortOrMissingFilesIsNull) {
  EXPECT_EQ(LS_LoadPcxPalette("none.pcx"), nullptr);
  Bytes file(768, 0);
  file[0] = 12;
  Put("short.pcx", file);
  EXPECT_EQ(LS_LoadPcxPalette("short.pcx"), nullptr);
  file.insert(file.begin(), 12);  // exactly 769: marker and colours
  Put("short.pcx", file);
  PALETTE* palette = LS_LoadPcxPalette("short.pcx");
  EXPECT_NE(palette, nullptr);
  LS_FreePalette(palette);
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
