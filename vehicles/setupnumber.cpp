// The local setup a car's copy came from, for its picture and textures.
#include "shell/sbvar.h"
#include "vehicles/types.h"
#include "vehicles/vehicles.h"

int32_t SB_GetCarSetupNumber(int32_t index) {
  return SB_IsValidCarIndex(index) ? SB_Var.CarSetups[index].SetupNumber : 0;
}
