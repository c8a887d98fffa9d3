// The accelerator's map transform: the track window, the near plane, the
// flag letters, fog, texture coordinates, the view's limits and damaged
// cells, on maps made by the map builder.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "datagen/mapbuild.h"
#include "engine3d/camera.h"
#include "racescene/race3d.h"
#include "racescene/views.h"
#include "tests/racescene/accel/accel_fixture.h"
#include "tests/support/testmap.h"
#include "track/decor.h"

namespace {

using ztest::AccelTest;

constexpr int32_t kMetre = 320;
constexpr std::array<uint16_t, 3> kDown = {8256, 64, 8256};

class MapTransformTest : public AccelTest {
 protected:
  void SetUp() override {
    AccelTest::SetUp();
    SB_Var.DrawDistance = 150;
    for (int32_t k = 0; k < 256; ++k) SB_Var.LightTables[0][k] = 0x100u * k, SB_Var.LightTables[1][k] = k;
  }
  void TearDown() override {
    ztest::FreeRingMap();
    AccelTest::TearDown();
  }
  // A 2 m floor square with its first corner at (x, z), world units; its
  // material is the next one, placed at slot 10 + material.
  void Square(int32_t x, int32_t z, std::array<uint16_t, 3> normal = datagen::kPolyUp) {
    const int32_t m = builder_.Material("TEX" + std::to_string(squares_++));
    const int32_t d = 2 * kMetre;
    builder_.PolyFace(SB_GROUNDRUN, {{x, 0, z}, {x + d, 0, z}, {x + d, 0, z + d}, {x, 0, z + d}}, normal, m);
  }
  void Install() {
    builder_.Install();
    for (int32_t m = 0; m < squares_; ++m) {
      TTEXTUREPLACE& t = SB_Var.TexturePlaces[m];
      t = {};
      t.Loaded = 1, t.PageNumber = 10 + m;
    }
    for (int32_t i = 0; i < SB_Var.NbCube10Polys; ++i) SB_Var.Cube10Polys[i].BsplineIndices[0] = 0;
  }
  // The frame from a camera 3 m above the origin looking along +z.
  void Frame(int32_t far = 96000) {
    SB_PlaceCamera(&camera_, 0, -3 * kMetre, 0, 0, 0, 0);
    SB_SetView(&scene_, &camera_, &window_, 400, far, 0);
    POWER_RenderMap(&scene_, &camera_, &window_);
  }
  std::vector<int32_t> Drawn() const {
    std::vector<int32_t> out;
    for (int32_t i = 0; i < scene_.NbPolygons; ++i) out.push_back(polygons_[i].TextureIndex);
    return out;
  }
  datagen::MapBuilder builder_;
  int32_t squares_ = 0;
  TCAMERA camera_{};
};

TEST_F(MapTransformTest, TrackWindowWraps) {
  for (int32_t x : {-60, 0, 60}) Square(x * kMetre, 20 * kMetre);
  Square(0, 70 * kMetre);
  Install();
  SB_Var.NbBsplinePoints = 1000, SB_Var.BsplineValid = 1;
  camera_.BsplineIndex = 5;
  const uint16_t words[4] = {500, 600, 900, 100};  // the cells in key order: x -1, 0 (z 0, 1), 1
  for (int32_t i = 0; i < 4; ++i)
    SB_Var.Cube10Polys[i].BsplineIndices[0] = SB_Var.Cube10Polys[i].BsplineIndices[1] = words[i];
  SB_PlaceCamera(&camera_, 0, -3 * kMetre, 0, 0, 0, 0);
  camera_.BsplineIndex = 5;
  SB_SetView(&scene_, &camera_, &window_, 400, 96000, 0);
  POWER_RenderMap(&scene_, &camera_, &window_);
  EXPECT_EQ(Drawn(), (std::vector<int32_t>{3, 2}));  // the cells at 900 and 100
}

// A cell left of the slab the walk keeps (5 cells to the left) is walked
// when the map has 10 cells or fewer; with 11 the search starts past it.
TEST_F(MapTransformTest, SearchOnlyBeyondTenCells) {
  for (const auto& [extra, drawn] : {std::pair{9, 1}, std::pair{10, 0}}) {
    builder_ = {};
    squares_ = 0;
    Square(-5 * 16384 + 64, 0);
    for (int32_t i = 0; i < extra; ++i) Square(30 * 16384, i * 16384);  // far right, out of the slab
    Install();
    for (uint16_t heading : {16384, 49152}) {  // the one that looks along -x
      SB_PlaceCamera(&camera_, 0, -3 * kMetre, 0, 0, heading, 0);
      if (camera_.Matrix[2] < 0) break;
    }
    SB_SetView(&scene_, &camera_, &window_, 400, 96000, 0);
    POWER_RenderMap(&scene_, &camera_, &window_);
    EXPECT_EQ(scene_.NbPolygons, drawn) << extra;
  }
}

TEST_F(MapTransformTest, NearPlaneAndTextureCoordinates) {
  Square(64, 128 + 64);  // the polygon map lies 64 units off in x and z
  Square(64, 127 + 64);
  Install();
  SB_Var.TexturePlaces[0].TallShift = 1, SB_Var.TexturePlaces[0].TallOffset = 100;
  Frame();
  ASSERT_EQ(scene_.NbPolygons, 2);
  EXPECT_EQ(std::vector<double>({polygons_[0].Clip[0].Z, double(polygons_[0].Clip[0].Code)}),
            std::vector<double>({128.0, 0.0}));
  EXPECT_FLOAT_EQ(polygons_[0].Vertices[0].X, 320.0f);
  EXPECT_EQ(std::vector<double>({polygons_[1].Clip[0].Z, double(polygons_[1].Clip[0].Code)}),
            std::vector<double>({127.0, 32.0}));
  const TFFACEPOLY& face = SB_Var.Decor.FacePolys[0];
  const TFPOINTTEXTURE* uv = SB_FacePolyTexturePoint(&face, 0);
  EXPECT_FLOAT_EQ(polygons_[0].Vertices[0].U, static_cast<float>((uv->U >> 1) + 100) * 0.00012207218f);
  EXPECT_EQ(polygons_[0].Key, 128 * 3);
}

TEST_F(MapTransformTest, FlagLetters) {
  struct Row {
    uint8_t TTEXTUREPLACE::*letter;
    bool facingAway;
    int32_t headlights;
    int32_t colour;  // -1: dropped
  };
  const Row rows[] = {
      {nullptr, false, 0, 10},
      {nullptr, true, 0, -1},
      {&TTEXTUREPLACE::D, true, 0, 20},
      {&TTEXTUREPLACE::O, false, 0, 0},
      {&TTEXTUREPLACE::Three, false, 0, 0xA00},
      {&TTEXTUREPLACE::One, false, 0, -1},
      {&TTEXTUREPLACE::One, false, 1, 10},
      {&TTEXTUREPLACE::Two, false, 1, -1},
      {&TTEXTUREPLACE::Two, false, 0, 10},
  };
  for (const Row& r : rows) {
    builder_ = {};
    squares_ = 0;
    Square(0, 20 * kMetre, r.facingAway ? kDown : datagen::kPolyUp);
    Install();
    SB_Var.Decor.FacePolys[0].Shades = 10 | 20 << 8;
    if (r.letter) SB_Var.TexturePlaces[0].*r.letter = 1;
    SB_Var.HeadlightsOn = r.headlights;
    Frame();
    ASSERT_EQ(scene_.NbPolygons, r.colour < 0 ? 0 : 1);
    if (r.colour >= 0) {
      EXPECT_EQ(polygons_[0].Vertices[0].Colour, static_cast<uint32_t>(r.colour));
    }
  }
}

TEST_F(MapTransformTest, FogHalfWay) {
  Square(0, 25000 + 64);
  Install();
  SB_Var.LightTables[1][0] = 0xC96533;
  SB_Var.SglContext.FogRed = 0.1f, SB_Var.SglContext.FogGreen = 0.3f, SB_Var.SglContext.FogBlue = 0.5f;
  Frame(30000);  // fog factor 3 / 30000 x 25000 = 2.5
  ASSERT_GE(scene_.NbPolygons, 1);
  EXPECT_EQ(polygons_[0].Vertices[0].Colour, 0x643219u);
  EXPECT_EQ(polygons_[0].Vertices[0].Specular, 0x0C263Fu);
}

TEST_F(MapTransformTest, BigMapKeepsTheLimitsAndDamagedCellsAreSkipped) {
  ztest::BuildRingMap();
  for (TTEXTUREPLACE& t : SB_Var.TexturePlaces) t = {}, t.Loaded = 1, t.PageNumber = 1, t.D = 1;
  SB_PlaceCamera(&camera_, 150 * kMetre, -2 * kMetre, 0, 0, 0, 0);
  SB_SetView(&scene_, &camera_, &window_, 400, 96000, 0);
  Limits(30, 100);
  SB_SetView(&scene_, &camera_, &window_, 400, 96000, 0);
  POWER_RenderMap(&scene_, &camera_, &window_);
  EXPECT_LE(scene_.NbPolygons, 30);
  EXPECT_LE(scene_.NbVertices, 100);
  EXPECT_GT(scene_.NbVertices, 100 - SB_MAXPOLYCORNERS);
  // Cells whose faces' corner links point outside their own points, and
  // cells without faces: nothing is drawn and nothing read outside.
  Limits(1000, 6000);
  POWER_RenderMap(&scene_, &camera_, &window_);
  EXPECT_GT(scene_.NbPolygons, 30);
  for (int32_t i = 0; i < SB_Var.NbCube10Polys; ++i) {
    TFCUBE10POLY& c = SB_Var.Cube10Polys[i];
    if (i % 2)
      c.NbFaces[0] = 0;
    else
      c.PointOffsets += static_cast<uint32_t>(c.NbPointOffsets * sizeof(TFPOINTOFFSET));
  }
  SB_SetView(&scene_, &camera_, &window_, 400, 96000, 0);
  POWER_RenderMap(&scene_, &camera_, &window_);
  EXPECT_EQ(scene_.NbPolygons, 0);
}

}  // namespace
