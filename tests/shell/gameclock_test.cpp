// The game clock over the multimedia timer: frame times, the best frame
// rate, resets and the timer's wrap.
#include "shell/gameclock.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "shell/sbvar.h"
#include "tests/support/testenv.h"

namespace {

class GameClock : public ztest::Environment {};

TEST_F(GameClock, TwentyMillisecondFramesGiveFiftyFramesASecond) {
  plat::SetManualTime(1000);
  SB_UpdateClock();
  plat::AdvanceManualTime(20);
  SB_UpdateClock();
  EXPECT_EQ(SB_Var.FrameTime, 20);
  EXPECT_EQ(SB_Var.MaxFrameRate, 50);
  EXPECT_EQ(SB_Var.Time, 1020u);
  plat::AdvanceManualTime(40);  // a slower frame keeps the best rate
  SB_UpdateClock();
  EXPECT_EQ(SB_Var.FrameTime, 40);
  EXPECT_EQ(SB_Var.MaxFrameRate, 50);
}

TEST_F(GameClock, AResetHidesTheTimeBeforeIt) {
  plat::SetManualTime(500);
  SB_UpdateClock();
  plat::AdvanceManualTime(90000);
  EXPECT_EQ(SB_ResetClock(), 90500u);
  EXPECT_EQ(SB_Var.Time, 90500u);
  EXPECT_EQ(SB_Var.RecordMark, 90500u);
  plat::AdvanceManualTime(15);
  SB_UpdateClock();
  EXPECT_EQ(SB_Var.FrameTime, 15);
  EXPECT_EQ(SB_Var.RecordMark, 90500u);  // an update leaves the mark
}

TEST_F(GameClock, TheSameMillisecondGivesAZeroFrame) {
  plat::SetManualTime(100);
  SB_ResetClock();
  plat::AdvanceManualTime(10);
  SB_UpdateClock();
  ASSERT_EQ(SB_Var.MaxFrameRate, 100);
  SB_UpdateClock();
  EXPECT_EQ(SB_Var.FrameTime, 0);
  EXPECT_EQ(SB_Var.MaxFrameRate, 100);
}

TEST_F(GameClock, AFrameAcrossTheTimersWrapKeepsItsLength) {
  plat::SetManualTime(0xFFFFFFF0u);
  SB_ResetClock();
  plat::SetManualTime(0x10);
  SB_UpdateClock();
  EXPECT_EQ(SB_Var.FrameTime, 32);
  EXPECT_EQ(SB_Var.MaxFrameRate, 31);
  EXPECT_EQ(SB_GetTime(), 0x10u);
}

}  // namespace
