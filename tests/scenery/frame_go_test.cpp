// The accelerated race just after the go, as the program makes it (see
// tests/support/programshot.h): the gantry's panel reads "  GO " and its
// start lamps are lit. The screenshot is compared with a reviewed golden
// picture. This test program links the scenery itself, not the recording
// fakes the 3D engine's frame-order tests put in its place.
#include <gtest/gtest.h>

#include "tests/support/programshot.h"

namespace {

using GoFrameTest = ztest::ProgramShotTest;

TEST_F(GoFrameTest, TheGantryReadsGoWithItsLampsLit) {
  ExpectShot(ztest::GoShotKeys, "tests/scenery/golden/frame_go.tga");
  EXPECT_GT(ztest::g_goFrame, ztest::kPressFrame);
}

}  // namespace
