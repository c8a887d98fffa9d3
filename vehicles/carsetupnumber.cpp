// The vehicle-setup number of a car, from its own setup copy.
#include "shell/sbvar.h"
#include "vehicles/vehicles.h"

// Weak, so that the race tests' fake answers in its place.
__attribute__((weak)) int32_t SB_GetCarSetupNumber(int32_t index) {
  return SB_IsValidCarIndex(index) && index < SB_MAXCARS ? SB_Var.CarSetups[index].SetupNumber : 0;
}
