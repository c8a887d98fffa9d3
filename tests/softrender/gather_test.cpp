// The software map frame's gathering and transform: the camera's column,
// the walk over the x-sorted big entities, the sphere tests at their
// limits, and word vertices turned through the tables against the exact
// turn in double precision.
#include <algorithm>
#include <cmath>
#include <random>
#include <set>

#include "tests/softrender/softmap_fixture.h"

namespace {

using ztest::SoftMapTest;

TEST_F(SoftMapTest, CameraColumn) {
  const struct {
    int32_t x, column;
  } rows[] = {{6127, 64}, {6128, 65}, {-10256, 64}, {-10257, 63}};
  for (const auto& r : rows) {
    camera_.CurrentX = r.x;
    EXPECT_EQ(SB_CameraCellX(&camera_), r.column) << r.x;
  }
}

// The walk over entities at x numbers -5, -4, 0 (several, along z), 4 and
// 5 from a camera at the origin (column 64): a map of 10 is walked from
// its first entity, one of 11 from the first at column 60 found by
// bisection; both stop past column 68.
TEST_F(SoftMapTest, WalkStartsByBisectionOnlyPastTenEntities) {
  const int32_t texture = builder_.Texture("ROAD");
  for (const auto& [fillers, walked] :
       {std::pair{6, std::multiset<int32_t>{59, 60, 64, 64, 64, 64, 64, 64, 68}},
        std::pair{7, std::multiset<int32_t>{60, 64, 64, 64, 64, 64, 64, 64, 68}}}) {
    builder_ = {};
    for (int32_t x : {-5, -4, 4, 5}) Wall(x, 1, 256, texture);
    for (int32_t z = 1; z <= fillers; ++z) Wall(0, z, 256, texture);
    builder_.Install();
    ASSERT_EQ(SB_Var.Decor.NbBigEntitys, fillers + 4);
    View(0, 0, 0, 0, 0, 200000);
    SB_Var.SlopeCosX = SB_Var.SlopeSinX = SB_Var.SlopeCosY = SB_Var.SlopeSinY = 0.0f;  // every side passes
    SB_TransformMapSectors(&camera_);
    std::multiset<int32_t> columns;
    for (int32_t i = 0; i < E3D_SoftMap.NbVisible; ++i) columns.insert(E3D_SoftMap.Visible[i].Entity->KeyX);
    EXPECT_EQ(columns, walked) << fillers + 4 << " entities";
  }
}

// One entity at the map origin seen from an unturned camera whose
// position (in camera space) sets the entity's offsets; the slope pairs
// (0.25, 0.5) make each side distance an exact float.
TEST_F(SoftMapTest, SphereTestsAtTheirLimits) {
  Wall(0, 0, 256, builder_.Texture("ROAD"));
  builder_.Install();
  View(0, 0, 0, 0, 0, 50000);
  SB_Var.SlopeSinX = SB_Var.SlopeSinY = 0.25f, SB_Var.SlopeCosX = SB_Var.SlopeCosY = 0.5f;
  const struct {
    int32_t x, y, z;
    bool kept;
  } rows[] = {
      {0, 0, -14060, false},         {0, 0, -14059, true},          // behind the near plane
      {0, 0, 50000 + 14188, false},  {0, 0, 50000 + 14187, true},   // past the far distance
      {28378, 0, 4, false},          {28377, 0, 4, true},           // right: 0.5 x - 0.25 z = 14188
      {-28378, 0, 4, false},         {-28377, 0, 4, true},          // left: 0.5 x + 0.25 z = -14188
      {0, 28378, 4, false},          {0, 28377, 4, true},           // bottom
      {0, -28378, 4, false},         {0, -28377, 4, true},          // top
  };
  for (const auto& r : rows) {
    camera_.RotatedX = -r.x, camera_.RotatedY = -r.y, camera_.RotatedZ = -r.z;
    SB_TransformMapSectors(&camera_);
    ASSERT_EQ(E3D_SoftMap.NbVisible, r.kept ? 1 : 0) << r.x << " " << r.y << " " << r.z;
    if (r.kept) {
      const TVISIBLEENTITY& e = E3D_SoftMap.Visible[0];
      EXPECT_EQ(std::vector<int32_t>({e.X, e.Y, e.Z}), std::vector<int32_t>({r.x, r.y, r.z}));
    }
  }
}

// Seeded cameras (any angles, near the entity) and word vertices: the
// tables' integer result against the turn of the map point in double
// precision. Word w of big cube k lies at (k - 64) + (w - 256) / 512 - 1/8
// cells along its axis, a cell being 16384 units.
TEST_F(SoftMapTest, TableTransformMatchesTheExactTurn) {
  std::mt19937 random(49);
  auto pick = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(random); };
  TBIGENTITY entity{};
  TWORDVERTEX words[64];
  double worst = 0.0;
  for (int32_t round = 0; round < 200; ++round) {
    View(pick(-40000, 40000), pick(-40000, 40000), pick(-40000, 40000), pick(0, 65535), pick(0, 65535));
    entity.KeyX = static_cast<uint8_t>(pick(60, 68)), entity.KeyY = static_cast<uint8_t>(pick(60, 68));
    entity.KeyZ = static_cast<uint8_t>(pick(60, 68));
    const uint8_t key[3] = {entity.KeyX, entity.KeyY, entity.KeyZ};
    const int32_t* r = &camera_.Frame.Rotation[0][0];
    const int32_t rotated[3] = {camera_.RotatedX, camera_.RotatedY, camera_.RotatedZ};
    TVISIBLEENTITY seen{0, 0, 0, &entity};
    int32_t* centre[3] = {&seen.X, &seen.Y, &seen.Z};
    for (int32_t a = 0; a < 3; ++a)
      *centre[a] = r[a] * (key[0] - 64) + r[a + 3] * (key[1] - 64) + r[a + 6] * (key[2] - 64) - rotated[a];
    TSOFTCELL cell{}, *cursor = &cell, *pointers[1], **pointer = pointers;
    SB_AddSoftPolygonEntry(&seen, &cursor, &pointer);
    for (TWORDVERTEX& w : words)
      w = {static_cast<uint16_t>(pick(0, 515)), static_cast<uint16_t>(pick(0, 515)),
           static_cast<uint16_t>(pick(0, 515)), 0, 0};
    cell.WordVertices = words, cell.NbVertices = 64;
    for (int32_t i = 0; i < 64; ++i) {
      E3D_SoftTransformVertex(&cell, i);
      const uint16_t w[3] = {words[i].X, words[i].Y, words[i].Z};
      const int32_t got[3] = {E3D_SoftMap.Vertices[i].X, E3D_SoftMap.Vertices[i].Y, E3D_SoftMap.Vertices[i].Z};
      for (int32_t a = 0; a < 3; ++a) {
        double exact = -rotated[a];
        for (int32_t j = 0; j < 3; ++j) exact += r[a + 3 * j] * ((key[j] - 64) + (w[j] - 256) / 512.0 - 0.125);
        worst = std::max(worst, std::fabs(got[a] - exact));
      }
    }
  }
  EXPECT_LE(worst, 2.0);
}

}  // namespace
