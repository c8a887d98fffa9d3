// The smoke puffs: the pool, the drag, a frame's move and death, the
// card texture's set-up and tear-down, and the sprites on the
// accelerator's list and in the 8-bit software list.
#include "scenery/smoke.h"

#include <cmath>
#include <filesystem>

#include "datagen/scenerypics.h"
#include "datagen/tgawrite.h"
#include "engine3d/camera.h"
#include "tests/scenery/scenery_fixture.h"

namespace {

using scenerytest::SceneryTest;

constexpr int32_t kMaxPolys = 64, kMaxVertices = 256;

class SmokeTest : public SceneryTest {
 protected:
  void SetUp() override {
    SceneryTest::SetUp();
    SB_Var.Renderer = SB_RENDERER_PVR;
    SB_Var.VideoModeIndex = 0;
    SB_Var.VideoModes[0].Depth = 16;
    SB_Var.MaxFaces = kMaxPolys, SB_Var.MaxVertices = kMaxVertices;
    SB_Var.FocalF = 320.0f, SB_Var.ProjFactor = 2.0f, SB_Var.DepthScale = 0.001f;
    window_.W_WIDTH = 640, window_.W_HEIGHT = 480;
    LS_Init3D();  // the cosine table of the camera's frame
    SB_PlaceCamera(&SB_Var.Camera, 0, 0, 0, 0, 0, 0);
    for (TFUMEE& f : SB_Var.Fumees) f.Busy = 0;
    SB_Var.FumeeTexture = 7;  // a slot for the draw; the set-up tests make real ones
    ResetView();
  }
  void TearDown() override {
    if (SB_Var.FumeeTexture == 7) SB_Var.FumeeTexture = 0;
    SB_FreeFumeeBmapGame();
    SceneryTest::TearDown();
  }
  void ResetView() {
    view_ = {};
    view_.Polygons = view_.FirstPolygon = view_.PolygonCursor = polys_;
    view_.Vertices = view_.VertexCursor = vertices_;
    view_.ClipCursor = clips_;
  }
  static void Add(double x, double y, double z, double vx = 0, double vy = 0, double vz = 0) {
    const double p[3] = {x, y, z}, v[3] = {vx, vy, vz};
    SB_AddFumee(p, v, 1);
  }
  static int32_t Busy() {
    int32_t n = 0;
    for (const TFUMEE& f : SB_Var.Fumees) n += f.Busy ? 1 : 0;
    return n;
  }
  static void Move(int32_t ms) {
    SB_Var.FrameTime = ms;
    SB_MoveFumee();
  }
  void Draw() { SB_DrawFumee(&view_, &window_); }
  TSGLPOLY& Card(int32_t i) { return reinterpret_cast<TSGLPOLY*>(polys_)[i]; }
  std::vector<int32_t> SoftKeys() {
    std::vector<int32_t> keys;
    auto* p = static_cast<TSOFTPOLY*>(view_.FirstPolygon);
    for (int32_t i = 0; p && i < view_.NbPolygons; ++i, p = p->Next) keys.push_back(p->Key);
    return keys;
  }
  void WritePicture(const datagen::Picture24& picture) {
    std::filesystem::create_directories(root_ + "/MISCPICT");
    ASSERT_TRUE(datagen::WriteTga(root_ + "/MISCPICT/FUMEE.TGA", picture));
  }

  TSOFTSCENE view_{};
  _WINDOW window_{};
  TSOFTPOLY polys_[kMaxPolys]{};
  TSGLVERTEX vertices_[kMaxVertices]{};
  TSGLCLIP clips_[kMaxVertices]{};
};

TEST_F(SmokeTest, PoolHoldsExactlyOneHundredPuffsOneACall) {
  const double p[3] = {1, 2, 3}, v[3] = {4, 5, 6};
  SB_AddFumee(p, v, 5);
  EXPECT_EQ(Busy(), 1) << "one puff whatever the count";
  const TFUMEE& f = SB_Var.Fumees[0];
  EXPECT_EQ((std::array<double, 6>{f.X, f.Y, f.Z, f.Vx, f.Vy, f.Vz}),
            (std::array<double, 6>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(f.Size, 0.0f);
  EXPECT_EQ(f.Age, 0.0f);
  for (int32_t i = 1; i < 101; ++i) Add(i, 0, 0);
  EXPECT_EQ(Busy(), 100);
  EXPECT_EQ(SB_Var.Fumees[99].X, 99.0) << "the 101st is dropped, the 100th kept";
  SB_Var.Fumees[40].Busy = 0;
  Add(-1, 0, 0);
  EXPECT_EQ(SB_Var.Fumees[40].X, -1.0) << "the first free puff is taken";
}

TEST_F(SmokeTest, DragSlowsTowardZeroNeverPast) {
  struct Row {
    double v, k, expected;
  };
  for (const Row& r : {Row{2.0, 0.1, 1.6},
                       {-2.0, 0.1, -1.6},
                       {20.0, 0.1, 0.0},
                       {-20.0, 0.1, 0.0},
                       {0.0, 5.0, 0.0},
                       {3.0, 0.0, 3.0}})
    EXPECT_DOUBLE_EQ(SB_FumeeDrag(r.v, r.k), r.expected) << r.v << " " << r.k;
}

TEST_F(SmokeTest, FrameRisesSlowsMovesAndGrows) {
  Add(10, -1, 5, 1, 0, -2);
  Move(100);
  const TFUMEE& f = SB_Var.Fumees[0];
  // t = 0.1: vy = -0.15 then the drag with k = 0.01 on each component.
  const double vx = 1 - 0.01, vy = -0.15 + 0.15 * 0.15 * 0.01, vz = -2 + 4 * 0.01;
  EXPECT_DOUBLE_EQ(f.Vx, vx);
  EXPECT_DOUBLE_EQ(f.Vy, vy);
  EXPECT_DOUBLE_EQ(f.Vz, vz);
  EXPECT_DOUBLE_EQ(f.X, 10 + vx * 0.1);
  EXPECT_DOUBLE_EQ(f.Y, -1 + vy * 0.1);
  EXPECT_DOUBLE_EQ(f.Z, 5 + vz * 0.1);
  EXPECT_FLOAT_EQ(f.Age, 0.1f);
  EXPECT_FLOAT_EQ(f.Size, 0.9f);
}

TEST_F(SmokeTest, PuffsDieAfterAQuarterOfASecond) {
  Add(0, 0, 0);
  Move(100);
  Move(100);
  EXPECT_EQ(Busy(), 1) << "0.2 s old";
  Add(0, 0, 0);
  Move(100);
  EXPECT_EQ(Busy(), 1) << "the first died at 0.3 s, the second lives";
  EXPECT_EQ(SB_Var.Fumees[1].Busy, 1u);
  for (int32_t i = 0; i < 30; ++i) Add(i, 0, 0);
  Move(300);
  EXPECT_EQ(Busy(), 0) << "a 300 ms frame frees every puff alive at its start";
}

TEST_F(SmokeTest, AcceleratorQuadFacesTheCamera) {
  Add(0, 0, 10);  // 3,200 units ahead
  Move(0);        // size 0.5 m: half side 80 units
  Draw();
  ASSERT_EQ(view_.NbPolygons, 1);
  EXPECT_EQ(view_.NbVertices, 4);
  const TSGLPOLY& p = Card(0);
  EXPECT_EQ(p.Kind, 11);
  EXPECT_EQ(p.NbVertices, 4);
  EXPECT_EQ(p.Texture, 7u);
  EXPECT_EQ(view_.TextureUses[7], 1u);
  // Corners (-80, -80), (-80, 80), (80, 80), (80, -80) at z 3,200: f / z = 0.1.
  const float xs[4] = {312, 312, 328, 328}, ys[4] = {232, 248, 248, 232};
  const float us[4] = {0, 1, 1, 0}, vs[4] = {0, 0, 1, 1};
  for (int32_t k = 0; k < 4; ++k) {
    const TSGLVERTEX& v = p.Vertices[k];
    EXPECT_FLOAT_EQ(v.X, xs[k]) << k;
    EXPECT_FLOAT_EQ(v.Y, ys[k]) << k;
    EXPECT_FLOAT_EQ(v.InvW, 2.0f / 3200.0f);
    EXPECT_FLOAT_EQ(v.Depth, 3.2f);
    EXPECT_EQ(v.Colour, 0x80D0D0D0u);
    EXPECT_EQ(v.Specular, 0u);
    EXPECT_EQ(v.U, us[k]);
    EXPECT_EQ(v.V, vs[k]);
    EXPECT_EQ(p.Clip[k].Code, 0) << "the clip pass drops sprites with a code";
    EXPECT_FLOAT_EQ(p.Clip[k].Z, 3200.0f);
  }
}

TEST_F(SmokeTest, TheCameraFrameTurnsThePuff) {
  // A quarter turn of heading: the puff 10 m to the side is ahead.
  SB_PlaceCamera(&SB_Var.Camera, 320, 0, 0, 0, 16384, 0);
  for (const double side : {11.0, -9.0}) Add(side, 0, 0);
  Move(0);
  Draw();
  ASSERT_EQ(view_.NbPolygons, 1) << "one is behind the camera";
  EXPECT_NEAR(Card(0).Clip[0].Z, 3200.0f, 4.0f);
  EXPECT_NEAR((Card(0).Vertices[0].X + Card(0).Vertices[2].X) / 2, 320.0f, 1.0f);
}

TEST_F(SmokeTest, WhatIsNotDrawn) {
  struct Row {
    const char* what;
    double z;  // metres ahead
    int32_t renderer, depth, texture;
    int32_t drawn;
  };
  for (const Row& r : {Row{"29 m", 29, 3, 16, 7, 1},
                       {"31 m", 31, 3, 16, 7, 0},
                       {"near plane", 0.35, 3, 16, 7, 0},
                       {"no texture", 10, 3, 16, 0, 0},
                       {"16-bit software", 10, 0, 16, 7, 0},
                       {"8-bit software", 10, 0, 8, 7, 1},
                       {"8-bit near plane", 0.35, 0, 8, 7, 0},
                       {"8-bit 31 m", 31, 0, 8, 7, 0}}) {
    SCOPED_TRACE(r.what);
    for (TFUMEE& f : SB_Var.Fumees) f.Busy = 0;
    ResetView();
    SB_Var.Renderer = r.renderer, SB_Var.VideoModes[0].Depth = r.depth, SB_Var.FumeeTexture = r.texture;
    Add(0, 0, r.z);
    Move(0);
    Draw();
    EXPECT_EQ(view_.NbPolygons, r.drawn);
  }
  SB_Var.FumeeTexture = 7;
}

TEST_F(SmokeTest, NotANumberIsNotDrawn) {
  Add(0, 0, std::nan(""));
  Move(0);
  Draw();
  EXPECT_EQ(view_.NbPolygons, 0);
}

TEST_F(SmokeTest, TheViewsBudgetStopsTheLoop) {
  for (int32_t i = 0; i < 5; ++i) Add(0, 0, 10 + i);
  Move(0);
  SB_Var.MaxFaces = 3;
  Draw();
  EXPECT_EQ(view_.NbPolygons, 3);
  ResetView();
  SB_Var.MaxFaces = kMaxPolys, SB_Var.MaxVertices = 4 + 8;
  Draw();
  EXPECT_EQ(view_.NbVertices, 8) << "stops when the count reaches the limit less 4";
}

TEST_F(SmokeTest, EightBitSpriteIsInsertedBeforeTheFirstSmallerKey) {
  SB_Var.Renderer = 0, SB_Var.VideoModes[0].Depth = 8;
  const int32_t listed[3] = {50000, -34560, -40000};  // far to near, one key a puff's
  for (int32_t i = 0; i < 3; ++i) polys_[i] = {}, polys_[i].Key = listed[i], polys_[i].Next = &polys_[i + 1];
  view_.NbPolygons = 3, view_.PolygonCursor = &polys_[3];
  Add(0, 0, 15);  // z 4,800: key 3 z - 48,960 = -34,560
  Add(0, 0, 29);  // z 9,280: key -21,120
  Move(0);
  Draw();
  // A puff goes after the polygons of its own key (drawn over them): the
  // puffs by their render kind 11.
  std::vector<int32_t> order;
  auto* p = static_cast<TSOFTPOLY*>(view_.FirstPolygon);
  for (int32_t i = 0; p && i < view_.NbPolygons; ++i, p = p->Next) order.push_back(p->Kind == 11 ? -p->Key : p->Key);
  EXPECT_EQ(order, (std::vector<int32_t>{50000, 21120, -34560, 34560, -40000}));
  EXPECT_EQ(view_.NbVertices, 8);
  ResetView();
  Draw();
  EXPECT_EQ(SoftKeys(), (std::vector<int32_t>{-21120, -34560})) << "into an empty list";
}

TEST_F(SmokeTest, EightBitCornersAreProjectedWithOutcodes) {
  SB_Var.Renderer = 0, SB_Var.VideoModes[0].Depth = 8;
  struct Row {
    double x, y;  // metres, 10 m ahead
    int32_t code;
  };
  for (const Row& r : {Row{0, 0, 0}, {-11, 0, 2}, {11, 0, 4}, {0, -8, 8}, {0, 8, 16}, {-11, -8, 10}}) {
    for (TFUMEE& f : SB_Var.Fumees) f.Busy = 0;
    ResetView();
    Add(r.x, r.y, 10);
    Move(0);
    Draw();
    ASSERT_EQ(view_.NbPolygons, 1);
    const TSOFTPOLY& p = polys_[0];
    EXPECT_EQ(p.Kind, 11);
    EXPECT_EQ(p.NbVertices, 4);
    EXPECT_EQ(p.Key, 3 * 3200 - 48960);
    const TSOFTVERTEX& v = p.FirstVertex[0];  // the (-h, -h) corner
    EXPECT_EQ(v.CamX, static_cast<int32_t>(r.x * 320) - 80);
    EXPECT_EQ(v.CamY, static_cast<int32_t>(r.y * 320) - 80);
    EXPECT_EQ(v.CamZ, 3200);
    EXPECT_EQ(v.X, 320 + v.CamX / 10);
    EXPECT_EQ(v.Y, 240 + v.CamY / 10);
    int32_t code = 0;
    for (int32_t k = 0; k < 4; ++k) code |= p.FirstVertex[k].Code;
    EXPECT_EQ(code, r.code) << r.x << " " << r.y;
  }
}

TEST_F(SmokeTest, SetUpMakesTheTranslucentCardTextureAndTearDownFreesIt) {
  SB_Var.FumeeTexture = 0;
  WritePicture(datagen::FumeePicture());
  SB_Var.Fumees[3].Busy = 1;
  SB_InitFumeeBmapGame();
  const int32_t slot = SB_Var.FumeeTexture;
  ASSERT_GT(slot, 0);
  EXPECT_EQ(Busy(), 0) << "every puff freed";
  EXPECT_EQ(SB_PrintedLines(),
            (std::vector<std::string>{"Correctly loaded fumee graphics...",
                                      "Correctly converted fumee graphics n: " + std::to_string(slot)}));
  EXPECT_EQ(SB_Var.TextureCache[slot].InUse, 1);
  // Bright is opaque (transparency 0 in the top nibble), black clear; the
  // colour is 0xA0A0A0.
  const int32_t c = datagen::kFumeeSide / 2;
  EXPECT_EQ(CardTexel(slot, c, c) & 0x0FFF, 0xAAAu);
  EXPECT_LE(CardTexel(slot, c, c) >> 12, 2u);
  EXPECT_EQ(CardTexel(slot, 0, 0) >> 12, 15u);
  EXPECT_EQ(SB_Var.NbBmapOwners, 0) << "the picture and the square freed";
  SB_FreeFumeeBmapGame();
  EXPECT_EQ(SB_Var.FumeeTexture, 0);
  EXPECT_EQ(SB_Var.TextureCache[slot].InUse, 0);
}

TEST_F(SmokeTest, SetUpReportsBadPictures) {
  struct Row {
    const char* what;
    int32_t width, height;  // 0: no file
    bool truncated;
    const char* message;
  };
  for (const Row& r : {Row{"missing", 0, 0, false, "Fumee graphics not found !!!"},
                       {"truncated", 64, 64, true, "Fumee graphics not found !!!"},
                       {"48 wide", 48, 48, false, "Error converting fumee graphics !!!"},
                       {"512 wide", 512, 16, false, "Error converting fumee graphics !!!"},
                       {"5,000 wide", 5000, 1, false, "Error converting fumee graphics !!!"},
                       {"32 x 16", 32, 16, false, "Correctly converted fumee graphics n: 1"}}) {
    SCOPED_TRACE(r.what);
    std::filesystem::remove(root_ + "/MISCPICT/FUMEE.TGA");
    if (r.width) WritePicture(datagen::Picture24(r.width, r.height, 200, 200, 200));
    if (r.truncated) std::filesystem::resize_file(root_ + "/MISCPICT/FUMEE.TGA", 100);
    SB_Var.FumeeTexture = 0;
    SB_ClearPrintedLines();
    SB_InitFumeeBmapGame();
    ASSERT_FALSE(SB_PrintedLines().empty());
    EXPECT_EQ(SB_PrintedLines().back(), r.message);
    EXPECT_EQ(SB_Var.FumeeTexture != 0, r.message[0] == 'C');
    SB_FreeFumeeBmapGame();
    EXPECT_EQ(SB_Var.NbBmapOwners, 0);
  }
}

TEST_F(SmokeTest, SoftwareSetUpLoadsNothing) {
  SB_Var.Renderer = 0;
  WritePicture(datagen::FumeePicture());
  SB_Var.Fumees[0].Busy = 1;
  SB_InitFumeeBmapGame();
  EXPECT_EQ(SB_Var.FumeeTexture, 0);
  EXPECT_TRUE(SB_PrintedLines().empty());
  EXPECT_EQ(Busy(), 0);
}

}  // namespace
