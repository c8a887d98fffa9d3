// The 8-bit affine triangle filler: u and v linear in screen space, one
// packed addition a pixel; with the transparent flag, texel 0 is skipped.
#include "softrender/affinesetup.h"
#include "softrender/softrender.h"

void E3D_AffineTri8(int32_t k, _WINDOW* window, uint8_t* texture, TSOFTVERTEX* a, TSOFTVERTEX* b, TSOFTVERTEX* c,
                    int32_t transparent) {
  E3D_AffineFill<uint8_t>(k, window, texture, a, b, c, transparent);
}
