// The race's data view and the per-map preparations made with it: the map
// load entry, the centre-line indices of the map cubes and the start
// vertices of the software map faces.
#include "engine3d/camera.h"
#include "engine3d/matrix.h"
#include "engine3d/power.h"
#include "engine3d/texpages.h"
#include "racescene/powerscene.h"
#include "racescene/views.h"
#include "scenery/effects.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "track/bspline.h"
#include "track/decor.h"

namespace {

// The two centre-line indices nearest a point, each cut to 16 bits (a
// negative one as 0), the first in the low half.
uint32_t PackedIndices(double x, double y, double z) {
  const double position[3] = {x, y, z};
  double nearest = 0.0, alternative = 0.0;
  SB_GetNearestBsplinePoint(position, &nearest, &alternative);
  auto half = [](double v) { return v < 0.0 ? 0u : static_cast<uint32_t>(E3D_TruncToInt32(v)) & 0xFFFF; };
  return half(nearest) | half(alternative) << 16;
}

double CellCentre(uint8_t key) { return (key - 64) * 51.2; }

}  // namespace

void SB_CreateDataView() {
  if (LS_AllocObject3D(&SB_Var.DataView, 300, 500) != 0) LS_Error(0, "Error while creating data view !!!");
  SB_AllocUserViews();
  SB_Alloc3dBuffersTria();
  SB_LoadMapTextures();
  SB_InitTextureAddresses();
  SB_ResetCamera(&SB_Var.Camera);
  if (SB_Var.Renderer == SB_RENDERER_PVR) {
    SB_SetLightDirection();
    SB_RefreshLighting();
  }
  SB_InitFaceStartVertices();
  SB_InitCubeDistances();
  SB_Var.DetailDistance = SB_Var.DrawDistance * 320;
  SB_Var.CurrentView = SB_Var.UserView[0];
  SB_Var.PreviousView = nullptr;
  SB_Var.CameraMode = 1;
}

void SB_FreeDataView() {
  LS_FreeObject3D(&SB_Var.DataView);
  SB_FreeUserViews();
  SB_Free3dBuffersTria();
}

// Weak, so that the race tests can answer in its place.
__attribute__((weak)) int32_t SB_LoadMap() {
  if (!SB_Var.BuildMap) return SB_LoadDecor(SB_Var.DecorMapFile);
  if (!SB_LoadAndBuildMap(SB_Var.AsciiMapFile)) return 0;
  SB_SaveDecor(SB_Var.DecorMapFile);
  SB_Var.BuildMap = 0;
  return 1;
}

void SB_FreeMap() { SB_FreeDecor(); }

void SB_InitCubeDistances() {
  if (!SB_Var.BsplineValid || !SB_Var.Decor.NewlyLoaded) return;
  if (SB_Var.Renderer != SB_RENDERER_PVR) {
    SB_ConsolePrintf("SB_InitCubeDistances (classic)...");
    for (int32_t i = 0; i < SB_Var.Decor.NbCubes; ++i) {
      TBIGENTITY& cube = SB_Var.Decor.Cubes[i];
      cube.BsplineIndices = PackedIndices(CellCentre(cube.KeyX), CellCentre(cube.KeyY), CellCentre(cube.KeyZ));
    }
  }
  SB_ConsolePrintf("SB_InitCubeDistances (polygones)...");
  for (int32_t i = 0; i < SB_Var.NbCube10Polys; ++i) {
    TFCUBE10POLY& cell = SB_Var.Cube10Polys[i];
    const uint32_t packed = PackedIndices(CellCentre(cell.X), CellCentre(cell.Y), CellCentre(cell.Z));
    cell.BsplineIndices[0] = static_cast<uint16_t>(packed);
    cell.BsplineIndices[1] = static_cast<uint16_t>(packed >> 16);
  }
}
