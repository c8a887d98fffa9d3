// The race frame in its fixed order. The two user views are pipelined: on
// the accelerator's fast path the scene built in the previous frame is
// drawn while this frame builds the next one.
#include "race/raceframe.h"

#include <algorithm>

#include "engine3d/videotable.h"
#include "net/net.h"
#include "race/devinfo.h"
#include "race/hud.h"
#include "race/raceloop.h"
#include "race/racerules.h"
#include "race/sequencer.h"
#include "racescene/race3d.h"
#include "racescene/racecamera.h"
#include "racescene/views.h"
#include "scenery/effects.h"
#include "shell/sbvar.h"
#include "system/lsvar.h"
#include "tools/editors.h"
#include "vehicles/vehicles.h"

namespace {

constexpr int32_t kSlowFrame = 63;  // ms: less detail from here on
constexpr int32_t kFastFrame = 59;  // ms: more detail below this
constexpr int32_t kFarStep = 960;
constexpr int32_t kDrawStep = 6;
constexpr int32_t kMinFar = 14400, kMaxFar = 38400;
constexpr int32_t kMinDraw = 150, kMaxDraw = 300;
constexpr int32_t kSecondDetailDistance = 9600;

void BeginAcceleratorFrame(_WINDOW* window, TSOFTSCENE* view) {
  if (view && view->NbPolygons > 0) POWER_BeginFrame(window, view);
}

void Render(_WINDOW* window, TSOFTSCENE* view) {
  if (SB_Var.RenderFrame) SB_Var.RenderFrame(window, view);
}

// Steps 1 to 16: controls, race phases, network, cars, effects, camera,
// sounds, light and detail.
void UpdateWorld() {
  SB_SnapshotControls();
  SB_CheckVideoReload();
  SB_DoGameMode();
  SB_UpdateLapCounters();
  SB_RefreshCarSetups();
  if (NET_IsConnected()) NET_UpdateEvent();
  TSOFTSCENE* drawn = SB_DrawnView();
  SB_StartPvrFrame(&SB_Var.ScreenWindow, drawn);
  SB_RenderPvrFrame(&SB_Var.ScreenWindow, drawn);
  const bool software = SB_Var.Renderer != SB_RENDERER_PVR;
  if (software) SB_SelectBackground();
  SB_UpdateCars();
  SB_AnimateDecorObjects();
  SB_MoveFumee();
  SB_AnimateExplosions();
  if (software) SB_DrawBackground(&SB_Var.Camera);
  SB_UpdateRaceCamera(&SB_Var.Camera);
  SB_UpdateCarSounds();
  SB_UpdateLensFlare();
  SB_UpdateSunGlare();
  SB_UpdateDayNight();
  SB_UpdateCameraZoneFactor();
  SB_AutoDetail();
}

// Steps 17 to 23: the current view built and, off the fast path, drawn.
void BuildView() {
  TSOFTSCENE* view = SB_Var.CurrentView;
  SB_SetView(view, &SB_Var.Camera, &SB_Var.ScreenWindow, SB_Var.Focal, SB_Var.DetailDistance, 0);
  if (SB_Var.RenderMap) SB_Var.RenderMap(view, &SB_Var.Camera, &SB_Var.ScreenWindow);
  SB_DrawWorldObjects(&SB_Var.Camera, view);
  SB_DrawCarEffects(&SB_Var.Camera, view);
  SB_ResetPageAnims(view);
  if (SB_Var.Renderer == SB_RENDERER_PVR) POWER_ClipViewPolygons(&SB_Var.ScreenWindow, view);
  SB_FinishFrameRender(&SB_Var.ScreenWindow, view);
}

// Steps 24 to 33: the car's state and sounds out, the overlays and the HUD.
void FinishFrame() {
  SB_SendCarState(SB_Var.DrivenCar);
  SB_CommitCarSounds();
  POWER_DrawPolygonOutlines(SB_Var.PreviousView);
  SB_InspectPolygons(SB_Var.PreviousView);
  SB_DrawDevInfo();
  SB_DrawPhysicsMeters();
  SB_RaceScreenShot();
  SB_DrawHud();
  SB_DrawEndMenu();
  SB_DrawNoMoreServer();
  SB_SwapViewBuffers();
}

}  // namespace

void SB_RaceFrame() {
  UpdateWorld();
  BuildView();
  FinishFrame();
}

int32_t SB_IsFastRenderPath() {
  return !SB_Var.NoRender && SB_Var.Renderer == SB_RENDERER_PVR && !LSI_Var.Debug && !SB_Var.SlowRender ? 1
                                                                                                        : 0;
}

void SB_StartPvrFrame(_WINDOW* window, TSOFTSCENE* view) {
  if (SB_IsFastRenderPath()) BeginAcceleratorFrame(window, view);
}

void SB_RenderPvrFrame(_WINDOW* window, TSOFTSCENE* view) {
  if (SB_IsFastRenderPath()) Render(window, view);
}

void SB_FinishFrameRender(_WINDOW* window, TSOFTSCENE* view) {
  if (SB_Var.NoRender) return;
  if (SB_IsFastRenderPath()) {
    POWER_WaitRenderDone();
    return;
  }
  const bool accelerated = SB_Var.Renderer == SB_RENDERER_PVR;
  if (accelerated) BeginAcceleratorFrame(window, view);
  Render(window, view);
  if (accelerated) POWER_WaitRenderDone();
}

void SB_AutoDetail() {
  if (SB_Var.AutoDetail) {
    if (SB_Var.FrameTime >= kSlowFrame) {
      SB_Var.FarDistance -= kFarStep;
      SB_Var.DrawDistance -= kDrawStep;
    } else if (SB_Var.FrameTime < kFastFrame) {
      SB_Var.FarDistance += kFarStep;
      SB_Var.DrawDistance += kDrawStep;
    }
    SB_Var.FarDistance = std::clamp(SB_Var.FarDistance, kMinFar, kMaxFar);
    SB_Var.DrawDistance = std::clamp(SB_Var.DrawDistance, kMinDraw, kMaxDraw);
  }
  SB_Var.DetailDistance = SB_Var.DrawDistance * 320;
  SB_Var.DetailDistance2 = kSecondDetailDistance;
}
