// The software renderer's routines until they exist: there is no polygon
// to fill and no row table to fill. Weak, so that tests can put recording
// fakes in their place.
#include "softrender/softrender.h"

__attribute__((weak)) void E3D_SoftDrawScene(_WINDOW*, TSOFTSCENE*) {}
__attribute__((weak)) void E3D_AffineTri8() {}
__attribute__((weak)) void E3D_PerspPolyOpaque8() {}
__attribute__((weak)) void E3D_PerspPolyTransp8() {}
__attribute__((weak)) void E3D_PerspTri8() {}
__attribute__((weak)) void E3D_AffineTri16() {}
__attribute__((weak)) void E3D_PerspPolyOpaque16() {}
__attribute__((weak)) void E3D_PerspPolyTransp16() {}
__attribute__((weak)) void E3D_SetRowOffsets(int32_t) {}
