// The car paint and the display-depth copy of a material library come with
// later work. Until then the prototype's pictures stay RGB, a car keeps the
// prototype's library, and a car's textures are its prototype's pictures
// copied unpainted into its material bitmaps; the car is then ready, since
// a car whose textures are not is never in game. Weak, so that tests can
// put recording fakes in their place.
#include "engine3d/object.h"
#include "shell/gamedraw.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "vehicles/cars.h"

__attribute__((weak)) MLIBENTRY* SB_DupMaterialLibraryFrom16to256(MLIBENTRY*, int32_t, int32_t) {
  return nullptr;
}

__attribute__((weak)) void SB_ObjectBmapsRGBtoHSV(OBJECT*) {}

__attribute__((weak)) void SB_GenerateCarTextures(TVEHICLESETUP*, int32_t index) {
  if (index < 0 || index >= SB_MAXCARS) return;
  TCAR* car = SB_Var.Cars[index];
  if (!car || !car->Object) return;
  car->TexturesReady = 1;
  const MLIBENTRY* entry = car->Object->Materials;
  const MLIB* library = entry ? entry->Library : nullptr;
  for (uint32_t j = 0; library && j < library->NbTextures; ++j) {
    const MLIBTEXTURE& texture = library->Textures[j];
    if (texture.Picture && texture.Bitmap)
      SB_Bitmove(texture.Picture, texture.Bitmap, 0, 0, texture.Picture->SizeX - 1,
                 texture.Picture->SizeY - 1, 0, 0);
  }
}
