// The renderer's video-mode table: the rows the race can run in, the one
// selected, the renderers and the console's listing of the modes.
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
  int32_t ViewWidth;  // 0 ends the table
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

constexpr int32_t SB_NBVIDEOMODES = 22;  // rows before the closing all-zero row
constexpr int32_t SB_DEFAULTVIDEOMODE = 7;

// A renderer: its name, the capability bit it needs in SB_Var.RendererCaps
// and the mask of the mode kinds it draws.
struct TRENDERER {
  const char* Name;
  int32_t Unused;
  int32_t Caps;
  int32_t Modes;
};
constexpr int32_t SB_NBRENDERERS = 4;  // VECTOR, PERSPECTIVE, MMX, PVR
constexpr int32_t SB_RENDERER_PVR = 3;
constexpr int32_t SB_CAPS_SOFTWARE = 1;
constexpr int32_t SB_CAPS_PVR = 4;

// The table as shipped: nothing available until the display is probed;
// the selection at row 7, the software renderer alone, renderer 0.
void SB_ResetVideoTable();
// The selected row.
const TVIDEOMODE* SB_GetSelectedVideoMode();
// Rows before the closing one.
int32_t SB_CountVideoModes();
// Moves the selection to the first available row from the selected one on
// (wrapping) whose texture format is the code (any with 0); a whole turn
// without one leaves it.
void SB_FindVideoMode(int32_t format);
// "Game video modes:" and a line per row.
void SB_ListVideoModes();
// The 9-character name of a pixel-format code.
const char* SB_GetPixelFormatName(int32_t code);
// The same from the row after the selected one, in its texture format, so
// that it cycles among the modes of one pixel format; a whole turn without
// one leaves the selection.
void SB_NextVideoMode();
// Switches the display to the selected row: the race overlay, the palette,
// the 3D view window and the race bitmaps; 0 when the overlay cannot be
// made.
int32_t SB_ApplyVideoMode();
int32_t SB_SetVideoMode(int32_t width, int32_t height, int32_t depth, int32_t focal, int32_t x, int32_t y,
                        int32_t viewWidth, int32_t viewHeight);
