// The parts of the 3D engine the race calls that are not built yet: every
// call has no map, object or accelerator frame to act on. Weak, so that
// tests can put recording fakes in their place.
#include "engine3d/race3d.h"
#include "shell/sbvar.h"

__attribute__((weak)) void POWER_LoadScarsTexture() {}
__attribute__((weak)) void POWER_FreeScarsTexture() {}

__attribute__((weak)) void SB_UpdateCameraZoneFactor() {}
__attribute__((weak)) void POWER_BeginFrame(_WINDOW*, TSOFTSCENE*) {}
__attribute__((weak)) void POWER_ClipViewPolygons(_WINDOW*, TSOFTSCENE*) {}
__attribute__((weak)) int32_t POWER_DrawPolygonOutlines(TSOFTSCENE*) { return 0; }
__attribute__((weak)) void POWER_RenderMap(TSOFTSCENE*, TCAMERA*, _WINDOW*) {}
__attribute__((weak)) void POWER_RenderFrame(_WINDOW*, TSOFTSCENE*) {}

__attribute__((weak)) void SB_DrawObject(TSOFTSCENE*, _WINDOW*, OBJECT*, TCAMERA*, TCAR*, const double*, int32_t,
                                         int32_t, uint32_t) {}
__attribute__((weak)) void SB_DrawObjectDirect(TSOFTSCENE*, _WINDOW*, OBJECT*, TCAMERA*, TCAR*, int32_t) {}
