// Which cars take part in the race now: enabled, in the game, simulated.
#include "net/netplayer.h"
#include "race/raceframe.h"
#include "race/racerules.h"
#include "race/sequencer.h"
#include "shell/sbvar.h"
#include "vehicles/vehicles.h"

namespace {

bool IsLocalCar(int32_t car) { return car == SB_Var.DrivenCar || car == SB_Var.ReplayCar; }

// Modes in which only the cars of this machine run: a CONTROLLEDRACE
// waiting for the controller's start, and TRAINING in a network session.
bool OnlyLocalCars() {
  if (SB_Var.GameMode == SB_CONTROLLEDRACE && SB_GetGameStep() == 1) return true;
  return SB_Var.GameMode == SB_TRAINING && SB_Var.XState != XSTATE_NONET;
}

// A replay played from part-way through its recording would show its car
// away from the grid: that car waits for the racing phase. One played from
// its start shows the car where its recording began, on the grid.
bool WaitsForTheRace(int32_t car) {
  const TREPLAY* replay = SB_IsValidCarIndex(car) ? SB_Var.CarReplays[car] : nullptr;
  return replay && replay->StartTime != 0;
}

}  // namespace

int32_t SB_IsCarEnabled(int32_t car) {
  const TCAR* record = SB_CarRecord(car);
  if (!record || record->OutOfRace || record->OutOfRace2) return 0;
  if (OnlyLocalCars()) return IsLocalCar(car) ? 1 : 0;
  return 1;
}

int32_t SB_IsCarInGame(int32_t car) { return SB_CarTexturesReady(car) && SB_IsCarEnabled(car) ? 1 : 0; }

int32_t SB_IsCarSimulated(int32_t car) {
  if (!SB_IsCarInGame(car)) return 0;
  if (SB_GetGameStep() >= SB_STEP_RACING) return 1;
  return WaitsForTheRace(car) ? 0 : 1;
}
