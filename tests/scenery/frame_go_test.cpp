// The accelerated race just after the go, as the program makes it (see
// tests/support/programshot.h): the gantry's panel reads "  GO " and its
// start lamps are lit. The screenshot is compared with a reviewed golden
// picture. This test program links the scenery itself, not the recording
// fakes the 3D engine's frame-order tests put in its place.
#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/window.h"
#include "race/sequencer.h"
#include "shell/sbvar.h"
#include "tests/support/programshot.h"

namespace {

using GoFrameTest = ztest::ProgramShotTest;

// Each poll a millisecond of the manual clock. After the grid's frames,
// accelerate held for two frames chooses the gearbox, and the training
// race's next step is the go. The go's texts are written where the
// previous frame drew their panels and sent to the card at the next
// frame's start: Alt+S is held from the third frame after the race passed
// the go (for 1,000 polls, more than a frame reads before its screenshot,
// which waits for the keys' release), and the race is left after it.
constexpr int32_t kPressFrame = 12;
int32_t g_goFrame = -1, g_polls = 0;
void Keys() {
  plat::AdvanceManualTime(1);
  const int32_t frame = SB_Var.RaceFrames;
  plat::SetKeyState(16, frame >= kPressFrame && frame < kPressFrame + 2);
  if (g_goFrame < 0 && frame > kPressFrame && SB_GetGameStep() > 14) g_goFrame = frame;
  const bool held = g_goFrame >= 0 && frame >= g_goFrame + 2 && g_polls < 1000;
  if (held) ++g_polls;
  plat::SetKeyState(18, held), plat::SetKeyState(83, held);
  if (g_goFrame >= 0 && frame >= g_goFrame + 3) SB_Var.LeaveRace = 1;
}

TEST_F(GoFrameTest, TheGantryReadsGoWithItsLampsLit) {
  ExpectShot(Keys, "tests/scenery/golden/frame_go.tga");
  EXPECT_GT(g_goFrame, kPressFrame);
}

}  // namespace
