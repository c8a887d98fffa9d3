// The number of cars in play, changed with the replays and recordings that
// are sized by it.
#include "shell/console.h"
#include "shell/sbvar.h"
#include "vehicles/devenv.h"
#include "vehicles/replays.h"
#include "vehicles/vehicles.h"

void SB_SetNumberOfCars(int32_t n) {
  SB_ConsolePrintf("Free replays...");
  SB_FreeAllCarReplays();
  SB_FreeCarsReplays();
  SB_Var.NbCars = n;
  SB_AllocCarsReplays();
}
