// Cars painted for the palette and display they are drawn on: whether a
// car's 8-bit textures predate the 3D palette, and the cars made again for
// the car editors' display, whose depth may not be the video mode's.
#include "engine3d/object.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "vehicles/cars.h"
#include "vehicles/paint.h"
#include "vehicles/types.h"
#include "vehicles/vehicles.h"

namespace {

// Whether a texture bitmap of the car is of another depth or pixel format
// than the display's: the fillers read texels at the display's.
bool MadeForAnotherDisplay(const TCAR* car, int32_t depth, int32_t format) {
  const MLIB* library = car && car->Object && car->Object->Materials ? car->Object->Materials->Library : nullptr;
  for (uint32_t j = 0; library && j < library->NbTextures; ++j) {
    const BMAP* bitmap = library->Textures[j].Bitmap;
    if (bitmap && (bitmap->Depth != depth || (depth != 8 && bitmap->Format != format))) return true;
  }
  return false;
}

// The car's own copy of its set's library made again at depth and format,
// as the cars' loading makes it at the video mode's; the old copy freed.
// False, the car unchanged, when the copy is refused.
bool RemakeMaterials(TCAR* car, int32_t depth, int32_t format) {
  MLIBENTRY* set = SB_Var.VehiclePrototype ? SB_Var.VehiclePrototype->Materials : nullptr;
  const MLIB* own = car->Object->Materials ? car->Object->Materials->Library : nullptr;
  // The car's paint is made from the set last selected (SB_BuildCarTexture):
  // a library of another shape is not the car's set.
  if (!set || !set->Library || !own || set->Library->NbTextures != own->NbTextures ||
      set->Library->NbMaterials != own->NbMaterials)
    return false;
  ++set->RefCount;  // the copy gives back the reference a car's object holds
  MLIBENTRY* copy = SB_DupMaterialLibraryFrom16to256(set, depth, format);
  if (!copy) {
    --set->RefCount;
    return false;
  }
  MLIBENTRY* old = car->Object->Materials;
  SB_SetObjectMaterials(car->Object, copy);
  ReleaseMLIBEntry(old);
  return true;
}

}  // namespace

bool SB_CarPaintedBeforeThePalette(const TCAR* car) {
  const MLIB* library = car && car->Object && car->Object->Materials ? car->Object->Materials->Library : nullptr;
  if (!SB_Var.Pal3d || !library || !car->TexturesReady) return false;
  for (uint32_t j = 0; j < library->NbTextures; ++j) {
    const BMAP* bitmap = library->Textures[j].Bitmap;
    if (bitmap && bitmap->Depth == 8 && bitmap->Palette != SB_Var.Pal3d) return true;
  }
  return false;
}

void SB_PaintCarsForDisplay(TVEHICLESETUP* setups, int32_t depth, int32_t format) {
  if (SB_Var.Renderer == SB_RENDERER_PVR) return;  // card textures, no bitmaps
  for (int32_t i = 0; i < SB_Var.NbCars && i < SB_MAXCARS; ++i) {
    TCAR* car = SB_Var.Cars[i];
    if (!car || !car->Object) continue;
    bool repaint = !car->TexturesReady || SB_CarPaintedBeforeThePalette(car);
    if (MadeForAnotherDisplay(car, depth, format)) {
      // Not painted into bitmaps the fillers would misread.
      if (!RemakeMaterials(car, depth, format)) continue;
      repaint = true;
    }
    if (!repaint) continue;
    SB_ConsolePrintf("...Generating textures for car n: %ld", static_cast<long>(i));
    SB_GenerateCarTextures(setups, i);
  }
}
