// The start-up probe of the video-mode table: which rows the display
// offers, and in which pixel format; whether the accelerator answers.
#include "engine3d/power.h"
#include "engine3d/videotable.h"
#include "shell/gameevent.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/graphic.h"
#include "system/lsvar.h"

namespace {

int32_t FormatOfDepth(int32_t depth) {
  switch (depth) {
    case 8: return BMAP_PAL8;
    case 16: return SB_Var.Format16;
    case 24: return BMAP_RGB888;
    default: return BMAP_XRGB8888;
  }
}

}  // namespace

int32_t SB_GetScreen16Format() {
  const BMAP* screen = LS_Var.Screen;
  return screen && screen->Depth == 16 ? static_cast<int32_t>(screen->Format) : BMAP_RGB555;
}

void SB_CheckVideoModeCallback(BMAP* mode) {
  TVIDEOPROBE& p = SB_Var.VideoProbe;
  if (mode->SizeX == p.Width && mode->SizeY == p.Height && mode->Depth == p.Depth) {
    p.Found = 1;
    p.Format = FormatOfDepth(mode->Depth);
  }
}

int32_t SB_ProbeVideoMode(int32_t width, int32_t height, int32_t depth) {
  SB_Var.VideoProbe = {width, height, depth, 0, 0};
  LS_EnumVideoModes(SB_CheckVideoModeCallback);
  return SB_Var.VideoProbe.Found;
}

void SB_InitVideoModes() {
  POWER_InitTextureCache();
  SB_Var.Format16 = SB_GetScreen16Format();
  SB_Var.RendererCaps = SB_CAPS_SOFTWARE;
  SB_Var.Renderer = SB_Var.RequestedRenderer = 0;
  if (POWER_InstallRenderCallback()) SB_Var.RendererCaps |= SB_CAPS_PVR;
  const int32_t count = SB_CountVideoModes();
  for (int32_t i = 0; i < count; ++i) {
    TVIDEOMODE& row = SB_Var.VideoModes[i];
    SB_UpdateEvent();
    row.Available = SB_ProbeVideoMode(row.Width, row.Height, row.Depth);
    row.Format = row.TextureFormat = row.Available ? SB_Var.VideoProbe.Format : 0;
    PIXELFORMAT format;
    LS_GetPixelFormat(&format, row.Format);
    row.TextureDepth = row.Available ? static_cast<int32_t>(format.BitsPerPixel) : 0;
  }
}
