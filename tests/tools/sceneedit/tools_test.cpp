// The scene editor's tools over the map: Select by box and click, Move
// and the three rotations of cars and camera, Main's pan, Loupe's zoom,
// the drags the Tools window does not take, and the cursor kinds.
#include <cmath>

#include "engine3d/camera.h"
#include "engine3d/matrix.h"
#include "tests/tools/sceneedit/sceneedit_fixture.h"

namespace {

using ztest::kLeft;
using ztest::kRight;
using ztest::SceneEditor;

class SceneTools : public SceneEditor {
 protected:
  void SetUp() override {
    SceneEditor::SetUp();
    cars_[0].Position[0] = 40.0;   // pixel (330, 240)
    cars_[1].Position[0] = -40.0;  // pixel (310, 240)
    cars_[0].Position[1] = cars_[1].Position[1] = 2.5;
    SB_Var.Camera.PosX = 0.0, SB_Var.Camera.PosZ = 80.0;  // pixel (320, 220)
    SB_Var.CameraMode = 1;
  }
};

TEST_F(SceneTools, ABoxOverOneCarSelectsItAlone) {
  ChooseTool(SB_TOOLSELECT);
  SB_Var.CarSelected[1] = 1, SB_Var.CameraSelected = 1;
  Frame(0, 325, 235);
  Frame(kLeft, 325, 235);
  Frame(kLeft, 340, 250);
  EXPECT_EQ(SB_Var.DragActive, 1);
  Frame(0, 340, 250);
  EXPECT_EQ(SB_Var.DragActive, 0);
  EXPECT_EQ(SB_Var.CarSelected[0], 1u);
  EXPECT_EQ(SB_Var.CarSelected[1], 0u);
  EXPECT_EQ(SB_Var.CameraSelected, 0);
  Frame(kLeft, 500, 400);  // a click on an empty pixel
  Frame(0, 500, 400);
  EXPECT_EQ(SB_Var.CarSelected[0], 0u);
  Frame(kLeft, 320, 220);  // exactly on the camera
  Frame(0, 320, 220);
  EXPECT_EQ(SB_Var.CameraSelected, 1);
}

TEST_F(SceneTools, APressInsideTheWindowStartsNoBoxButAReleaseThereEndsOne) {
  ChooseTool(SB_TOOLSELECT);
  Frame(kLeft, 30, 100);
  EXPECT_EQ(SB_Var.DragActive, 0);
  Frame(0, 30, 100);
  Frame(0, 340, 250);
  Frame(kLeft, 340, 250);
  Frame(kLeft, 30, 100);  // back over the window
  Frame(0, 30, 100);
  EXPECT_EQ(SB_Var.DragActive, 0);
  EXPECT_EQ(SB_Var.CarSelected[0], 1u);  // the box 30..340 x 100..250 holds car 0 and car 1
  EXPECT_EQ(SB_Var.CarSelected[1], 1u);
}

TEST_F(SceneTools, MoveOnePixelRightAtScale4) {
  ChooseTool(SB_TOOLMOVE);
  SB_Var.CarSelected[0] = 1, SB_Var.CameraSelected = 1;
  SB_Var.Camera.CurrentX = SB_Var.Camera.TargetX = 1000;
  SB_Var.Camera.CurrentZ = SB_Var.Camera.TargetZ = 2000;
  SB_Var.Camera.TargetY = 777;
  Frame(0, 400, 300);
  Frame(kLeft, 400, 300);  // the press frame moves by its travel (none)
  Frame(kLeft, 401, 300);
  EXPECT_DOUBLE_EQ(cars_[0].Position[0], 44.0);
  EXPECT_DOUBLE_EQ(cars_[1].Position[0], -40.0);
  EXPECT_EQ(SB_Var.Camera.TargetX, 1000 + 1280);
  EXPECT_EQ(SB_Var.Camera.CurrentX, 1000 + 1280);
  EXPECT_EQ(SB_Var.Camera.TargetZ, 2000);
  EXPECT_EQ(SB_Var.CameraMode, 0);
  // No map: no ground under either, the heights stay.
  EXPECT_DOUBLE_EQ(cars_[0].Position[1], 2.5);
  EXPECT_EQ(SB_Var.Camera.TargetY, 777);
  Frame(kLeft, 401, 301);  // down the view is toward smaller z
  EXPECT_DOUBLE_EQ(cars_[0].Position[2], -4.0);
}

TEST_F(SceneTools, RotYOnePixel) {
  ChooseTool(SB_TOOLROTY);
  SB_Var.CarSelected[0] = 1, SB_Var.CameraSelected = 1;
  TMATRIX start;
  E3D_MatRotX(start, 0.3);
  for (int32_t k = 0; k < 9; ++k) cars_[0].Orientation[k] = start[k];
  Frame(0, 400, 300);
  Frame(kLeft, 400, 300);
  Frame(kLeft, 401, 300);
  EXPECT_EQ(SB_Var.Camera.TargetAngleY, 200u);
  EXPECT_EQ(SB_Var.CameraMode, 0);
  TMATRIX turn, expected;
  E3D_MatRotY(turn, -200 * M_PI / 37768);
  E3D_MatMul(start, turn, expected);
  for (int32_t k = 0; k < 9; ++k) EXPECT_NEAR(cars_[0].Orientation[k], expected[k], 1e-12) << k;
}

TEST_F(SceneTools, RotXTakesTheVerticalTravelAndRotZTheHorizontal) {
  ChooseTool(SB_TOOLROTX);
  SB_Var.CameraSelected = 1;
  Frame(0, 400, 300);
  Frame(kLeft, 400, 300);
  Frame(kLeft, 405, 302);
  EXPECT_EQ(SB_Var.Camera.TargetAngleX, 400u);
  Frame(0, 405, 302);
  ChooseTool(SB_TOOLROTZ);
  Frame(0, 400, 300);
  Frame(kLeft, 400, 300);
  Frame(kLeft, 399, 310);
  EXPECT_EQ(SB_Var.Camera.TargetAngleZ, static_cast<uint32_t>(-200));
}

TEST_F(SceneTools, MainPansAtTheRelease) {
  ChooseTool(SB_TOOLMAIN);
  SB_Var.MapDirty = 0;
  Frame(0, 300, 300);
  Frame(kLeft, 300, 300);
  Frame(kLeft, 310, 300);
  EXPECT_DOUBLE_EQ(SB_Var.MapOriginX, 0.0);
  Frame(0, 310, 300);
  EXPECT_DOUBLE_EQ(SB_Var.MapOriginX, -40.0);
  EXPECT_DOUBLE_EQ(SB_Var.MapOriginZ, 0.0);
  EXPECT_EQ(SB_Var.MapDirty, 0);  // the frame rebuilt the map and cleared it
}

TEST_F(SceneTools, LoupeInAtTheCentreAndOutAgain) {
  ChooseTool(SB_TOOLLOUPE);
  Frame(0, 320, 240);
  Frame(kLeft, 320, 240);
  EXPECT_NEAR(SB_Var.MapScale, 2.6666666666666665, 1e-12);
  Frame(kLeft, 320, 240);  // held: once a press
  EXPECT_NEAR(SB_Var.MapScale, 2.6666666666666665, 1e-12);
  Frame(0, 320, 240);
  Frame(kRight, 320, 240);
  EXPECT_NEAR(SB_Var.MapScale, 4.0, 1e-12);
  EXPECT_DOUBLE_EQ(SB_Var.MapOriginX, 0.0);
  Frame(0, 330, 240);
  Frame(kLeft, 330, 240);  // re-centred on the clicked point
  EXPECT_DOUBLE_EQ(SB_Var.MapOriginX, 40.0);
}

TEST_F(SceneTools, TheCursorFollowsTheTool) {
  const int32_t kinds[SB_NBSCENETOOLS] = {2, 4, 4, 4, 4, 4, 3, 2};
  for (int32_t tool = 0; tool < SB_NBSCENETOOLS; ++tool) {
    ChooseTool(tool);
    Frame(0, 400, 300);
    EXPECT_EQ(SB_Var.EditorCursor, kinds[tool]) << tool;
    Frame(0, 30, 100);  // over the window: the arrow
    EXPECT_EQ(SB_Var.EditorCursor, 0) << tool;
  }
}

TEST_F(SceneTools, MissingCursorAndMarkerPicturesDrawNothing) {
  for (const char* name : {"MISCPICT/PETITCAR.TGA", "MISCPICT/PETITCAM.TGA", "INTERFAC/CURSOR.TGA"})
    ztest::WriteFile(Path(name), "TRUNCATED");
  Frame(0, 400, 300);
  Frame(0, 400, 300);
  EXPECT_EQ(SB_Var.CarMarker, nullptr);
  EXPECT_EQ(SB_Var.CursorBmaps[0], nullptr);
  WritePictures();  // tried again each frame
  Frame(0, 400, 300);
  EXPECT_NE(SB_Var.CarMarker, nullptr);
  EXPECT_NE(SB_Var.CursorBmaps[0], nullptr);
}

}  // namespace
