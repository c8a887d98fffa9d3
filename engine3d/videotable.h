// The renderer's video-mode table: the rows the race can run in, the one
// selected, the renderers, the console's listing of the modes and the
// start-up probe of which rows the display offers. Switching to a row is
// in racescene/videomode.h.
#pragma once
#include <cstdint>

#include "engine3d/types.h"

struct BMAP;

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

// The start-up probe: marks the table's rows the display offers, with
// their formats; asks whether the accelerator answers.
void SB_InitVideoModes();
// 1 when the display offers the mode; its format code in SB_Var.VideoProbe.
int32_t SB_ProbeVideoMode(int32_t width, int32_t height, int32_t depth);
void SB_CheckVideoModeCallback(BMAP* mode);
// The screen's format code when it is 16 bits deep, else 5-5-5.
int32_t SB_GetScreen16Format();
