// The scenery and effects of a race, until the scenery exists: no map
// holds their objects or pictures, so there is nothing to load, move or
// draw; only the race overlay is made, shown and freed, and the
// accelerator's screen device is deleted at the end of an accelerated race.
// Weak, so that tests can put recording fakes in their place.
#include "scenery/effects.h"

#include "engine3d/power.h"
#include "scenery/framefx.h"
#include "shell/console.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/lsvar.h"

__attribute__((weak)) int32_t SB_Create3dScreen(int32_t width, int32_t height, int32_t depth) {
  SB_Var.OutOfVideoRam = 0;
  SB_Var.TextScreen = SB_CreateBmap(width, height, depth, BMAP_VIDEOMEM, "sb3dscr");
  if (!SB_Var.TextScreen) {
    SB_ConsolePrintf("Not enough video ram !!!");
    SB_Var.OutOfVideoRam = 1;
    return 0;
  }
  LS_ClearBmap(SB_Var.TextScreen);
  return 1;
}

__attribute__((weak)) void SB_Free3dScreen() {
  if (SB_Var.Renderer == SB_RENDERER_PVR) POWER_DeleteScreenDevice();
  if (SB_Var.TextScreen) SB_FreeBmap(SB_Var.TextScreen);
  SB_Var.TextScreen = nullptr;
}

__attribute__((weak)) void SB_Show3dScreen() {
  const _WINDOW& w = SB_Var.ScreenWindow;
  if (!SB_Var.TextScreen || !LS_Var.Screen || w.W_WIDTH <= 0 || w.W_HEIGHT <= 0) return;
  LS_Bitmove(SB_Var.TextScreen, LS_Var.Screen, w.W_POSX, w.W_POSY, w.W_POSX + w.W_WIDTH - 1,
             w.W_POSY + w.W_HEIGHT - 1, w.W_POSX, w.W_POSY, LS_BLIT_OPAQUE);
}

__attribute__((weak)) void SB_Copy3dScreen() {
  if (SB_Var.TextScreen && LS_Var.Screen)
    LS_Bitmove(SB_Var.TextScreen, LS_Var.Screen, 0, 0, 639, 479, 0, 0, LS_BLIT_OPAQUE);
}

__attribute__((weak)) void TransBackObc() {}
__attribute__((weak)) void DisposeBackObc() {}
__attribute__((weak)) void SB_RemapDecorObjects() {}
__attribute__((weak)) void SB_FreeObjectsExtraTextures() {}
__attribute__((weak)) void SB_InitExplosionBmapGame() {}
__attribute__((weak)) void SB_FreeExplosionBmapGame() {}
__attribute__((weak)) void SB_LoadBackgrounds() {}
__attribute__((weak)) void SB_FreeBackgrounds() {}
__attribute__((weak)) void SB_RemapScratch() {}

__attribute__((weak)) void SB_SelectBackground() {}
__attribute__((weak)) void SB_DrawBackground(TCAMERA*) {}
__attribute__((weak)) void SB_AnimateDecorObjects() {}
__attribute__((weak)) void SB_AnimateExplosions() {}
__attribute__((weak)) void SB_DrawDecorObjects(TSOFTSCENE*) {}
__attribute__((weak)) void SB_DrawFireAndExplosions(TSOFTSCENE*, _WINDOW*) {}

// No panorama is loaded, so there is no band above it to fill.
__attribute__((weak)) void SB_FillAbovePanorama() {}
