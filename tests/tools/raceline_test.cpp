// The race line: the Catmull-Rom point, the resampling every metre, the
// segment distance and the search under the mouse.
#include <cmath>
#include <cstring>

#include "tests/tools/tools_fixture.h"
#include "tools/trackedit/catmullrom.h"
#include "track/types.h"

namespace {

using RaceLine = ztest::ToolsTest;

bool Same(const TVECTOR& a, const TVECTOR& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST_F(RaceLine, TheCurvePassesThroughItsPointsAndKeepsEvenPointsEven) {
  const TVECTOR p0 = {-7.3, 1e3, 0.1}, p1 = {1.0 / 3, -2.7, 9.9}, p2 = {1e-3, 5.5, -4.25}, p3 = {88, -1, 0.7};
  TVECTOR r;
  CalcCatmullRomPoint(&r, &p0, 0.0, &p1, &p2, &p3);
  EXPECT_TRUE(Same(r, p1));
  CalcCatmullRomPoint(&r, &p0, 1.0, &p1, &p2, &p3);
  EXPECT_TRUE(Same(r, p2));
  const TVECTOR e[4] = {{0, 0, 0}, {1, 2, 3}, {2, 4, 6}, {3, 6, 9}};
  for (double t : {0.1, 0.25, 0.5, 0.9, 1.5}) {  // 1.5 extrapolates
    CalcCatmullRomPoint(&r, &e[0], t, &e[1], &e[2], &e[3]);
    EXPECT_NEAR(r.x, 1 + t, 1e-12) << t;
    EXPECT_NEAR(r.y, 2 + 2 * t, 1e-12) << t;
    EXPECT_NEAR(r.z, 3 + 3 * t, 1e-12) << t;
  }
}

TEST_F(RaceLine, TenMetresGiveElevenMetrePointsEachAMetreOn) {
  SetLine({{0, 0, 0}, {10, 0, 0}});
  SB_GetBsplinesAngles();
  ASSERT_EQ(SB_Var.NbBsplineMeters, 11);
  for (int k = 0; k < 11; ++k) EXPECT_NEAR(SB_Var.BsplineMeters[k].x, k + 1, 0.011) << k;
  SetLine({{3, 4, 5}});  // one point: no curve
  SB_GetBsplinesAngles();
  EXPECT_EQ(SB_Var.NbBsplineMeters, 0);
  EXPECT_NE(SB_Var.BsplineMeters, nullptr);
}

TEST_F(RaceLine, LongStepsRepeatTheirPointAndTheTableStopsAtItsEnd) {
  SetLine({{0, 0, 0}, {0, 0, 2300}});  // steps of 2.3 m: the first passes 0, 1 and 2 m
  SB_GetBsplinesAngles();
  EXPECT_NEAR(SB_Var.NbBsplineMeters, 2301, 1);
  EXPECT_TRUE(Same(SB_Var.BsplineMeters[0], SB_Var.BsplineMeters[2]));
  EXPECT_NEAR(SB_Var.BsplineMeters[0].z, 1.0, 1e-9);
  EXPECT_NEAR(SB_Var.BsplineMeters[3].z, 3.3, 1e-9);
  EXPECT_TRUE(Printed().empty());
  SetLine({{0, 0, 0}, {30000, 0, 0}, {60000, 0, 0}});
  for (int twice = 0; twice < 2; ++twice) {
    SB_GetBsplinesAngles();
    EXPECT_EQ(SB_Var.NbBsplineMeters, SB_MAXBSPLINEMETERS);
    EXPECT_EQ(Printed(), std::vector<std::string>{"Bspline cut at 10000 m !!!"});  // once a resampling
  }
  SetLine({{1, 0, 1}, {1, 50, 1}});  // straight up: no ground direction
  SB_GetBsplinesAngles();
  EXPECT_EQ(SB_Var.NbBsplineMeters, 0);
}

// Far points make steps of many metres each, counted at once: every line
// ends, the table full and its cut reported. Equal points make no step,
// whatever the rounding of their curve. Where the curve leaves the world
// a map position can name (about 6,710 km each way), the table is cut
// there with that reason.
TEST_F(RaceLine, FarPointsEndAndEqualPointsMakeNoPoint) {
  const TVECTOR a = {0.1, 0.2, 0.3}, far = {5e5, 3.7, -5e5}, farther = {-7.3e9, 1e3, 0.1};
  std::vector<TVECTOR> tenWithAFarOne, onlyFar;
  for (int k = 0; k < 10; ++k) {
    tenWithAFarOne.push_back({k * 100.0, 0, k == 3 ? 1e170 : 0});
    onlyFar.push_back({k * 100.0, 0, 1e170});
  }
  const struct {
    const char* what;
    std::vector<TVECTOR> line;
    int32_t meters;
    int32_t cut;  // why, 0 not cut
  } rows[] = {
      {"three equal points", {a, a, a}, 0, 0},
      {"three equal points 500 km out", {far, far, far}, 0, 0},
      {"three equal points at 7e9", {farther, farther, farther}, 0, SB_BSPLINE_TOOFAR},
      {"a point 1e9 away", {{0, 0, 0}, {1e9, 0, 0}}, SB_MAXBSPLINEMETERS, SB_BSPLINE_TOOLONG},
      {"a point 1e12 away", {{0, 0, 0}, {0, 0, 1e12}, {0, 0, 0}}, 0, SB_BSPLINE_TOOFAR},
      {"a point 1e150 away", {{0, 0, 0}, {1e150, 0, 1e150}}, 0, SB_BSPLINE_TOOFAR},
      {"a point 1e300 away", {{0, 0, 0}, {1e300, 0, 1e300}}, 0, SB_BSPLINE_TOOFAR},
      {"1e300 and -1e300", {{1e300, 0, 0}, {-1e300, 0, 0}}, 0, SB_BSPLINE_TOOFAR},
      {"1e170 between points 100 m apart", tenWithAFarOne, 101, SB_BSPLINE_TOOFAR},
      {"only far points, 800 m apart", onlyFar, 0, SB_BSPLINE_TOOFAR},
      {"far points, then near ones", {{0, 0, 1e20}, {9, 0, 1e20}, {0, 0, 0}, {9, 0, 0}}, 0, SB_BSPLINE_TOOFAR},
  };
  for (const auto& r : rows) {
    SetLine(r.line);
    SB_GetBsplinesAngles();
    EXPECT_EQ(SB_Var.NbBsplineMeters, r.meters) << r.what;
    EXPECT_EQ(SB_BsplineMetersCut(), r.cut) << r.what;
    EXPECT_EQ(Printed(), r.cut == 0 ? std::vector<std::string>{}
                         : r.cut == SB_BSPLINE_TOOLONG
                             ? std::vector<std::string>{"Bspline cut at 10000 m !!!"}
                             : std::vector<std::string>{"Bspline cut at " + std::to_string(r.meters) +
                                                        " m: the line leaves the map, 6710 km from its origin !!!"})
        << r.what;
  }
}

// The same line laid at the origin and moved out, along x and along z:
// inside the map's world it keeps every metre, beyond it it is cut where
// it leaves, with that reason. A line whose metres fill the table exactly
// is whole; one metre more is cut as too long.
TEST_F(RaceLine, ALineKeepsEveryMetreOrIsCutWithItsReason) {
  const double out = 6710886.0;  // the world's edge, less a fraction of a metre
  const struct {
    const char* what;
    std::vector<TVECTOR> line;
    int32_t meters;
    int32_t cut;
  } rows[] = {
      {"at the origin", {}, 3316, 0},
      {"6,000 km out along x", {}, 3316, 0},
      {"6,000 km out along z", {}, 3316, 0},
      {"at 1e10 m", {}, 0, SB_BSPLINE_TOOFAR},
      {"at 1e12 m", {}, 0, SB_BSPLINE_TOOFAR},
      {"at 5e12 m", {}, 0, SB_BSPLINE_TOOFAR},
      {"up to the world's edge", {{out - 100.5, 0, 0}, {out, 0, 0}}, 101, 0},
      {"a metre past the world's edge", {{out - 100.5, 0, 0}, {out + 1, 0, 0}}, 101, SB_BSPLINE_TOOFAR},
      {"below its edge", {{0, -out - 1, 0}, {0, -out - 1, 10}}, 0, SB_BSPLINE_TOOFAR},
      // From a point on the edge (the curve starts there exactly) inward.
      {"from its edge along x", {{SB_WORLDMETRES, 0, 0}, {SB_WORLDMETRES - 0.5, 0, 0}}, 1, 0},
      {"from its edge along y (no ground step)", {{0, -SB_WORLDMETRES, 0}, {0, 0.5 - SB_WORLDMETRES, 0}}, 0, 0},
      {"from its edge along z", {{0, 0, SB_WORLDMETRES}, {0, 0, SB_WORLDMETRES - 0.5}}, 1, 0},
      {"9,999 m: the table exactly full", {{0, 0, 0}, {9999, 0, 0}}, SB_MAXBSPLINEMETERS, 0},
      {"10,000 m: one metre more", {{0, 0, 0}, {10000, 0, 0}}, SB_MAXBSPLINEMETERS, SB_BSPLINE_TOOLONG},
  };
  // Seven points out to 3,300 m, with bends, moved by each row's offset.
  const TVECTOR shape[] = {{0, 0, 0}, {500, 3, 40}, {1100, 0, -30}, {1650, 5, 0}, {2200, 0, 60}, {2800, 2, 0},
                           {3300, 0, 10}};
  const TVECTOR offsets[] = {{0, 0, 0}, {6e6, 0, 0}, {0, 0, -6e6}, {1e10, 0, 0}, {0, 0, 1e12}, {5e12, 0, 5e12}};
  for (size_t k = 0; k < std::size(rows); ++k) {
    const auto& r = rows[k];
    std::vector<TVECTOR> line = r.line;
    if (line.empty())
      for (const TVECTOR& p : shape) line.push_back({p.x + offsets[k].x, p.y + offsets[k].y, p.z + offsets[k].z});
    SetLine(line);
    SB_GetBsplinesAngles();
    Printed();
    EXPECT_EQ(SB_BsplineMetersCut(), r.cut) << r.what;
    EXPECT_EQ(SB_Var.NbBsplineMeters, r.meters) << r.what;
  }
}

TEST_F(RaceLine, SegmentDistance) {
  const TVECTOR a = {0, 0, 0}, b = {10, 0, 0}, c = {1, 0, 1};
  const struct {
    const char* what;
    const TVECTOR *from, *to;
    TVECTOR p;
    double d2;
  } rows[] = {
      {"inside, height ignored", &a, &b, {5, 7, 3}, 9},
      {"before a", &a, &b, {-3, 0, 4}, 25},
      {"past b", &a, &b, {13, 0, 4}, 25},
      {"zero length", &c, &c, {4, 0, 5}, 25},
  };
  for (const auto& r : rows) EXPECT_DOUBLE_EQ(SB_SegmentDist2(r.from, r.to, &r.p), r.d2) << r.what;
}

TEST_F(RaceLine, TheSearchTakesTheGroundPointUnderTheMouse) {
  double d2 = 0;
  SB_Var.EditTileSize = 16;
  SB_Var.MouseX = 320, SB_Var.MouseY = 240;  // (12.8, 0, 12.8) m
  SetLine({{0, 0, 12.8}});
  EXPECT_EQ(SB_FindNearestBsplineSegment(&d2), -1);
  EXPECT_EQ(d2, 1e11);
  SetLine({{20.8, 0, 0}, {20.8, 0, 6}, {20.8, 0, 12.8}, {20.8, 0, 30}});
  EXPECT_EQ(SB_FindNearestBsplineSegment(&d2), 1);
  EXPECT_NEAR(d2, 64.0, 1e-9);
  // Through the point twice, at the end of segment 0 and the start of 1.
  SetLine({{12.8, 0, 0}, {12.8, 0, 12.8}, {12.8, 0, 25.6}});
  EXPECT_EQ(SB_FindNearestBsplineSegment(&d2), 0);
  EXPECT_EQ(d2, 0.0);
  SB_Var.EditScrollX = 1;  // one tile further: 12.8 m
  EXPECT_EQ(SB_FindNearestBsplineSegment(&d2), 0);
  EXPECT_NEAR(d2, 12.8 * 12.8, 1e-6);
  SB_Var.EditTileSize = 0;  // no top view yet
  EXPECT_EQ(SB_FindNearestBsplineSegment(&d2), -1);
  EXPECT_EQ(d2, 1e11);
}

}  // namespace
