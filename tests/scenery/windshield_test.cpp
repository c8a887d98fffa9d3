// The window cloud reflections: glass runs of masks, the cloud pictures'
// set-up and tear-down, the runs' copies with their wraps, and the stock
// car's glass texture redrawn as the clouds scroll.
#include "scenery/windshield.h"

#include <filesystem>

#include "datagen/tgawrite.h"
#include "scenery/effects.h"
#include "scenery/framefx.h"
#include "tests/scenery/scenery_fixture.h"

namespace {

using scenerytest::kCard;
using scenerytest::SceneryTest;
using Line = std::array<int32_t, 4>;  // start, length, end column, row

class WindShieldTest : public SceneryTest {
 protected:
  void TearDown() override {
    for (BMAP* b : bitmaps_) SB_FreeBmap(b);
    SB_FreeGlassLines();
    SceneryTest::TearDown();
  }
  // An 8-bit mask from rows of '.' (glass, 0) and '#' (1).
  BMAP* Mask(const std::vector<std::string>& rows) {
    BMAP* b = Bitmap(static_cast<int32_t>(rows[0].size()), static_cast<int32_t>(rows.size()), 8);
    for (size_t y = 0; y < rows.size(); ++y)
      for (size_t x = 0; x < rows[y].size(); ++x) b->Start[y * b->ByteLen + x] = rows[y][x] == '#';
    return b;
  }
  BMAP* Bitmap(int32_t w, int32_t h, int32_t depth) {
    bitmaps_.push_back(SB_CreateBmap(w, h, depth, LS_DefaultHeap, "test"));
    return bitmaps_.back();
  }
  std::vector<Line> Record(BMAP* mask, int32_t x, int32_t y, int32_t w, int32_t h) {
    SB_FreeGlassLines();
    const int32_t n = SB_CountGlassLines(mask, x, y, w, h);
    SB_Var.GlassLines = static_cast<TGLASSLINE*>(SB_GetMem(std::max(n, 1) * 16, "test"));
    SB_RecordGlassLines(mask, x, y, w, h);
    EXPECT_GE(n, SB_Var.NbGlassLines);
    std::vector<Line> out;
    for (int32_t i = 0; i < SB_Var.NbGlassLines; ++i) {
      const TGLASSLINE& l = SB_Var.GlassLines[i];
      out.push_back({l.Start, l.Length, l.EndColumn, l.Row});
    }
    return out;
  }
  void Lines(const std::vector<Line>& lines) {
    SB_FreeGlassLines();
    SB_Var.GlassLines = static_cast<TGLASSLINE*>(SB_GetMem(static_cast<int32_t>(lines.size()) * 16, "test"));
    for (const Line& l : lines) SB_Var.GlassLines[SB_Var.NbGlassLines++] = {l[0], l[1], l[2], l[3]};
  }
  // Clouds of w x h at 8 bits whose texel (x, y) is 16 y + x + 1.
  BMAP* Clouds(int32_t w, int32_t h) {
    BMAP* b = Bitmap(w, h, 8);
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) b->Start[y * b->ByteLen + x] = static_cast<uint8_t>(16 * y + x + 1);
    return b;
  }
  void WriteClouds(uint32_t first, uint32_t second, int32_t side = 32) {
    std::filesystem::create_directories(root_ + "/MISCPICT");
    ASSERT_TRUE(
        datagen::WriteTga(root_ + "/MISCPICT/NUAGE.TGA",
                          datagen::Picture24(side, side, first >> 16, first >> 8 & 255, first & 255)));
    ASSERT_TRUE(
        datagen::WriteTga(root_ + "/MISCPICT/NUAGE2.TGA",
                          datagen::Picture24(side, side, second >> 16, second >> 8 & 255, second & 255)));
  }
  std::vector<BMAP*> bitmaps_;
  TSOFTSCENE view_{};
};

// Rows 0 to 2 and columns 0 to 10 of a mask 12 wide: runs reaching column
// 10 are not lines but go on into the next row, where a filled texel ends
// them for the count.
TEST_F(WindShieldTest, MaskRunsEndedByAFilledTexelAreLines) {
  BMAP* mask = Mask({"#..#...#...#", "#..##.......", "....#......."});
  ASSERT_EQ(mask->ByteLen, 12);
  EXPECT_EQ(SB_CountGlassLines(mask, 0, 0, 11, 3), 5);
  SB_Var.VideoModeIndex = 0;
  const struct {
    int32_t depth, renderer;
    std::vector<Line> lines;
  } rows[] = {
      {8, 0, {{1, 2, 3, 0}, {4, 3, 7, 0}, {13, 2, 3, 1}, {24, 4, 4, 2}}},
      {16, 0, {{2, 2, 3, 0}, {8, 3, 7, 0}, {26, 2, 3, 1}, {48, 4, 4, 2}}},
      {24, 0, {{0, 2, 3, 0}, {0, 3, 7, 0}, {0, 2, 3, 1}, {0, 4, 4, 2}}},
      {16, SB_RENDERER_PVR, {{1 << 16, 2, 3, 0}, {4 << 16, 3, 7, 0}, {1 << 16 | 1, 2, 3, 1}, {2, 4, 4, 2}}}};
  for (const auto& row : rows) {
    SB_Var.VideoModes[0].Depth = row.depth;
    SB_Var.Renderer = row.renderer;
    EXPECT_EQ(Record(mask, 0, 0, 11, 3), row.lines) << row.depth << " " << row.renderer;
  }
  // An area inside the mask: starts count from the mask's origin.
  SB_Var.Renderer = 0;
  SB_Var.VideoModes[0].Depth = 8;
  EXPECT_EQ(Record(mask, 1, 1, 4, 2), (std::vector<Line>{{13, 2, 3, 1}, {25, 3, 4, 2}}));
  // All glass, no glass, one texel wide, not 8 bits, nothing scanned: no lines.
  for (BMAP* bad : {Mask({"....", "...."}), Mask({"####", "####"}), Mask({".", "#", "."}), Bitmap(4, 4, 16)})
    EXPECT_EQ(Record(bad, 0, 0, bad->SizeX - 1, bad->SizeY), std::vector<Line>{});
}

// Clouds 8 x 4 into an 8-bit glass bitmap 32 x 4: a run passing the
// clouds' right edge wraps within its row, one three widths long wraps
// three times, and each writes exactly its length.
TEST_F(WindShieldTest, CloudRunsWrapWithinTheirRow) {
  BMAP* clouds = Clouds(8, 4);
  BMAP* glass = Bitmap(32, 4, 8);
  ASSERT_EQ(glass->ByteLen, 32);
  Lines({{32 + 2, 5, 6, 1}, {64, 24, 24, 2}, {96 + 30, 4, 34, 3}, {200, 8, 8, 7}, {-3, 2, 0, 0}});
  SB_DrawGlassClouds(&view_, clouds, glass, 3, 5, 0, 0);
  auto row = [&](int32_t y) {
    return std::vector<uint8_t>(glass->Start + y * 32, glass->Start + y * 32 + 32);
  };
  std::vector<uint8_t> want(32, 0);
  for (int32_t i = 0; i < 5; ++i)
    want[2 + i] = static_cast<uint8_t>(16 * ((1 + 5) & 3) + ((6 + 3 + i) & 7) + 1);
  EXPECT_EQ(row(1), want);
  want.assign(32, 0);
  for (int32_t i = 0; i < 24; ++i)
    want[i] = static_cast<uint8_t>(16 * ((2 + 5) & 3) + ((24 + 3 + i) & 7) + 1);
  EXPECT_EQ(row(2), want);
  // Runs that would leave their row or the bitmap are left out.
  EXPECT_EQ(row(3), std::vector<uint8_t>(32, 0));
  EXPECT_EQ(row(0), std::vector<uint8_t>(32, 0));
}

TEST_F(WindShieldTest, AHalvedCardTextureTakesHalfTheRunFromHalfItsPlace) {
  std::vector<uint16_t> texels(64 * 64, 0);
  SB_Var.TextureCache[7].InUse = 1;
  SB_Var.TextureCache[7].Map = SGLMAP{{'Z', 'T', '0', 0}, 64, 64, texels.data()};
  BMAP* clouds = Bitmap(8, 4, 16);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 8; ++x)
      reinterpret_cast<uint16_t*>(clouds->Start + y * clouds->ByteLen)[x] = 100 * y + x + 1;
  SB_Var.Renderer = SB_RENDERER_PVR;
  Lines({{10 << 16 | 6, 6, 16, 6}});
  SB_DrawGlassClouds(&view_, clouds, nullptr, 1, 0, 1, 7);
  // From (5, 3), 3 texels of cloud row 6 & 3 from column 10 + 1 on.
  std::vector<uint16_t> want(64 * 64, 0);
  for (int32_t i = 0; i < 3; ++i)
    want[Twiddled(5 + i, 3)] = static_cast<uint16_t>(100 * 2 + ((11 + i) & 7) + 1);
  EXPECT_EQ(texels, want);
  EXPECT_EQ(view_.TextureUses[7], SB_TEXTURE_CHANGED);
  SB_Var.TextureCache[7] = TEXTURECACHE{};
}

TEST_F(WindShieldTest, MissingOrBadCloudPicturesAreRefused) {
  LoadCars(kCard);
  const int32_t bitmaps = SB_Var.NbBmapOwners, blocks = SB_Var.NbMemOwners;
  const std::string good = [&] {
    WriteClouds(0x102030, 0x405060);
    return ztest::ReadFile(root_ + "/MISCPICT/NUAGE.TGA");
  }();
  const std::string bad[] = {"", good.substr(0, good.size() / 2), "not a picture"};
  for (const std::string& bytes : bad) {
    ztest::WriteFile(root_ + "/MISCPICT/NUAGE.TGA", bytes);
    SB_InitWindShield();
    EXPECT_EQ(SB_Var.CloudsReady, 0);
    SB_DisposeWindShield();
  }
  ASSERT_TRUE(datagen::WriteTga(root_ + "/MISCPICT/NUAGE.TGA", datagen::Picture24(24, 32, 1, 2, 3)));
  SB_InitWindShield();
  EXPECT_EQ(SB_Var.CloudsReady, 0);
  SB_DisposeWindShield();
  std::filesystem::remove(root_ + "/MISCPICT/NUAGE.TGA");
  SB_InitWindShield();
  EXPECT_EQ(SB_Var.CloudsReady, 0);
  SB_DisposeWindShield();
  EXPECT_EQ(Boxes(), std::vector<std::string>(5, "Clouds pictures missing..."));
  EXPECT_EQ(std::pair(SB_Var.NbBmapOwners, SB_Var.NbMemOwners), std::pair(bitmaps, blocks));
}

// The stock car on the card: the clouds' set-up, a standing car drawn
// once, the offset moved by every car drawn, the second picture for the
// third surface flag, and nothing left after the tear-down.
TEST_F(WindShieldTest, TheStockCarsWindowsShowTheScrollingClouds) {
  LoadCars(kCard, 2);
  WriteClouds(0x8040C0, 0x20E060);
  const int32_t bitmaps = SB_Var.NbBmapOwners, blocks = SB_Var.NbMemOwners;
  SB_InitWindShield();
  ASSERT_EQ(SB_Var.CloudsReady, 1);
  EXPECT_STREQ(SB_Var.LastOwner, "glass initlines");
  EXPECT_EQ(SB_Var.NbBmapOwners, bitmaps + 2);
  EXPECT_EQ(std::string(SB_MemOwners[blocks].Owner), "glass");
  // The windscreen (6, 6)-(121, 57) and the side windows (6, 70)-(121, 121)
  // of the 128-texel glass picture, one run a row.
  EXPECT_EQ(SB_Var.NbGlassLines, 52 + 52);
  EXPECT_EQ(SB_Var.GlassLines[0].Start, 6 << 16 | 6);
  const uint16_t first = 16 << 10 | 8 << 5 | 24, second = 4 << 10 | 28 << 5 | 12;
  TCAR* car = SB_Var.Cars[0];
  SB_Var.FrameTime = 40;
  SB_UpdateGlassClouds(&view_, 0);
  EXPECT_EQ(Texel(0, 1, 10, 10), first);
  EXPECT_EQ(Texel(0, 1, 3, 3), Texel(1, 1, 3, 3));  // the frame stays
  const int32_t slot = Texture(0, 1).CardTexture;
  EXPECT_EQ(view_.TextureUses[slot], SB_TEXTURE_CHANGED);
  // Standing: nothing moves, nothing is copied again.
  SetTexel(0, 1, 10, 10, 1);
  view_.TextureUses[slot] = 0;
  SB_UpdateGlassClouds(&view_, 0);
  EXPECT_EQ(Texel(0, 1, 10, 10), 1u);
  EXPECT_EQ(view_.TextureUses[slot], 0u);
  // A car not drawn yet is drawn though the offset stands.
  SetTexel(1, 1, 10, 10, 1);
  SB_UpdateGlassClouds(&view_, 1);
  EXPECT_EQ(Texel(1, 1, 10, 10), first);
  // Every car drawn moves the offset by its own speed.
  car->Speed = 25.0;
  SB_Var.Cars[1]->Speed = 50.0;
  car->SurfaceFlags[2] = 1;
  SB_UpdateGlassClouds(&view_, 0);
  SB_UpdateGlassClouds(&view_, 1);
  EXPECT_EQ(SB_Var.CloudOffset[1], 1.0f + 2.0f);
  EXPECT_EQ(SB_Var.CloudOffset[0], 0.0f);
  EXPECT_EQ(Texel(0, 1, 10, 10), second);
  EXPECT_EQ(Texel(1, 1, 10, 10), first);
  SB_DisposeWindShield();
  EXPECT_EQ(std::pair(SB_Var.NbBmapOwners, SB_Var.NbMemOwners), std::pair(bitmaps, blocks));
}

// At 8 bits the runs copy the dithered clouds from their end column on;
// the clouds' bitmaps are tagged and the lines are the software ones.
TEST_F(WindShieldTest, SoftwareGlassTakesTheCloudsFromTheRunsEnd) {
  LoadCars(8);
  WriteClouds(0x8040C0, 0x20E060);
  const int32_t bitmaps = SB_Var.NbBmapOwners, blocks = SB_Var.NbMemOwners;
  SB_InitWindShield();
  ASSERT_EQ(SB_Var.CloudsReady, 1);
  EXPECT_EQ(std::string(SB_BmapOwners[bitmaps].Owner), "clouds windshield glass");
  EXPECT_EQ(std::string(SB_MemOwners[blocks].Owner), "Glass");
  EXPECT_EQ(SB_Var.GlassLines[0].Start, 6 * 256 + 6);
  SB_Var.FrameTime = 40;
  SB_Var.Cars[0]->Speed = 100.0;
  SB_UpdateGlassClouds(&view_, 0);
  const BMAP* clouds = SB_Var.CloudBmaps[0];
  for (int32_t i = 0; i < 116; ++i)
    ASSERT_EQ(Texel(0, 1, 6 + i, 10), clouds->Start[((10 + 4) & 31) * clouds->ByteLen + ((122 + i) & 31)])
        << i;
  EXPECT_EQ(Texel(0, 1, 122, 10), Texel(0, 1, 123, 10));
}

}  // namespace

namespace {

TEST_F(WindShieldTest, WithoutACarOrGlassThereAreNoLines) {
  initlines();
  LoadCars(kCard);
  BMAP* glass = SB_Var.VehiclePrototype->Materials->Library->Textures[1].Picture;
  for (int32_t y = 0; y < glass->SizeY; ++y)
    std::fill_n(glass->Start + y * glass->ByteLen, glass->SizeX * 3, 200);
  initlines();
  EXPECT_EQ(SB_Var.GlassLines, nullptr);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"No Vehicle object !", "No Lines"}));
}

}  // namespace
