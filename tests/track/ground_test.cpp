// Ground queries on maps built in code: the grid arithmetic, the three
// cube queries with their flags, the point-in-face rule on shared edges and
// edge extensions, the polygon heights, the gathering around a car across
// a cell corner, the height over a wheel list, wall crossings, and maps or
// points the lists do not hold.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "tests/track/track_fixture.h"

namespace {

using datagen::kCubeUp;
using datagen::kPolyUp;

// World units of a map coordinate on the cube side (map 64 is world 0).
int32_t World(int32_t map) { return 32 * map - 2048; }

class Ground : public ztest::TrackTest {
 protected:
  // Installs the map and builds both lists over it.
  void Use(const datagen::MapBuilder& map) {
    map.Install();
    BuildXZYList();
    BuildListXZYPoly();
  }
  datagen::MapBuilder map_;
  int32_t road_ = map_.Texture("ROAD    C");
  int32_t material_ = map_.Material("ROAD    C");
};

TEST_F(Ground, GridArithmetic) {
  const struct {
    int32_t v, local, small, big;
  } cubes[] = {{0, 64, 64, 64}, {-17, 63, 64, 64}, {4096, 64, 65, 64}, {INT32_MAX, 64, 64, 131136},
               {INT32_MIN, 64, 64, -131008}};
  for (const auto& c : cubes) {
    int32_t x = c.v, z = c.v, sx = 0, sz = 0, bx = 0, bz = 0;
    SB_WorldToCubeCoords(&x, &z, &sx, &sz, &bx, &bz);
    EXPECT_EQ(std::vector<int32_t>({x, sx, bx, z, sz, bz}),
              std::vector<int32_t>({c.local, c.small, c.big, c.local, c.small, c.big}))
        << c.v;
  }
  const struct {
    int32_t v, offset, cell;
  } cells[] = {{0, 8192, 64}, {-8193, 16383, 63}, {8192, 0, 65}, {INT32_MAX, 8191, 131136}};
  for (const auto& c : cells) {
    int32_t offset = 0, cell = 0;
    SB_WorldToPolyCellCoords(c.v, &offset, &cell);
    EXPECT_EQ(std::make_pair(offset, cell), std::make_pair(c.offset, c.cell)) << c.v;
  }
}

TEST_F(Ground, CubeQueriesTakeTheirFaces) {
  map_.CubeFace({{0, 0, 0}, {128, 0, 0}, {128, 0, 128}, {0, 0, 128}}, {64, 64, 64}, road_);  // a wall: up byte 64
  map_.CubeFace({{128, 0, 0}, {256, 0, 0}, {256, 0, 128}, {128, 0, 128}}, kCubeUp, road_);        // deck at 0
  map_.CubeFace({{128, -60, 0}, {256, -60, 0}, {256, -60, 128}, {128, -60, 128}}, kCubeUp, road_);  // and at -60
  Use(map_);
  EXPECT_EQ(SB_GetGroundHeight(World(64), World(64)), SB_NOGROUND);
  EXPECT_EQ(SB_GetLowestGroundHeight(World(64), World(64)), -2048.0);
  SB_Var.TexturePlaces[road_].C = 1;
  EXPECT_EQ(SB_GetRoadHeight(World(192), World(64)), -2048.0);  // heights grow downward
  EXPECT_EQ(SB_GetLowestGroundHeight(World(192), World(64)), -3968.0);
  EXPECT_EQ(SB_GetRoadHeight(World(64), World(64)), SB_NOGROUND);  // the wall is no road
}

TEST_F(Ground, TheRoadFlagsGoToTheirWords) {
  map_.CubeFace({{0, 0, 0}, {128, 0, 0}, {128, 0, 128}, {0, 0, 128}}, kCubeUp, road_);
  Use(map_);
  TTEXTUREPLACE& place = SB_Var.TexturePlaces[road_];
  place.H = place.L = place.E = 1;
  for (int32_t& word : SB_Var.GroundFlags) word = 0x100;
  EXPECT_EQ(SB_GetRoadHeight(World(64), World(64)), SB_NOGROUND);  // without C
  EXPECT_EQ(std::vector<int32_t>(SB_Var.GroundFlags, SB_Var.GroundFlags + 5), std::vector<int32_t>(5, 0x100));
  place.C = 1;
  EXPECT_EQ(SB_GetRoadHeight(World(64), World(64)), -2048.0);
  EXPECT_EQ(std::vector<int32_t>(SB_Var.GroundFlags, SB_Var.GroundFlags + 5),
            std::vector<int32_t>({0x101, 0x100, 0x101, 0x100, 0x101}));  // H, B, L, F, E
  EXPECT_EQ(std::vector<int32_t>(SB_Var.GroundNormal, SB_Var.GroundNormal + 3), std::vector<int32_t>({64, 128, 64}));
}

TEST_F(Ground, ASharedEdgeGoesToTheFirstFaceAndAnExtensionToNone) {
  map_.CubeFace({{0, 0, 0}, {100, 0, 0}, {0, 0, 100}}, {70, 128, 64}, road_);
  map_.CubeFace({{100, 0, 0}, {100, 0, 100}, {0, 0, 100}}, {60, 128, 64}, road_);
  map_.CubeFace({{128, 0, 0}, {228, 0, 100}, {178, 0, 100}}, kCubeUp, road_);
  map_.PolyFace(SB_GROUNDRUN, {{40000, 0, 40000}, {40100, 0, 40100}, {40050, 0, 40100}}, kPolyUp, material_);
  Use(map_);
  EXPECT_EQ(SB_GetGroundHeight(World(50), World(50)), -2048.0);
  EXPECT_EQ(SB_Var.GroundNormal[0], 70);
  // On the line of the third face's edge from (228, 100) to (178, 100),
  // past its end and inside the face's box.
  EXPECT_EQ(SB_GetGroundHeight(World(148), World(100)), SB_NOGROUND);
  EXPECT_EQ(SB_GetGroundHeight(World(200), World(100)), -2048.0);  // on the edge itself
  // The same on the polygon map.
  EXPECT_EQ(SB_GetPolyGroundHeight(40020, 40100), SB_NOGROUND);
  EXPECT_EQ(SB_GetPolyGroundHeight(40072, 40100), 0.0);
}

TEST_F(Ground, EachFormAnswersByItsOwnOrigin) {
  map_.FlatSquare(-512, -512, 8, 0, road_, material_);
  map_.PolyFace(SB_GROUNDRUN, {{0, -2000, 0}, {0, -2000, 600}, {600, -2000, 0}}, {8256, 0, 8256}, material_);
  Use(map_);
  EXPECT_EQ(SB_GetGroundHeight(100, 100), -2048.0);
  EXPECT_EQ(SB_GetPolyGroundHeight(100, 100), -2044.0);
  // A face turned downwards, under the square, counts for the all-facing
  // query only.
  SB_Var.Renderer = SB_RENDERER_PVR;
  EXPECT_EQ(SB_GetLowestGroundHeight(100, 100), -2000.0);
  EXPECT_EQ(SB_Var.GroundNormal[1], -64);
  EXPECT_EQ(SB_GetGroundHeight(100, 100), -2044.0);
  EXPECT_EQ(SB_Var.GroundNormal[1], 16384);
  // The road query keeps to the cube map, which the accelerator's race
  // does not query even when its editors have listed it.
  SB_Var.TexturePlaces[road_].C = 1;
  EXPECT_EQ(SB_GetRoadHeight(100, 100), SB_NOGROUND);
  SB_Var.Renderer = 0;
  EXPECT_EQ(SB_GetRoadHeight(100, 100), -2048.0);
}

TEST_F(Ground, ACarAcrossACellCornerGathersFourCellsInOrder) {
  map_.FlatSquare(-512, -512, 16, 0, road_, material_);
  Use(map_);
  const double corner[3] = {8192 / 320.0, 0, 8192 / 320.0};  // where cells 64 and 65 meet on both axes
  TFACELISTENTRY list[8];
  ASSERT_EQ(SB_GetWheelContactFaces(list, 8, corner), 4);
  const std::pair<int32_t, int32_t> order[] = {{8192, 8192}, {-8192, 8192}, {-8192, -8192}, {8192, -8192}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(std::make_pair(list[i].OffsetX, list[i].OffsetZ), order[i]) << i;
    EXPECT_EQ(list[i].HeightBase, 0);
  }
  EXPECT_EQ(SB_GetWheelContactFaces(list, 2, corner), 2);  // the list's capacity bounds it
  EXPECT_EQ(SB_GetHeightInFaceList(list, 4, 8000, 8300), -2044.0);
  int32_t n[3];
  SB_GetLastGroundNormal(&n[0], &n[1], &n[2]);
  EXPECT_EQ(std::vector<int32_t>(n, n + 3), std::vector<int32_t>({0, -8192, 0}));
  EXPECT_EQ(SB_GetHeightInFaceList(list, 0, 8000, 8300), SB_NOGROUND);
}

TEST_F(Ground, WallsStopSegmentsThatCrossThem) {
  const int32_t y0 = -3000, y1 = -2000;
  map_.PolyFace(SB_BODYRUN, {{0, y0, 1000}, {2000, y0, 1000}, {2000, y1, 1000}, {0, y1, 1000}}, kPolyUp, material_);
  map_.PolyFace(SB_BODYRUN, {{3000, y0, 0}, {5000, y0, 2000}, {5000, y1, 2000}, {3000, y1, 0}}, kPolyUp, material_);
  Use(map_);
  TFACELISTENTRY list[8];
  const double car[3] = {2500 / 320.0, 0, 1000 / 320.0};
  const int32_t count = SB_GetBodyContactFaces(list, 8, car);
  ASSERT_EQ(count, 2);
  const struct {
    const char* why;
    int32_t x, z, fromX, fromZ, hit;
    double pushX, pushZ;
  } rows[] = {
      {"across the straight wall", 1000, 1100, 1000, 900, 1, 0, -100 * 0.003125},
      {"along it", 1050, 1100, 950, 1100, 0, 0, 0},
      {"short of it", 1000, 990, 1000, 900, 0, 0, 0},
      {"along an axis across the slanted wall", 4100, 1000, 3900, 1000, 1, -50 * 0.003125, 50 * 0.003125},
  };
  for (const auto& r : rows) {
    double push[3] = {9, 9, 9};
    EXPECT_EQ(SB_GetBodyFaceContact(list, count, r.x, r.z, push, r.fromX, r.fromZ), r.hit) << r.why;
    EXPECT_NEAR(push[0], r.pushX, 1e-9) << r.why;
    EXPECT_EQ(push[1], 0.0) << r.why;
    EXPECT_NEAR(push[2], r.pushZ, 1e-9) << r.why;
  }
  double push[3] = {9, 9, 9};
  EXPECT_EQ(SB_GetBodyFaceContact(list, 0, 1000, 1100, push, 1000, 900), 0);
  EXPECT_EQ(std::vector<double>(push, push + 3), std::vector<double>(3, 0.0));
}

TEST_F(Ground, MapsWithoutRecordsAndFarPointsFindNothing) {
  LSI_Var.LastError = 99;
  Use(datagen::MapBuilder());
  EXPECT_EQ(LS_GetLastError(), 0u);  // "BuildListXZYPoly Error - Map with no Cubes10"
  int32_t count = 7;
  EXPECT_EQ(SB_FindInListXZYPoly(64, 64, &count), nullptr);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(SB_GetGroundHeight(0, 0), SB_NOGROUND);
  SB_FreeListXZYPoly();
  SB_FreeXZYList();
  map_.FlatSquare(-512, -512, 8, 0, road_, material_);
  Use(map_);
  SB_Var.TexturePlaces[road_].C = 1;
  TFACELISTENTRY list[4];
  for (int32_t v : {INT32_MAX, INT32_MIN, INT32_MAX - 8000, INT32_MIN + 16}) {
    for (double (*query)(int32_t, int32_t) : {SB_GetGroundHeight, SB_GetLowestGroundHeight, SB_GetRoadHeight,
                                              SB_GetPolyGroundHeight, SB_GetPolyGroundHeightAll})
      EXPECT_EQ(query(v, v), SB_NOGROUND) << v;
    const double far[3] = {v * 1e3, 0, v * 1e3};
    EXPECT_EQ(SB_GetWheelContactFaces(list, 4, far), 0) << v;
  }
  const double nan[3] = {NAN, 0, NAN};
  EXPECT_EQ(SB_GetBodyContactFaces(list, 4, nan), 0);
}

}  // namespace
