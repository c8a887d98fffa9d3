// The game's blits and drawing, clipped by the library.
#pragma once
#include <cstdint>

#include "system/bmap.h"

// Copies the source rectangle (corners inclusive) to (x, y).
void SB_Bitmove(BMAP* source, BMAP* destination, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x,
                int32_t y);
// The same with colour 0 transparent.
void SB_BitmoveTransparent(BMAP* source, BMAP* destination, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                           int32_t x, int32_t y);
// As SB_Bitmove, except that a 24-bit source into an 8-bit destination with
// a palette is converted whole, to (0, 0), by error diffusion.
void SB_BitmoveFloyd(BMAP* source, BMAP* destination, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                     int32_t x, int32_t y);

void SB_DrawBox(BMAP* bmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour, int32_t flags);
void SB_FillRect(BMAP* bmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
void SB_ClearBmap(BMAP* bmap);

// A line cut to the bitmap at its four edges, drawn by the 8- or 16-bit
// line primitive; nothing when no part is inside.
void SB_DrawLine(BMAP* bmap, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour);
// The segment cut at x = 0, x = xmax, y = 0 and y = ymax in that order, each
// cut moving the end beyond the edge onto it; true when both ends then lie
// in 0..xmax, 0..ymax.
bool SB_ClipLine(int32_t xmax, int32_t ymax, int32_t* x0, int32_t* y0, int32_t* x1, int32_t* y1);
// The other coordinate of the line through (a0, b0) and (a1, b1) at a:
// b0 + trunc((a - a0) / (a1 - a0) x (b1 - b0)).
int32_t SB_LineIntercept(int32_t a0, int32_t b0, int32_t a1, int32_t b1, int32_t a);
