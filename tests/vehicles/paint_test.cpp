// Car paint: the HSV conversions, the hue band, stickers and their bad
// pictures, the stock car painted in three colours, and a car's textures
// made for the software renderers and for the accelerator.
#include "vehicles/paint.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "datagen/tgawrite.h"
#include "engine3d/object.h"
#include "shell/gamedraw.h"
#include "shell/owner.h"
#include "system/heap.h"
#include "tests/vehicles/vehicle_fixture.h"

namespace {

using Lines = std::vector<std::string>;
using Pixel = std::array<int, 3>;  // the three bytes of a 24-bit pixel, first to last

class PaintTest : public ztest::VehicleTest {
 protected:
  void TearDown() override {
    for (BMAP* b : bitmaps_) SB_FreeBmap(b);
    VehicleTest::TearDown();
  }
  BMAP* Bitmap(int32_t w, int32_t h, const std::vector<Pixel>& pixels = {}) {
    BMAP* b = SB_CreateBmap(w, h, 24, LS_DefaultHeap, "test");
    for (size_t i = 0; i < pixels.size(); ++i)
      for (int c = 0; c < 3; ++c) b->Start[i * 3 + c] = static_cast<uint8_t>(pixels[i][c]);
    bitmaps_.push_back(b);
    return b;
  }
  static Pixel At(const BMAP* b, int32_t x, int32_t y) {
    const uint8_t* p = b->Start + y * b->ByteLen + x * 3;
    return {p[0], p[1], p[2]};
  }
  void WriteSticker(const std::string& name, const std::string& bytes) {
    ztest::WriteFile(root_ + "/INTERFAC/STICKER/" + name, bytes);
  }
  // A 31 x 21 sticker on white with two red pixels, at (1, 1) and (29, 19).
  void WriteTwoDots(const std::string& name, int depth) {
    datagen::TgaImage image{31, 21, depth, std::vector<uint8_t>(31 * 21 * depth / 8, 255), {}};
    for (int at : {1 * 31 + 1, 19 * 31 + 29})
      image.pixels[at * depth / 8] = image.pixels[at * depth / 8 + 1] = 0;
    WriteSticker(name, [&] {
      const std::vector<uint8_t> b = datagen::EncodeTga(image, false);
      return std::string(b.begin(), b.end());
    }());
  }
  MLIB* PrototypeLibrary() { return SB_Var.VehiclePrototype->Materials->Library; }
  std::vector<BMAP*> bitmaps_;
};

TEST_F(PaintTest, PixelsTurnToHsvAndBack) {
  // blue, green, red in; hue, saturation, value out
  const std::pair<Pixel, Pixel> rows[] = {{{0, 0, 255}, {0, 255, 255}},     {{128, 128, 128}, {0, 0, 128}},
                                          {{0, 255, 255}, {43, 255, 255}},  {{255, 255, 0}, {128, 255, 255}},
                                          {{255, 0, 255}, {213, 255, 255}}, {{255, 0, 0}, {170, 255, 255}},
                                          {{64, 128, 192}, {21, 170, 192}}};
  std::vector<Pixel> in;
  for (const auto& row : rows) in.push_back(row.first);
  BMAP* b = Bitmap(static_cast<int32_t>(in.size()), 1, in);
  SB_BmapRGBtoHSV(b);
  for (size_t i = 0; i < in.size(); ++i) EXPECT_EQ(At(b, static_cast<int32_t>(i), 0), rows[i].second) << i;
  SB_BmapHSVtoRGB(b);
  for (int i : {0, 1, 5}) EXPECT_EQ(At(b, i, 0), rows[i].first) << i;  // sector starts and grey come back
}

TEST_F(PaintTest, TheBandTakesTheSetupsHueAndShifts) {
  // pixel, hue, value and saturation shifts, result
  const std::tuple<Pixel, int, int, int, Pixel> rows[] = {{{70, 100, 100}, 100, 0, 0, {182, 100, 100}},
                                                          {{70, 100, 100}, 200, 0, 0, {26, 100, 100}},
                                                          {{60, 100, 100}, -100, 0, 0, {238, 100, 100}},
                                                          {{104, 250, 10}, 0, -20, 20, {82, 255, 0}},
                                                          {{0, 0, 128}, 100, 50, 50, {0, 0, 128}},
                                                          {{105, 9, 9}, 0, 0, 0, {105, 9, 9}},
                                                          {{59, 9, 9}, 0, 0, 0, {59, 9, 9}}};
  for (const auto& [pixel, hue, dv, ds, want] : rows) {
    BMAP* b = Bitmap(1, 1, {pixel});
    SB_ShiftHueBand(b, SB_PAINTBANDLOW, SB_PAINTBANDHIGH, hue, dv, ds);
    EXPECT_EQ(At(b, 0, 0), want) << hue;
  }
}

TEST_F(PaintTest, StickersAreCentredClippedAndBadOnesReported) {
  WriteTwoDots("DOTS.TGA", 24);
  WriteTwoDots("DOTS32.TGA", 32);
  const std::string dots = ztest::ReadFile(root_ + "/INTERFAC/STICKER/DOTS.TGA");
  WriteSticker("CUT.TGA", dots.substr(0, dots.size() / 2));
  WriteSticker("TEXT.TGA", "not a picture at all");
  datagen::Picture24 big(1000, 1000, 9, 9, 9), one(1, 1, 9, 9, 9);
  big.Set(500, 500, 0xFF0000);
  datagen::WriteTga(root_ + "/INTERFAC/STICKER/BIG.TGA", big);
  datagen::WriteTga(root_ + "/INTERFAC/STICKER/ONE.TGA", one);
  BMAP* texture = Bitmap(200, 100);
  TVEHICLESETUP setup{};
  const TSTICKER stickers[] = {
      {"nope.tga", 0, 5, 5},          {"dots.tga", 0, 100, 50},  {"dots32.tga", 0, 20, 80},
      {"dots.tga", -1, 50, 50},       {"dots.tga", 100, 50, 50}, {"dots.tga", 0, 32767, -32767},
      {"dots.tga", 0, -32767, 32767}, {"dots.tga", 0, 213, 108}, {"cut.tga", 0, 9, 9},
      {"text.tga", 0, 9, 9},          {"one.tga", 0, 9, 9},      {"big.tga", 0, 150, 20}};
  for (const TSTICKER& s : stickers) setup.Stickers[setup.NbStickers++] = s;
  SB_ApplyStickers(&setup, texture, 0);
  std::set<std::pair<int, int>> red;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 200; ++x)
      if (At(texture, x, y) == Pixel{0, 0, 255}) red.emplace(x, y);
  // top-left (85, 40) and (5, 70); the one at (213, 108) is clipped to its first dot
  EXPECT_EQ(red,
            (std::set<std::pair<int, int>>{{86, 41}, {114, 59}, {6, 71}, {34, 89}, {199, 99}, {150, 20}}));
  const std::string missing = "Sticker missing: interfac>sticker>";
  EXPECT_EQ(SB_PrintedLines(), (Lines{missing + "nope.tga not found !!!", missing + "cut.tga not found !!!",
                                      missing + "text.tga not found !!!"}));
}

TEST_F(PaintTest, OnlyTheBodyPaintChangesWithTheHue) {
  LoadSet();
  const MLIB* library = PrototypeLibrary();
  for (uint32_t j = 0; j < library->NbTextures; ++j) {
    const BMAP* hsv = library->Textures[j].Picture;
    BMAP* paints[3];
    for (int k = 0; k < 3; ++k) {
      TVEHICLESETUP setup{100.0f * k, 0, 0, {}, 1, 0, 0, 0, {}, {}};
      paints[k] = SB_BuildCarTexture(&setup, static_cast<int32_t>(j));
      ASSERT_NE(paints[k], nullptr);
      const auto owner = std::find_if(SB_BmapOwners, SB_BmapOwners + SB_MAXBMAPOWNERS,
                                      [&](const TOWNERENTRY& e) { return e.Block == paints[k]; });
      EXPECT_STREQ(owner->Owner, "CarEditor 24");
      bitmaps_.push_back(paints[k]);
    }
    TVEHICLESETUP again{100.0f, 0, 0, {}, 1, 0, 0, 0, {}, {}};
    bitmaps_.push_back(SB_BuildCarTexture(&again, static_cast<int32_t>(j)));
    EXPECT_EQ(std::memcmp(bitmaps_.back()->Start, paints[1]->Start, paints[1]->ByteLen * paints[1]->SizeY),
              0);
    int body = 0;
    for (int y = 0; y < hsv->SizeY; ++y)
      for (int x = 0; x < hsv->SizeX; ++x) {
        const int hue = At(hsv, x, y)[0];
        const bool paint = hue >= SB_PAINTBANDLOW && hue <= SB_PAINTBANDHIGH && At(hsv, x, y)[1] > 0;
        body += paint;
        EXPECT_EQ(At(paints[0], x, y) != At(paints[1], x, y), paint) << j << " " << x << "," << y;
        if (!paint) {
          ASSERT_EQ(At(paints[0], x, y), At(paints[2], x, y)) << j << " " << x << "," << y;
        }
      }
    EXPECT_EQ(body > 0, j == 0) << j;  // the stock set paints its first texture only
  }
}

TEST_F(PaintTest, SoftwareTexturesAreDitheredOnlyWhenTheSetupSaysSo) {
  LoadSet();
  SB_Var.VideoModeIndex = 0;
  SB_Var.VideoModes[0].Depth = 8;
  SB_Var.NbCars = 1;
  SB_LoadCars(nullptr, 1);  // the cars without their textures
  MLIB* library = SB_Var.Cars[0]->Object->Materials->Library;
  PALETTE palette{};
  for (uint32_t j = 0; j < library->NbTextures; ++j) library->Textures[j].Bitmap->Palette = &palette;
  static int floyd;
  SB_Hooks.FloydBmap24to8 = [](BMAP*, BMAP*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) {
    ++floyd;
  };
  for (uint8_t dither : {0, 1}) {
    floyd = 0;
    SB_Var.CarSetups[0].Dither = dither;
    SB_GenerateCarTextures(SB_Var.CarSetups, 0);
    EXPECT_EQ(floyd, dither * static_cast<int>(library->NbTextures));
  }
  for (uint32_t j = 0; j < library->NbTextures; ++j) library->Textures[j].Bitmap->Palette = nullptr;
}

// At 8 bits the race makes its cars before it loads the 3D palette; the
// set-up's remap step paints them again into that palette, and only once.
// The 3D palette holds the 64 greys at entries 0..63 (the nearest grey to
// a colour, by the largest component difference, lies midway between its
// smallest and largest component), the screen's palette none of them.
TEST_F(PaintTest, EightBitCarsMadeBeforeThe3dPaletteArePaintedIntoIt) {
  LoadSet();
  SB_Var.VideoModeIndex = 0;
  SB_Var.VideoModes[0].Depth = 8;
  SB_Var.NbCars = SB_Var.UsingCars = 1;
  PALETTE greys{};
  for (int i = 0; i < 256; ++i) greys.Entry[i] = i < 64 ? LS_RGB{uint8_t(i), uint8_t(i), uint8_t(i)} : LS_RGB{63, 0, 63};
  const PALETTE screen = LS_Var.Palette;
  for (LS_RGB& e : LS_Var.Palette.Entry) e = {63, 0, 63};
  LS_Var.Palette.Entry[0] = {63, 63, 0};
  SB_Var.CarSetups[0] = TVEHICLESETUP{};
  SB_Var.CarSetups[0].Changed = 1;
  SB_LoadCars(SB_Var.CarSetups, 1);
  SB_Var.Pal3d = &greys;
  SB_ClearPrintedLines();
  SB_RegenerateChangedCarTextures(SB_Var.CarSetups);
  SB_RegenerateChangedCarTextures(SB_Var.CarSetups);
  EXPECT_EQ(SB_PrintedLines(), (Lines{"...Generating textures for car n: 0"}));
  const MLIB* library = SB_Var.Cars[0]->Object->Materials->Library;
  for (uint32_t j = 0; j < library->NbTextures; ++j) {
    BMAP* painted = SB_BuildCarTexture(&SB_Var.CarSetups[0], static_cast<int32_t>(j));
    ASSERT_NE(painted, nullptr);
    bitmaps_.push_back(painted);
    const BMAP* texture = library->Textures[j].Bitmap;
    int far = 0;
    for (int y = 0; y < painted->SizeY; ++y)
      for (int x = 0; x < painted->SizeX; ++x) {
        const Pixel p = At(painted, x, y);
        const auto [low, high] = std::minmax({p[0] >> 2, p[1] >> 2, p[2] >> 2});
        far += std::abs(2 * texture->Start[y * texture->ByteLen + x] - (low + high)) > 1;
      }
    EXPECT_EQ(far, 0) << j;
  }
  SB_Var.Pal3d = nullptr;
  LS_Var.Palette = screen;
}

// The car editors draw on a display whose depth need not be the video
// mode's the cars were made at: their textures are made again at the
// display's depth and format, each material on its new bitmap, painted as
// a 24-bit texture copied to that depth reads; a car not yet painted is
// painted; at 8 bits a car painted before the 3D palette takes it. Once
// made, a second call does nothing.
TEST_F(PaintTest, CarsAreMadeAgainForADisplayOfAnotherDepth) {
  LoadSet();
  SB_Var.VideoModeIndex = 0;
  SB_Var.VideoModes[0].Depth = 8;
  SB_Var.NbCars = 2;
  SB_Var.CarSetups[0] = SB_Var.CarSetups[1] = TVEHICLESETUP{};
  SB_Var.CarSetups[0].Changed = 1;
  SB_Var.CarSetups[1].HDelta = 90.0f;
  SB_LoadCars(SB_Var.CarSetups, 1);  // car 0 painted at 8 bits without a palette, car 1 not at all
  ASSERT_EQ(SB_Var.Cars[1]->TexturesReady, 0);
  PALETTE greys{};
  for (int i = 0; i < 256; ++i) greys.Entry[i] = LS_RGB{uint8_t(i / 4), uint8_t(i / 4), uint8_t(i / 4)};
  SB_Var.Pal3d = &greys;
  const struct {
    int32_t depth, format;
  } kRows[] = {{8, BMAP_PAL8}, {16, BMAP_RGB565}, {16, BMAP_RGB555}};
  for (const auto& r : kRows) {
    SCOPED_TRACE(r.depth * 1000 + r.format);
    SB_ClearPrintedLines();
    SB_PaintCarsForDisplay(SB_Var.CarSetups, r.depth, r.format);
    EXPECT_EQ(SB_PrintedLines(), (Lines{"...Generating textures for car n: 0", "...Generating textures for car n: 1"}));
    SB_ClearPrintedLines();
    SB_PaintCarsForDisplay(SB_Var.CarSetups, r.depth, r.format);
    EXPECT_EQ(SB_PrintedLines(), Lines{}) << "made once";
    for (int32_t i = 0; i < 2; ++i) {
      const MLIB* library = SB_Var.Cars[i]->Object->Materials->Library;
      for (uint32_t j = 0; j < library->NbTextures; ++j) {
        const BMAP* texture = library->Textures[j].Bitmap;
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(texture->Depth, r.depth);
        EXPECT_EQ(r.depth == 8 ? texture->Palette == &greys : texture->Format == r.format, true);
        BMAP* painted = SB_BuildCarTexture(&SB_Var.CarSetups[i], static_cast<int32_t>(j));
        ASSERT_NE(painted, nullptr);
        bitmaps_.push_back(painted);
        BMAP* expected = SB_CreateBmap(texture->SizeX, texture->SizeY, r.depth, LS_DefaultHeap, "test");
        bitmaps_.push_back(expected);
        expected->Format = texture->Format, expected->Palette = texture->Palette;
        SB_Bitmove(painted, expected, 0, 0, painted->SizeX - 1, painted->SizeY - 1, 0, 0);
        const int32_t row = painted->SizeX * r.depth / 8;
        for (int32_t y = 0; y < painted->SizeY; ++y)
          ASSERT_EQ(std::memcmp(texture->Start + y * texture->ByteLen, expected->Start + y * expected->ByteLen, row), 0)
              << i << " " << j << " row " << y;
      }
      for (uint32_t k = 0; k < library->NbMaterials; ++k) {
        const TMATERIAL& m = library->Materials[k];
        if (m.Flags & MATERIAL_UNTEXTURED) continue;
        EXPECT_EQ(m.Bitmap, library->Textures[m.Texture].Bitmap) << k;
      }
    }
  }
  SB_Var.Pal3d = nullptr;
}

// On the accelerator, with the lamps drawn unlit at every level.
TEST_F(PaintTest, CardTexturesReplaceTheMaterialBitmapsAndLeaveTheCache) {
  LoadSet([](datagen::CarModel& car) {
    for (datagen::ModelMaterial& m : car.library.materials)
      if (m.name == "feudr") m.name = "FEUDR";  // names are compared without regard to case
  });
  SB_Var.Renderer = SB_RENDERER_PVR;
  SB_Var.TextureReduction = 1;
  SB_Var.NbCars = 2;
  SB_Var.DrivenCar = 0;
  SB_LoadCars(SB_Var.CarSetups, 0);
  const int32_t n = static_cast<int32_t>(PrototypeLibrary()->NbTextures);
  ASSERT_EQ(ztest::g_calls.size(), 2u * n);
  EXPECT_EQ(ztest::g_calls[0], "card 256x256 side 256 (0, 1, 2)");  // the driven car at full size
  EXPECT_EQ(ztest::g_calls[n], "card 128x128 side 256 (0, 1, 2)");  // the other halved
  for (int32_t i = 0; i < 2; ++i) {
    const MLIB* library = SB_Var.Cars[i]->Object->Materials->Library;
    for (uint32_t j = 0; j < library->NbTextures; ++j)
      EXPECT_EQ(std::pair(library->Textures[j].Bitmap != nullptr, library->Textures[j].CardTexture != 0),
                std::pair(false, true));
    for (uint32_t k = 0; k < library->NbMaterials; ++k) {
      const TMATERIAL& m = library->Materials[k];
      EXPECT_EQ(m.CardTexture, m.Flags & 1 ? 0 : library->Textures[m.Texture].CardTexture) << k;
    }
  }
  int lit = 0;
  for (OBJECT* o = SB_Var.Cars[0]->Object; o; o = o->Next)
    for (TATOM* atom : o->Atoms)
      for (int32_t f = 0; IsAtom(atom) && f < atom->NbFaces; ++f) {
        const char* name = reinterpret_cast<const char*>(
            reinterpret_cast<const TMATERIAL*>(atom->Faces[f].G_TEXTURE)->Words32);
        const bool lamp = std::strcmp(name, "feuga") == 0 || std::strcmp(name, "FEUDR") == 0;
        EXPECT_EQ((atom->Faces[f].G_FLAGS >> 6) & 1, lamp ? 1 : 0) << name;
        lit += lamp;
      }
  EXPECT_EQ(lit, 6);  // two lamps in the full, simplified and burned models
  SB_Var.CarSetups[1].Changed = SB_Var.UsingCars = 1;
  SB_RegenerateChangedCarTextures(SB_Var.CarSetups);  // gives its old textures back
  EXPECT_EQ(ztest::g_cardTextures.size(), 2u * n);
  SB_FreeCarPvrTextures();
  EXPECT_TRUE(ztest::g_cardTextures.empty());
}

}  // namespace
