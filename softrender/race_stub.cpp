// The software renderer's routines until the renderer exists: there is no
// map to list and no polygon to fill. Weak, so that tests can put
// recording fakes in their place.
#include "softrender/softrender.h"

__attribute__((weak)) void E3D_SoftRenderMap(TSOFTSCENE*, TCAMERA*, _WINDOW*) {}
__attribute__((weak)) void E3D_SoftDrawScene(_WINDOW*, TSOFTSCENE*) {}
