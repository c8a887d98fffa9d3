// Switching the display: the mode with its window state, the renderer's
// back end for the depth, the race overlay with the 3D view window, the
// focal length and projection centre, and Alt+Enter.
#include "racescene/videomode.h"

#include "engine3d/power.h"
#include "engine3d/videotable.h"
#include "platform/window.h"
#include "racescene/race3d.h"
#include "racescene/views.h"
#include "scenery/effects.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "softrender/softrender.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/graphic.h"
#include "system/lsvar.h"
#include "system/palette.h"
#include "system/sound.h"
#include "system/win/shell.h"

namespace {

constexpr int32_t kWindowed = 256;

// The mouse cursor shown (in a window) or hidden (full screen), whatever
// the display count stood at.
void ShowCursor(bool show) {
  if (show)
    while (plat::ShowCursor(true) < 0) {
    }
  else
    while (plat::ShowCursor(false) >= 0) {
    }
}

void ClearScreen() {
  if (LS_Var.Screen) LS_ClearBmap(LS_Var.Screen);
}

// The 8-bit fillers of renderers 0 and 1.
void InstallFillers8() {
  switch (SB_Var.Renderer) {
    case 0:
      SB_Var.AffineTriFiller = E3D_AffineTri8;
      SB_Var.PerspOpaqueFiller = E3D_PerspPolyOpaque8;
      SB_Var.PerspTranspFiller = E3D_PerspPolyTransp8;
      SB_Var.SoftFillers = 1;
      break;
    case 1:
      SB_Var.PerspTriFiller = E3D_PerspTri8;
      SB_Var.AffineTriFiller = E3D_AffineTri8;
      SB_Var.SoftFillers = 0;
      break;
    case 2: SB_Var.SoftFillers = 0; break;
    default: break;
  }
}

void InstallFillers16() {
  switch (SB_Var.Renderer) {
    case 0:
      SB_Var.AffineTriFiller = E3D_AffineTri16;
      SB_Var.PerspOpaqueFiller = E3D_PerspPolyOpaque16;
      SB_Var.PerspTranspFiller = E3D_PerspPolyTransp16;
      SB_Var.SoftFillers = 1;
      break;
    case 2: SB_Var.SoftFillers = 0; break;
    case SB_RENDERER_PVR:
      SB_Var.RenderMap = POWER_RenderMap;
      SB_Var.RenderFrame = POWER_RenderFrame;
      break;
    default: break;
  }
}

// Steps 5 to 10 of a switch, shared with the editors' view windows: the
// 3D view window, the accelerator's device, the view pyramid, the row
// offsets (and the race bitmaps), the view state and the centre.
void PlaceViewWindow(BMAP* bitmap, int32_t x, int32_t y, int32_t width, int32_t height, bool remap) {
  LS_InitWindow(bitmap, &SB_Var.ScreenWindow, 12, x, y, width, height);
  if (SB_Var.Renderer == SB_RENDERER_PVR) {
    POWER_DeleteScreenDevice();
    POWER_CreateScreenDevice(SB_Var.ScreenWindow.W_WIDTH, SB_Var.ScreenWindow.W_HEIGHT,
                             SB_Var.TextScreen ? SB_Var.TextScreen->Depth : 16);
    POWER_InitSglContext(&SB_Var.ScreenWindow);
  }
  SB_BuildViewPyramid(&SB_Var.ScreenWindow);
  if (bitmap) {
    LS_LockBmap(bitmap);
    E3D_SetRowOffsets(bitmap->ByteLen);
    if (remap && SB_Hooks.RemapRaceBitmaps) SB_Hooks.RemapRaceBitmaps();
    LS_UnlockBmap(bitmap);
  }
  SB_ResetViewState();
  SB_Var.CenterX = SB_Var.ScreenWindow.W_WIDTH / 2;
  SB_Var.CenterY = SB_Var.ScreenWindow.W_HEIGHT / 2;
  SB_Var.CenterXF = static_cast<float>(SB_Var.CenterX);
  SB_Var.CenterYF = static_cast<float>(SB_Var.CenterY);
}

}  // namespace

void SB_InstallRenderBackEnd(int32_t depth) {
  SB_Var.RenderMap = E3D_SoftRenderMap;
  SB_Var.RenderFrame = E3D_SoftDrawScene;
  if (depth == 8) {
    InstallFillers8();
  } else if (depth == 16) {
    InstallFillers16();
  } else if (depth == 24 && SB_Var.Renderer == SB_RENDERER_PVR) {
    SB_Var.RenderMap = POWER_RenderMap;
    SB_Var.RenderFrame = POWER_RenderFrame;
  } else if (depth == 24) {
    LS_Error(0, "Unknown mode 24");
  } else {
    LS_Error(0, "Unsupported Depth");
  }
}

void SB_SetDisplayMode(int32_t width, int32_t height, int32_t depth) {
  // A window only at the desktop's depth; any other depth is full screen.
  const int32_t request = LSYS_DesktopDepth == depth ? SB_Var.WindowedRequest : 0;
  if (width == SB_Var.DisplayWidth && height == SB_Var.DisplayHeight && depth == SB_Var.DisplayDepth &&
      SB_Var.WindowedApplied == request) {
    ClearScreen();
    SB_InstallRenderBackEnd(depth);
    return;
  }
  SB_Var.DisplayWidth = width;
  SB_Var.DisplayHeight = height;
  SB_Var.DisplayDepth = depth;
  ClearScreen();
  LSYS_SetVideoMode(width, height, depth, request + 1);
  SB_Var.WindowedApplied = request;
  ClearScreen();
  SB_InstallRenderBackEnd(depth);
}

void SB_SetFocal(int32_t focal) {
  if (focal < 1) return;  // the slopes and the projection divide by it
  SB_Var.Focal = SB_Var.Focal2 = focal;
  SB_Var.FocalF = static_cast<float>(focal);
  SB_Var.FocalD = focal;
  SB_Var.Focal5 = focal / 5;
  SB_BuildViewPyramid(&SB_Var.ScreenWindow);
  SB_ResetViewState();
}

int32_t SB_SetVideoMode(int32_t width, int32_t height, int32_t depth, int32_t focal, int32_t x, int32_t y,
                        int32_t viewWidth, int32_t viewHeight) {
  SB_Free3dScreen();
  SB_SetDisplayMode(width, height, depth);
  if (!SB_Create3dScreen(width, height, depth)) return 0;
  if (SB_Var.Pal3d) LS_SetPalette(SB_Var.Pal3d);
  SB_SetFocal(focal);
  PlaceViewWindow(SB_Var.TextScreen, x, y, viewWidth, viewHeight, true);
  return 1;
}

void SB_SetViewWindow(BMAP* bitmap, int32_t focal, int32_t x, int32_t y, int32_t width, int32_t height) {
  if (focal >= 1) {  // as SB_SetFocal, the integer focal only
    SB_Var.Focal = SB_Var.Focal2 = focal;
    SB_Var.Focal5 = focal / 5;
  }
  PlaceViewWindow(bitmap, x, y, width, height, false);
}

int32_t SB_ApplyVideoMode() {
  const TVIDEOMODE* m = SB_GetSelectedVideoMode();
  return SB_SetVideoMode(m->Width, m->Height, m->Depth, m->Focal, m->ViewX, m->ViewY, m->ViewWidth, m->ViewHeight);
}

int32_t SB_ToggleFullScreen() {
  if (LSI_Var.Master) return 0;
  const BMAP* screen = LS_Var.Screen;
  if (!screen || screen->Depth != LSYS_DesktopDepth) {
    LS_Beep();
    return 0;
  }
  SB_Var.WindowedRequest = SB_Var.WindowedRequest == kWindowed ? 0 : kWindowed;
  ShowCursor(SB_Var.WindowedRequest == kWindowed);
  SB_SetDisplayMode(screen->SizeX, screen->SizeY, screen->Depth);
  return 1;
}
