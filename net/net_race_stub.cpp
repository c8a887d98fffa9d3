// The race's calls into the network layer, until the network exists: no
// controller answers, a setup sent reaches no one and a request for setups
// waits its 30000 ms for nothing. Weak, so that tests can put recording
// fakes in their place.
#include "net/net.h"
#include "net/netplayer.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "system/input.h"

namespace {
constexpr uint32_t kSetupWaitMs = 30000;
}  // namespace

__attribute__((weak)) int32_t NET_SetControllerStatus(XSTATE, int32_t) { return 0; }
__attribute__((weak)) int32_t NET_SendRaceProgress(int32_t, int32_t) { return 1; }

__attribute__((weak)) void NET_RequestVehicleSetups() {
  if (SB_Var.XState < XSTATE_CONNECTED) {
    SB_ConsolePrintf("[XNET]You are not connected !");
    return;
  }
  const uint32_t start = LS_GetTime();
  while (LS_GetTime() - start < kSetupWaitMs) {
    NET_UpdateEvent();
    LS_Wait(10);
  }
  SB_ConsolePrintf("[XNET]Cannot get vehicle setup !!!");
}

__attribute__((weak)) void NET_SendVehicleSetup(int32_t order, const TVEHICLESETUP*) {
  if (SB_Var.XState <= XSTATE_NONET) return;
  SB_ConsolePrintf("[SEND][SENDVEHICLESETUP %ld", static_cast<long>(order));
}
