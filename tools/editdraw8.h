// The editors' small 8-bit drawing routines: a cleared rectangle, a
// checker mark, a drop shadow and the dashed rubber rectangle. Each clips
// to the 640 x 480 screen and to the bitmap, and does nothing on a bitmap
// of another depth.
#pragma once
#include <cstdint>

struct BMAP;

// The rectangle (corners inclusive) set to colour 0.
void SB_ClearRect8(BMAP* bmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// Every pixel of the rectangle whose x + y is odd set to 0.
void SB_CheckerRect8(BMAP* bmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// For every non-zero pixel of the source rectangle, the target pixel 6 to
// the right and 6 down from its place at (x, y) set to 0; nothing when
// less than two columns or rows remain after clipping.
void SB_ShadowBlit8(BMAP* source, BMAP* target, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x,
                    int32_t y);
// The rectangle's outline walked once from (x1, y1), clockwise, alternating
// the 3D palette's nearest red and blue pixel by pixel.
void SB_DrawDashedRect8(BMAP* bmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
