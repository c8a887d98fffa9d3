// The game clock over the multimedia timer.
#include "shell/gameclock.h"

#include "platform/clock.h"
#include "shell/sbvar.h"

uint32_t SB_GetTime() { return plat::TickMs(); }

uint32_t SB_ResetClock() {
  const uint32_t now = SB_GetTime();
  SB_Var.Time = now;
  SB_Var.RecordMark = now;
  // The time up to the next update is no frame of the game's.
  SB_Var.FramesThisTick = -1;
  return now;
}

void SB_UpdateClock() {
  const uint32_t now = SB_GetTime();
  // Unsigned difference, so a frame across the timer's wrap keeps its length.
  SB_Var.FrameTime = static_cast<int32_t>(now - SB_Var.Time);
  SB_Var.Time = now;
  // Frames quicker than the timer's millisecond read no time: they are
  // counted until the clock moves, and the rate is that of all the frames
  // of the time it moved by. An average over frames the clock timed can
  // then never exceed the best rate.
  ++SB_Var.FramesThisTick;
  if (SB_Var.FrameTime == 0) return;
  if (SB_Var.FramesThisTick > 0) {
    const int64_t rate = int64_t{SB_Var.FramesThisTick} * 1000 / SB_Var.FrameTime;
    if (rate > SB_Var.MaxFrameRate) SB_Var.MaxFrameRate = static_cast<int32_t>(rate);
    SB_Var.TimedFrames += SB_Var.FramesThisTick;
  }
  SB_Var.FramesThisTick = 0;
}
