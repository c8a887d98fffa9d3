// The cars' texture coordinates on the accelerator's path: stretched over
// their card textures at race set-up and back at tear-down, and halved for
// the cars whose card textures are reduced.
#include "engine3d/material.h"
#include "racescene/race3d.h"
#include "shell/sbvar.h"

namespace {

template <typename Pass>
void ForEachCarObject(Pass pass) {
  for (int32_t i = 0; i < SB_Var.NbCars && i < SB_MAXCARS; ++i)
    if (SB_Var.Cars[i] && SB_Var.Cars[i]->Object) pass(i, SB_Var.Cars[i]->Object);
}

}  // namespace

void SB_ScaleCarsTextureCoords(int32_t multiply) {
  if (SB_Var.Renderer != SB_RENDERER_PVR) return;
  ForEachCarObject([multiply](int32_t, OBJECT* object) { ScaleObjectTextureCoords(object, multiply); });
}

void SB_DoubleCarsTextureCoords(int32_t twice) {
  if (SB_Var.Renderer != SB_RENDERER_PVR || !SB_Var.TextureReduction) return;
  // The driven car and the replayed one keep their textures at full size.
  ForEachCarObject([twice](int32_t i, OBJECT* object) {
    if (i != SB_Var.DrivenCar && i != SB_Var.ReplayCar) DoubleObjectTextureCoords(object, twice);
  });
}
