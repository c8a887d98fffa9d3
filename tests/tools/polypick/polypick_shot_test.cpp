// The polygon inspector over a race frame the program built: the whole
// program in this process on the data tree datagen writes, its start-up
// script as shipped (the accelerator's 640 x 480 x 16 mode), the developer
// display on, then PLAY. F11 held from the eleventh race frame stops the
// race in the inspector; the mouse on the road in front of the cars, its
// polygon outlined and described; Alt+S on the inspector's tenth pass
// takes the screen, compared with a reviewed golden picture; Q leaves and
// the race is left after it.
#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/window.h"
#include "shell/sbvar.h"
#include "tests/support/programshot.h"
#include "tests/tools/polypick/polypick_fixture.h"

namespace {

constexpr int32_t kF11 = 122, kAlt = 18, kS = 83, kQ = 81;
constexpr int32_t kStopFrame = 11, kShotPass = 10, kLeavePass = 20;
int32_t g_shotPolls = 0;

// Each poll a millisecond of the manual clock, so that the run repeats
// exactly. The inspector's passes are counted at their wait for the
// vertical blank (tests/tools/polypick/wraps.cpp); it puts the mouse at
// (0, 0) as it starts, so the mouse is placed at every poll.
void Keys() {
  plat::AdvanceManualTime(1);
  const int pass = ztest::g_inspectorPasses;
  plat::SetKeyState(kF11, SB_Var.RaceFrames >= kStopFrame && pass < kLeavePass);
  plat::SetCursorPos(330, 330);
  // Held for 100 polls: the screenshot waits for the keys' release.
  const bool shot = pass == kShotPass && g_shotPolls < 100;
  if (shot) ++g_shotPolls;
  plat::SetKeyState(kAlt, shot), plat::SetKeyState(kS, shot);
  plat::SetKeyState(kQ, pass >= kLeavePass);
  // The race is left once the inspector has been, or should it never come.
  if (pass >= kLeavePass || SB_Var.RaceFrames > 100) SB_Var.LeaveRace = 1;
}

using InspectorShotTest = ztest::ProgramShotTest;

TEST_F(InspectorShotTest, ARoadPolygonOutlinedAndDescribed) {
  ztest::g_drawn.clear();
  ztest::g_inspectorPasses = 0;
  ExpectShot(Keys, "tests/tools/golden/polypick.tga", "RUN STARTUP.TXT\r\nEDITORMODE 1\r\nPLAY\r\nQUIT\r\n");
  bool described = false;
  for (const ztest::DrawnText& t : ztest::g_drawn) described = described || (t.x == 10 && t.y == 10 && t.text[0] == 'T');
  EXPECT_TRUE(described) << "the description's first line at (10, 10)";
}

}  // namespace
