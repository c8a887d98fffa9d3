// The race's video-mode switch until the 3D engine exists: the display
// takes the row's mode, the race overlay is made again for it, the 3D view
// window is placed on it and the race bitmaps follow the screen's format;
// the renderer's slots get the routines of its depth, and the accelerator's
// race gets its screen device over the view window. Weak, so that tests can
// put recording fakes in place.
#include "engine3d/power.h"
#include "engine3d/race3d.h"
#include "engine3d/videomode.h"
#include "engine3d/videotable.h"
#include "scenery/effects.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "softrender/softrender.h"
#include "system/bmap.h"
#include "system/palette.h"

namespace {

void InstallRenderBackEnd(int32_t depth) {
  const bool accelerated = SB_Var.Renderer == SB_RENDERER_PVR && (depth == 16 || depth == 24);
  SB_Var.RenderMap = accelerated ? POWER_RenderMap : E3D_SoftRenderMap;
  SB_Var.RenderFrame = accelerated ? POWER_RenderFrame : E3D_SoftDrawScene;
}

}  // namespace

__attribute__((weak)) int32_t SB_SetVideoMode(int32_t width, int32_t height, int32_t depth, int32_t focal,
                                              int32_t x, int32_t y, int32_t viewWidth, int32_t viewHeight) {
  SB_Free3dScreen();
  SB_SetDisplayMode(width, height, depth);
  InstallRenderBackEnd(depth);
  if (!SB_Create3dScreen(width, height, depth)) return 0;
  if (SB_Var.Pal3d) LS_SetPalette(SB_Var.Pal3d);
  SB_Var.Focal = focal;
  LS_InitWindow(SB_Var.TextScreen, &SB_Var.ScreenWindow, 12, x, y, viewWidth, viewHeight);
  if (SB_Var.Renderer == SB_RENDERER_PVR) {
    POWER_DeleteScreenDevice();
    POWER_CreateScreenDevice(viewWidth, viewHeight, SB_Var.TextScreen->Depth);
    POWER_InitSglContext(&SB_Var.ScreenWindow);
  }
  LS_LockBmap(SB_Var.TextScreen);
  if (SB_Hooks.RemapRaceBitmaps) SB_Hooks.RemapRaceBitmaps();
  LS_UnlockBmap(SB_Var.TextScreen);
  SB_Var.PreviousView = nullptr;
  SB_Var.CurrentView = SB_Var.UserView[0];
  SB_Var.FarDistance = 38400;
  SB_Var.CenterX = SB_Var.ScreenWindow.W_WIDTH / 2;
  SB_Var.CenterY = SB_Var.ScreenWindow.W_HEIGHT / 2;
  return 1;
}

__attribute__((weak)) int32_t SB_ApplyVideoMode() {
  const TVIDEOMODE* m = SB_GetSelectedVideoMode();
  return SB_SetVideoMode(m->Width, m->Height, m->Depth, m->Focal, m->ViewX, m->ViewY, m->ViewWidth,
                         m->ViewHeight);
}
