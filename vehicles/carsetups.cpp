// The per-car copies of the vehicle setups a race takes: chosen from the
// local setups, or left blank for the other players' cars of a network
// race; the local car's copy sent to them, and missing copies asked for.
#include "netlink/netlink.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "system/input.h"
#include "vehicles/setups.h"
#include "vehicles/types.h"
#include "vehicles/vehicles.h"

void SB_AssignCarSetups(TVEHICLESETUP* copies) {
  if (!SB_Var.UsingCars || !copies) return;
  const TVEHICLESETUP* setups = SB_Var.VehicleSetups;  // null before the start-up made them
  const int32_t selected =
      SB_Var.SelectedSetup >= 0 && SB_Var.SelectedSetup < SB_NBLOCALSETUPS ? SB_Var.SelectedSetup : 0;
  for (int32_t i = 0; i < SB_Var.NbCars && i < SB_MAXCARS; ++i) {
    const bool local = i == SB_Var.DrivenCar || i == SB_Var.ReplayCar;
    if (!local && SB_Var.XState > XSTATE_NONET) {
      copies[i] = TVEHICLESETUP{};
      continue;
    }
    const int32_t n = local ? selected : i % SB_NBSELECTABLESETUPS;
    copies[i] = setups ? setups[n] : TVEHICLESETUP{};
    copies[i].Changed = 1;
    copies[i].SetupNumber = static_cast<int8_t>(n);
  }
}

void SB_SendLocalCarSetup(TVEHICLESETUP* copies) {
  if (!SB_Var.UsingCars || !copies || SB_Var.XState <= XSTATE_NONET) return;
  if (!SB_IsValidCarIndex(SB_Var.DrivenCar)) return;
  if (SB_Hooks.SendVehicleSetup) SB_Hooks.SendVehicleSetup(SB_Var.DrivenCar, &copies[SB_Var.DrivenCar]);
}

namespace {

// While a car waits, the controller is asked again this long after the
// last request: its answer holds only the setups it has been sent so far.
constexpr uint32_t kSetupAskPeriodMs = 1000;

}  // namespace

// A car taking part whose textures are not made is waiting for its setup.
// The controller is asked once a period while one waits, not every frame;
// a setup that arrives marks its car changed, which repaints it.
void SB_RefreshCarSetups() {
  if (NET_IsConnected()) {
    int32_t waiting = 0;
    for (int32_t i = 0; i < SB_Var.NbCars && i < SB_MAXCARS; ++i) {
      const TCAR* car = SB_Var.Cars[i];
      if (car && !car->OutOfRace && !car->OutOfRace2 && !car->TexturesReady) ++waiting;
    }
    const uint32_t now = LS_GetTime();
    if (!waiting) {
      SB_Var.SetupsAsked = 0;
    } else if (!SB_Var.SetupsAsked || now - SB_Var.SetupsAskedAt >= kSetupAskPeriodMs) {
      SB_Var.SetupsAsked = 1;
      SB_Var.SetupsAskedAt = now;
      if (SB_Hooks.RequestVehicleSetups) SB_Hooks.RequestVehicleSetups();
    }
  }
  SB_RegenerateChangedCarTextures(SB_Var.CarSetups);
}
