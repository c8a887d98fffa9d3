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
#include "tests/support/programshot.h"

namespace {

class FirstFrameTest : public ztest::ProgramShotTest, public testing::WithParamInterface<int32_t> {};

// 0 leaves the variable unset: the machine's cores.
TEST_P(FirstFrameTest, MatchesTheGoldenPicture) {
  if (GetParam() > 0) setenv("ZENTROVA_ACCEL_THREADS", std::to_string(GetParam()).c_str(), 1);
  plat::AccelReset();  // the settings taken from the environment again
  ExpectShot(ztest::GridShotKeys, "tests/racescene/accel/golden/frame1.tga");
  unsetenv("ZENTROVA_ACCEL_THREADS");
}

INSTANTIATE_TEST_SUITE_P(Threads, FirstFrameTest, testing::Values(0, 1, 2, 3, 8, 64));

}  // namespace
