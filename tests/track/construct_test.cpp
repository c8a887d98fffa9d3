// The map construction: welding (hashed against the plain loop), normals,
// the bump report, the copies and the steps of the whole construction.
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine3d/types.h"
#include "system/heap.h"
#include "tests/track/track_fixture.h"
#include "track/polymap.h"
#include "track/scene.h"

namespace {

class Construct : public ztest::TrackTest {
 protected:
  uint32_t HeapSize() const override { return 96u << 20; }  // the map copy alone is 34 MB
  void SetUp() override {
    ztest::TrackTest::SetUp();
    map_ = SB_Init3dMap();
    // Small polygon outputs, so that the map copies fit in the test's heap.
    SB_ConversionLimits = {1000, 1000, 1000, 1000, 1000, 10};
  }
  void TearDown() override {
    SB_ConversionLimits = {};
    SB_FreeTLMAP(map_);
    ztest::TrackTest::TearDown();
  }
  // Appends a triangle with the material.
  void Add(std::vector<TLMAPVERTEX> v, const char* material = "ROUT") {
    if (map_->NbFaces == map_->Capacity) {
      const uint32_t capacity = map_->Capacity * 2 + 16;
      auto* faces = static_cast<TLMAPFACE*>(SB_GetMem(capacity * sizeof(TLMAPFACE), "test"));
      if (map_->Faces) std::memcpy(faces, map_->Faces, map_->NbFaces * sizeof(TLMAPFACE)), SB_Release(map_->Faces);
      map_->Faces = faces, map_->Capacity = capacity;
    }
    TLMAPFACE& f = map_->Faces[map_->NbFaces++];
    f = TLMAPFACE{};
    for (int k = 0; k < 3; ++k) f.V[k] = v[k];
    std::strncpy(f.Material, material, 15);
  }
  TLMAP* map_ = nullptr;
};

TLMAPVERTEX P(double x, double y, double z) { return {x, y, z, 0, 0}; }

TEST_F(Construct, WeldingPullsCloseCornersOfNearbyFacesOnly) {
  struct Row {
    double offset, firstAt;  // the second face's corner offset, its first corner's x
    bool welded;
  } rows[] = {{0.15, 0, true}, {0.25, 0, false}, {0.15, 600, false}, {0.15, 512, false}, {0.15, 511, true}};
  for (const Row& r : rows) {
    map_->NbFaces = 0;
    Add({P(0, 0, 0), P(10, 0, 0), P(0, 0, 10)});
    Add({P(r.firstAt, 5, 5), P(0.0 + r.offset, 0, 0), P(-10, 0, 0)});
    SB_ClearPrintedLines();
    SB_WeldMapVertices(map_);
    EXPECT_EQ(map_->Faces[1].V[1].X == 0.0, r.welded) << r.offset << " " << r.firstAt;
    EXPECT_TRUE(Printed("Welding nearest vertices 100/100 welded " + std::to_string(r.welded) + " vertices..."));
  }
}

// Random scenes with corners about 0.2 apart and first corners near the
// edge of the box: the hashed weld gives the plain loop's result exactly.
TEST_F(Construct, HashedWeldEqualsThePlainLoop) {
  for (uint32_t seed = 1; seed <= 5; ++seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> gap(0.19, 0.21), spot(-1, 1), unit(0, 1);
    map_->NbFaces = 0;
    for (int i = 0; i < 400; ++i) {
      const double cx = 4 * std::floor(spot(random) * 3), cy = 4 * std::floor(spot(random) * 3);
      std::vector<TLMAPVERTEX> v;
      for (int k = 0; k < 3; ++k) v.push_back(P(cx + gap(random) * std::floor(unit(random) * 3), cy, gap(random) * k));
      if (unit(random) < 0.2) v[0].X = cx + (unit(random) < 0.5 ? 511.9 : 512.0);
      Add(v);
    }
    std::vector<TLMAPFACE> copy(map_->Faces, map_->Faces + map_->NbFaces);
    TLMAP other{map_->NbFaces, copy.data(), map_->NbFaces};
    const int32_t reference = SB_WeldMapVerticesReference(&other);
    EXPECT_EQ(SB_WeldMapVerticesHashed(map_), reference) << seed;
    EXPECT_GT(reference, 0);
    EXPECT_EQ(std::memcmp(copy.data(), map_->Faces, copy.size() * sizeof(TLMAPFACE)), 0) << seed;
  }
}

// Faces repeated many times, some with a first corner outside the box of
// the others, some a little apart: the corners already at a point are
// counted without being visited, and the count and the corners stay those
// of the plain loop.
TEST_F(Construct, HashedWeldOfRepeatedFacesEqualsThePlainLoop) {
  std::mt19937 random(67);
  std::uniform_real_distribution<double> unit(0, 1);
  map_->NbFaces = 0;
  for (int i = 0; i < 300; ++i) {
    std::vector<TLMAPVERTEX> v = {P(1, 1, 0), P(2, 1, 0), P(1, 2, 0)};
    if (unit(random) < 0.2) v[0] = P(600, 1, 0);    // its other corners out of the box
    if (unit(random) < 0.2) v[1].X += 0.1;          // welded back onto (2, 1, 0)
    if (unit(random) < 0.1) v[0].Y += 0.15;         // a first corner that moves
    Add(v);
  }
  std::vector<TLMAPFACE> copy(map_->Faces, map_->Faces + map_->NbFaces);
  TLMAP other{map_->NbFaces, copy.data(), map_->NbFaces};
  const int32_t reference = SB_WeldMapVerticesReference(&other);
  EXPECT_EQ(SB_WeldMapVerticesHashed(map_), reference);
  EXPECT_GT(reference, 50000);
  EXPECT_EQ(std::memcmp(copy.data(), map_->Faces, copy.size() * sizeof(TLMAPFACE)), 0);
}

TEST_F(Construct, NormalsAndReduction) {
  Add({P(0, 0, 0), P(2, 0, 0), P(0, 0, 2)});
  Add({P(1, 1, 1), P(2, 2, 2), P(3, 3, 3)});
  map_->Faces[1].NormalX = 7;
  SB_CalcMapNormals(map_);
  const TLMAPFACE& f = map_->Faces[0];
  EXPECT_EQ(std::vector<double>({f.NormalX, f.NormalY, f.NormalZ}), std::vector<double>({0, 1, 0}));
  EXPECT_EQ(map_->Faces[1].NormalX, 7);  // degenerate: kept
  map_->Faces[0].V[0] = {100, -256, 0, 0.5, 0.25};
  SB_ReduceMap(map_);
  const TLMAPVERTEX& v = map_->Faces[0].V[0];
  EXPECT_EQ(std::vector<double>({v.X, v.Y, v.Z, v.U, v.V}), std::vector<double>({89, 0, 64, 0.5, 0.25}));
}

TEST_F(Construct, BumpsBetweenRoadFacesAreReported) {
  const double s = 100 * std::sin(10 * M_PI / 180), c = 100 * std::cos(10 * M_PI / 180);
  Add({P(0, 30, 0), P(100, 30, 0), P(0, 30, 100)});
  Add({P(0, 30, 0), P(0, 30 + s, -c), P(100, 30, 0)});
  Add({P(0, 30, 0), P(0, 90, 0), P(100, 30, 0)}, "MUR1");  // a wall: never compared
  SB_CalcMapNormals(map_);
  const std::string file = Path("BOSSES.TXT");
  struct Row {
    double threshold;
    bool file;
    int bumps;
  } rows[] = {{0.05, false, 0}, {5, true, 1}, {15, true, 0}};
  for (const Row& r : rows) {
    std::remove(file.c_str());
    SB_Var.FindBosses = r.threshold;
    SB_DetectBumps(map_);
    ASSERT_EQ(ztest::FileExists(file), r.file) << r.threshold;
    if (!r.file) continue;
    std::string expected = "Detection des bosses...\r\n";
    if (r.bumps)
      expected +=
          "Bosse   1 d'angle 10.00 face     3.33,   -3.00,    3.33\r\n"
          "                        face     3.33,   -3.58,   -3.28\r\n";
    EXPECT_EQ(ztest::ReadFile(file), expected) << r.threshold;
  }
}

TEST_F(Construct, StagesRunInOrderAndSetTheFlags) {
  Add({P(100, 0, 0), P(110, 0, 0), P(100, 0, 10)});
  Add({P(100.1, 0, 0), P(90, 0, 0), P(100, 0, 10)});
  ASSERT_EQ(SB_ConstructMap(map_), 1);
  EXPECT_TRUE(Printed("ASC to DEC conversion algorithm..."));
  EXPECT_EQ(SB_Var.TFMapReady, 1);
  EXPECT_EQ(map_->Faces[1].V[0].X, 100);  // left welded
  EXPECT_EQ(std::vector<int32_t>({SB_Var.Decor.Loaded, SB_Var.Decor.NewlyLoaded}), std::vector<int32_t>({1, 1}));
  // Both cube passes (the pair joined into one face in each), then the sets.
  const std::vector<std::string> expected = {"Map conversion :  100/100", "Map conversion :  100/100",
                                             "Map after constructions: (2 f) (3 v) (3 wv) (1 c) (1 c10)"};
  std::vector<std::string> lines;
  for (const std::string& l : SB_PrintedLines())
    if (l.rfind("Map ", 0) == 0) lines.push_back(l);
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(SB_Var.Decor.NbSeenEntitysList, 1);
  SB_SaveDecor("SOFT.DEC");
  SB_FreeDecor();
  // The accelerator builds the same map, cubes and all: one map file
  // serves every renderer.
  SB_Var.Renderer = SB_RENDERER_PVR;
  SB_ClearPrintedLines();
  ASSERT_EQ(SB_ConstructMap(map_), 1);
  EXPECT_NE(SB_Var.Decor.BigEntitys, nullptr);
  EXPECT_EQ(SB_Var.Decor.Loaded, 1);
  SB_SaveDecor("PVR.DEC");
  const std::string soft = ztest::ReadFile(Path("SOFT.DEC"));
  EXPECT_EQ(soft[15], SB_MAPWITHCUBES);
  EXPECT_EQ(ztest::ReadFile(Path("PVR.DEC")), soft);
}

TEST_F(Construct, ARefusedAllocationBuildsNothingAndKeepsNothing) {
  Add({P(0, 0, 0), P(10, 0, 0), P(0, 0, 10)});
  SB_Var.GameHeap = LS_GetHeap(1 << 20);
  EXPECT_EQ(SB_ConstructMap(map_), 0);
  EXPECT_TRUE(Printed("Memory allocation error..."));
  EXPECT_EQ(SB_Var.NbMemOwners, 2);  // the test's map only
  EXPECT_EQ(SB_Var.Decor.BigEntitys, nullptr);
}

}  // namespace

namespace {

TEST_F(Construct, AReportThatCannotBeCreatedLeavesTheConstructionGoing) {
  Add({P(0, 0, 0), P(10, 0, 0), P(0, 0, 10)});
  ztest::WriteFile(Path("BOSSES.TXT/BLOCK"), "");  // a folder where the file would go
  SB_Var.FindBosses = 5;
  EXPECT_EQ(SB_ConstructMap(map_), 1);
  EXPECT_TRUE(Printed("Cannot create bosses.txt !!!"));
  EXPECT_TRUE(Printed("Detection des bosses..."));
}

}  // namespace
