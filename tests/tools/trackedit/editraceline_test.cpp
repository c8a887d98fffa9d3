// The race line in the track editor: points added once per right press,
// appended or inserted near the curve, the 1,000-point bound, dragging a
// selection, deleting it, rubber-box and key selections, the perspective
// view, and the view conversions.
#include <cmath>
#include <vector>

#include "shell/gamepicture.h"
#include "tests/tools/trackedit/trackedit_fixture.h"
#include "tools/trackedit/trackedit.h"

namespace {

using ztest::kLeftButton;
using ztest::kRightButton;
constexpr int32_t kShift = 16, kD = 68, kN = 78, kA = 65;

class RaceLineTool : public ztest::TrackEditor {
 protected:
  void SetUp() override {
    TrackEditor::SetUp();
    SB_Edit();
    SB_Var.EditTool = 4;
    Frame();
  }
  static std::vector<uint8_t> Pixels() {
    const BMAP* b = SB_Var.TextScreen;
    LS_LockBmap(SB_Var.TextScreen);
    std::vector<uint8_t> out;
    for (int32_t y = 0; y < 480; ++y) out.insert(out.end(), b->Start + y * b->ByteLen, b->Start + y * b->ByteLen + 640);
    LS_UnlockBmap(SB_Var.TextScreen);
    return out;
  }
  static std::vector<int32_t> Selection() {
    return std::vector<int32_t>(SB_Var.BsplineSelected, SB_Var.BsplineSelected + SB_Var.NbRaceLinePoints);
  }
};

TEST_F(RaceLineTool, ARightPressAddsOnePointAndNearTheCurveInsertsIt) {
  Frame({kRightButton}, 320, 240);
  ASSERT_EQ(SB_Var.NbRaceLinePoints, 1);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[0].x, 4096 * 0.003125);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[0].y, 0.0);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[0].z, 4096 * 0.003125);
  for (int i = 0; i < 3; ++i) Frame({kRightButton}, 400 + i * 10, 240);  // held: nothing more
  EXPECT_EQ(SB_Var.NbRaceLinePoints, 1);
  Frame();
  Frame({kRightButton}, 420, 240);  // far from the first point: appended
  Frame();
  ASSERT_EQ(SB_Var.NbRaceLinePoints, 2);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[1].x, (4096 + 100 * 256) * 0.003125);
  Frame({kRightButton}, 370, 242);  // on the curve between them: inserted
  Frame();
  ASSERT_EQ(SB_Var.NbRaceLinePoints, 3);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[0].x, 4096 * 0.003125);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[1].x, (4096 + 50 * 256) * 0.003125);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[2].x, (4096 + 100 * 256) * 0.003125);
  EXPECT_GT(SB_Var.NbBsplineMeters, 60);  // the metre table follows
}

TEST_F(RaceLineTool, AFullLineTakesNoPoint) {
  SB_Var.NbRaceLinePoints = SB_MAXRACELINEPOINTS;
  for (int32_t i = 0; i < SB_MAXRACELINEPOINTS; ++i) SB_Var.RaceLinePoints[i] = {i * 5.0, 0.0, 0.0};
  Frame({kRightButton}, 100, 100);
  EXPECT_EQ(SB_Var.NbRaceLinePoints, SB_MAXRACELINEPOINTS);
}

TEST_F(RaceLineTool, ARightDragMovesTheSelectionAndTheTableFollows) {
  SB_Var.NbRaceLinePoints = 2;
  SB_Var.RaceLinePoints[0] = {0.0, 0.0, 0.0}, SB_Var.RaceLinePoints[1] = {40.0, 0.0, 0.0};
  SB_Var.BsplineSelected[1] = 1;
  Frame({}, 300, 240);
  Frame({kRightButton}, 310, 240);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[1].x, 40.0 + 10 * 0.8);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[0].x, 0.0);
  const int32_t metres = SB_Var.NbBsplineMeters;
  Frame({kRightButton}, 320, 230);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[1].x, 40.0 + 20 * 0.8);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[1].z, 10 * 0.8);
  EXPECT_GT(SB_Var.NbBsplineMeters, metres);
  EXPECT_EQ(SB_Var.NbRaceLinePoints, 2);
}

TEST_F(RaceLineTool, ShiftDDeletesTheSelectionUnlessAClickIsCaptured) {
  SB_Var.NbRaceLinePoints = 4;
  for (int32_t i = 0; i < 4; ++i) SB_Var.RaceLinePoints[i] = {i * 30.0, 0.0, 0.0};
  SB_Var.BsplineSelected[1] = SB_Var.BsplineSelected[2] = 1;
  Frame({kLeftButton}, 10, 10);  // a rubber box holds the mouse
  Frame({kLeftButton, kShift, kD}, 12, 12);
  EXPECT_EQ(SB_Var.NbRaceLinePoints, 4);
  Frame({}, 12, 12);  // released: the box over no point flips nothing
  EXPECT_EQ(Selection(), (std::vector<int32_t>{0, 1, 1, 0}));
  Frame({kShift, kD});
  ASSERT_EQ(SB_Var.NbRaceLinePoints, 2);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[1].x, 90.0);
}

TEST_F(RaceLineTool, ABoxFlipsTheSelectionsInsideItAndNAndASetThemAll) {
  SB_Var.NbRaceLinePoints = 3;
  int32_t x[3], y[3];
  const double xs[3] = {0.0, 8.0, 100.0};
  for (int32_t i = 0; i < 3; ++i) {
    SB_Var.RaceLinePoints[i] = {xs[i], 0.0, 0.0};
    SB_WorldToEditView(&x[i], &y[i], xs[i], 0.0);
  }
  SB_Var.BsplineSelected[0] = 1;
  Frame({kLeftButton}, x[0] - 3, y[0] - 3);
  Frame({kLeftButton}, x[1] + 3, y[1] + 3);
  Frame({}, x[1] + 3, y[1] + 3);
  EXPECT_EQ(Selection(), (std::vector<int32_t>{0, 1, 0}));
  Frame({kA});
  EXPECT_EQ(Selection(), (std::vector<int32_t>{1, 1, 1}));
  Frame({kN, kA});  // N first, then A
  EXPECT_EQ(Selection(), (std::vector<int32_t>{1, 1, 1}));
  Frame({kN});
  EXPECT_EQ(Selection(), (std::vector<int32_t>{0, 0, 0}));
}

TEST_F(RaceLineTool, ThePerspectiveViewDrawsTheLineButEditsNothing) {
  SB_Var.NbRaceLinePoints = 2;
  SB_Var.RaceLinePoints[0] = {-50.0, 0.0, 0.0}, SB_Var.RaceLinePoints[1] = {50.0, 0.0, 0.0};
  SB_Var.Edit3DView = 1;
  SB_Var.Edit3DPos[2] = -500.0;  // looking along +z at the line
  Frame({kRightButton}, 100, 100);
  Frame({kA}, 500, 100);  // the cursor away from the line
  EXPECT_EQ(SB_Var.NbRaceLinePoints, 2);
  EXPECT_EQ(Selection(), (std::vector<int32_t>{0, 0}));
  int32_t px = 0, py = 0;
  const TVECTOR middle = {0.0, 0.0, 0.0};
  ASSERT_EQ(SB_EditProjectPoint(&middle, &px, &py), 1);
  EXPECT_EQ(px, 320);
  EXPECT_EQ(py, 240);
  LS_LockBmap(SB_Var.TextScreen);
  EXPECT_EQ(SB_Var.TextScreen->Start[240 * SB_Var.TextScreen->ByteLen + 320],
            SB_FindNearestColor(SB_Var.Pal3d, 48, 0, 0));
  LS_UnlockBmap(SB_Var.TextScreen);
  const TVECTOR behind = {0.0, 0.0, -500.05}, far = {0.0, 0.0, -499.0};
  EXPECT_EQ(SB_EditProjectPoint(&behind, &px, &py), 0);
  EXPECT_EQ(SB_EditProjectPoint(&far, &px, &py), 1);
}

TEST_F(RaceLineTool, WorldPointsLandOnTheTilesTheReadOutNames) {
  struct Row { int32_t size, scrollX, scrollY; double x, z; int32_t px, py; };
  for (const Row& r : {Row{16, 0, 0, 12.8, 12.8, 320, 240}, Row{16, 1, 0, 25.6, 12.8, 320, 240},
                       Row{16, 0, 0, 0.0, 0.0, 304, 256}, Row{1, 0, 0, -12.8, 12.8, 318, 240},
                       Row{256, 0, -1, 12.8, 25.6, 320, 240}}) {
    SB_Var.EditTileSize = r.size, SB_Var.EditScrollX = r.scrollX, SB_Var.EditScrollY = r.scrollY;
    int32_t px = 0, py = 0;
    SB_WorldToEditView(&px, &py, r.x, r.z);
    EXPECT_EQ(px, r.px) << r.size << " " << r.x;
    EXPECT_EQ(py, r.py) << r.size << " " << r.z;
    EXPECT_EQ(SB_EditPixelToMapX(px) * 0.003125, r.x) << r.size;
    EXPECT_EQ(SB_EditPixelToMapZ(py) * 0.003125, r.z) << r.size;
  }
}

// Points far out have no pixel, and what stands there is left undrawn:
// a race line 500 km out, decor blocks 1e7 and 1e12 m away, in the race
// line's view and the object-path view.
TEST_F(RaceLineTool, FarPointsHaveNoPixelAndAreLeftUndrawn) {
  const double nan = std::nan("");
  const struct {
    int32_t size;
    double x, z;
    int32_t on, px, py;
  } rows[] = {
      {16, 500000.0, 12.8, 1, 320 + 625000 - 16, 240},
      {256, 12.8, -500000.0, 1, 320, 240 + 10000256},
      {256, 1e7, 0.0, 0, -SB_EDITVIEWREACH, -SB_EDITVIEWREACH},
      {1, 1e12, 1e12, 0, -SB_EDITVIEWREACH, -SB_EDITVIEWREACH},
      {16, -1e300, 0.0, 0, -SB_EDITVIEWREACH, -SB_EDITVIEWREACH},
      {16, nan, 0.0, 0, -SB_EDITVIEWREACH, -SB_EDITVIEWREACH},
  };
  for (const auto& r : rows) {
    SB_Var.EditTileSize = r.size;
    int32_t px = 0, py = 0;
    EXPECT_EQ(SB_WorldToEditView(&px, &py, r.x, r.z), r.on) << r.x << " " << r.z;
    EXPECT_EQ(px, r.px) << r.x;
    EXPECT_EQ(py, r.py) << r.z;
  }
  SB_Var.EditTileSize = 16;
  Frame();
  const std::vector<uint8_t> before = Pixels();
  SetLine({{500000.0, 0.0, 12.8}, {500050.0, 0.0, 40.0}, {500100.0, 0.0, 12.8}});
  Frame();
  EXPECT_EQ(Pixels(), before);
  SB_Var.NbRaceLinePoints = 0;
  // Decor blocks in object-path mode; a real block is drawn, the far ones not.
  TDECORBLOCK blocks[3] = {};
  const double places[3][3] = {{1e7, 5.0, 1e7}, {1e12, 5.0, -1e12}, {12.8, 5.0, 12.8}};
  for (int32_t b = 0; b < 3; ++b) {
    blocks[b].Object = reinterpret_cast<OBJECT*>(&blocks[b]);  // only its presence counts
    for (int32_t k = 0; k < 3; ++k) blocks[b].Position[k] = places[b][k];
  }
  TDECOROBJ object = {nullptr, 2, 0, blocks};
  SB_Var.DecorObjects = &object;
  SB_Var.NbDecorObjects = 1;
  SB_Var.EditObjectMode = 1;
  Frame();
  const std::vector<uint8_t> far = Pixels();
  object.NbBlocks = 3;
  Frame();
  const std::vector<uint8_t> near = Pixels();
  SB_Var.EditObjectMode = 0;
  SB_Var.DecorObjects = nullptr;
  SB_Var.NbDecorObjects = 0;
  // The frame-rate read-out changes between frames: the icon's square only.
  int32_t changed = 0;
  for (int32_t y = 230; y < 250; ++y)
    for (int32_t x = 310; x < 330; ++x) changed += far[y * 640 + x] != near[y * 640 + x];
  EXPECT_GT(changed, 0);
}

}  // namespace

namespace {

TEST_F(RaceLineTool, ThePerspectiveArrowsTurnAboutAPointBehindTheEyeAndUAndDLiftTheSelection) {
  SB_Var.Edit3DView = 1;
  SB_Var.NbRaceLinePoints = 2;
  SB_Var.BsplineSelected[1] = 1;
  const double focal = SB_Var.Edit3DFocal;
  Frame({0x25}, 500, 100);  // left arrow
  // The pivot, 1000 m behind the eye on its axis, stays at the origin.
  const double* m = SB_Var.Edit3DMatrix;
  const double* p = SB_Var.Edit3DPos;
  EXPECT_NEAR(p[0] - 1000 * m[2], 0.0, 1e-9);
  EXPECT_NEAR(p[1] - 1000 * m[5], 0.0, 1e-9);
  EXPECT_NEAR(p[2] - 1000 * m[8], 0.0, 1e-9);
  EXPECT_GT(std::fabs(p[0]), 50.0);  // the eye has moved round it
  Frame({0x6B}, 500, 100);
  Frame({0x6B}, 500, 100);  // every frame, no latch
  EXPECT_NEAR(SB_Var.Edit3DFocal, focal * 1.21, 1e-9);
  Frame({85}, 500, 100);  // U
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[1].y, -1.0);
  EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[0].y, 0.0);
}

// Lines whose end points lie near the double range's end, in the top view
// and the perspective view: where twice an end point overflows, the
// curve's first and last segments are not numbers and have no pixel; the
// segments next to them reach far out; the segment between is drawn, and
// hit in the top view. Each line is saved and loaded as LOADBSPLINE loads
// it. Under the sanitizers a pixel computed from a curve point that is not
// a number is a report.
TEST_F(RaceLineTool, LinesEndingNearTheDoubleLimitDrawTheirFinitePart) {
  const uint8_t curve = static_cast<uint8_t>(SB_FindNearestColor(SB_Var.Pal3d, 48, 0, 0));
  const auto CurvePixels = [&](int32_t from, int32_t to) {
    const std::vector<uint8_t> pixels = Pixels();
    int32_t n = 0;
    for (int32_t x = from; x <= to; ++x) n += pixels[240 * 640 + x] == curve;
    return n;
  };
  for (const double end : {1e308, -1e308, 9e307, -9e307, 8e307, -8e307}) {
    // The middle segment runs along row 240 from x = 52.8 m to 92.8 m.
    SetLine({{12.8, 0, end}, {12.8, 0, 12.8}, {52.8, 0, 12.8}, {92.8, 0, 12.8}, {132.8, 0, 12.8}, {132.8, 0, end}});
    SB_SaveBsplines("FAR.BSP");
    SetLine({});
    ASSERT_EQ(SB_LoadBsplines("FAR.BSP"), 1) << end;
    ASSERT_EQ(SB_Var.NbRaceLinePoints, 6) << end;
    SB_Var.EditTileSize = 16, SB_Var.EditScrollX = SB_Var.EditScrollY = 0;
    SB_Var.Edit3DView = 1;
    SB_Var.Edit3DPos[2] = -500.0;  // looking along +z
    Frame({}, 600, 100);
    int32_t a = 0, b = 0, y = 0;
    const TVECTOR from = {52.8, 0, 12.8}, to = {92.8, 0, 12.8};
    ASSERT_EQ(SB_EditProjectPoint(&from, &a, &y), 1);
    ASSERT_EQ(SB_EditProjectPoint(&to, &b, &y), 1);
    EXPECT_EQ(CurvePixels(a + 2, b - 2), b - a - 3) << end;
    SB_Var.Edit3DView = 0;
    Frame({}, 600, 100);
    EXPECT_EQ(CurvePixels(372, 418), 47) << end;  // pixels 370 to 420
    Frame({kRightButton}, 395, 236);  // 3.2 m beside the middle segment: inserted into it
    Frame({}, 395, 236);
    ASSERT_EQ(SB_Var.NbRaceLinePoints, 7) << end;
    EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[3].x, SB_EditPixelToMapX(395) * 0.003125) << end;
    EXPECT_DOUBLE_EQ(SB_Var.RaceLinePoints[3].z, SB_EditPixelToMapZ(236) * 0.003125) << end;
  }
}

}  // namespace
