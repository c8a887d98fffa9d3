// The car paint as the race session and frame use it: the cars whose
// setup changed, or whose 8-bit textures predate the 3D palette, painted
// again, and the cars' card textures released.
#include "engine3d/object.h"
#include "engine3d/powercache.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "vehicles/cars.h"
#include "vehicles/paint.h"
#include "vehicles/types.h"

void SB_RegenerateChangedCarTextures(TVEHICLESETUP* setups) {
  if (!SB_Var.UsingCars || !setups) return;
  for (int32_t i = 0; i < SB_Var.NbCars && i < SB_MAXCARS; ++i) {
    if (!setups[i].Changed && !SB_CarPaintedBeforeThePalette(SB_Var.Cars[i])) continue;
    SB_ConsolePrintf("...Generating textures for car n: %ld", static_cast<long>(i));
    SB_GenerateCarTextures(setups, i);
    setups[i].Changed = 0;
  }
}

void SB_FreeCarPvrTextures() {
  if (SB_Var.Renderer != SB_RENDERER_PVR) return;
  for (TCAR* car : SB_Var.Cars) {
    MLIB* library = car && car->Object && car->Object->Materials ? car->Object->Materials->Library : nullptr;
    for (uint32_t j = 0; library && j < library->NbTextures; ++j) {
      MLIBTEXTURE& entry = library->Textures[j];
      if (entry.CardTexture) POWER_RemoveCachedTexture(entry.CardTexture);
      entry.CardTexture = 0;
    }
  }
}
