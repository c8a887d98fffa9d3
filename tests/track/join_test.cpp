// Joining aligned faces and the texture-repeat cuts, on face lists built in
// code: which pairs join or flip, the tolerances of the two series, and
// the pieces of the repeat cuts.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "system/heap.h"
#include "tests/track/track_fixture.h"
#include "track/cubes.h"

namespace {

// A point of the plane y = 0 mapped u = x / 100, v = z / 100 (or as given).
TLMAPVERTEX P(double x, double z) { return {x, 0, z, x / 100, z / 100}; }
TLMAPVERTEX P(double x, double z, double u, double v) { return {x, 0, z, u, v}; }

class Join : public ztest::TrackTest {
 protected:
  // A list of the triangles (materials "ROAD" unless given) with normals.
  TLMAP* List(const std::vector<std::vector<TLMAPVERTEX>>& faces, const char* second = "ROAD") {
    const uint32_t capacity = std::max<uint32_t>(64, static_cast<uint32_t>(faces.size()));
    faces_.assign(capacity, TLMAPFACE{});
    list_ = TLMAP{static_cast<uint32_t>(faces.size()), faces_.data(), capacity, "SB_InitMapConversion"};
    for (size_t i = 0; i < faces.size(); ++i) {
      for (int k = 0; k < 3; ++k) faces_[i].V[k] = faces[i][k];
      // The field holds 15 bytes with no room for a terminator.
      const char* name = i ? second : "ROAD";
      std::memcpy(faces_[i].Material, name, strnlen(name, sizeof faces_[i].Material));
    }
    SB_CalcMapNormals(&list_);
    return &list_;
  }
  // Joins the faces with the plain sweep and with the sweep that visits
  // only the faces near each pair: the two give the same bytes. The plain
  // result's face count.
  size_t ExpectSweepsAgree(const std::vector<std::vector<TLMAPVERTEX>>& faces, const std::string& label) {
    std::vector<TLMAPFACE> plain;
    for (void (*join)(TLMAP*) : {SB_JoinClusterPlain, SB_JoinCluster}) {
      SB_Var.JoinTolerance = SB_Var.JoinLineTolerance = 0.001;
      TLMAP* list = List(faces);
      join(list);
      if (join == SB_JoinClusterPlain) {
        plain.assign(list->Faces, list->Faces + list->NbFaces);
        continue;
      }
      EXPECT_EQ(list->NbFaces, plain.size()) << label;
      if (list->NbFaces == plain.size()) {
        EXPECT_EQ(std::memcmp(list->Faces, plain.data(), plain.size() * sizeof(TLMAPFACE)), 0) << label;
      }
    }
    return plain.size();
  }
  std::vector<TLMAPFACE> faces_;
  TLMAP list_{};
};

// Halves of the triangle (0,0) (20,0) (0,20), cut from (0,20) to (10,0):
// B's third corner (20,0) lies on the line from the shared (10,0) through
// A's third corner (0,0). The mirror of (20,0) across the shared edge is
// (4,-8): mapping B through it mirrors its texture.
TEST_F(Join, PairsJoinOnlyAlongALineWithOneMaterialAndOneMapping) {
  const struct {
    std::vector<std::vector<TLMAPVERTEX>> faces;
    const char* material;
    uint32_t left;
  } rows[] = {
      {{{P(0, 0), P(10, 0), P(0, 20)}, {P(10, 0), P(20, 0), P(0, 20)}}, "ROAD", 1},
      {{{P(0, 0), P(10, 0), P(0, 20)}, {P(10, 0), P(20, 0), P(0, 20)}}, "WALL", 2},
      {{{P(0, 0), P(10, 0), P(0, 20)}, {P(10, 0), P(20, 0, 0.04, -0.08), P(0, 20)}}, "ROAD", 2},
      {{{P(0, 0), P(10, 0), P(10, 10)}, {P(0, 0), P(10, 10), P(0, 10)}}, "ROAD", 2},  // a square
  };
  for (const auto& r : rows) {
    TLMAP* list = List(r.faces, r.material);
    SB_JoinSeriesFine(list);
    ASSERT_EQ(list->NbFaces, r.left) << r.material;
    if (r.left != 1) continue;
    for (const TLMAPVERTEX& v : list->Faces[0].V) EXPECT_TRUE(v.X + v.Z == 20 || (v.X == 0 && v.Z == 0));
  }
}

TEST_F(Join, TheSquaresDiagonalFlipsOnlyUnderOneMapping) {
  TLMAP* list = List({{P(0, 0), P(10, 0), P(10, 10)}, {P(0, 0), P(10, 10), P(0, 10)}});
  ASSERT_EQ(SB_FlipDiagonal(&list->Faces[0], &list->Faces[1]), 1);
  for (const TLMAPFACE& f : {list->Faces[0], list->Faces[1]}) {
    int onDiagonal = 0;
    for (const TLMAPVERTEX& v : f.V) onDiagonal += v.X + v.Z == 10;
    EXPECT_EQ(onDiagonal, 2);
  }
  list = List({{P(0, 0), P(10, 0), P(10, 10)}, {P(0, 0), P(10, 10), P(0, 10, 0.2, 0.1)}});
  EXPECT_EQ(SB_FlipDiagonal(&list->Faces[0], &list->Faces[1]), 0);
}

TEST_F(Join, TolerancesOfTheSeries) {
  SB_Var.JoinTolerance = 0.01;  // u and v: 0.01 / 128
  const struct {
    TLMAPVERTEX b;
    int32_t same;
  } points[] = {{{0.009, 0, 0, 0.00007, 0}, 1}, {{0.011, 0, 0, 0, 0}, 0}, {{0, 0, 0, 0, 0.00008}, 0}};
  const TLMAPVERTEX origin{0, 0, 0, 0, 0};
  for (const auto& p : points) EXPECT_EQ(SB_SamePointUV(&origin, &p.b), p.same) << p.b.X;
  // Corners 0.5 apart: too far for the fine series, near enough for the coarse one.
  const auto faces = std::vector<std::vector<TLMAPVERTEX>>{{P(0, 0), P(10, 0), P(0, 20)},
                                                           {P(10.5, 0, 0.1, 0), P(20, 0), P(0.5, 20, 0, 0.2)}};
  TLMAP* list = List(faces);
  SB_JoinSeriesFine(list);
  EXPECT_EQ(list->NbFaces, 2u);
  EXPECT_EQ(std::make_pair(SB_Var.JoinTolerance, SB_Var.JoinLineTolerance), std::make_pair(0.001, 0.001));
  SB_JoinSeriesCoarse(list);
  EXPECT_EQ(list->NbFaces, 1u);
  EXPECT_EQ(SB_Var.JoinTolerance, 2.0);  // kept for the next user
}

// Random strips of coplanar triangles on a grid with some corners moved:
// visiting only the faces near each pair gives the plain sweep's result.
TEST_F(Join, TheGridSweepEqualsThePlainOne) {
  for (uint32_t seed = 1; seed <= 4; ++seed) {
    std::mt19937 random(seed);
    std::vector<std::vector<TLMAPVERTEX>> faces;
    for (int x = 0; x < 5; ++x)
      for (int z = 0; z < 5; ++z) {
        const double a = 10 * x, b = 10 * z, c = random() % 3 ? 10 : 20;
        faces.push_back({P(a, b), P(a + c, b), P(a + c, b + 10)});
        faces.push_back({P(a, b), P(a + c, b + 10), P(a, b + 10)});
      }
    EXPECT_LT(ExpectSweepsAgree(faces, std::to_string(seed)), faces.size()) << seed;
  }
}

// Larger shuffled grids whose quads flip back and forth, some joining,
// some with a shifted mapping that changes nothing, so that the faces no
// operation changes lie between the others in the list: passing over them
// gives the plain sweep's result, as does the full sweep where a face
// thought still would change.
TEST_F(Join, SweepsPassingOverStillFacesEqualThePlainOne) {
  const struct {
    int cells;          // per side
    int shiftedInEight;  // faces of every eight with a shifted mapping
  } rows[] = {{8, 0}, {8, 2}, {8, 6}, {6, 4}};
  for (const auto& r : rows)
    for (uint32_t seed = 1; seed <= 3; ++seed) {
      std::mt19937 random(seed);
      std::vector<std::vector<TLMAPVERTEX>> faces;
      for (int x = 0; x < r.cells; ++x)
        for (int z = 0; z < r.cells; ++z) {
          const double a = 10 * x, b = 10 * z, c = random() % 3 ? 10 : 20;
          const bool turned = random() % 2;
          faces.push_back({P(a, b), P(a + c, b), turned ? P(a, b + 10) : P(a + c, b + 10)});
          faces.push_back({turned ? P(a + c, b) : P(a, b), P(a + c, b + 10), P(a, b + 10)});
        }
      for (std::vector<TLMAPVERTEX>& face : faces)
        if (static_cast<int>(random() % 8) < r.shiftedInEight)
          for (TLMAPVERTEX& v : face) v.U += 0.5;
      std::shuffle(faces.begin(), faces.end(), random);
      ExpectSweepsAgree(faces, std::to_string(r.cells) + " " + std::to_string(r.shiftedInEight) + " " +
                                   std::to_string(seed));
    }
}

// A pair first and last in a cluster of faces apart: the corner (10, 0)
// lies 0.0005 off the line from the second face's third corner to the
// first's, but 0.05 off the other way, so only the first face takes the
// second (within 0.001), and only at the pair's own step.
TEST_F(Join, APairFirstAndLastJoinsAtItsOwnStep) {
  std::vector<std::vector<TLMAPVERTEX>> faces = {{P(10, 0), P(0, 20), P(-90, 0)}};
  for (int k = 0; k < 30; ++k) faces.push_back({P(1000 + 50 * k, 0), P(1010 + 50 * k, 0), P(1000 + 50 * k, 10)});
  faces.push_back({P(10, 0), P(0, 20), P(11, 0.0005)});
  EXPECT_EQ(ExpectSweepsAgree(faces, "pair first and last"), faces.size() - 1);
}

TEST_F(Join, TextureRepeatCutsKeepEveryPieceWithinEight) {
  const struct {
    double u0, u1;
    bool cut;
  } rows[] = {{0.2, 20.2, true}, {3.5, 4.5, false}};
  for (const auto& r : rows) {
    TLMAP* list = List({{P(0, 0, r.u0, 0.1), P(100, 0, r.u1, 0.1), P(0, 100, r.u0, 0.3)}});
    SB_SplitTextureRepeats(list);
    EXPECT_EQ(list->NbFaces > 1, r.cut) << r.u1;
    for (uint32_t i = 0; i < list->NbFaces; ++i)
      for (const TLMAPVERTEX& v : list->Faces[i].V) EXPECT_TRUE(v.U >= 0 && v.U <= 8) << r.u1 << " " << v.U;
    if (!r.cut) {
      EXPECT_EQ(std::make_pair(list->Faces[0].V[0].U, list->Faces[0].V[1].U), std::make_pair(0.5, 1.5));
    }
  }
}

// The face (0,0) (100,0) (0,100) and the corners of the faces around it:
// one inside an edge splits the face there (the pieces share the corner,
// with the face's own u and v at it); one off the edge, at an end, or of
// a face too thin to meet anything does not; a list without room keeps
// its T-junction and the build goes on.
TEST_F(Join, CornersInsideAnEdgeSplitTheFace) {
  const struct {
    const char* what;
    std::vector<TLMAPVERTEX> face;
    std::vector<TLMAPVERTEX> corners;
    uint32_t capacity, pieces;
  } rows[] = {
      {"inside the bottom edge", {P(0, 0), P(100, 0), P(0, 100)}, {P(40, 0, 9, 9)}, 64, 2},
      {"within the tolerance of the edge", {P(0, 0), P(100, 0), P(0, 100)}, {P(40, 0.0005, 9, 9)}, 64, 2},
      {"two on the long edge", {P(0, 0), P(100, 0), P(0, 100)}, {P(25, 75), P(75, 25)}, 64, 3},
      {"off the edge", {P(0, 0), P(100, 0), P(0, 100)}, {P(40, 0.01), P(40, -0.01)}, 64, 1},
      {"at an end", {P(0, 0), P(100, 0), P(0, 100)}, {P(0.0005, 0), P(100, 0.0005)}, 64, 1},
      {"beside a sliver", {P(0, 0), P(100, 0), P(50, 0.001)}, {P(30, 0)}, 64, 1},
      {"in a full list", {P(0, 0), P(100, 0), P(0, 100)}, {P(40, 0)}, 1, 1},
  };
  for (const auto& r : rows) {
    TLMAP* list = List({r.face});
    list->Capacity = r.capacity;
    std::vector<TLMAPVERTEX> corners = r.corners;
    corners.insert(corners.end(), r.face.begin(), r.face.end());
    SB_SplitTJunctions(list, 0.001, corners.data(), static_cast<uint32_t>(corners.size()));
    EXPECT_EQ(list->NbFaces, r.pieces) << r.what;
    EXPECT_EQ(SB_Var.MapBuildFailed, 0) << r.what;
    // Every corner inside an edge became a corner of two pieces, with the
    // face's mapping (u = x / 100) there; the pieces cover the face.
    double area = 0;
    for (uint32_t i = 0; i < list->NbFaces; ++i) {
      const TLMAPVERTEX* v = list->Faces[i].V;
      area += std::fabs((v[1].X - v[0].X) * (v[2].Z - v[0].Z) - (v[2].X - v[0].X) * (v[1].Z - v[0].Z)) / 2;
      for (int32_t k = 0; k < 3; ++k) EXPECT_NEAR(v[k].U, v[k].X / 100, 1e-9) << r.what;
    }
    EXPECT_NEAR(area, std::fabs((r.face[1].X - r.face[0].X) * (r.face[2].Z - r.face[0].Z) -
                                (r.face[2].X - r.face[0].X) * (r.face[1].Z - r.face[0].Z)) / 2, 0.05)
        << r.what;
  }
}

TEST_F(Join, CutsBeyondTheListAndUnallocatedWorkListsStopTheBuild) {
  TLMAP* list = List({{P(0, 0, 0, 0), P(100, 0, 30, 0), P(0, 100, 0, 0)}});
  list->Capacity = 2;
  SB_SplitTextureRepeats(list);
  EXPECT_TRUE(Printed("Map error: SB_InitMapConversion full !!!"));
  EXPECT_EQ(SB_Var.MapBuildFailed, 1);
  SB_Var.MapBuildFailed = 0;
  SB_Var.GameHeap = LS_GetHeap(512);
  SB_JoinAlligned(List({{P(0, 0), P(10, 0), P(0, 20)}, {P(10, 0), P(20, 0), P(0, 20)}}));
  EXPECT_TRUE(Printed("Map error: SB_JoinAlligned full !!!"));
  EXPECT_EQ(list_.NbFaces, 2u);
}

}  // namespace
