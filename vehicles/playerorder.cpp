// In a network game the controller's order for the local player names its car.
#include "netlink/netlink.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "vehicles/vehicles.h"

void SB_PrintPlayerOrder() {
  if (!NET_IsConnected() || SB_Var.XState < XSTATE_CONNECTED || !SB_Var.UsingCars) return;
  SB_Var.DrivenCar = NET_GetMyPlayerOrder();
  SB_ConsolePrintf("%s", "");
  SB_ConsolePrintf("In game player order: %ld", static_cast<long>(SB_Var.DrivenCar));
  SB_ConsolePrintf("%s", "");
}
