// PCX files: sizes from the header, lines of bytes-per-line bytes, runs
// across lines, and the palette at the end of the file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datagen/pcxwrite.h"
#include "system/picture.h"
#include "tests/support/pcxrowend.h"
#include "tests/system/picture_fixture.h"

namespace {

using ztest::Bytes;
using Pixels = std::vector<uint32_t>;

// A picture and its palette as datagen's writer stores them.
datagen::Picture8 TestPicture(int width, int height) {
  datagen::Picture8 p;
  p.width = width;
  p.height = height;
  for (uint32_t v : ztest::TestPixels(width, height, 1, 3)) p.pixels.push_back(static_cast<uint8_t>(v));
  for (int i = 0; i < 768; ++i) p.palette.push_back(static_cast<uint8_t>(i * 7));
  return p;
}

// A header of 128 bytes and the coded lines.
Bytes PcxFile(int xmin, int ymin, int xmax, int ymax, int bytesPerLine, const Bytes& body) {
  Bytes b{10, 5, 1, 8};
  for (int v : {xmin, ymin, xmax, ymax}) ztest::PutLE(b, static_cast<uint32_t>(v));
  b.resize(65, 0);
  b.push_back(1);  // planes
  ztest::PutLE(b, static_cast<uint32_t>(bytesPerLine));
  b.resize(128, 0);
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

class PcxTest : public ztest::PictureTest {
 protected:
  Bytes Written(const datagen::Picture8& p) {
    EXPECT_TRUE(datagen::WritePcx(temp_ + "/written.pcx", p));
    return ztest::ReadBytes(temp_ + "/written.pcx");
  }
  bool LoadPcx(const Bytes& bytes, Pixels* pixels = nullptr, BMAP** kept = nullptr) {
    return Load(LS_LoadPcx, Put("pic.pcx", bytes), pixels, kept);
  }
};

TEST_F(PcxTest, PicturesOfDatagensWriterLoad) {
  for (const int width : {1, 101}) {
    const datagen::Picture8 p = TestPicture(width, 9);
    BMAP* b = nullptr;
    Pixels got;
    ASSERT_TRUE(LoadPcx(Written(p), &got, &b)) << width;
    EXPECT_EQ(std::tuple(got, b->Format), std::tuple(Pixels(p.pixels.begin(), p.pixels.end()), BMAP_PAL8)) << width;
    LS_FreeBmap(b);
  }
}

TEST_F(PcxTest, SizesLinesAndRuns) {
  struct Row {
    const char* what;
    Bytes file;
    int width;
    Pixels want;
  } rows[] = {
      // Width 3 from xmin 5 to xmax 7, height 2 from ymin 10 to ymax 11;
      // lines of 4 bytes: the last of each is padding.
      {"lines", PcxFile(5, 10, 7, 11, 4, {1, 2, 3, 0x77, 4, 0xC2, 5, 0x77}), 3, {1, 2, 3, 4, 5, 5}},
      // A run of 5 nines over lines of 2 (width 1 + padding), a run of
      // nothing (0xC0), and a run of 63 past the end.
      {"runs", PcxFile(0, 0, 0, 3, 2, {0xC5, 9, 0xC0, 0xFF, 3}), 1, {9, 9, 9, 3}},
      // A run that ends at the last byte of a row with no pad byte: the next
      // row starts with its own first code.
      {"run to the row's end", ztest::RowEndRunPcx(), 32, ztest::RowEndRunPixels()},
  };
  for (const Row& r : rows) {
    BMAP* b = nullptr;
    Pixels got;
    ASSERT_TRUE(LoadPcx(r.file, &got, &b)) << r.what;
    EXPECT_EQ(std::tuple(b->SizeX, got), std::tuple(r.width, r.want)) << r.what;
    LS_FreeBmap(b);
  }
}

TEST_F(PcxTest, PaletteAtTheEnd) {
  const datagen::Picture8 p = TestPicture(5, 3);
  Bytes file = Written(p);
  Put("pic.pcx", file);
  PALETTE* palette = LS_LoadPcxPalette("pic.pcx");
  ASSERT_NE(palette, nullptr);
  for (size_t i : {0, 100, 255})
    EXPECT_EQ((std::tuple<int, int, int>{palette->Entry[i].Red, palette->Entry[i].Green, palette->Entry[i].Blue}),
              (std::tuple<int, int, int>{p.palette[i * 3] >> 2, p.palette[i * 3 + 1] >> 2, p.palette[i * 3 + 2] >> 2})) << i;
  LS_FreePalette(palette);
  // Another marker: no palette, but the picture still loads.
  file[file.size() - 769] = 11;
  Put("pic.pcx", file);
  EXPECT_EQ(LS_LoadPcxPalette("pic.pcx"), nullptr);
  EXPECT_TRUE(LoadPcx(file));
  // A file of exactly the marker and the colours has a palette; one byte
  // less has none.
  Bytes palOnly(769, 0);
  palOnly[0] = 12;
  Put("short.pcx", palOnly);
  palette = LS_LoadPcxPalette("short.pcx");
  EXPECT_NE(palette, nullptr);
  LS_FreePalette(palette);
  Put("short.pcx", ztest::Cut(palOnly, 768));
  EXPECT_EQ(LS_LoadPcxPalette("short.pcx"), nullptr);
  EXPECT_EQ(LS_LoadPcxPalette("none.pcx"), nullptr);
}

}  // namespace
