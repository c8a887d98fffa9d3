// The cars of a race: one record per car index made from its setup, with
// its own materials and its textures, and all of them freed.
#include "vehicles/cars.h"

#include <cstring>

#include "engine3d/object.h"
#include "netlink/netlink.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "vehicles/setups.h"
#include "vehicles/vparamseditor.h"

namespace {

const TVEHICLESETUP* SetupOf(const TVEHICLESETUP* setups, int32_t i) { return setups ? &setups[i] : nullptr; }

// The video mode's depth and texture format, for the cars' own materials.
void ModeFormat(int32_t* depth, int32_t* format) {
  const int32_t index = SB_Var.VideoModeIndex;
  const bool valid = index >= 0 && index < SB_NBVIDEOMODES;
  *depth = valid ? SB_Var.VideoModes[index].Depth : 16;
  *format = valid ? SB_Var.VideoModes[index].TextureFormat : 0;
}

}  // namespace

int32_t SB_LoadCars(TVEHICLESETUP* setups, int32_t onlyChanged) {
  const int32_t n = SB_Var.NbCars < SB_MAXCARS ? SB_Var.NbCars : SB_MAXCARS;
  for (int32_t i = 0; i < n; ++i) {
    const TVEHICLESETUP* setup = SetupOf(setups, i);
    char prototype[sizeof setup->PrototypeName + 1] = {};
    if (setup) std::memcpy(prototype, setup->PrototypeName, sizeof setup->PrototypeName);
    SB_SelectVehiclePrototype(prototype);
    if (!SB_Var.VehiclePrototype) continue;
    SB_FreeVehicle(SB_Var.Cars[i]);  // a record the caller left would be lost
    TCAR* car = LoadVehicle();
    if (!car) continue;
    SB_Var.Cars[i] = car;
    // In a connected game every car but the driven one is driven on
    // another machine and placed from the states it sends.
    car->Remote = NET_IsConnected() && i != SB_Var.DrivenCar ? 1 : 0;
    int32_t depth, format;
    ModeFormat(&depth, &format);
    SB_SetObjectMaterials(car->Object,
                          SB_DupMaterialLibraryFrom16to256(car->Object->Materials, depth, format));
    const bool changed = setups && setups[i].Changed;
    if (onlyChanged && !changed) continue;
    SB_ConsolePrintf("...Generating textures for car n: %ld", static_cast<long>(i));
    SB_GenerateCarTextures(setups, i);
    if (onlyChanged) setups[i].Changed = 0;
  }
  return 1;
}

void SB_FreeCars() {
  SB_FreeVParamsEditor();  // its picture lives as long as the race's cars
  for (TCAR*& slot : SB_Var.Cars) {
    SB_FreeVehicle(slot);
    slot = nullptr;
  }
}
