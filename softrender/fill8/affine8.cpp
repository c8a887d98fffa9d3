// The 8-bit affine triangle filler: u and v linear in screen space, one
// packed addition a pixel; with the transparent flag, texel 0 is skipped.
#include "softrender/affinesetup.h"
#include "softrender/softrender.h"
#include "system/bmap.h"

namespace {

template <bool kTransparent>
void Fill(const _WINDOW& window, const uint8_t* texels, uint32_t mask, const TSOFTVERTEX& a, const TSOFTVERTEX& b,
          const TSOFTVERTEX& c) {
  uint8_t* const first = window.W_ADDRESS;
  const int32_t pitch = window.W_BMAP->ByteLen;
  E3D_AffineTriangle(a, b, c, window.W_WIDTH, window.W_HEIGHT,
                     [=](int32_t y, int32_t x0, int32_t x1, uint32_t packed, uint32_t step) {
                       uint8_t* pixel = first + static_cast<intptr_t>(y) * pitch + x0;
                       for (int32_t n = x1 - x0; n > 0; --n, ++pixel, packed += step) {
                         const uint8_t texel = texels[E3D_TexelOffset(packed) & mask];
                         if (!kTransparent || texel) *pixel = texel;
                       }
                     });
}

}  // namespace

void E3D_AffineTri8(int32_t k, _WINDOW* window, uint8_t* texture, TSOFTVERTEX* a, TSOFTVERTEX* b, TSOFTVERTEX* c,
                    int32_t transparent) {
  if (!window || !window->W_ADDRESS || !window->W_BMAP || !texture || !a || !b || !c) return;
  const uint32_t mask = E3D_WrapMaskTable[E3D_ClampSizeIndex(k)];
  if (transparent)
    Fill<true>(*window, texture, mask, *a, *b, *c);
  else
    Fill<false>(*window, texture, mask, *a, *b, *c);
}
