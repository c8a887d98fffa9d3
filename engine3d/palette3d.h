// Conversion of pictures to the 256 colours of the 3D palette.
#pragma once
#include <cstdint>

struct BMAP;

// Converts the source rectangle (corners inclusive) of a 24-bit bitmap to
// 8 bits, by error diffusion into the destination's palette, at (x, y).
void SB_FloydBmap24to8(BMAP* source, BMAP* destination, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                       int32_t x, int32_t y);
