// The player side's waits: pump the network, then let time pass, until a
// flag is set, the time-out runs out or the network closes.
#include "net/net.h"
#include "net/netgame.h"
#include "shell/sbvar.h"
#include "system/input.h"

namespace {

// What was drawn before the wait (the menus' busy cursor) is shown first.
void SleepOne() { LS_Wait(1); }
NETWAITSTEP g_step = SleepOne;

}  // namespace

void NET_SetWaitStep(NETWAITSTEP step) { g_step = step ? step : SleepOne; }

void NET_WaitStep() {
  NET_UpdateEvent();
  g_step();
}

int32_t NET_WaitFor(const int32_t* flag, uint32_t timeoutMs) {
  const uint32_t start = LS_GetTime();
  // Each pass lets at least a millisecond pass; the bound holds should a
  // step let none pass.
  for (uint32_t pass = 0; pass <= timeoutMs + 1000; ++pass) {
    if (*flag) return 1;
    if (SB_Var.XState == XSTATE_NONET || LS_GetTime() - start >= timeoutMs) break;
    NET_UpdateEvent();
    if (*flag) return 1;
    g_step();
  }
  return *flag ? 1 : 0;
}
