// The game's pictures: loaders into owner-tagged bitmaps and their bad
// input, the PCX size, stretching, near-black lifting and the nearest
// colour.
#include "shell/gamepicture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "datagen/pcxwrite.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/pixel.h"
#include "tests/fakes/shell_fakes.h"
#include "tests/support/pcxrowend.h"
#include "tests/support/pixels.h"

namespace {

using Bytes = std::vector<uint8_t>;

void PutLE16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}

// An uncompressed top-down TGA of the depth, pixels as little-endian words.
Bytes Tga(int width, int height, int depth, const std::vector<uint32_t>& pixels) {
  Bytes b = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  PutLE16(b, static_cast<uint32_t>(width));
  PutLE16(b, static_cast<uint32_t>(height));
  b.push_back(static_cast<uint8_t>(depth));
  b.push_back(0x20);
  for (uint32_t p : pixels)
    for (int i = 0; i < depth / 8; ++i) b.push_back(static_cast<uint8_t>(p >> (8 * i)));
  return b;
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
  ztest::WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

datagen::Picture8 Pcx(int width, int height) {
  datagen::Picture8 picture;
  picture.width = width;
  picture.height = height;
  for (int i = 0; i < width * height; ++i) picture.pixels.push_back(static_cast<uint8_t>(i * 3 + 1));
  for (int i = 0; i < 256; ++i) {
    picture.palette.push_back(static_cast<uint8_t>(i));
    picture.palette.push_back(static_cast<uint8_t>(255 - i));
    picture.palette.push_back(static_cast<uint8_t>(i * 4));
  }
  return picture;
}

using ztest::PixelsOf;

BMAP* Filled(int32_t width, int32_t height, int32_t depth, const std::vector<uint32_t>& pixels) {
  return ztest::FilledBmap(width, height, depth, pixels);
}

class GamePicture : public ztest::ShellTest {};

TEST_F(GamePicture, TgaLoadsAsA24BitBitmapTaggedWithItsName) {
  const std::vector<uint32_t> pixels = {0x102030, 0x405060, 0x708090, 0xA0B0C0, 0xD0E0F0, 0x010203};
  WriteBytes(root_ + "/MISCPICT/SKY.TGA", Tga(3, 2, 24, pixels));
  char name[] = "miscpict>sky.tga";
  BMAP* bmap = SB_LoadTga(name);
  name[0] = 'X';  // the tag is the loader's own copy
  ASSERT_NE(bmap, nullptr);
  EXPECT_EQ(bmap->Depth, 24);
  EXPECT_EQ(bmap->Format, BMAP_RGB888);
  EXPECT_EQ(PixelsOf(bmap), pixels);
  ASSERT_EQ(SB_Var.NbBmapOwners, 1);
  EXPECT_STREQ(SB_BmapOwners[0].Owner, "miscpict>sky.tga");
  SB_FreeBmap(bmap);
}

TEST_F(GamePicture, A32BitTgaLosesItsAlpha) {
  WriteBytes(root_ + "/A.TGA", Tga(2, 1, 32, {0x80102030, 0xFF405060}));
  BMAP* bmap = SB_LoadTga("a.tga");
  ASSERT_NE(bmap, nullptr);
  EXPECT_EQ(bmap->Depth, 24);
  EXPECT_EQ(PixelsOf(bmap), (std::vector<uint32_t>{0x102030, 0x405060}));
  SB_FreeBmap(bmap);
}

TEST_F(GamePicture, PcxLoadsAtItsDepthInTheGivenHeap) {
  std::filesystem::create_directories(root_ + "/PCX");
  ASSERT_TRUE(datagen::WritePcx(root_ + "/PCX/P.PCX", Pcx(5, 3)));
  BMAP* bmap = SB_LoadPcx("pcx>p.pcx", 0);
  ASSERT_NE(bmap, nullptr);
  EXPECT_EQ(bmap->Depth, 8);
  EXPECT_EQ(bmap->SizeX, 5);
  EXPECT_EQ(bmap->SizeY, 3);
  EXPECT_EQ(PixelsOf(bmap)[7], 22u);
  ASSERT_EQ(SB_Var.NbBmapOwners, 1);
  EXPECT_STREQ(SB_BmapOwners[0].Owner, "pcx>p.pcx");
  SB_FreeBmap(bmap);

  PALETTE* palette = SB_LoadPalette("pcx>p.pcx");
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(palette->Entry[10].Red, 10 >> 2);
  EXPECT_EQ(palette->Entry[10].Green, 245 >> 2);
  SB_FreePalette(palette);
}

TEST_F(GamePicture, APcxWhoseRunEndsARowLoadsEveryRow) {
  WriteBytes(root_ + "/ROWEND.PCX", ztest::RowEndRunPcx());
  BMAP* bmap = SB_LoadPcx("rowend.pcx", 0);
  ASSERT_NE(bmap, nullptr);
  EXPECT_EQ(PixelsOf(bmap), ztest::RowEndRunPixels());
  SB_FreeBmap(bmap);
}

TEST_F(GamePicture, MissingTruncatedAndRefusedPicturesGiveNothing) {
  const Bytes tga = Tga(4, 4, 24, std::vector<uint32_t>(16, 0x123456));
  WriteBytes(root_ + "/CUT.TGA", Bytes(tga.begin(), tga.begin() + 30));
  Bytes refused = tga;
  refused[2] = 3;  // image type 3 is not read
  WriteBytes(root_ + "/GREY.TGA", refused);
  ASSERT_TRUE(datagen::WritePcx(root_ + "/GOOD.PCX", Pcx(8, 8)));
  const std::string pcx = ztest::ReadFile(root_ + "/GOOD.PCX");
  ztest::WriteFile(root_ + "/CUT.PCX", pcx.substr(0, 100));
  std::string wrong = pcx;
  wrong[0] = 11;  // not made by the right tool
  ztest::WriteFile(root_ + "/WRONG.PCX", wrong);
  ztest::WriteFile(root_ + "/SHORT.PCX", pcx.substr(0, 700));
  // Pictures the library reads whose copy does not fit beside them, with
  // the heap's errors fatal as in the program.
  Bytes big = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0x4C, 4, 8, 0x20};  // 1024 x 1100 x 8, coded
  for (int i = 0; i < 1024 * 1100 / 128; ++i) big.insert(big.end(), {0xFF, 7});
  WriteBytes(root_ + "/BIG.TGA", big);
  datagen::Picture8 wide = Pcx(1, 1);
  wide.width = 2048, wide.height = 1100;
  wide.pixels.assign(2048 * 1100, 7);
  ASSERT_TRUE(datagen::WritePcx(root_ + "/BIG.PCX", wide));
  LS_SetErrorMode(LS_ERRMODE_FATAL);

  const int16_t bmaps = LSI_Var.NbBmap, allocs = LSI_Var.NbAlloc, palettes = LSI_Var.NbPal;
  for (const char* name : {"none.tga", "cut.tga", "grey.tga", "big.tga"})
    EXPECT_EQ(SB_LoadTga(name), nullptr) << name;
  for (const char* name : {"none.pcx", "cut.pcx", "wrong.pcx", "big.pcx"})
    EXPECT_EQ(SB_LoadPcx(name, 0), nullptr) << name;
  for (const char* name : {"none.pcx", "short.pcx"}) EXPECT_EQ(SB_LoadPalette(name), nullptr) << name;
  EXPECT_EQ(SB_Var.NbBmapOwners, 0);
  EXPECT_EQ(SB_Var.NbMemOwners, 0);
  EXPECT_EQ(LSI_Var.NbBmap, bmaps);
  EXPECT_EQ(LSI_Var.NbAlloc, allocs);
  EXPECT_EQ(LSI_Var.NbPal, palettes);
}

TEST_F(GamePicture, PcxSizeComesFromTheHeaderAlone) {
  Bytes header = {10, 5, 1, 8};
  for (uint32_t v : {2u, 3u, 101u, 52u}) PutLE16(header, v);
  WriteBytes(root_ + "/HEAD.PCX", header);
  int32_t width = 0, height = 0;
  EXPECT_EQ(SB_GetPcxSize("head.pcx", &width, &height), 1);
  EXPECT_EQ(width, 100);
  EXPECT_EQ(height, 50);
}

TEST_F(GamePicture, PcxSizeRefusesShortReversedAndMissingFiles) {
  Bytes reversed = {10, 5, 1, 8};
  for (uint32_t v : {50u, 0u, 10u, 20u}) PutLE16(reversed, v);
  WriteBytes(root_ + "/REV.PCX", reversed);
  WriteBytes(root_ + "/SHORT.PCX", Bytes(reversed.begin(), reversed.begin() + 11));
  int32_t width = -1, height = -1;
  EXPECT_EQ(SB_GetPcxSize("rev.pcx", &width, &height), 0);
  EXPECT_EQ(SB_GetPcxSize("short.pcx", &width, &height), 0);
  EXPECT_EQ(SB_GetPcxSize("none.pcx", &width, &height), 0);
  EXPECT_EQ(width, -1);
  EXPECT_EQ(LS_GetLastError(), 0u);
}

TEST_F(GamePicture, StretchTakesTheNearestSourcePixel) {
  BMAP* source = Filled(2, 2, 16, {1, 2, 3, 4});
  source->Format = BMAP_RGB555;
  BMAP* wide = SB_StretchBmap(source, 3, 3);
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(PixelsOf(wide), (std::vector<uint32_t>{1, 1, 2, 1, 1, 2, 3, 3, 4}));
  EXPECT_EQ(wide->Depth, 16);
  EXPECT_EQ(wide->Format, BMAP_RGB555);
  ASSERT_EQ(SB_Var.NbBmapOwners, 1);
  EXPECT_STREQ(SB_BmapOwners[0].Owner, "Stretch");
  SB_FreeBmap(wide);

  BMAP* column = SB_StretchBmap(source, 1, 4);  // a width of 1 takes column 0
  ASSERT_NE(column, nullptr);
  EXPECT_EQ(PixelsOf(column), (std::vector<uint32_t>{1, 1, 1, 3}));
  SB_FreeBmap(column);
  EXPECT_EQ(SB_StretchBmap(source, 0, 4), nullptr);
  EXPECT_EQ(SB_StretchBmap(source, 4, -1), nullptr);
  EXPECT_EQ(SB_StretchBmap(nullptr, 4, 4), nullptr);
  LS_FreeBmap(source);
}

TEST_F(GamePicture, NearBlackIsLiftedAwayFromTransparent) {
  BMAP* bmap = Filled(4, 1, 24, {0x050003, 0x000000, 0x010907, 0x070707});
  SB_LiftNearBlack(bmap);
  EXPECT_EQ(PixelsOf(bmap), (std::vector<uint32_t>{0x080008, 0x000000, 0x010907, 0x080808}));
  LS_FreeBmap(bmap);
  SB_LiftNearBlack(nullptr);
}

TEST_F(GamePicture, NearestColourPrefersTheFirstOfEquals) {
  PALETTE palette{};
  for (LS_RGB& e : palette.Entry) e = {63, 63, 63};
  palette.Entry[3] = {0, 5, 5};
  palette.Entry[7] = {10, 5, 5};
  EXPECT_EQ(SB_FindNearestColor(&palette, 5, 5, 5), 3);
  palette.Entry[2] = {10, 5, 5};
  EXPECT_EQ(SB_FindNearestColor(&palette, 9, 5, 5), 2);
  EXPECT_EQ(SB_FindNearestColor(&palette, 63, 63, 62), 0);
  EXPECT_EQ(SB_FindNearestColor(nullptr, 1, 2, 3), 0);
  EXPECT_EQ(SB_FindNearestColor(&palette, 100000, -100000, 0), 0);  // no overflow
}

}  // namespace
