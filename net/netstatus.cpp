// Every change of the local network state: reported to the controller,
// then waited for until the controller echoes it.
#include "net/netgame.h"
#include "net/netplayer.h"
#include "shell/console.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"

namespace {
constexpr uint32_t kStatusWaitMs = 30000;
}  // namespace

int32_t NET_SetControllerStatus(XSTATE state, int32_t subState) {
  SB_ConsolePrintf("[XNET]SETTING CONTROLLER STATUS TO %s...",
                   state < NET_NBXSTATENAMES ? NET_XStateNames[state] : "?");
  if (SB_Var.XState == XSTATE_NONET) return 1;
  if (state == SB_Var.XState && subState == SB_Var.XSubState) return 1;
  const XSTATE old = SB_Var.XState;
  if (state != 0) SB_Var.XState = state;
  SB_Var.XSubState = XSUBSTATE_PLAYING;
  if (state == XSTATE_LOADING) NET_ResetRaceNotices();
  NET_Side.StatusEchoed = 0;
  if (!NET_SendShort(CTRL_SETPLAYERSTATUS, static_cast<int32_t>(state), 1)) {
    SB_ConsolePrintf("[XNET]SET CONTROLLER STATUS FAILED...");
    SB_Var.XState = old;
    if (SB_Hooks.BreakBatch) SB_Hooks.BreakBatch();
    return 0;
  }
  if (NET_WaitFor(&NET_Side.StatusEchoed, kStatusWaitMs)) return 1;
  SB_ConsolePrintf("[XNET]SET CONTROLLER STATUS TIMEOUT...");
  return 0;
}
