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
  SB_UpdateClock();
  plat::AdvanceManualTime(10);
  SB_UpdateClock();
  ASSERT_EQ(SB_Var.MaxFrameRate, 100);
  SB_UpdateClock();
  EXPECT_EQ(SB_Var.FrameTime, 0);
  EXPECT_EQ(SB_Var.MaxFrameRate, 100);
}

// Frames quicker than the timer's millisecond: the rate is that of every
// frame since the clock last moved, over the time it moved by. The time
// from a reset to the next update is no frame.
TEST_F(GameClock, FramesWithinAMillisecondCountWhenTheClockMoves) {
  struct Row {
    int32_t sameMillisecond;  // frames that read no time, before one that reads the move
    uint32_t moved;           // ms
    int32_t best;
  };
  const Row rows[] = {{0, 1, 1000}, {2, 1, 3000}, {4, 2, 2500}, {9, 5, 2000}};
  for (const Row& r : rows) {
    plat::SetManualTime(5000);
    SB_ResetClock();
    SB_Var.MaxFrameRate = SB_Var.TimedFrames = 0;
    SB_UpdateClock();
    for (int32_t i = 0; i < r.sameMillisecond; ++i) SB_UpdateClock();
    EXPECT_EQ(SB_Var.MaxFrameRate, 0) << "no time read yet";
    plat::AdvanceManualTime(r.moved);
    SB_UpdateClock();
    EXPECT_EQ(SB_Var.FrameTime, static_cast<int32_t>(r.moved));
    EXPECT_EQ(SB_Var.MaxFrameRate, r.best) << r.sameMillisecond;
    EXPECT_EQ(SB_Var.TimedFrames, r.sameMillisecond + 1);
    plat::AdvanceManualTime(10);
    SB_UpdateClock();  // the count starts again once the clock moved
    EXPECT_EQ(SB_Var.MaxFrameRate, r.best);
    EXPECT_EQ(SB_Var.TimedFrames, r.sameMillisecond + 2);
  }
  SB_ResetClock();
  SB_Var.MaxFrameRate = SB_Var.TimedFrames = 0;
  plat::AdvanceManualTime(1);
  SB_UpdateClock();
  EXPECT_EQ(SB_Var.FrameTime, 1);
  EXPECT_EQ(SB_Var.MaxFrameRate, 0) << "the time since a reset is no frame";
  EXPECT_EQ(SB_Var.TimedFrames, 0);
}

TEST_F(GameClock, AFrameAcrossTheTimersWrapKeepsItsLength) {
  plat::SetManualTime(0xFFFFFFF0u);
  SB_ResetClock();
  SB_UpdateClock();
  plat::SetManualTime(0x10);
  SB_UpdateClock();
  EXPECT_EQ(SB_Var.FrameTime, 32);
  EXPECT_EQ(SB_Var.MaxFrameRate, 31);
  EXPECT_EQ(SB_GetTime(), 0x10u);
}

}  // namespace
