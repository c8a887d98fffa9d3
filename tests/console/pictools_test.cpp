// The picture tools: icons with a soft shadow, colours divided by alpha,
// 16-bit copies, showing a picture until a key, and bad picture files.
#include "console/pictools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "datagen/pcxwrite.h"
#include "datagen/tgawrite.h"
#include "platform/window.h"
#include "shell/sbvar.h"
#include "system/heap.h"
#include "system/lsvar.h"
#include "system/picture.h"
#include "tests/fakes/command_fakes.h"
#include "tests/support/pcxrowend.h"
#include "tests/support/pixels.h"

namespace {

using Lines = std::vector<std::string>;

class PicTools : public ztest::CommandTest {
 protected:
  // An uncompressed 32-bit TGA, top row first, from 0xAARRGGBB pixels.
  void WriteTga32(const std::string& name, int width, int height, const std::vector<uint32_t>& pixels) {
    std::string file(18, '\0');
    file[2] = 2;
    file[12] = static_cast<char>(width), file[13] = static_cast<char>(width >> 8);
    file[14] = static_cast<char>(height), file[15] = static_cast<char>(height >> 8);
    file[16] = 32;
    file[17] = 0x28;  // top row first, 8 alpha bits
    for (uint32_t p : pixels)
      for (int k = 0; k < 4; ++k) file += static_cast<char>(p >> (8 * k));
    ztest::WriteFile(root_ + "/" + name, file);
  }
  // The picture the file holds, read back by the library; freed at the end.
  BMAP* Load(const std::string& name) {
    BMAP* bmap = LS_LoadTga(name.c_str(), LS_DefaultHeap);
    if (bmap) loaded_.push_back(bmap);
    return bmap;
  }
  void TearDown() override {
    for (BMAP* b : loaded_) LS_FreeBmap(b);
    CommandTest::TearDown();
  }
  static uint32_t At(BMAP* bmap, int x, int y) { return LS_GetPixel(bmap, x, y); }
  std::vector<BMAP*> loaded_;
};

TEST_F(PicTools, MakeIconeDrawsASoftShadowUnderThePicture) {
  WriteTga32("DOT.TGA", 1, 1, {0xFFFFFFFF});
  EXPECT_EQ(Run("MAKEICONE dot.tga icon.tga"), 1);
  BMAP* icon = Load("ICON.TGA");
  ASSERT_NE(icon, nullptr);
  ASSERT_EQ(icon->SizeX, 101);
  ASSERT_EQ(icon->SizeY, 101);
  for (int y = 0; y < 101; ++y)
    for (int x = 0; x < 101; ++x) {
      const bool shadow = x >= 52 && x <= 62 && y >= 55 && y <= 65;
      const uint32_t expected = x == 50 && y == 50 ? 0xFFFFFFFF : shadow ? 0x01000000 : 0;
      ASSERT_EQ(At(icon, x, y), expected) << x << "," << y;
    }
  EXPECT_TRUE(Printed().empty());
}

TEST_F(PicTools, UnAlphaPlacesThePictureAndDividesByAlpha) {
  WriteTga32("TWO.TGA", 2, 1, {0x80402010, 0x00FFFFFF});
  Run("UNALPHA two.tga out.tga");
  BMAP* out = Load("OUT.TGA");
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(out->SizeX, 102);
  EXPECT_EQ(out->SizeY, 101);
  EXPECT_EQ(At(out, 75, 25), 0x807F3F1Fu);  // each colour x 255 / 128
  EXPECT_EQ(At(out, 76, 25), 0u);           // alpha 0: black
  EXPECT_EQ(At(out, 74, 25), 0u);
}

TEST_F(PicTools, BmapTo16WritesA16BitPicture) {
  datagen::Picture24 picture(3, 2, 255, 255, 255);
  ASSERT_TRUE(datagen::WriteTga(root_ + "/RGB.TGA", picture));
  Run("BMAPTO16 rgb.tga sixteen.tga");
  BMAP* out = Load("SIXTEEN.TGA");
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(out->Depth, 16);
  EXPECT_EQ(At(out, 2, 1), 0x7FFFu);
}

// The sliding sums give exactly what 121 taps per pixel give.
TEST_F(PicTools, TheShadowSumsEqualTheDirectOnes) {
  const int w = 37, h = 23;
  BMAP* picture = LS_CreateBmap(w, h, 32, 0);
  BMAP* icon = LS_CreateBmap(w + 100, h + 100, 32, 0);
  uint32_t seed = 7;
  const auto next = [&] { return (seed = seed * 1664525u + 1013904223u) >> 24; };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      picture->Start[y * picture->ByteLen + x * 4 + 3] = static_cast<uint8_t>(next());
  std::vector<uint8_t> before;
  for (int y = 0; y < icon->SizeY; ++y)
    for (int x = 0; x < icon->SizeX; ++x)
      before.push_back(icon->Start[y * icon->ByteLen + x * 4 + 3] = static_cast<uint8_t>(next()));
  SB_IconeShadow(picture, icon);
  for (int y = 0, i = 0; y < icon->SizeY; ++y)
    for (int x = 0; x < icon->SizeX; ++x, ++i) {
      uint32_t s = 0;
      for (int r = y - 65; r <= y - 55; ++r)
        for (int c = x - 62; c <= x - 52; ++c)
          if (r >= 0 && r < h && c >= 0 && c < w) s += picture->Start[r * picture->ByteLen + c * 4 + 3];
      const uint32_t expected = 255 - (255 - s / 242) * (255 - before[i]) / 255;
      ASSERT_EQ(icon->Start[y * icon->ByteLen + x * 4 + 3], expected) << x << "," << y;
    }
  LS_FreeBmap(icon);
  LS_FreeBmap(picture);
}

TEST_F(PicTools, BadPictureFiles) {
  ztest::WriteFile(root_ + "/JUNK.TGA", std::string(40, 'j'));
  WriteTga32("FULL.TGA", 4, 4, std::vector<uint32_t>(16, 0xFF102030));
  ztest::WriteFile(root_ + "/CUT.TGA", ztest::ReadFile(root_ + "/FULL.TGA").substr(0, 40));
  for (const char* word : {"MAKEICONE", "UNALPHA", "BMAPTO16"}) {
    Run(std::string(word) + " none.tga out.tga");
    Run(std::string(word) + " junk.tga out.tga");
    Run(std::string(word) + " cut.tga out.tga");
    Run(std::string(word) + " full.tga nodir>out.tga");
    EXPECT_EQ(Printed(), (Lines{"File NONE.TGA not found !!!", "File JUNK.TGA not a good TGA !!!",
                                "File CUT.TGA not a good TGA !!!", "Error creating file NODIR>OUT.TGA !!!"}))
        << word;
  }
  EXPECT_FALSE(ztest::FileExists(root_ + "/OUT.TGA"));
  MakeScreen(16);
  Run("VIEWIMAGE none.tga");
  Run("VIEWIMAGE junk.tga");
  Run("VIEWIMAGE none.pcx");
  Run("VIEWIMAGE junk.pcx");
  Run("VIEWIMAGE .tg");
  Run("VIEWIMAGE picture.bmp");
  Run("VIEWIMAGE");
  EXPECT_EQ(Printed(), (Lines{"File NONE.TGA not found !!!", "File JUNK.TGA not found !!!",
                              "File NONE.PCX not found !!!", "File JUNK.PCX not found !!!",
                              "Unknown format !!!", "Unknown format !!!", "Unknown format !!!"}));
}

TEST_F(PicTools, ViewImageShowsThePictureCentredUntilAKey) {
  MakeScreen(16);
  PALETTE palette{};
  palette.Entry[1] = {63, 63, 63};
  LS_SetPalette(&palette);
  ASSERT_TRUE(datagen::WriteTga(root_ + "/WIDE.TGA", datagen::Picture24(100, 50, 255, 255, 255)));
  plat::PostWindowMessage({plat::kMsgChar, ' ', 0});
  EXPECT_EQ(Run("VIEWIMAGE wide.tga"), 1);
  BMAP* screen = LS_Var.Screen;
  EXPECT_EQ(At(screen, 270, 215), 0xFFFFu);
  EXPECT_EQ(At(screen, 369, 264), 0xFFFFu);
  EXPECT_EQ(At(screen, 269, 215), 0u);
  EXPECT_EQ(At(screen, 370, 264), 0u);
  EXPECT_EQ(At(screen, 270, 265), 0u);
  EXPECT_EQ(SB_Var.NbBmapOwners, 0);

  // A PCX is remapped into the console's palette; a larger picture is cut.
  datagen::Picture8 pcx;
  pcx.width = 800;
  pcx.height = 600;
  pcx.pixels.assign(800 * 600, 5);
  pcx.palette.assign(768, 0);
  pcx.palette[5 * 3] = pcx.palette[5 * 3 + 1] = pcx.palette[5 * 3 + 2] = 255;
  ASSERT_TRUE(datagen::WritePcx(root_ + "/BIG.PCX", pcx));
  LS_ClearBmap(screen);
  plat::PostWindowMessage({plat::kMsgChar, ' ', 0});
  Run("VIEWIMAGE big.pcx");
  EXPECT_EQ(At(screen, 0, 0), 0xFFFFu);
  EXPECT_EQ(At(screen, 639, 479), 0xFFFFu);
  EXPECT_EQ(SB_Var.NbBmapOwners, 0);
  EXPECT_TRUE(Printed().empty());
}

TEST_F(PicTools, ViewImageShowsAPcxWhoseRunEndsARowWhole) {
  // The same picture with its run written as sixteen literals is the one
  // the screen must show.
  const std::vector<uint8_t> file = ztest::RowEndRunPcx();
  std::vector<uint8_t> literals(file.begin(), file.begin() + 128 + 16);
  literals.insert(literals.end(), 16, 7);
  literals.insert(literals.end(), file.begin() + 128 + 18, file.end());
  MakeScreen(8);
  std::vector<std::vector<uint32_t>> shown;
  for (const auto& [name, bytes] : {std::pair{"ROWEND.PCX", file}, std::pair{"LITERALS.PCX", literals}}) {
    ztest::WriteFile(root_ + "/" + name, std::string(bytes.begin(), bytes.end()));
    LS_ClearBmap(LS_Var.Screen);
    plat::PostWindowMessage({plat::kMsgChar, ' ', 0});
    EXPECT_EQ(Run(std::string("VIEWIMAGE ") + name), 1);
    shown.push_back(ztest::PixelsOf(LS_Var.Screen));
  }
  EXPECT_EQ(shown[0], shown[1]);
  // The picture is there: its 64 pixels are not all of one colour.
  const uint32_t* centre = &shown[0][239 * 640 + 304];
  EXPECT_NE(std::count(centre, centre + 32, centre[0]) + std::count(centre + 640, centre + 672, centre[0]), 64);
  EXPECT_TRUE(Printed().empty());
}

}  // namespace
