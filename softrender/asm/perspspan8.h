// The rows of an 8-bit perspective triangle between two edge records,
// with 1/z, u/z and v/z stepped along the rows and divided every 16
// pixels; the triangle filler sets the shared state before each call.
#pragma once
#include <cstdint>

// One edge of the triangle, walked a row at a time.
struct TPERSPEDGE {
  int32_t Dx, Dy;  // lower corner minus upper corner
  int32_t XStep, X;  // 16.16, x from the upper corner's centre (its x + half a pixel)
  float W, UW, VW;  // 1/z, u/z and v/z at the current row
  float StepW, StepUW, StepVW;  // and their change per row
};
static_assert(sizeof(TPERSPEDGE) == 40, "ten words");

// Pixel 0 of the next row to draw (left past the rows drawn), bytes per
// row, texel (0, 0) of the 256 x 256 page, 16 times the change of 1/z,
// u/z and v/z per pixel, and the view's width, which a row never passes.
extern uint8_t* E3D_PerspSpanLine;
extern int32_t E3D_PerspSpanPitch;
extern const uint8_t* E3D_PerspSpanTexture;
extern float E3D_PerspSpanStepW, E3D_PerspSpanStepU, E3D_PerspSpanStepV;
extern int32_t E3D_PerspSpanWidth;

// Draws `lines` rows, each from left x >> 16 up to but not including right
// x >> 16 (none when right is not past left), the rule of the other
// fillers, so that the triangles meet them and each other along shared
// edges without a gap; leaves both records and the line address on the
// row after. The transparent twin leaves the pixel where the texel is 0.
void E3D_PerspSpan8(uint32_t mask, int32_t lines, TPERSPEDGE* left, TPERSPEDGE* right);
void E3D_PerspSpanTransp8(uint32_t mask, int32_t lines, TPERSPEDGE* left, TPERSPEDGE* right);
