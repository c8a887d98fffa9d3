// The start-up probe of the video-mode table: which rows the display
// offers, and in which pixel format.
#include "engine3d/power.h"
#include "engine3d/videomode.h"
#include "engine3d/videotable.h"
#include "shell/gameevent.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/graphic.h"
#include "system/lsvar.h"

namespace {

// The mode being probed, and the format code the display gave for it.
struct Probe {
  int32_t width, height, depth;
  int32_t format;
} g_probe;

int32_t FormatOfDepth(int32_t depth) {
  switch (depth) {
    case 8: return BMAP_PAL8;
    case 16: return SB_Var.Format16;
    case 24: return BMAP_RGB888;
    default: return BMAP_XRGB8888;
  }
}

void CheckVideoMode(BMAP* mode) {
  if (mode->SizeX == g_probe.width && mode->SizeY == g_probe.height && mode->Depth == g_probe.depth)
    g_probe.format = FormatOfDepth(mode->Depth);
}

bool ProbeVideoMode(int32_t width, int32_t height, int32_t depth) {
  g_probe = {width, height, depth, 0};
  LS_EnumVideoModes(CheckVideoMode);
  return g_probe.format != 0;
}

}  // namespace

void SB_InitVideoModes() {
  const BMAP* screen = LS_Var.Screen;
  SB_Var.Format16 = screen && screen->Depth == 16 ? screen->Format : BMAP_RGB555;
  SB_Var.RendererCaps = SB_CAPS_SOFTWARE;
  SB_Var.Renderer = SB_Var.RequestedRenderer = 0;
  if (POWER_InstallRenderCallback()) SB_Var.RendererCaps |= SB_CAPS_PVR;
  const int32_t count = SB_CountVideoModes();
  for (int32_t i = 0; i < count; ++i) {
    TVIDEOMODE& row = SB_Var.VideoModes[i];
    SB_UpdateEvent();
    row.Available = ProbeVideoMode(row.Width, row.Height, row.Depth) ? 1 : 0;
    row.Format = row.TextureFormat = row.Available ? g_probe.format : 0;
    PIXELFORMAT format;
    LS_GetPixelFormat(&format, row.Format);
    row.TextureDepth = row.Available ? static_cast<int32_t>(format.BitsPerPixel) : 0;
  }
}
