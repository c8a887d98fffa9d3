// The car-index guard and the textures-ready word, read from the car table
// as the race rules, the session and the frame need them; and the lap
// hook, which does nothing. That one is weak, so that tests can put a
// recording fake in its place.
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

__attribute__((weak)) void SB_LapCompletedHook() {}
