// The 3D engine tests' stand-ins: the track's ground queries and map
// file, the overlay and light of the scenery, the bluesky sound, the
// software renderer's row table.
#include "tests/racescene/engine3d_fakes.h"

#include "engine3d/power.h"
#include "engine3d/texpages.h"
#include "racescene/views.h"
#include "scenery/effects.h"
#include "scenery/framefx.h"
#include "shell/console.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "softrender/softrender.h"
#include "system/bmap.h"
#include "system/error.h"
#include "track/bspline.h"
#include "track/decor.h"
#include "track/ground.h"
#include "vehicles/vehicles.h"

namespace ztest {

Engine3dFakes& Fakes3d() {
  static Engine3dFakes fakes;
  return fakes;
}

void Engine3dTest::SetUp() {
  LibraryTest::SetUp();
  StartLibrary(8 << 20);
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  SB_ClearPrintedLines();
  Fakes3d() = {};
}

}  // namespace ztest

namespace {

void Call(const std::string& what) { ztest::Fakes3d().calls.push_back(what); }

}  // namespace

double SB_GetRoadHeight(int32_t x, int32_t z) {
  return ztest::Fakes3d().road ? ztest::Fakes3d().road(x, z) : 100000.0;
}

double SB_GetGroundHeight(int32_t x, int32_t z) {
  return ztest::Fakes3d().ground ? ztest::Fakes3d().ground(x, z) : 100000.0;
}

// The beam volumes' projection, as the view set-up hands it over.
void POWER_SetPhareFocal(float negFocal) { Call("POWER_SetPhareFocal " + std::to_string(negFocal)); }
void POWER_SetPhareCentre(float x, float y) {
  Call("POWER_SetPhareCentre " + std::to_string(x) + " " + std::to_string(y));
}
void SB_PlayBlueskySound() { ++ztest::Fakes3d().blueskyStarts; }

void SB_LoadMapTextures() { Call("SB_LoadMapTextures"); }
void SB_InitTextureAddresses() { Call("SB_InitTextureAddresses"); }
void SB_SetLightDirection() { Call("SB_SetLightDirection"); }
void SB_RefreshLighting() { Call("SB_RefreshLighting"); }
int32_t SB_LoadDecor(const char* path) {
  Call(std::string("SB_LoadDecor ") + path);
  return 1;
}
int32_t SB_LoadAndBuildMap(const char* path) {
  Call(std::string("SB_LoadAndBuildMap ") + path);
  return 1;
}
void SB_SaveDecor(const char* path) { Call(std::string("SB_SaveDecor ") + path); }

int32_t SB_Create3dScreen(int32_t width, int32_t height, int32_t depth) {
  Call("SB_Create3dScreen");
  if (ztest::Fakes3d().overlayFails) return 0;
  SB_Var.TextScreen = SB_CreateBmap(width, height, depth, BMAP_VIDEOMEM, "sb3dscr");
  return SB_Var.TextScreen ? 1 : 0;
}
void SB_Free3dScreen() {
  Call("SB_Free3dScreen");
  if (SB_Var.Renderer == SB_RENDERER_PVR) POWER_DeleteScreenDevice();
  if (SB_Var.TextScreen) SB_FreeBmap(SB_Var.TextScreen);
  SB_Var.TextScreen = nullptr;
}
void E3D_SetRowOffsets(int32_t bytes) { Call("E3D_SetRowOffsets " + std::to_string(bytes)); }
void SB_GetNearestBsplinePoint(const double position[3], double* nearest, double* alternative) {
  ztest::Fakes3d().asked.insert(ztest::Fakes3d().asked.end(), position, position + 3);
  *nearest = ztest::Fakes3d().nearest;
  *alternative = ztest::Fakes3d().alternative;
}
