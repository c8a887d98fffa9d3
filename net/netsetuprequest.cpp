// Asks the controller for every player's vehicle setup. A file of its own,
// so that tests which fake it link without it.
#include "net/netgame.h"
#include "net/netplayer.h"
#include "shell/console.h"
#include "shell/sbvar.h"

int32_t NET_RequestVehicleSetups() {
  if (SB_Var.XState < XSTATE_CONNECTED) {
    SB_ConsolePrintf("[XNET]You are not connected !");
    return 0;
  }
  NET_Side.SetupsReceived = 0;
  if (NET_SendShort(CTRL_ALLVEHICLESETUP, 0, 0) && NET_WaitFor(&NET_Side.SetupsReceived, 30000)) return 1;
  SB_ConsolePrintf("[XNET]Cannot get vehicle setup !!!");
  return 0;
}
