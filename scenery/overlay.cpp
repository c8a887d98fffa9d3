// The race overlay SB_Var.TextScreen, the bitmap each race frame is
// composed in, with the background layer that holds the current panorama
// in software modes: made at each video-mode switch, shown each frame with
// the texture cache's state when asked, and freed at the race's end.
//
// The entries are weak, so that tests can put recording fakes in their
// place.
#include <cstdio>

#include "engine3d/power.h"
#include "scenery/effects.h"
#include "shell/console.h"
#include "shell/gamedraw.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/input.h"
#include "system/lsvar.h"

namespace {

constexpr const char* kOverlayOwner = "sb3dscr";
constexpr const char* kLayerOwner = "sb3dscr background";
constexpr int32_t kKeyF10 = 121;
constexpr int32_t kInfoX = 100, kInfoY = 100;
constexpr int32_t kCopyRight = 639, kCopyBottom = 479;

// On the accelerator the overlay must be a video-memory surface: the
// library's debug switch, which turns such requests into system memory,
// is off during the call, and a result of another kind is refused.
BMAP* CreateOverlay(int32_t width, int32_t height, int32_t depth) {
  if (SB_Var.Renderer != SB_RENDERER_PVR) return SB_CreateBmap(width, height, depth, BMAP_VIDEOMEM, kOverlayOwner);
  const uint32_t debug = LSI_Var.Debug;
  LSI_Var.Debug = 0;
  BMAP* overlay = SB_CreateBmap(width, height, depth, BMAP_VIDEOMEM, kOverlayOwner);
  LSI_Var.Debug = debug;
  if (overlay && overlay->Kind != BMAP_VIDEOMEM) {
    SB_FreeBmap(overlay);
    overlay = nullptr;
  }
  return overlay;
}

void FreeLayers() {
  if (SB_Var.BackgroundLayer) SB_FreeBmap(SB_Var.BackgroundLayer);
  if (SB_Var.TextScreen) SB_FreeBmap(SB_Var.TextScreen);
  SB_Var.BackgroundLayer = SB_Var.TextScreen = nullptr;
}

void ShowCacheState() {
  char text[96];
  if (SB_Var.CacheStatus == SB_CACHESTATUS_INDISPENSABLE_LOST) {
    SB_DrawSysText("CACHE FULL INDISPENSABLE", SB_Var.TextScreen, kInfoX, kInfoY);
  } else if (SB_Var.CacheStatus == SB_CACHESTATUS_LOST) {
    std::snprintf(text, sizeof text, "CACHE FULL (Nb: %ld LostMem:%ldko)", static_cast<long>(SB_Var.CacheLostCount),
                  static_cast<long>(SB_Var.CacheLostMemory / 1024));
    SB_DrawSysText(text, SB_Var.TextScreen, kInfoX, kInfoY);
  }
  if (LS_KeyDown(kKeyF10)) POWER_ShowTextureMemInfo();
}

}  // namespace

__attribute__((weak)) int32_t SB_Create3dScreen(int32_t width, int32_t height, int32_t depth) {
  FreeLayers();  // a caller that did not free them first loses nothing
  SB_Var.OutOfVideoRam = 0;
  SB_Var.TextScreen = CreateOverlay(width, height, depth);
  if (!SB_Var.TextScreen) {
    SB_ConsolePrintf("Not enough video ram !!!");
    SB_Var.OutOfVideoRam = 1;
    return 0;
  }
  LS_ClearBmap(SB_Var.TextScreen);
  if (SB_Var.Renderer != SB_RENDERER_PVR) {
    SB_Var.BackgroundLayer = SB_CreateBmap(width, height, depth, BMAP_VIDEOMEM, kLayerOwner);
    if (SB_Var.BackgroundLayer) {
      LS_SetBmapRestoreProc(SB_Var.BackgroundLayer, SB_RestoreBackground);
      SB_RestoreBackground(SB_Var.BackgroundLayer);
    }
  }
  return 1;
}

__attribute__((weak)) void SB_Free3dScreen() {
  if (SB_Var.Renderer == SB_RENDERER_PVR) POWER_DeleteScreenDevice();
  FreeLayers();
}

__attribute__((weak)) void SB_Show3dScreen() {
  if (!SB_Var.TextScreen) return;
  if (SB_Var.DrawDevInfo) ShowCacheState();
  if (SB_Hooks.DisplayIntroPicts) SB_Hooks.DisplayIntroPicts();
  const _WINDOW& w = SB_Var.ScreenWindow;
  if (!LS_Var.Screen || w.W_WIDTH <= 0 || w.W_HEIGHT <= 0) return;
  SB_Bitmove(SB_Var.TextScreen, LS_Var.Screen, w.W_POSX, w.W_POSY, w.W_POSX + w.W_WIDTH - 1,
             w.W_POSY + w.W_HEIGHT - 1, w.W_POSX, w.W_POSY);
}

__attribute__((weak)) void SB_Copy3dScreen() {
  if (SB_Var.TextScreen && LS_Var.Screen)
    SB_Bitmove(SB_Var.TextScreen, LS_Var.Screen, 0, 0, kCopyRight, kCopyBottom, 0, 0);
}

int32_t SB_RestoreBackground(BMAP* layer) {
  if (!layer) return 1;
  LS_ClearBmap(layer);
  BMAP* picture = SB_Var.CurrentBackground;
  if (!picture) return 1;
  SB_Bitmove(picture, layer, 0, 0, picture->SizeX - 1, picture->SizeY - 1, 0, 0);
  LS_LockBmap(layer);
  if (layer->Start) {
    if (layer->Depth == 8)
      SB_Var.BackgroundFill = layer->Start[0];
    else
      SB_Var.BackgroundFill = static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(
          static_cast<uint16_t>(layer->Start[0] | layer->Start[1] << 8))));
  }
  LS_UnlockBmap(layer);
  return 1;
}
