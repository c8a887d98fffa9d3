// The 16-bit perspective polygon filler from 8-bit texture pages: the
// walk and spans of the 16-bit opaque family with one routine for every
// mask, each texel turned into a pixel through a table of 256 colours.
#include "softrender/fill16/persppoly16.h"

#include "softrender/softrender.h"

namespace {

constexpr float kBlockLength = 16.0f;

}  // namespace

void E3D_PerspPolyPal16(uint32_t mask, TSOFTVERTEX* corners, int32_t n, uint8_t* page, const uint16_t* colours,
                        uint8_t* firstPixel, TSOFTORIGIN* origin, float* matrix) {
  E3D_PERSPPOLY16 poly;
  if (!colours || !E3D_SetUpPerspPoly16(corners, n, page, firstPixel, origin, matrix, kBlockLength, &poly)) return;
  // The texel sits at the page address with the offset in its low 16
  // bits: on a page of 65536 bytes, page + (offset AND mask).
  const uint32_t wrap = mask & 0xFFFF;
  const uint8_t* texels = page;
  E3D_PerspRows16(poly, [=](int32_t x0, int32_t x1, E3D_PERSPPOINTS16 points, uint8_t* line) {
    int32_t ue, ve;
    points(ue, ve);
    uint8_t* span = line + 2 * static_cast<intptr_t>(x0);
    E3D_StepSpan<true>(x1 - x0, ue, ve, points, [=](int32_t i, uint32_t packed) {
      E3D_Store16(span + 2 * i, colours[texels[E3D_TexelOffset(packed) & wrap]]);
    });
  });
}
