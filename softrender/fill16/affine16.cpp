// The 16-bit affine triangle filler: u and v linear in screen space, one
// packed addition a pixel, texels copied unchanged from the page of 16-bit
// texels (rows 512 bytes apart); with the transparent flag, texel 0 is
// skipped. Pixels go one at a time: the pairs the opaque span could store
// together are the same pixels.
#include "softrender/affinesetup.h"
#include "softrender/softrender.h"

void E3D_AffineTri16(int32_t k, _WINDOW* window, uint8_t* texture, TSOFTVERTEX* a, TSOFTVERTEX* b, TSOFTVERTEX* c,
                     int32_t transparent) {
  E3D_AffineFill<uint16_t>(k, window, texture, a, b, c, transparent);
}
