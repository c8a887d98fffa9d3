// The game clock over the multimedia timer.
#include "shell/gameclock.h"

#include "platform/clock.h"
#include "shell/sbvar.h"

uint32_t SB_GetTime() { return plat::TickMs(); }

uint32_t SB_ResetClock() {
  const uint32_t now = SB_GetTime();
  SB_Var.Time = now;
  SB_Var.RecordMark = now;
  return now;
}

void SB_UpdateClock() {
  const uint32_t now = SB_GetTime();
  // Unsigned difference, so a frame across the timer's wrap keeps its length.
  SB_Var.FrameTime = static_cast<int32_t>(now - SB_Var.Time);
  SB_Var.Time = now;
  if (SB_Var.FrameTime != 0) {
    const int32_t rate = 1000 / SB_Var.FrameTime;
    if (rate > SB_Var.MaxFrameRate) SB_Var.MaxFrameRate = rate;
  }
}
