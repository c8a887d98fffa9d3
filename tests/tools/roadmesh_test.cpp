// The road mesh construction: counts, strips, gutters, walls, the paired
// emission, the bank's lift and the profile's ends, and refused pieces.
#include <cmath>

#include "tests/tools/road_fixture.h"

namespace {

using ztest::Corner;
using ztest::DefaultPiece;
using ztest::FacesOf;

class RoadMesh : public ztest::ToolsTest {
 protected:
  void TearDown() override {
    SB_FreeRoadMesh();
    ztest::ToolsTest::TearDown();
  }
  // The lane point k at sample i, as a road strip of the mesh carries it
  // (heading 0: across the road is +X, along it +Y).
  static const TROADVERTEX* LanePoint(double y, double x) {
    for (int32_t v = 0; v < RoadNbVertices; ++v)
      if (std::fabs(RoadVertices[v].X - x) < 1e-4 && std::fabs(RoadVertices[v].Y - y) < 1e-4) return &RoadVertices[v];
    return nullptr;
  }
};

TEST_F(RoadMesh, Counts) {
  const struct {
    const char* what;
    float length;
    int32_t lanes, simplified, segments, faces;
  } rows[] = {
      {"defaults", 100, 4, 0, 10, 120},
      {"simplified wall", 100, 4, 1, 10, 90},
      {"length 105", 105, 4, 0, 11, 132},
      {"simplified, N = 5: two pairs and one", 50, 4, 1, 5, 2 * 18 + 12},
      {"simplified, N = 1", 10, 4, 1, 1, 12},
      {"three lanes", 100, 3, 0, 10, 120},
      {"no lane", 100, 0, 0, 10, 80},
      {"2,000 m: the texture's longest run", 2000, 4, 0, 200, 2400},
  };
  for (const auto& r : rows) {
    TROADPARAMS p = DefaultPiece();
    p.Length = r.length, p.NbLanes = r.lanes, p.SimplifiedWall = r.simplified;
    EXPECT_EQ(SB_BuildRoadMesh(&p), r.segments) << r.what;
    EXPECT_EQ(RoadNbFaces, r.faces) << r.what;
    EXPECT_EQ(RoadNbVertices, 3 * r.faces) << r.what;
    SB_FreeRoadMesh();
  }
}

TEST_F(RoadMesh, TheFirstFacesAndThePiecesEnd) {
  TROADPARAMS p = DefaultPiece();
  p.Length = 105;
  ASSERT_EQ(SB_BuildRoadMesh(&p), 11);
  EXPECT_STREQ(RoadFaces[0].Material, "mur1 m");
  EXPECT_EQ(RoadFaces[0].A, 0);
  const double first[3][5] = {{-2, 0, 1, 0, 0}, {-2, 0, 0, 1, 0}, {-2, 10, 0, 1, 1}};
  for (int k = 0; k < 3; ++k) {
    const TROADVERTEX& v = Corner(0, k);
    const double got[5] = {v.X, v.Y, v.Z, v.U, v.V};
    for (int c = 0; c < 5; ++c) EXPECT_NEAR(got[c], first[k][c], 1e-6) << k << " " << c;
  }
  EXPECT_NE(LanePoint(110, 0), nullptr);  // 11 segments of 10 m
  EXPECT_EQ(LanePoint(120, 0), nullptr);
}

TEST_F(RoadMesh, StripsAndGutters) {
  TROADPARAMS p = DefaultPiece();
  p.NbLanes = 3;
  ASSERT_EQ(SB_BuildRoadMesh(&p), 10);
  for (const char* strip : {"rout1 c", "rout2 c"}) EXPECT_EQ(FacesOf(strip).size(), 20u) << strip;
  for (int32_t f : FacesOf("rout2 c"))
    for (int k = 0; k < 3; ++k) {
      const TROADVERTEX& v = Corner(f, k);
      EXPECT_TRUE((v.U == 1.0 && v.X > 9.99 && v.X < 10.01) || (v.U == 1.5 && v.X > 14.99 && v.X < 15.01)) << f;
    }
  SB_FreeRoadMesh();
  p.NbLanes = 0;  // the gutters meet at the spine
  ASSERT_EQ(SB_BuildRoadMesh(&p), 10);
  EXPECT_TRUE(FacesOf("rout1 c").empty());
  const std::vector<int32_t> gutters = FacesOf("caniv1 c");
  ASSERT_EQ(gutters.size(), 40u);
  for (int32_t f : gutters)
    for (int k = 0; k < 3; ++k) {
      if (Corner(f, k).U == 1.0) {
        EXPECT_NEAR(Corner(f, k).X, 0.0, 1e-6) << f;
      }
    }
}

TEST_F(RoadMesh, PairsShareTheirWallsAndGutterEdges) {
  TROADPARAMS p = DefaultPiece();
  p.Length = 50, p.SimplifiedWall = 1;
  ASSERT_EQ(SB_BuildRoadMesh(&p), 5);
  // Pair 0-1, then pair 2-3 (18 faces each), then segment 4 alone.
  EXPECT_NEAR(Corner(0, 2).Y, 20, 1e-6);   // the left wall over samples 0 and 2
  EXPECT_NEAR(Corner(18, 2).Y, 40, 1e-6);  // and over 2 and 4
  EXPECT_NEAR(Corner(36, 2).Y, 50, 1e-6);  // segment 4's own wall
  EXPECT_STREQ(RoadFaces[36].Material, "mur1 m");
}

TEST_F(RoadMesh, ANegativeBankLiftsTheSpine) {
  TROADPARAMS p = DefaultPiece();
  p.StartBank = -0.1f;
  ASSERT_EQ(SB_BuildRoadMesh(&p), 10);
  const double lift = 20 * std::tan(0.1);
  for (double y : {0.0, 50.0, 100.0}) {
    ASSERT_NE(LanePoint(y, 0), nullptr);
    EXPECT_NEAR(LanePoint(y, 0)->Z, lift, 1e-5) << y;
    bool found = false;  // lane boundary 4, on the profile
    for (int32_t v = 0; v < RoadNbVertices; ++v)
      if (std::fabs(RoadVertices[v].Y - y) < 1e-4 && std::fabs(RoadVertices[v].X - 20) < 1e-4) {
        found = true;
        EXPECT_NEAR(RoadVertices[v].Z, 0.0, 1e-5) << y;
      }
    EXPECT_TRUE(found) << y;
  }
}

TEST_F(RoadMesh, TheProfileEndsAtItsValues) {
  for (int32_t curve : {0, 1, 2}) {
    TROADPARAMS p = DefaultPiece();
    p.StartZ = 1.1f, p.AltitudeChange = 7.3f, p.SlopeSmooth = 1, p.SlopeCurve = curve;
    p.StartGradient = 0.0009f, p.GradientChange = -0.0009f;  // both below 0.001: curve mode
    ASSERT_EQ(SB_BuildRoadMesh(&p), 10);
    ASSERT_NE(LanePoint(100, 0), nullptr);
    EXPECT_EQ(LanePoint(100, 0)->Z, double{1.1f + 7.3f}) << curve;
    EXPECT_EQ(LanePoint(0, 0)->Z, double{1.1f}) << curve;
    SB_FreeRoadMesh();
  }
  TROADPARAMS p = DefaultPiece();
  p.StartGradient = 0.0011f, p.AltitudeChange = 50;  // gradient mode
  ASSERT_EQ(SB_BuildRoadMesh(&p), 10);
  EXPECT_NEAR(LanePoint(100, 0)->Z, 100 * std::tan(0.0011f), 1e-5);
}

// Every number is checked before anything is made: a refused piece says
// why, and leaves no mesh, no block and no "Creation du circuit..." (the
// dialogue's answers are tried in roadwrite_test.cpp).
TEST_F(RoadMesh, PiecesThatCannotBeBuiltSaySoAndTakeNothing) {
  using Change = void (*)(TROADPARAMS&);
  const struct {
    const char* what;
    Change change;
    const char* message;
  } rows[] = {
      {"base below 1", [](TROADPARAMS& p) { p.BaseLength = 0.99f; }, "Un metre de base mimimum !!!"},
      {"no length", [](TROADPARAMS& p) { p.Length = 0; }, "Un segment minumum !!!"},
      {"negative length", [](TROADPARAMS& p) { p.Length = -5; }, "Un segment minumum !!!"},
      {"length not a number", [](TROADPARAMS& p) { p.Length = std::nanf(""); }, "Nombre invalide !!!"},
      {"infinite length", [](TROADPARAMS& p) { p.Length = INFINITY; }, "Nombre invalide !!!"},
      {"base not a number", [](TROADPARAMS& p) { p.BaseLength = std::nanf(""); }, "Nombre invalide !!!"},
      {"2,501 segments", [](TROADPARAMS& p) { p.Length = 25001; }, "Portion de route trop grande !!!"},
      {"101 lanes", [](TROADPARAMS& p) { p.NbLanes = 101; }, "Portion de route trop grande !!!"},
      {"negative lanes", [](TROADPARAMS& p) { p.NbLanes = -1; }, "Portion de route trop grande !!!"},
      {"2,508 faces", [](TROADPARAMS& p) { p.BaseLength = 1, p.Length = 209; }, "Portion de route trop grande !!!"},
      {"a smoothing of -0.5", [](TROADPARAMS& p) { p.BankSmooth = -0.5f; }, "Smooth entre 0.0 et 1.0 !!!"},
      {"a smoothing of 1.5", [](TROADPARAMS& p) { p.HeadingSmooth = 1.5f; }, "Smooth entre 0.0 et 1.0 !!!"},
      {"a bank rising to 1.6", [](TROADPARAMS& p) { p.BankChange = 1.6f; }, "Virage trop incline !!!"},
      {"a gradient of 1e38 over 100",
       [](TROADPARAMS& p) { p.StartGradient = std::atan2(1e38f, 100.0f); }, "Pente trop forte !!!"},
      {"half a turn right in 50 m", [](TROADPARAMS& p) { p.Length = 50, p.HeadingChange = 3.1415927f; },
       "Virage trop serre !!!"},
      {"half a turn left in 10 m", [](TROADPARAMS& p) { p.Length = 10, p.HeadingChange = -3.1415927f; },
       "Virage trop serre !!!"},
      {"an altitude of 9,000", [](TROADPARAMS& p) { p.SlopeSmooth = 1, p.AltitudeChange = 9000; },
       "Portion de route hors de la carte !!!"},
      {"2,010 m: past the texture's range", [](TROADPARAMS& p) { p.Length = 2010; },
       "Portion de route hors de la carte !!!"},
      {"a start 2,000 km out", [](TROADPARAMS& p) { p.StartX = 2e6f; }, "Portion de route hors de la carte !!!"},
      {"segments of 250 m: faces the reader refuses", [](TROADPARAMS& p) { p.BaseLength = 250, p.Length = 250; },
       "Portion de route hors de la carte !!!"},
      {"lanes no wide", [](TROADPARAMS& p) { p.LaneWidth = 0; }, "Nombre invalide !!!"},
      {"no texture length", [](TROADPARAMS& p) { p.TextureLength = 0; }, "Nombre invalide !!!"},
  };
  for (const auto& r : rows) {
    TROADPARAMS p = DefaultPiece();
    r.change(p);
    EXPECT_EQ(SB_BuildRoadMesh(&p), 0) << r.what;
    EXPECT_EQ(Printed(), std::vector<std::string>{r.message}) << r.what;
    EXPECT_EQ(SB_Var.NbMemOwners, 0) << r.what;
    EXPECT_EQ(RoadNbFaces, 0) << r.what;
  }
  // At the limits: the piece is made.
  const struct {
    const char* what;
    Change change;
    int32_t segments;
  } made[] = {
      {"2,496 faces", [](TROADPARAMS& p) { p.BaseLength = 1, p.Length = 208; }, 208},
      {"a bank of 1.5", [](TROADPARAMS& p) { p.StartBank = 1.5f; }, 10},
      {"a bend of no angle", [](TROADPARAMS& p) { p.StartBank = 0.1f, p.HeadingSmooth = 1; }, 10},
      {"a quarter turn right in 100 m", [](TROADPARAMS& p) { p.HeadingChange = 1.5707964f, p.HeadingSmooth = 1; },
       10},
  };
  for (const auto& r : made) {
    TROADPARAMS p = DefaultPiece();
    r.change(p);
    EXPECT_EQ(SB_BuildRoadMesh(&p), r.segments) << r.what;
    EXPECT_EQ(Printed(), std::vector<std::string>{"Creation du circuit..."}) << r.what;
    SB_FreeRoadMesh();
  }
}

}  // namespace
