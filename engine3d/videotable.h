// The renderer's video-mode table: the rows the race can run in, and the
// one selected.
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

// The selected row.
const TVIDEOMODE* SB_GetSelectedVideoMode();
// Moves SB_Var.VideoModeIndex to the first available row from the selected
// one on, wrapping, whose texture format is the code (any row for 0); a
// whole turn without one leaves the selection.
void SB_FindVideoMode(int32_t format);
