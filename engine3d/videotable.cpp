// The video-mode table, the renderers, the start-up probe of the display's
// modes and the selection.
#include "engine3d/videotable.h"

#include "engine3d/videomode.h"
#include "shell/gameevent.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/graphic.h"
#include "system/lsvar.h"

// clang-format off
TVIDEOMODE SB_VideoModes[SB_NBVIDEOMODES + 1] = {
    {320, 200, 8, 112, 1.0f, 320, 160, 0, 20, 0, 0, 0, 0, 1},
    {320, 200, 8, 112, 1.0f, 320, 200, 0, 0, 0, 0, 0, 0, 1},
    {320, 240, 8, 112, 1.0f, 320, 240, 0, 0, 0, 0, 0, 0, 1},
    {512, 384, 8, 179, 1.0f, 512, 384, 0, 0, 0, 0, 0, 0, 1},
    {640, 400, 8, 224, 1.0f, 640, 320, 0, 40, 0, 0, 0, 0, 1},
    {640, 480, 8, 224, 1.0f, 640, 320, 0, 80, 0, 0, 0, 0, 1},
    {640, 400, 8, 224, 1.0f, 640, 400, 0, 0, 0, 0, 0, 0, 1},
    {640, 480, 8, 224, 1.0f, 640, 400, 0, 40, 0, 0, 0, 0, 1},
    {640, 480, 8, 224, 1.0f, 640, 480, 0, 0, 0, 0, 0, 0, 1},
    {800, 600, 8, 280, 1.0f, 800, 600, 0, 0, 0, 0, 0, 0, 1},
    {320, 200, 16, 112, 1.0f, 320, 160, 0, 20, 0, 0, 0, 0, 2},
    {320, 200, 16, 112, 1.0f, 320, 200, 0, 0, 0, 0, 0, 0, 2},
    {320, 240, 16, 112, 1.0f, 320, 240, 0, 0, 0, 0, 0, 0, 2},
    {512, 384, 16, 179, 1.0f, 512, 384, 0, 0, 0, 0, 0, 0, 2},
    {640, 400, 16, 224, 1.0f, 640, 320, 0, 40, 0, 0, 0, 0, 2},
    {640, 480, 16, 224, 1.0f, 640, 320, 0, 80, 0, 0, 0, 0, 2},
    {640, 400, 16, 224, 1.0f, 640, 400, 0, 0, 0, 0, 0, 0, 2},
    {640, 480, 16, 224, 1.0f, 640, 400, 0, 40, 0, 0, 0, 0, 2},
    {640, 480, 16, 224, 1.0f, 640, 480, 0, 0, 0, 0, 0, 0, 2},
    {800, 600, 16, 280, 1.0f, 800, 600, 0, 0, 0, 0, 0, 0, 2},
    {640, 480, 24, 224, 1.0f, 640, 480, 0, 0, 0, 0, 0, 0, 4},
    {800, 600, 24, 280, 1.0f, 800, 600, 0, 0, 0, 0, 0, 0, 4},
    {0, 0, 0, 0, 0.0f, 0, 0, 0, 0, 0, 0, 0, 0, 0},
};
// clang-format on

const TRENDERER SB_Renderers[SB_NBRENDERERS] = {
    {"VECTOR", 1, 1, 3}, {"PERSPECTIVE", 1, 1, 1}, {"MMX", 1, 2, 3}, {"PVR", 2, 4, 6}};

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

int32_t ProbeVideoMode(int32_t width, int32_t height, int32_t depth) {
  g_probe = {width, height, depth, 0};
  LS_EnumVideoModes(CheckVideoMode);
  return g_probe.format != 0;
}

int32_t ScreenFormat16() {
  const BMAP* screen = LS_Var.Screen;
  return screen && screen->Depth == 16 ? screen->Format : BMAP_RGB555;
}

// The first available row from start on, wrapping, whose texture format
// is the code (any for 0); -1 after a whole turn without one.
int32_t FindFrom(int32_t start, int32_t format) {
  for (int32_t step = 0; step < SB_NBVIDEOMODES; ++step) {
    const int32_t i = (start + step) % SB_NBVIDEOMODES;
    const TVIDEOMODE& row = SB_VideoModes[i];
    if (row.Available && (format == 0 || row.TextureFormat == format)) return i;
  }
  return -1;
}

}  // namespace

void SB_InitVideoModes() {
  SB_Var.Format16 = ScreenFormat16();
  SB_Var.RendererCaps = 1;
  SB_Var.Renderer = SB_Var.RequestedRenderer = 0;
  for (TVIDEOMODE* row = SB_VideoModes; row->ViewWidth; ++row) {
    SB_UpdateEvent();
    row->Available = ProbeVideoMode(row->Width, row->Height, row->Depth);
    row->Format = row->TextureFormat = row->Available ? g_probe.format : 0;
    PIXELFORMAT format;
    LS_GetPixelFormat(&format, row->Format);
    row->TextureDepth = row->Available ? static_cast<int32_t>(format.BitsPerPixel) : 0;
  }
}

void SB_FindVideoMode(int32_t format) {
  const int32_t start = SB_Var.VideoModeIndex;
  const int32_t found = FindFrom(start >= 0 && start < SB_NBVIDEOMODES ? start : 0, format);
  if (found >= 0) SB_Var.VideoModeIndex = found;
}

void SB_NextVideoMode() {
  const int32_t selected = SB_Var.VideoModeIndex;
  const int32_t next = selected >= 0 && selected < SB_NBVIDEOMODES ? (selected + 1) % SB_NBVIDEOMODES : 0;
  const int32_t found = FindFrom(next, SB_GetSelectedVideoMode()->TextureFormat);
  if (found >= 0) SB_Var.VideoModeIndex = found;
}
