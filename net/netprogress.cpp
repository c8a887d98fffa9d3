// The driven car's race progress reported to the other players, and the
// end of the race to the controller. A file of its own, so that tests
// which fake it link without it.
#include "net/net.h"
#include "net/netgame.h"
#include "net/netplayer.h"
#include "shell/sbvar.h"

int32_t NET_SendRaceProgress(int32_t message, int32_t value) {
  if (SB_Var.GameMode == 0 || !NET_DrivenCar() || SB_Var.XState == XSTATE_ENDOFRACE) return 1;
  if (!NET_IsConnected()) return 0;
  if (message == XNET_RACEFINISHED || message == XNET_OUTOFTIME)
    return NET_SendProgress(message, value) == -2 ? 0 : 1;
  if (SB_Var.XState == XSTATE_PLAYING) {
    return NET_SetControllerStatus(XSTATE_ENDOFRACE, NET_LocalSubState());
  }
  return 1;
}
