// A race restarted without reloading the cars: every car's physics, the
// grid, the physics clock and the vehicle parameters as at the start; the
// car sounds stay loaded.
#include "shell/sbvar.h"
#include "vehicles/racereset.h"
#include "vehicles/vehicles.h"
#include "vehicles/vparams.h"

void SB_RestartRace() {
  if (!SB_Var.UsingCars) return;
  SB_ForEachCar([](TCAR* car, int32_t i) { SB_InitCarPhysics(car, i, 0); });
  SB_PlaceCarsOnGrid();
  SB_Var.PhysicsDt = SB_Var.PhysicsAccumulator = 0.0;
  SB_ReadVParams();
  SB_ForEachCar([](TCAR* car, int32_t) { car->SkidTimer = car->SkidTimerStart; });
}
