// The race start of the cars: physics state, sounds, grid, physics clock,
// brake lights, then the vehicle-parameter file on top and the skid timers
// at its start value.
#include "race/session.h"
#include "scenery/brakelights.h"
#include "shell/sbvar.h"
#include "vehicles/carsounds.h"
#include "vehicles/racereset.h"
#include "vehicles/vehicles.h"
#include "vehicles/vparams.h"

void SB_StartRace() {
  if (!SB_Var.UsingCars) return;
  SB_ForEachCar([](TCAR* car, int32_t i) { SB_InitCarPhysics(car, i, 1); });
  SB_LoadCarSounds();
  SB_ForEachCar([](TCAR* car, int32_t) { SB_ResetCarSoundState(car); });
  SB_PlaceCarsOnGrid();
  SB_Var.PhysicsDt = SB_Var.PhysicsAccumulator = 0.0;
  SB_ResetBrakeLights();
  SB_ReadVParams();
  SB_ForEachCar([](TCAR* car, int32_t) { car->SkidTimer = car->SkidTimerStart; });
}
