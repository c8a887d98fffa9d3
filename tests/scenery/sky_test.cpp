// The sky, star and ground squares: their pictures made card textures and
// given back, bad pictures, the frame's texture marks, the ground's zone,
// the squares' corners and texture repeats, the clip to the screen and the
// submission of 3 to 8 corners.
#include "scenery/sky.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <memory>

#include "datagen/skypics.h"
#include "engine3d/matrix.h"
#include "platform/accel/sgl.h"
#include "scenery/framefx.h"
#include "tests/scenery/accel_calls.h"
#include "tests/scenery/scenery_fixture.h"

namespace {

using scenerytest::AccelCall;
using scenerytest::g_calls;
using Call = AccelCall;

// The camera turned to look straight up (view z is world -y) or down.
constexpr TMATRIX kLookUp = {1, 0, 0, 0, 0, -1, 0, 1, 0};
constexpr TMATRIX kLookDown = {1, 0, 0, 0, 0, 1, 0, 1, 0};

class SkyTest : public scenerytest::CardTest {
 protected:
  void SetUp() override { CardTest::SetUp(); }
  void TearDown() override {
    SB_FreeCielBmapGame();
    CardTest::TearDown();
  }
  void WritePictures() {
    std::filesystem::create_directories(root_ + "/MISCPICT");
    ASSERT_TRUE(datagen::WriteTga(root_ + "/MISCPICT/CIELFON1.TGA", datagen::SkyPicture()));
    ASSERT_TRUE(datagen::WriteTga(root_ + "/MISCPICT/LESOL.TGA", datagen::GroundPicture()));
    ASSERT_TRUE(datagen::WriteTga(root_ + "/MISCPICT/ETOILES.TGA", datagen::StarsPicture()));
  }
  // Every slot's card texture made, as the frame's cache update would.
  static void OnCard(int32_t slot) { SB_Var.TextureCache[slot].Name = 40 + slot; }
  static void Camera(const TMATRIX m, int32_t x, int32_t y, int32_t z) {
    std::copy(m, m + 9, SB_Var.Camera.Matrix);
    SB_Var.Camera.CurrentX = x, SB_Var.Camera.CurrentY = y, SB_Var.Camera.CurrentZ = z;
  }
  // A world offset from the camera as the window shows it.
  static std::array<float, 4> Projected(const TMATRIX m, double x, double y, double z) {
    TVECTOR p{x, y, z};
    E3D_MatMulVec(m, &p);
    return {static_cast<float>(320 + p.x * 320 / p.z), static_cast<float>(240 + p.y * 320 / p.z),
            static_cast<float>(p.z * 0.001), static_cast<float>(2.0 / p.z)};
  }
  static std::array<float, 4> Of(const TSGLVERTEX& v) { return {v.X, v.Y, v.Depth, v.InvW}; }
  // The vertex nearest the screen point.
  static const TSGLVERTEX& At(const Call& c, float x, float y) {
    const TSGLVERTEX* best = &c.vertices[0];
    for (const TSGLVERTEX& v : c.vertices)
      if (std::hypot(v.X - x, v.Y - y) < std::hypot(best->X - x, best->Y - y)) best = &v;
    return *best;
  }

  TSOFTSCENE view_{};
};

TEST_F(SkyTest, SetUpMakesTheThreeCardTexturesAndTearDownGivesThemBack) {
  WritePictures();
  SB_InitCielBmapGame();
  const TSKYTEXTURES t = SB_SkyTextures();
  ASSERT_GT(t.Sky, 0);
  ASSERT_GT(t.Ground, 0);
  ASSERT_GT(t.Stars, 0);
  EXPECT_EQ(SB_PrintedLines(),
            (std::vector<std::string>{"Correctly loaded ciel graphics...", "Correctly loaded sol graphics...",
                                      "Correctly loaded etoile graphics...",
                                      "Correctly converted ciel graphics n: " + std::to_string(t.Sky),
                                      "Correctly converted sol graphics n: " + std::to_string(t.Ground),
                                      "Correctly converted etoile graphics n: " + std::to_string(t.Stars)}));
  EXPECT_EQ(SB_Var.NbBmapOwners, 0) << "pictures and copies freed";
  // The sky's top-left texel, 5-5-5 on the card.
  const uint32_t rgb = datagen::SkyPicture().Get(0, 0);
  EXPECT_EQ(CardTexel(t.Sky, 0, 0) & 0x7FFF,
            (rgb >> 19 & 31) << 10 | (rgb >> 11 & 31) << 5 | (rgb >> 3 & 31));
  SB_FreeCielBmapGame();
  EXPECT_EQ(SB_SkyTextures().Sky, 0);
  EXPECT_EQ(SB_Var.TextureCache[t.Stars].InUse, 0);
}

TEST_F(SkyTest, BadPicturesLeaveTheirSlotEmpty) {
  struct Row {
    const char* what;
    int32_t width, height;  // 0: no file
    bool truncated;
    const char* message;
  };
  for (const Row& r : {Row{"missing", 0, 0, false, "Ciel1 graphics not found !!!"},
                       {"truncated", 64, 64, true, "Ciel1 graphics not found !!!"},
                       {"not square", 64, 32, false, "Error converting ciel graphics !!!"},
                       {"too large", 512, 512, false, "Error converting ciel graphics !!!"}}) {
    SCOPED_TRACE(r.what);
    WritePictures();
    const std::string path = root_ + "/MISCPICT/CIELFON1.TGA";
    std::filesystem::remove(path);
    if (r.width) {
      ASSERT_TRUE(datagen::WriteTga(path, datagen::Picture24(r.width, r.height, 9, 9, 9)));
    }
    if (r.truncated) std::filesystem::resize_file(path, 40);
    SB_ClearPrintedLines();
    SB_InitCielBmapGame();
    EXPECT_EQ(SB_SkyTextures().Sky, 0);
    EXPECT_GT(SB_SkyTextures().Stars, 0);
    const auto& lines = SB_PrintedLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), r.message), lines.end());
    Camera(kLookUp, 0, 0, 0);
    SB_DrawSky(&SB_Var.ScreenWindow);
    EXPECT_TRUE(g_calls.empty()) << "nothing drawn";
    SB_FreeCielBmapGame();
    EXPECT_EQ(SB_Var.NbBmapOwners, 0);
  }
}

TEST_F(SkyTest, DaySquareIsFixedInTheWorldAndMovesAtAFractionOfTheCamera) {
  WritePictures();
  SB_InitCielBmapGame();
  OnCard(SB_SkyTextures().Sky);
  SB_Var.SkyColor = 0x808080;
  Camera(kLookUp, 1000, 20000000, -3000);
  SB_DrawSky(&SB_Var.ScreenWindow);
  ASSERT_EQ(g_calls.size(), 1u);
  const Call& c = g_calls[0];
  EXPECT_EQ(c.kind, 1);
  EXPECT_EQ(c.context.TextureName, 40 + SB_SkyTextures().Sky);
  static constexpr double kCorner[4][2] = {
      {-6400000, -6400000}, {6400000, -6400000}, {6400000, 6400000}, {-6400000, 6400000}};
  ASSERT_EQ(c.vertices.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    const auto expected = Projected(kLookUp, (kCorner[i][0] - 1000) * 0.15, (-320000 - 20000000.0) * 0.15,
                                    (kCorner[i][1] + 3000) * 0.15);
    const auto got = Of(c.vertices[i]);
    for (int k = 0; k < 4; ++k) EXPECT_FLOAT_EQ(got[k], expected[k]) << i << " " << k;
    EXPECT_EQ(std::pair(c.vertices[i].U, c.vertices[i].V),
              std::pair(i == 1 || i == 2 ? 4.0f : 0.0f, i >= 2 ? 4.0f : 0.0f));
    EXPECT_EQ(c.vertices[i].Colour, 0x808080u);
  }
  EXPECT_FLOAT_EQ(c.context.SortDepth, 1.0f / ((320000 + 20000000.0f) * 0.15f));
}

TEST_F(SkyTest, StarSquareFollowsTheCameraWithFiftyRepeats) {
  WritePictures();
  SB_InitCielBmapGame();
  OnCard(SB_SkyTextures().Stars);
  SB_Var.StarsOn = 1;
  Camera(kLookUp, 1000, 20000000, -3000);
  SB_DrawSky(&SB_Var.ScreenWindow);
  ASSERT_EQ(g_calls.size(), 1u);
  const Call& c = g_calls[0];
  EXPECT_EQ(c.context.TextureName, 40 + SB_SkyTextures().Stars);
  ASSERT_EQ(c.vertices.size(), 4u);
  const auto expected = Projected(kLookUp, 6400000 * 0.15, (-320000 - 20000000.0) * 0.15, 6400000 * 0.15);
  const auto got = Of(c.vertices[2]);
  for (int k = 0; k < 4; ++k) EXPECT_FLOAT_EQ(got[k], expected[k]) << k;
  EXPECT_EQ(std::pair(c.vertices[2].U, c.vertices[2].V), std::pair(50.0f, 50.0f));
}

TEST_F(SkyTest, GroundCoversTheViewBelowWithoutFog) {
  WritePictures();
  SB_InitCielBmapGame();
  OnCard(SB_SkyTextures().Ground);
  Camera(kLookDown, 5000, 7000, 9000);
  SB_Var.SglContext.FogOn = 1;
  SB_DrawGround(&SB_Var.ScreenWindow);
  EXPECT_TRUE(g_calls.empty()) << "off outside its zone";
  SB_Var.BsplineValid = 1, SB_Var.NbBsplinePoints = 100;
  TBACKGROUND entry{0, 100, 0, 0, 0, 0, nullptr};
  SB_Var.Backgrounds = &entry, SB_Var.NbBackgrounds = 1;
  SB_MarkSkyTextures(&view_);
  SB_DrawGround(&SB_Var.ScreenWindow);
  SB_Var.Backgrounds = nullptr;
  ASSERT_EQ(g_calls.size(), 1u);
  const Call& c = g_calls[0];
  EXPECT_EQ(c.context.FogOn, 0u);
  EXPECT_EQ(SB_Var.SglContext.FogOn, 1u);
  // 16,000 below the camera and far wider than the view: clipped to the
  // planes one pixel left of and above the window and through its last
  // column and row; the texture's centre under the camera.
  ASSERT_EQ(c.vertices.size(), 4u);
  for (const auto& [x, y] : {std::pair(-1.0f, -1.0f), {639.0f, -1.0f}, {639.0f, 479.0f}, {-1.0f, 479.0f}}) {
    const TSGLVERTEX& v = At(c, x, y);
    EXPECT_NEAR(v.X, x, 1e-3);
    EXPECT_NEAR(v.Y, y, 1e-3);
    EXPECT_FLOAT_EQ(v.Depth, 16.0f);
  }
  EXPECT_NEAR(At(c, -1, -1).U, 0.5 - 321.0 * 50 / 1280000, 1e-6);
  EXPECT_NEAR(At(c, 639, 479).V, 0.5 + 239.0 * 50 / 1280000, 1e-6);
}

TEST_F(SkyTest, GroundZoneIsTheFirstEntrysRangesByDay) {
  SB_Var.BsplineValid = 1, SB_Var.NbBsplinePoints = 1000;
  TBACKGROUND table[2] = {{100, 200, 0, 700, 800, 0, nullptr}, {50, 300, 0, 0, 0, 0, nullptr}};
  SB_Var.Backgrounds = table, SB_Var.NbBackgrounds = 2;
  const struct {
    int32_t index, day, on;
  } kRows[] = {{150, 1, 1}, {750, 1, 1},  {150, 0, 0},  {60, 1, 0},  // the second entry's range
               {200, 1, 0}, {1150, 1, 1}, {-850, 1, 1}, {500, 1, 0}};
  for (const auto& r : kRows) {
    SB_Var.Camera.BsplineIndex = r.index, SB_Var.DayTime = r.day;
    SB_CheckGroundZone();
    EXPECT_EQ(SB_GroundOn(), r.on) << r.index << " " << r.day;
  }
  SB_Var.BsplineValid = 0;
  SB_Var.Camera.BsplineIndex = 150, SB_Var.DayTime = 1;
  SB_CheckGroundZone();
  EXPECT_EQ(SB_GroundOn(), 0) << "no centre line";
  SB_Var.Backgrounds = nullptr;
}

TEST_F(SkyTest, MarksTheSkyOrTheStarsAndTheGroundWhenOn) {
  WritePictures();
  SB_InitCielBmapGame();
  const TSKYTEXTURES t = SB_SkyTextures();
  SB_MarkSkyTextures(&view_);
  SB_Var.StarsOn = 1;
  SB_MarkSkyTextures(&view_);
  EXPECT_EQ(std::vector<uint32_t>(
                {view_.TextureUses[t.Sky], view_.TextureUses[t.Stars], view_.TextureUses[t.Ground]}),
            std::vector<uint32_t>({1, 1, 0}));
}

TEST_F(SkyTest, ThreeToEightCornersSplitIntoQuadsAndTriangles) {
  const int32_t slot = 5;
  SB_Var.TextureCache[slot].InUse = 1, SB_Var.TextureCache[slot].Name = 9;
  using Items = std::vector<std::array<int32_t, 4>>;
  const struct {
    int32_t n;
    Items quads, triangles;
  } kRows[] = {{2, {}, {}},
               {3, {}, {{0, 1, 2, 0}}},
               {4, {{0, 1, 2, 3}}, {}},
               {5, {{0, 1, 2, 4}}, {{2, 3, 4, 0}}},
               {6, {{0, 1, 4, 5}, {1, 2, 3, 4}}, {}},
               {7, {{0, 1, 5, 6}, {1, 2, 3, 5}}, {{3, 4, 5, 0}}},
               {8, {{0, 1, 2, 7}, {2, 3, 6, 7}, {3, 4, 5, 6}}, {}},
               {9, {}, {}}};
  for (const auto& r : kRows) {
    g_calls.clear();
    TVECTOR p[9];
    double uv[9][2] = {};
    for (int32_t i = 0; i < r.n; ++i)
      p[i] = {100 * std::cos(6.283185 * i / r.n), 100 * std::sin(6.283185 * i / r.n), 1000};
    SB_DrawSkyPoly(&SB_Var.ScreenWindow, p, uv, r.n, slot);
    Items quads, triangles;
    for (const Call& c : g_calls) (c.kind == 1 ? quads : triangles) = c.items;
    EXPECT_EQ(quads, r.quads) << r.n;
    EXPECT_EQ(triangles, r.triangles) << r.n;
  }
}

TEST_F(SkyTest, ClipPassKeepsTheInsideAndInterpolatesTheCrossings) {
  const TVECTOR square[4] = {{-2, 0, 1}, {2, 0, 1}, {2, 4, 1}, {-2, 4, 1}};
  const double uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  TVECTOR out[5];
  double outUv[5][2];
  int32_t n = 4;
  SB_ClipPolyToPlane(square, uv, out, outUv, &n, {1, 0, 0}, {1, 0, 0});
  ASSERT_EQ(n, 4);
  EXPECT_EQ(std::vector<double>({out[0].x, out[1].x, out[2].x, out[3].x}), std::vector<double>({1, 2, 2, 1}));
  EXPECT_EQ(std::vector<double>({outUv[0][0], outUv[3][0], outUv[3][1]}),
            std::vector<double>({0.75, 0.75, 1}));
  n = 4;
  SB_ClipPolyToPlane(square, uv, out, outUv, &n, {0, 0, -1}, {0, 0, 0});
  EXPECT_EQ(n, 0) << "wholly outside";
  n = 3;
  const TVECTOR corner[3] = {{0, 0, 1}, {1, 0, 1}, {0, 1, 1}};
  SB_ClipPolyToPlane(corner, uv, out, outUv, &n, {1, 1, 0}, {0.5, 0, 0});
  EXPECT_EQ(n, 4) << "a corner cut off adds one";
  n = 3;
  const TVECTOR touching[3] = {{1, 0, 1}, {2, 0, 1}, {1.5, 1, 1}};
  SB_ClipPolyToPlane(touching, uv, out, outUv, &n, {1, 0, 0}, {1, 0, 0});
  EXPECT_EQ(n, 3) << "a corner on the plane is kept";
  n = 3;
  const TVECTOR leaving[3] = {{1, 0, 1}, {0, 0, 1}, {2, 1, 1}};
  SB_ClipPolyToPlane(leaving, uv, out, outUv, &n, {1, 0, 0}, {1, 0, 0});
  EXPECT_EQ(n, 4) << "a corner on the plane, then one outside: kept, and again as the crossing";
}

}  // namespace
