// The vehicles as the race rules, the session and the frame need them: the
// car-index guard and the two counts read the car table; the calls whose
// work comes later do nothing, or the least a race needs. Those are weak,
// so that tests can put recording fakes in their place.
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "vehicles/physics.h"
#include "vehicles/types.h"
#include "vehicles/vehicles.h"

int32_t SB_IsValidCarIndex(int32_t index) {
  return index >= 0 && index < SB_Var.NbCars && index < SB_MAXCARS ? 1 : 0;
}

int32_t SB_CarTexturesReady(int32_t index) {
  if (!SB_IsValidCarIndex(index) || !SB_Var.Cars[index]) return 0;
  return SB_Var.Cars[index]->TexturesReady;
}

int32_t SB_CountActiveCars() {
  int32_t count = 0;
  if (!SB_Hooks.GetNbRacingCars || !SB_Hooks.IsCarInGame || !SB_Hooks.GetIndPlayerCarIndex) return 0;
  const int32_t racing = SB_Hooks.GetNbRacingCars();
  for (int32_t i = 0; i < racing; ++i)
    if (SB_Hooks.IsCarInGame(SB_Hooks.GetIndPlayerCarIndex(i))) ++count;
  return count;
}

__attribute__((weak)) int32_t SB_IsCarReplayPlaying(int32_t) { return 0; }
__attribute__((weak)) void SB_ResetReplayClocks() {}
__attribute__((weak)) int32_t SB_LoadCarReplay(const char*, int32_t, int32_t) { return 0; }
__attribute__((weak)) void SB_FreeAllCarReplays() {}
__attribute__((weak)) void SB_LapCompletedHook() {}

__attribute__((weak)) void SB_SendCarState(TCAR*) {}
