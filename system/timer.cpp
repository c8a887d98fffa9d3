// The library clock, its pauses while the application is inactive, the
// stopwatch and waits.
#include "platform/clock.h"
#include "platform/display.h"
#include "system/input.h"
#include "system/lsvar.h"

uint32_t LSYS_GetTime() {
  const uint32_t now = LSI_Var.TimePaused ? LSI_Var.PauseTick : plat::TickMs();
  return now - LSI_Var.TimeOffset;
}

uint32_t LS_GetTime() { return LSYS_GetTime(); }

void LSYS_PauseTime() {
  // A second pause keeps the first one's start.
  if (LSI_Var.TimePaused) return;
  LSI_Var.PauseTick = plat::TickMs();
  LSI_Var.TimePaused = 1;
}

void LSYS_ResumeTime() {
  if (!LSI_Var.TimePaused) return;
  LSI_Var.TimeOffset += plat::TickMs() - LSI_Var.PauseTick;
  LSI_Var.TimePaused = 0;
}

// Nothing pumps the window's messages while it waits, and the window shows
// a drawing only when it is presented: what was drawn before the wait (a
// message held for a while) is presented first, so that it is seen.
void LS_Wait(uint32_t ms) {
  plat::ShowPendingFront();
  plat::SleepMs(ms);
}

void LS_StartChrono() { LSI_Var.ChronoStart = LSYS_GetTime(); }

uint32_t LS_GetChrono() { return LSYS_GetTime() - LSI_Var.ChronoStart; }
