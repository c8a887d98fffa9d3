// The Route tool on the map at scale 4: points inserted near the curve and
// appended far from it, dragged with the selection, deleted, selected by
// box and keys, and the edited line saved and read back.
#include <cstring>

#include "tests/tools/sceneedit/sceneedit_fixture.h"
#include "tools/bsplines.h"
#include "track/bspline.h"

namespace {

using ztest::kLeft;
using ztest::kRight;
using ztest::SceneEditor;

constexpr int32_t kShift = 16, kD = 68, kN = 78, kA = 65;

// A straight line along x at z = 0 from -100 to 100 m (pixels 295..345 on
// row 240), the Route tool chosen.
class Route : public SceneEditor {
 protected:
  void SetUp() override {
    SceneEditor::SetUp();
    SetLine({{-100, 3, 0}, {0, 3, 0}, {100, 3, 0}});
    SB_GetBsplinesAngles();
    ChooseTool(SB_TOOLROUTE);
  }
  void TearDown() override {
    SB_FreeBsplinePoints();
    SceneEditor::TearDown();
  }
  void RightClick(int32_t x, int32_t y) {
    Frame(0, x, y);
    Frame(kRight, x, y);
    Frame(0, x, y);
  }
  std::vector<uint32_t> Selection() const {
    return std::vector<uint32_t>(SB_Var.BsplineSelected, SB_Var.BsplineSelected + SB_Var.NbRaceLinePoints);
  }
};

TEST_F(Route, TenMetresAwayInsertsAndTwentyFiveAppends) {
  SB_Var.MapOriginZ = 2.0;  // row 238 is z = 10 m
  RightClick(308, 238);     // x = -48 m, over segment 0
  ASSERT_EQ(SB_Var.NbRaceLinePoints, 4);
  EXPECT_EQ(SB_Var.NearBspline, 1);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[1].x, -48.0);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[1].y, 0.0);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[1].z, 10.0);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[2].x, 0.0);
  SB_Var.MapOriginZ = 1.0;  // row 234 is z = 25 m
  Frame(0, 340, 234);
  EXPECT_EQ(SB_Var.NearBspline, 0);
  RightClick(340, 234);
  ASSERT_EQ(SB_Var.NbRaceLinePoints, 5);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[4].x, 80.0);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[4].y, 0.0);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[4].z, 25.0);
  EXPECT_EQ(Selection(), (std::vector<uint32_t>{0, 0, 0, 0, 0}));
}

TEST_F(Route, ARightDragMovesTheSelectionAndTheMetreTableFollows) {
  SB_Var.BsplineSelected[2] = 1;
  Frame(0, 345, 240);
  Frame(kRight, 345, 240);
  EXPECT_EQ(SB_Var.NbRaceLinePoints, 3);  // nothing added with a selection
  Frame(kRight, 346, 238);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[2].x, 104.0);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[2].z, 8.0);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[2].y, 3.0);
  ASSERT_GT(SB_Var.NbBsplineMeters, 0);
  const TVECTOR last = SB_Var.BsplineMeters[SB_Var.NbBsplineMeters - 1];
  Frame(kRight, 346, 236);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[2].z, 16.0);
  EXPECT_NE(std::memcmp(&last, &SB_Var.BsplineMeters[SB_Var.NbBsplineMeters - 1], sizeof last), 0);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[0].x, -100.0);
}

TEST_F(Route, ShiftDDeletesTheSelectionAndAlwaysResamples) {
  SB_FreeBsplinesMeters();
  Frame(0, 500, 400, {kShift, kD});
  EXPECT_EQ(SB_Var.NbRaceLinePoints, 3);
  EXPECT_NE(SB_Var.BsplineMeters, nullptr);
  SB_Var.BsplineSelected[0] = SB_Var.BsplineSelected[2] = 1;
  Frame(0, 500, 400, {kShift, kD});
  ASSERT_EQ(SB_Var.NbRaceLinePoints, 1);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[0].x, 0.0);
  EXPECT_EQ(Selection(), std::vector<uint32_t>{0});
}

TEST_F(Route, ABoxFlipsTheSelection) {
  SB_Var.BsplineSelected[1] = 1;
  Frame(0, 300, 230);
  Frame(kLeft, 300, 230);
  Frame(kLeft, 350, 250);  // over points 1 and 2
  Frame(0, 350, 250);
  EXPECT_EQ(Selection(), (std::vector<uint32_t>{0, 0, 1}));
  EXPECT_EQ(SB_Var.EditRectLeft, 300);
  EXPECT_EQ(SB_Var.EditRectBottom, 250);
}

TEST_F(Route, AReleaseOverTheToolsWindowAppliesNoBox) {
  Frame(0, 360, 260);
  Frame(kLeft, 360, 260);
  Frame(kLeft, 350, 250);  // a box over no point, then dragged over the window
  Frame(kLeft, 30, 100);
  Frame(0, 30, 100);
  EXPECT_EQ(Selection(), (std::vector<uint32_t>{0, 0, 0}));
}

TEST_F(Route, NClearsAndASelectsAll) {
  SB_Var.BsplineSelected[1] = 1;
  Frame(0, 500, 400, {kN});
  EXPECT_EQ(Selection(), (std::vector<uint32_t>{0, 0, 0}));
  Frame(0, 500, 400, {kA});
  EXPECT_EQ(Selection(), (std::vector<uint32_t>{1, 1, 1}));
  Frame(0, 500, 400, {kN, kA});
  EXPECT_EQ(Selection(), (std::vector<uint32_t>{1, 1, 1}));
}

TEST_F(Route, AtAThousandPointsNothingIsAdded) {
  std::vector<TVECTOR> many;
  for (int32_t i = 0; i < SB_MAXRACELINEPOINTS; ++i) many.push_back({i * 0.5, 0.0, 0.0});
  SetLine(many);
  RightClick(600, 100);
  EXPECT_EQ(SB_Var.NbRaceLinePoints, SB_MAXRACELINEPOINTS);
}

TEST_F(Route, AnEditedLineSavedAndLoadedBack) {
  RightClick(500, 100);  // appended far away
  SB_Var.MapOriginZ = 2.0;
  RightClick(308, 238);  // inserted
  ASSERT_EQ(SB_Var.NbRaceLinePoints, 5);
  const std::vector<TVECTOR> edited(SB_Var.RaceLinePoints, SB_Var.RaceLinePoints + 5);
  SB_SaveBsplines("EDITED.BSP");
  SB_SaveBsplinesMeters("METRES.BSP");
  SetLine({});
  ASSERT_EQ(SB_LoadBsplines("EDITED.BSP"), 1);
  ASSERT_EQ(SB_Var.NbRaceLinePoints, 5);
  EXPECT_EQ(std::memcmp(edited.data(), SB_Var.RaceLinePoints, sizeof(TVECTOR) * 5), 0);
  SB_Var.Decor.NewlyLoaded = 1;  // the track reads its centre line with a new map
  ASSERT_EQ(SB_LoadBsplinesMeters("METRES.BSP"), 1);
  SB_Var.Decor.NewlyLoaded = 0;
  EXPECT_EQ(SB_Var.NbBsplinePoints, SB_Var.NbBsplineMeters);
}

// Lines whose end points lie near the double range's end: where twice an
// end point overflows, the curve's first and last segments are not
// numbers and are left out; the segments next to them reach far out and
// are clipped; the segment between is drawn and hit as usual. Each line
// is saved and loaded as LOADBSPLINE loads it. Under the sanitizers a
// pixel computed from a curve point that is not a number is a report.
TEST_F(Route, LinesEndingNearTheDoubleLimitDrawTheirFinitePart) {
  const uint32_t curve = SB_ToolPixel(view_, 192, 0, 0);
  for (const double end : {1e308, -1e308, 9e307, -9e307, 8e307, -8e307}) {
    // The middle segment runs up column 320 from row 228 (z = 50 m) to
    // row 215 (z = 100 m).
    SetLine({{end, 0, end}, {0, 0, 0}, {0, 0, 50}, {0, 0, 100}, {0, 0, 150}, {end, 0, end}});
    SB_SaveBsplines("FAR.BSP");
    SetLine({});
    ASSERT_EQ(SB_LoadBsplines("FAR.BSP"), 1) << end;
    ASSERT_EQ(SB_Var.NbRaceLinePoints, 6) << end;
    LS_ClearBmap(view_);
    Frame(0, 500, 400);
    int32_t drawn = 0;
    for (int32_t y = 217; y <= 226; ++y) drawn += Pixel(320, y) == curve;
    EXPECT_EQ(drawn, 10) << end;
    for (const int32_t y : {240, 228, 215, 203}) EXPECT_NE(Pixel(320, y), 0u) << end << " " << y;  // the points
    RightClick(322, 222);  // 8 m beside the middle segment: inserted into it
    ASSERT_EQ(SB_Var.NbRaceLinePoints, 7) << end;
    EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[3].x, 8.0) << end;
    EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[3].z, 72.0) << end;
  }
}

}  // namespace
