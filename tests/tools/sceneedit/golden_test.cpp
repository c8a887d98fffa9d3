// The scene editor's picture on the tests' ring map, pinned as a golden
// picture: the map's outlines, the camera and two car markers (the first
// selected with a Select box), the Tools window with Move active, the
// hand cursor.
#include <cmath>

#include "engine3d/matrix.h"
#include "shell/gamedraw.h"
#include "system/bmap.h"
#include "tests/support/golden.h"
#include "tests/support/testmap.h"
#include "tests/tools/sceneedit/sceneedit_fixture.h"

namespace {

using ztest::kLeft;
using ztest::SceneEditor;

TEST_F(SceneEditor, TheRingWithTwoCarsAndMoveActive) {
  ztest::BuildRingMap();
  SB_Var.MapScale = 1.0;
  cars_[0].Position[0] = 150.0;  // on the road, right of the centre
  cars_[1].Position[2] = 150.0;  // at the top, heading along -x
  E3D_MatRotY(cars_[1].Orientation, M_PI / 2);
  SB_Var.Camera.PosX = -150.0;
  ChooseTool(SB_TOOLSELECT);
  Frame(0, 460, 230);
  Frame(kLeft, 460, 230);
  Frame(kLeft, 480, 250);
  Frame(0, 480, 250);
  ChooseTool(SB_TOOLMOVE);
  SB_ClearBmap(view_);
  Frame(0, 400, 300);
  ztest::FreeRingMap();
  ASSERT_EQ(SB_Var.CarSelected[0], 1u);
  BMAP* shot = SB_CreateBmap(640, 480, 24, 0, "shot");
  SB_Bitmove(view_, shot, 0, 0, 639, 479, 0, 0);
  LS_LockBmap(shot);
  ztest::ExpectGolden(shot, "tests/tools/golden/sceneedit.tga", root_);
  LS_UnlockBmap(shot);
  SB_FreeBmap(shot);
}

}  // namespace
