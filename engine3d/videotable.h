// The renderer's video-mode table: the rows the race can run in, the one
// selected, the renderers and which kinds of mode each can draw.
#pragma once
#include <cstdint>

// One row: the display mode, the 3D view window on it and what the display
// said of the mode at start-up.
struct TVIDEOMODE {
  int32_t Width;
  int32_t Height;
  int32_t Depth;  // bits per pixel
  int32_t Focal;  // pixels
  float Scale;
  int32_t ViewWidth;
  int32_t ViewHeight;
  int32_t ViewX;
  int32_t ViewY;
  int32_t Available;
  int32_t Format;         // pixel-format code the display gave
  int32_t TextureFormat;  // pixel-format code of the textures
  int32_t TextureDepth;
  int32_t Kind;  // 1 8-bit, 2 16-bit, 4 24-bit
};
static_assert(sizeof(TVIDEOMODE) == 14 * 4, "fourteen 32-bit words a row");

// The 22 rows, then an all-zero row that ends the table. The availability
// and format columns are filled by the start-up probe (SB_InitVideoModes).
constexpr int32_t SB_NBVIDEOMODES = 22;
extern TVIDEOMODE SB_VideoModes[SB_NBVIDEOMODES + 1];

// The renderers, by SB_Var.Renderer: 0 "VECTOR", 1 "PERSPECTIVE", 2 "MMX",
// 3 "PVR" (the accelerator).
struct TRENDERER {
  const char* Name;
  int32_t Word2;       // not used
  int32_t Capability;  // the bit of SB_Var.RendererCaps it needs
  int32_t Modes;       // the kinds of mode it draws
};
constexpr int32_t SB_NBRENDERERS = 4;
constexpr int32_t SB_PVR = 3;
extern const TRENDERER SB_Renderers[SB_NBRENDERERS];

// The row SB_Var.VideoModeIndex selects (the last row for an index past
// the table).
const TVIDEOMODE* SB_GetSelectedVideoMode();
// Moves the selection to the first available row from the selected one
// on, wrapping, whose texture format is the code (any for 0); a whole turn
// without one leaves it.
void SB_FindVideoMode(int32_t format);
// The same from the row after the selected one, in its texture format.
void SB_NextVideoMode();
// Switches the display to the selected row: the race overlay, the palette,
// the 3D view window and the race bitmaps; 0 when the overlay cannot be
// made.
int32_t SB_ApplyVideoMode();
int32_t SB_SetVideoMode(int32_t width, int32_t height, int32_t depth, int32_t focal, int32_t x, int32_t y,
                        int32_t viewWidth, int32_t viewHeight);
