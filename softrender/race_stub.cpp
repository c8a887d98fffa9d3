// The 16-bit fillers until they exist: each takes its polygon and draws
// nothing. Weak, so that tests can put recording fakes in their place.
#include "softrender/softrender.h"

__attribute__((weak)) void E3D_AffineTri16(int32_t, _WINDOW*, uint8_t*, TSOFTVERTEX*, TSOFTVERTEX*, TSOFTVERTEX*,
                                           int32_t) {}
__attribute__((weak)) void E3D_PerspPolyOpaque16(int32_t, TSOFTVERTEX*, int32_t, uint8_t*, uint8_t*, TSOFTORIGIN*,
                                                 float*) {}
__attribute__((weak)) void E3D_PerspPolyTransp16(int32_t, TSOFTVERTEX*, int32_t, uint8_t*, uint8_t*, TSOFTORIGIN*,
                                                 float*) {}
