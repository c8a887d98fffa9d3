// The choice of the car driven on this machine and of the car shown from a
// replay when none is.
#include "netlink/netlink.h"
#include "shell/sbvar.h"
#include "vehicles/vehicles.h"

void SB_FindDrivenCar() {
  if (!SB_Var.UsingCars) return;
  SB_Var.ReplayCar = -1;
  if (NET_IsConnected() && SB_Var.XState >= XSTATE_CONNECTED) return;
  SB_Var.DrivenCar = -1;
  for (int32_t i = 0; i < SB_Var.NbCars && i < SB_MAXCARS; ++i) {
    if (SB_Var.CarReplays[i])
      SB_Var.ReplayCar = i;
    else if (SB_Var.DrivenCar < 0)
      SB_Var.DrivenCar = i;
  }
  if (SB_Var.DrivenCar >= 0) SB_Var.ReplayCar = -1;
}
