// An early accelerated race frame, as the program makes it: the whole
// program in this process on the data tree datagen writes, its start-up
// script as shipped (the accelerator's 640 x 480 x 16 mode and four cars)
// and then PLAY, with the game's own reset values. The screenshot of the
// eleventh race frame (the cars still on the grid; the frames before it
// show the race's black opening) is compared with a reviewed golden
// picture, drawn by the machine's cores and by 1, 2, 3, 8 and 64 threads
// (ZENTROVA_ACCEL_THREADS, as a user would set it).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/accel/control.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "shell/sbvar.h"
#include "tests/support/programshot.h"

namespace {

class FirstFrameTest : public ztest::ProgramShotTest, public testing::WithParamInterface<int32_t> {};

// The keyboard of the run, polled at each pass of the message pump and at
// each key read, each poll a millisecond of the manual clock so that the
// run repeats exactly: Alt+S pressed as the shot frame starts and held for
// 1,000 polls, more than the frame reads before its screenshot, which
// waits for the keys' release; the race is left after it.
constexpr int32_t kShotFrame = 11;
int32_t g_polls = 0;
void Keys() {
  plat::AdvanceManualTime(1);
  const bool held = SB_Var.RaceFrames >= kShotFrame - 1 && g_polls < 1000;
  if (held) ++g_polls;
  plat::SetKeyState(18, held), plat::SetKeyState(83, held);
  if (SB_Var.RaceFrames >= kShotFrame) SB_Var.LeaveRace = 1;
}

// 0 leaves the variable unset: the machine's cores.
TEST_P(FirstFrameTest, MatchesTheGoldenPicture) {
  if (GetParam() > 0) setenv("ZENTROVA_ACCEL_THREADS", std::to_string(GetParam()).c_str(), 1);
  plat::AccelReset();  // the settings taken from the environment again
  ExpectShot(Keys, "tests/racescene/accel/golden/frame1.tga");
  unsetenv("ZENTROVA_ACCEL_THREADS");
}

INSTANTIATE_TEST_SUITE_P(Threads, FirstFrameTest, testing::Values(0, 1, 2, 3, 8, 64));

}  // namespace
