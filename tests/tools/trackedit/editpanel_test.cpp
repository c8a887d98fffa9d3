// The track editor's panel and tools: zoom buttons and their bounds, a
// press on a button taken by it alone, the grid, the camera-and-cars
// selection and drag with the ground below or none, and the tile tool.
#include <vector>

#include "datagen/mapbuild.h"
#include "tests/tools/trackedit/trackedit_fixture.h"
#include "tools/trackedit/trackedit.h"
#include "track/decor.h"
#include "track/ground.h"

namespace {

using ztest::kLeftButton;
using ztest::kRightButton;

class EditPanel : public ztest::TrackEditor {
 protected:
  void SetUp() override {
    TrackEditor::SetUp();
    SB_Edit();
    Frame({}, 320, 300);
  }
  void TearDown() override {
    SB_FreeXZYList();
    SB_FreeDecor();
    TrackEditor::TearDown();
  }
  static uint8_t Overlay(int32_t x, int32_t y) {
    LS_LockBmap(SB_Var.TextScreen);
    const uint8_t p = SB_Var.TextScreen->Start[y * SB_Var.TextScreen->ByteLen + x];
    LS_UnlockBmap(SB_Var.TextScreen);
    return p;
  }
  // A press and release of the left button there.
  static void Click(int32_t x, int32_t y) {
    Frame({kLeftButton}, x, y);
    Frame({}, x, y);
  }
};

TEST_F(EditPanel, ZoomButtonsLightAndStopAt256And4) {
  SB_Var.EditZoom = 256, SB_SetEditZoom(256);
  Frame({kLeftButton}, 20, 20);
  EXPECT_EQ(SB_Var.EditZoomInLit, 1);
  EXPECT_EQ(SB_Var.EditZoom, 256);
  Frame({}, 20, 20);
  Frame({}, 20, 20);
  EXPECT_EQ(SB_Var.EditZoomInLit, 0);  // cleared once nothing holds the mouse
  for (int32_t expected : {128, 64, 32, 16, 8, 4, 4}) {
    Click(20, 60);
    EXPECT_EQ(SB_Var.EditZoom, expected);
    EXPECT_EQ(SB_Var.EditTileSize, expected);
  }
}

TEST_F(EditPanel, APressOnAnActingButtonAddsNoRaceLinePoint) {
  SB_Var.EditTool = 4;
  Frame({kLeftButton, kRightButton}, 20, 90);  // the grid switch
  EXPECT_EQ(SB_Var.EditGrid, 0);
  EXPECT_EQ(SB_Var.NbRaceLinePoints, 0);
  Frame({}, 20, 90);
  Frame({kRightButton}, 20, 250);  // below the buttons: a point
  EXPECT_EQ(SB_Var.NbRaceLinePoints, 1);
  Frame();
  Click(610, 20);  // tool 0
  EXPECT_EQ(SB_Var.EditTool, 0);
  Click(610, 200);  // tool 4
  EXPECT_EQ(SB_Var.EditTool, 4);
}

TEST_F(EditPanel, TheGridDotsEveryTileEdgeOfTheTopView) {
  EXPECT_EQ(Overlay(328, 0), 255);  // origin 312 + 16
  EXPECT_EQ(Overlay(328, 2), 255);
  EXPECT_NE(Overlay(328, 201), 255);
  EXPECT_EQ(Overlay(100, 248), 255);  // origin 232 + 16
  EXPECT_NE(Overlay(101, 248), 255);
  Click(20, 90);  // grid off
  EXPECT_NE(Overlay(328, 2), 255);
}

TEST_F(EditPanel, ARubberBoxSelectsTheCameraAndAnEmptyOneDeselects) {
  SB_Var.Camera.CurrentX = SB_Var.Camera.CurrentZ = 4096;  // the centre tile's middle: pixel (320, 240)
  Frame({kLeftButton}, 300, 230);
  Frame({kLeftButton}, 310, 235);  // 10 pixels short, grown by 7 on each side
  Frame({}, 310, 235);
  EXPECT_EQ(SB_Var.EditCameraSelected, 0);
  Frame({kLeftButton}, 300, 230);
  Frame({kLeftButton}, 313, 235);
  Frame({}, 313, 235);
  EXPECT_EQ(SB_Var.EditCameraSelected, 1);
  Frame({kLeftButton}, 500, 400);
  Frame({}, 505, 405);
  EXPECT_EQ(SB_Var.EditCameraSelected, 0);
}

TEST_F(EditPanel, DraggingTheFreeCameraKeepsItOverTheGroundOrKeepsItsHeight) {
  datagen::MapBuilder b;
  b.Texture("A");
  b.CubeFace({{128, 100, 128}, {256, 100, 128}, {256, 100, 256}, {128, 100, 256}}, datagen::kCubeUp, 0);
  b.Install();
  BuildXZYList();
  SB_Var.CameraMode = 0;
  SB_Var.EditCameraSelected = 1;
  SB_Var.Camera.CurrentX = SB_Var.Camera.CurrentZ = 4096;
  SB_Var.Camera.CurrentY = 77;
  Frame({}, 320, 300);
  Frame({kRightButton}, 321, 300);  // 1 pixel at tile size 16
  EXPECT_EQ(SB_Var.Camera.CurrentX, 4096 + 256);
  EXPECT_EQ(SB_Var.Camera.TargetX, 256);
  const double ground = SB_GetGroundHeight(4096 + 256, 4096);
  ASSERT_LT(ground, SB_NOGROUND);
  EXPECT_EQ(SB_Var.Camera.CurrentY, static_cast<int32_t>(ground - 352.0));
  const int32_t height = SB_Var.Camera.CurrentY;
  Frame({kRightButton}, 331, 290);  // off the floor: no ground there
  EXPECT_EQ(SB_Var.Camera.CurrentX, 4096 + 11 * 256);
  EXPECT_EQ(SB_Var.Camera.CurrentZ, 4096 + 10 * 256);
  EXPECT_EQ(SB_Var.Camera.CurrentY, height);
}

TEST_F(EditPanel, TheTileToolMarksTheTilesOfItsRectangle) {
  SB_Var.EditTool = 1;
  Frame({kLeftButton}, 320, 240);
  Frame({kLeftButton}, 300, 260);
  EXPECT_EQ(std::vector<int32_t>(SB_Var.EditTileRect, SB_Var.EditTileRect + 4),
            (std::vector<int32_t>{-1, 0, 0, 1}));
  EXPECT_EQ(Overlay(297, 234), 0);  // x + y odd inside tile (-1, 0)
  EXPECT_NE(Overlay(298, 234), 0);
  EXPECT_NE(Overlay(329, 234), 0);  // outside the rectangle
}

}  // namespace

namespace {

TEST_F(EditPanel, WhileRecordingOnlyStopAnswersAndTheOtherObjectButtonsAddPoints) {
  char names[1][SB_DECORNAMESIZE] = {"PATH"};
  SB_Var.DecorScriptNames = names;
  SB_Var.NbDecorObjects = 1;
  datagen::MapBuilder b;  // a floor under every click
  b.Texture("A");
  b.FlatSquare(-512, -512, 24, 64, 0, b.Material("A"));
  b.Install();
  BuildXZYList();
  Click(610, 160);  // object-path mode
  ASSERT_EQ(SB_Var.EditObjectMode, 1);
  Click(610, 200);  // a tool button now the previous-path button: no tool change
  EXPECT_EQ(SB_Var.EditTool, 2);
  Click(610, 300);  // record
  ASSERT_EQ(SB_Var.Recording, 1);
  Click(300, 300);
  Click(310, 300);
  EXPECT_EQ(SB_Var.NbMovePoints, 3);
  Click(610, 270);  // next object, inactive while recording: a point
  Click(610, 160);  // the mode switch too
  EXPECT_EQ(SB_Var.NbMovePoints, 5);
  EXPECT_EQ(SB_Var.EditObjectMode, 1);
  Click(610, 340);  // stop
  EXPECT_EQ(SB_Var.Recording, 0);
  EXPECT_EQ(SB_Var.MoveRecord, nullptr);
  EXPECT_EQ(ztest::ReadFile(Path("PATH.TRJ")).substr(0, 37), "; OBJECT PATH: 'PATH'\n; 5 coordinates");
  SB_Var.DecorScriptNames = nullptr;
  SB_Var.NbDecorObjects = 0;
}

}  // namespace
