// The 3D engine as the race session and frame call it, until the engine
// exists: the two user views are made empty, and every other call has no
// map, texture or accelerator to act on. Weak, so that tests can put recording fakes in their place.
#include <cstring>

#include "engine3d/race3d.h"
#include "shell/owner.h"
#include "shell/sbvar.h"

namespace {

constexpr const char* kViewOwners[2] = {"SB_AllocUserViews1", "SB_AllocUserViews2"};

}  // namespace

__attribute__((weak)) void SB_CreateDataView() {
  for (int32_t i = 0; i < 2; ++i) {
    SB_Var.UserView[i] = static_cast<TSOFTSCENE*>(SB_GetMem(sizeof(TSOFTSCENE), kViewOwners[i]));
    if (SB_Var.UserView[i]) std::memset(SB_Var.UserView[i], 0, sizeof(TSOFTSCENE));
  }
  SB_Var.DetailDistance = SB_Var.DrawDistance * 320;
  SB_Var.CurrentView = SB_Var.UserView[0];
  SB_Var.PreviousView = nullptr;
  SB_Var.CameraMode = 1;
}

__attribute__((weak)) void SB_FreeDataView() {
  for (TSOFTSCENE*& view : SB_Var.UserView) {
    if (view) SB_Release(view);
    view = nullptr;
  }
  SB_Var.CurrentView = SB_Var.PreviousView = nullptr;
}

__attribute__((weak)) int32_t SB_LoadMap() { return 1; }

__attribute__((weak)) void POWER_LoadScarsTexture() {}
__attribute__((weak)) void POWER_FreeScarsTexture() {}

__attribute__((weak)) void SB_UpdateRaceCamera(TCAMERA*) {}
__attribute__((weak)) void SB_UpdateCameraZoneFactor() {}
__attribute__((weak)) void SB_SetView(TSOFTSCENE* view, TCAMERA*, _WINDOW*, int32_t, int32_t, int32_t) {
  if (!view) return;
  view->FirstPolygon = nullptr;
  view->NbPolygons = view->NbVertices = 0;
}
__attribute__((weak)) void POWER_BeginFrame(_WINDOW*, TSOFTSCENE*) {}
__attribute__((weak)) void POWER_ClipViewPolygons(_WINDOW*, TSOFTSCENE*) {}
__attribute__((weak)) int32_t POWER_DrawPolygonOutlines(TSOFTSCENE*) { return 0; }
__attribute__((weak)) void POWER_RenderMap(TSOFTSCENE*, TCAMERA*, _WINDOW*) {}
__attribute__((weak)) void POWER_RenderFrame(_WINDOW*, TSOFTSCENE*) {}

__attribute__((weak)) void SB_DrawObject(TSOFTSCENE*, _WINDOW*, OBJECT*, TCAMERA*, TCAR*, const double*, int32_t,
                                         int32_t, uint32_t) {}
__attribute__((weak)) void SB_DrawObjectDirect(TSOFTSCENE*, _WINDOW*, OBJECT*, TCAMERA*, TCAR*, int32_t) {}
