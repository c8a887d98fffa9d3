// The video-mode and renderer tables as shipped, the selection searches and
// the console's listing.
#include "engine3d/videotable.h"

#include "shell/console.h"
#include "shell/sbvar.h"
#include "system/bmap.h"

namespace {

// The ten display shapes: width, height, focal, then the view window's
// width, height, x and y.
struct Shape {
  int32_t width, height, focal, viewWidth, viewHeight, viewX, viewY;
};
constexpr Shape kShapes[10] = {
    {320, 200, 112, 320, 160, 0, 20}, {320, 200, 112, 320, 200, 0, 0}, {320, 240, 112, 320, 240, 0, 0},
    {512, 384, 179, 512, 384, 0, 0},  {640, 400, 224, 640, 320, 0, 40}, {640, 480, 224, 640, 320, 0, 80},
    {640, 400, 224, 640, 400, 0, 0},  {640, 480, 224, 640, 400, 0, 40}, {640, 480, 224, 640, 480, 0, 0},
    {800, 600, 280, 800, 600, 0, 0},
};

constexpr TVIDEOMODE Row(const Shape& s, int32_t depth) {
  const int32_t kind = depth == 8 ? 1 : depth == 16 ? 2 : 4;
  return TVIDEOMODE{s.width, s.height, depth, s.focal, 1.0f, s.viewWidth, s.viewHeight, s.viewX, s.viewY,
                    0,       0,        0,     0,       kind};
}

// The ten shapes at 8 bits, again at 16, then the last and the largest at
// 24, and the closing all-zero row.
struct ModeTable {
  TVIDEOMODE rows[SB_NBVIDEOMODES + 1];
};
constexpr ModeTable MakeModes() {
  ModeTable t{};
  for (int32_t i = 0; i < 10; ++i) {
    t.rows[i] = Row(kShapes[i], 8);
    t.rows[10 + i] = Row(kShapes[i], 16);
  }
  t.rows[20] = Row(kShapes[8], 24);
  t.rows[21] = Row(kShapes[9], 24);
  return t;
}
constexpr ModeTable kShippedModes = MakeModes();

constexpr TRENDERER kRenderers[SB_NBRENDERERS] = {
    {"VECTOR", 1, SB_CAPS_SOFTWARE, 3},
    {"PERSPECTIVE", 1, SB_CAPS_SOFTWARE, 1},
    {"MMX", 1, 2, 3},
    {"PVR", 2, SB_CAPS_PVR, 6},
};

// The first available row from start on, wrapping, whose texture format
// is the code (any with 0); -1 after a whole turn without one.
int32_t FindFrom(int32_t start, int32_t format) {
  const int32_t count = SB_CountVideoModes();
  for (int32_t k = 0; k < count; ++k) {
    const int32_t row = (start + k) % count;
    const TVIDEOMODE& mode = SB_Var.VideoModes[row];
    if (mode.Available && (format == 0 || mode.TextureFormat == format)) return row;
  }
  return -1;
}

}  // namespace

void SB_ResetVideoTable() {
  for (int32_t i = 0; i <= SB_NBVIDEOMODES; ++i) SB_Var.VideoModes[i] = kShippedModes.rows[i];
  for (int32_t i = 0; i < SB_NBRENDERERS; ++i) SB_Var.Renderers[i] = kRenderers[i];
  SB_Var.VideoModeIndex = SB_DEFAULTVIDEOMODE;
  SB_Var.RendererCaps = SB_CAPS_SOFTWARE;
  SB_Var.Renderer = SB_Var.RequestedRenderer = 0;
}

int32_t SB_CountVideoModes() {
  int32_t n = 0;
  while (n < SB_NBVIDEOMODES && SB_Var.VideoModes[n].ViewWidth != 0) ++n;
  return n;
}

void SB_FindVideoMode(int32_t format) {
  const int32_t count = SB_CountVideoModes();
  const int32_t start = SB_Var.VideoModeIndex >= 0 && SB_Var.VideoModeIndex < count ? SB_Var.VideoModeIndex : 0;
  const int32_t row = FindFrom(start, format);
  if (row >= 0) SB_Var.VideoModeIndex = row;
}

void SB_NextVideoMode() {
  const int32_t count = SB_CountVideoModes();
  const int32_t selected = SB_Var.VideoModeIndex;
  const int32_t next = selected >= 0 && selected < count ? (selected + 1) % count : 0;
  const int32_t row = FindFrom(next, SB_GetSelectedVideoMode()->TextureFormat);
  if (row >= 0) SB_Var.VideoModeIndex = row;
}

void SB_ListVideoModes() {
  SB_ConsolePrintf("Game video modes:");
  const int32_t count = SB_CountVideoModes();
  for (int32_t i = 0; i < count; ++i) {
    const TVIDEOMODE& m = SB_Var.VideoModes[i];
    if (m.Available)
      SB_ConsolePrintf("%2d:  %d*%d*%2d [%d*%d]  Texture: %s (exists)", i, m.Width, m.Height, m.Depth, m.ViewWidth,
                       m.ViewHeight, SB_GetPixelFormatName(m.TextureFormat));
    else
      SB_ConsolePrintf("%2d:  %d*%d*%2d [%d*%d]                          (not available)", i, m.Width, m.Height,
                       m.Depth, m.ViewWidth, m.ViewHeight);
  }
}

const char* SB_GetPixelFormatName(int32_t code) {
  switch (code) {
    case BMAP_PAL8: return "256COLORS";
    case BMAP_RGB555: return "RGB555   ";
    case BMAP_RGB565: return "RGB565   ";
    case BMAP_RGB888: return "RGB888   ";
    case BMAP_XRGB8888: return "RGB8880  ";
    default: return "UNKNOWN  ";
  }
}
