// The sun and its lens flare: the flare's 32-bit pictures made card
// textures (others refused), the sun's projection, its visibility at the
// view's edges and behind the previous frame's polygons, the sprites'
// places and alphas, their quads, and the glare on the light.
#include "scenery/lensflare.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <memory>

#include "datagen/skypics.h"
#include "engine3d/types.h"
#include "platform/accel/sgl.h"
#include "scenery/framefx.h"
#include "scenery/mapkeys.h"
#include "shell/keyfile.h"
#include "system/picture.h"
#include "tests/scenery/accel_calls.h"
#include "tests/scenery/scenery_fixture.h"

namespace {

using scenerytest::g_calls;

constexpr TMATRIX kAhead = {1, 0, 0, 0, 1, 0, 0, 0, 1};

class FlareTest : public scenerytest::CardTest {
 protected:
  void SetUp() override {
    CardTest::SetUp();
    std::copy(kAhead, kAhead + 9, SB_Var.Camera.Matrix);
  }
  void TearDown() override {
    SB_DisposeLensFlare();
    SB_Var.PreviousView = nullptr;
    CardTest::TearDown();
  }
  void WritePictures() {
    std::filesystem::create_directories(root_ + "/MISCPICT");
    for (int i = 0; i <= datagen::kNbFlareSprites; ++i) {
      const std::string name = i == 0 ? "LENS1.TGA" : "FLARE0" + std::to_string(i) + "1.TGA";
      const auto bytes = datagen::EncodeTga(datagen::FlareImage(i), false);
      ztest::WriteFile(root_ + "/MISCPICT/" + name, std::string(bytes.begin(), bytes.end()));
    }
  }
  static void Sun(double x, double y, double z) {
    SB_Var.SunPos[0] = x, SB_Var.SunPos[1] = y, SB_Var.SunPos[2] = z;
  }
  // A polygon of the previous frame's view.
  void Cover(std::initializer_list<std::pair<float, float>> corners) {
    TSGLVERTEX* v = vertices_ + used_;
    for (const auto& [x, y] : corners) vertices_[used_++] = {x, y, 0, 0, 0, 0, 0, 0};
    TSGLPOLY& p = polys_[view_.NbPolygons];
    p = {};
    p.Vertices = v, p.NbVertices = static_cast<int8_t>(corners.size());
    if (view_.NbPolygons > 0) polys_[view_.NbPolygons - 1].Next = &p;
    view_.FirstPolygon = polys_;
    ++view_.NbPolygons;
    SB_Var.PreviousView = &view_;
  }

  TSOFTSCENE view_{};
  TSGLPOLY polys_[8]{};
  TSGLVERTEX vertices_[32]{};
  int32_t used_ = 0;
};

TEST_F(FlareTest, OnlyThirtyTwoBitPicturesBecomeTexturesWithTheirAlphaInverted) {
  WritePictures();
  ASSERT_TRUE(datagen::WriteTga(root_ + "/MISCPICT/FLARE031.TGA", datagen::Picture24(32, 32, 200, 200, 200)));
  std::filesystem::remove(root_ + "/MISCPICT/FLARE051.TGA");
  std::filesystem::resize_file(root_ + "/MISCPICT/FLARE071.TGA", 30);
  SB_InitLensFlare();
  const TFLARESTATE& f = SB_FlareState();
  for (int i = 0; i < SB_NBFLARETEXTURES; ++i) EXPECT_EQ(f.Textures[i] == 0, i == 3 || i == 5 || i == 7) << i;
  // The glow's opaque centre is clear of transparency on the card, its
  // clear corner wholly transparent.
  EXPECT_EQ(CardTexel(f.Textures[0], 32, 32) >> 12, 0u);
  EXPECT_EQ(CardTexel(f.Textures[0], 0, 0) >> 12, 15u);
  EXPECT_EQ(std::vector<uint32_t>({f.Elements[0].Colour, f.Elements[8].Colour, f.Elements[9].Colour}),
            std::vector<uint32_t>({0x80FFFFE0, 0xB0E0FFE0, 0xC080FF80}));
  EXPECT_EQ(SB_Var.NbBmapOwners, 0);
  const int32_t glow = f.Textures[0];
  SB_DisposeLensFlare();
  EXPECT_EQ(SB_Var.TextureCache[glow].InUse, 0);
  EXPECT_EQ(SB_FlareState().Textures[0], 0);
}

TEST_F(FlareTest, ConvertKeepsAlphaSwapsRedAndBlueAndFreesThePicture) {
  EXPECT_EQ(SB_ConvertBmapTo32(nullptr), nullptr);
  BMAP* picture = SB_CreateBmap(2, 1, 32, 0, "test");
  picture->Format = BMAP_ARGB8888;
  reinterpret_cast<uint32_t*>(picture->Start)[0] = 0x80102030;
  BMAP* out = SB_ConvertBmapTo32(picture);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(out->Format, BMAP_ABGR8888);
  EXPECT_EQ(reinterpret_cast<uint32_t*>(out->Start)[0], 0x80302010u);
  EXPECT_EQ(SB_Var.NbBmapOwners, 1) << "the picture freed";
  SB_FreeBmap(out);
}

TEST_F(FlareTest, SunPositionIsReadOnlyWhenWholeAndFinite) {
  const struct {
    const char* text;
    double x;
  } kRows[] = {{"SUN: 1.5,-2,3\n", 1.5},
               {"SUN: nan,1,2\n", 9},
               {"SUN: 1,inf,2\n", 9},
               {"SUN: 1,2\n", 9},
               {"SUNNY: 1,2,3\n", 9}};
  for (const auto& r : kRows) {
    Sun(9, 9, 9);
    ztest::WriteFile(root_ + "/TXT/SUN.TXT", r.text);
    TKEYFILE* keys = SB_OpenKeyFile("TXT>SUN.TXT");
    SB_ReadSunPosition(keys);
    SB_CloseKeyFile(keys);
    EXPECT_EQ(SB_Var.SunPos[0], r.x) << r.text;
  }
  SB_ReadSunPosition(nullptr);
  EXPECT_EQ(SB_Var.SunPos[0], 9.0);
}

TEST_F(FlareTest, SunProjectsOnlyFromDepth128AndSinksWithTheLight) {
  float x = 0, y = 0;
  Sun(1, 0.5, 10);
  ASSERT_EQ(SB_ProjectSun(&x, &y), 1);
  EXPECT_EQ(std::pair(x, y), std::pair(352.0f, 256.0f));
  SB_Var.SunDrop = 0.5;
  SB_ProjectSun(&x, &y);
  EXPECT_EQ(y, 272.0f);
  SB_Var.SunDrop = 0;
  Sun(0, 0, 0.4);  // 128 units
  EXPECT_EQ(SB_ProjectSun(&x, &y), 1);
  Sun(0, 0, 0.39);
  EXPECT_EQ(SB_ProjectSun(&x, &y), 0);
}

TEST_F(FlareTest, VisibilityFromTheEdgesAndTheCoveringPolygons) {
  EXPECT_EQ(SB_SunVisibility(5, 100), 5.0) << "no previous view: the edge distance";
  EXPECT_EQ(SB_SunVisibility(0, 100), 0.0);
  EXPECT_EQ(SB_SunVisibility(100, 480), 0.0);
  Cover({{0, 100}, {10, 100}, {10, 110}, {0, 110}});
  const struct {
    int32_t x, y;
    double visibility;
  } kRows[] = {{5, 105, 0.0},   // inside
               {15, 105, 0.4},  // 5 pixels right of the square
               {18, 118, 0.7},  // off the corner: the farther edge line counts
               {11, 111, 0.0},  // a pixel off the corner
               {40, 140, 1.0},  // too far aside to be tested
               {100, 3, 0.2}};  // the top edge of the view
  for (const auto& r : kRows)
    EXPECT_NEAR(SB_SunVisibility(r.x, r.y), r.visibility, 1e-12) << r.x << " " << r.y;
  Cover({{300, 300}, {300.2f, 300}, {300, 310}});  // an edge too short to judge
  EXPECT_NEAR(SB_SunVisibility(303, 304), 1.0, 1e-12);
}

TEST_F(FlareTest, SunAtTheCentreSpreadsTheSpritesAndSetsTheirAlphas) {
  Sun(0, 0, 10);
  SB_UpdateLensFlare();
  const TFLARESTATE& f = SB_FlareState();
  ASSERT_EQ(f.Shown, 1u);
  EXPECT_EQ(f.Visibility, 1.0);
  EXPECT_EQ(std::pair(f.Elements[0].X, f.Elements[0].Y), std::pair(270.0f, 190.0f));
  EXPECT_EQ(std::pair(f.Elements[8].X, f.Elements[8].Y), std::pair(275.0f, 195.0f));
  EXPECT_EQ(f.Elements[0].Colour >> 24, 128u);
  // Element 1's corner is 34 pixels each way from the glow's: 138.
  EXPECT_EQ(f.Elements[1].Colour >> 24, 138u);
  EXPECT_EQ(f.Elements[1].Colour & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(FlareTest, SunOffCentreRunsTheSpritesPastTheCentre) {
  Sun(-2, -1, 10);  // screen (256, 208)
  SB_UpdateLensFlare();
  const TLENSFLARE* e = SB_FlareState().Elements;
  // dx = (320 - 256) x 1.4 = 89.6, dy = 44.8; element 7 (factor 1.0, 44 x 44).
  EXPECT_EQ(std::pair(e[7].X, e[7].Y), std::pair(89.0f - 22 + 256, 44.0f - 22 + 208));
  const double r = std::hypot(89.6 - 320, 44.8 - 200) / 377;
  EXPECT_EQ(e[0].Colour >> 24, static_cast<uint32_t>(r * r * 0.5 * 256));
  SB_Var.DayFactor = 0.005;
  SB_UpdateLensFlare();
  EXPECT_EQ(SB_FlareState().Visibility, 0.0) << "no sun at night";
  Sun(0, 0, -10);
  SB_UpdateLensFlare();
  EXPECT_EQ(SB_FlareState().Shown, 0u);
}

TEST_F(FlareTest, HalfHiddenSunDrawsOnlyTheGlowScaledDown) {
  WritePictures();
  SB_InitLensFlare();
  for (int32_t slot : SB_FlareState().Textures) SB_Var.TextureCache[slot].Name = 70 + slot;
  Sun(0, 0, 10);
  SB_UpdateLensFlare();
  SB_FlareState().Visibility = 0.4;
  SB_Var.SglContext.FogOn = 1;
  SB_DrawLensFlare(&view_);
  ASSERT_EQ(g_calls.size(), 1u);
  const scenerytest::AccelCall& c = g_calls[0];
  EXPECT_EQ(c.context.FogOn, 0u);
  EXPECT_EQ(SB_Var.SglContext.FogOn, 1u);
  EXPECT_EQ(c.context.SortDepth, 1000.0f);
  EXPECT_EQ(c.context.TextureName, 70 + SB_FlareState().Textures[0]);
  // 100 x 100 at 0.3 about the centre.
  EXPECT_EQ(std::vector<float>({c.vertices[0].X, c.vertices[0].Y, c.vertices[2].X, c.vertices[2].Y}),
            std::vector<float>({305, 225, 335, 255}));
  EXPECT_EQ(std::pair(c.vertices[0].Depth, c.vertices[0].InvW), std::pair(1.28f, 0.78125f));
  EXPECT_EQ(std::pair(c.vertices[2].U, c.vertices[2].V), std::pair(1.0f, 1.0f));
}

TEST_F(FlareTest, ClearSunDrawsEverySpriteInOrderAndStarsDrawNone) {
  WritePictures();
  SB_InitLensFlare();
  for (int32_t slot : SB_FlareState().Textures) SB_Var.TextureCache[slot].Name = 70 + slot;
  Sun(0, 0, 10);
  SB_UpdateLensFlare();
  SB_DrawLensFlare(&view_);
  ASSERT_EQ(g_calls.size(), 10u);
  for (int i = 1; i < 10; ++i) {
    const scenerytest::AccelCall& c = g_calls[i];
    EXPECT_EQ(c.context.SortDepth, 1000.0f + 10 * i);
    EXPECT_FLOAT_EQ(c.vertices[0].Depth, (30 - i) * 0.01f);
    EXPECT_FLOAT_EQ(c.vertices[0].InvW, 1.0f / ((30 - i) * 0.01f));
    const TLENSFLARE& e = SB_FlareState().Elements[i];
    EXPECT_EQ(std::pair(c.vertices[2].X, c.vertices[2].Y), std::pair(e.X + e.Width, e.Y + e.Height))
        << "unscaled";
  }
  g_calls.clear();
  SB_Var.StarsOn = 1;
  SB_DrawLensFlare(&view_);
  EXPECT_TRUE(g_calls.empty());
}

TEST_F(FlareTest, MarksEachSpritesTextureWhileShown) {
  WritePictures();
  SB_InitLensFlare();
  const TFLARESTATE& f = SB_FlareState();
  SB_MarkLensFlareTextures(&view_);
  EXPECT_EQ(view_.TextureUses[f.Textures[2]], 0u) << "not shown yet";
  Sun(0, 0, 10);
  SB_UpdateLensFlare();
  SB_MarkLensFlareTextures(&view_);
  EXPECT_EQ(std::vector<uint32_t>({view_.TextureUses[f.Textures[0]], view_.TextureUses[f.Textures[2]]}),
            std::vector<uint32_t>({1, 2}));
}

TEST_F(FlareTest, GlareGrowsAsTheCameraFacesAVisibleSunByDay) {
  const struct {
    double z, visibility, dayFactor;
    float red;
    double depth;
  } kRows[] = {{10, 1.0, 1.0, 0.5f, 5.0},
               {10, 0.0, 1.0, 0.25f, 3.0},
               {10, 1.0, 0.0, 0.0f, 1.0},
               {-10, 1.0, 1.0, 0.0f, 1.0}};
  for (const auto& r : kRows) {
    Sun(0, 0, r.z);
    SB_FlareState().Visibility = r.visibility, SB_Var.DayFactor = r.dayFactor;
    SB_UpdateSunGlare();
    EXPECT_EQ(SB_Var.SunGlare[0], r.red) << r.z << " " << r.visibility;
    EXPECT_FLOAT_EQ(SB_Var.SunGlare[1], r.red * 0.8f);
    EXPECT_FLOAT_EQ(SB_Var.SunGlare[2], r.red * 0.4f);
    EXPECT_EQ(SB_Var.GlareDepthFactor, r.depth);
  }
  Sun(10, 0, 10);  // 45 degrees aside: cos^4 = 1/4
  SB_FlareState().Visibility = 1, SB_Var.DayFactor = 1;
  SB_UpdateSunGlare();
  EXPECT_NEAR(SB_Var.GlareDepthFactor, 2.0, 1e-12);
}

}  // namespace
