// The renderer's video-mode table: the rows the race can run in, the one
// selected, the renderers and the console's listing of the modes.
#pragma once
#include <cstdint>

#include "engine3d/types.h"

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
