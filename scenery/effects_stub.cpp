// The scenery and effects of a race not built yet: no map holds their
// objects or pictures, so there is nothing to load, move or draw. Weak, so
// that tests can put recording fakes in their place.
#include "scenery/effects.h"

#include "scenery/framefx.h"

__attribute__((weak)) void POWER_InitShadow() {}
__attribute__((weak)) void POWER_CloseShadow() {}
__attribute__((weak)) void POWER_InitPhare() {}
__attribute__((weak)) void POWER_ClosePhare() {}
__attribute__((weak)) void SB_InitCielBmapGame() {}
__attribute__((weak)) void SB_FreeCielBmapGame() {}
__attribute__((weak)) void SB_InitLensFlare() {}
__attribute__((weak)) void SB_DisposeLensFlare() {}

__attribute__((weak)) void SB_SetLightTint(float, float, float) {}
__attribute__((weak)) void SB_UpdateLensFlare() {}
__attribute__((weak)) void SB_UpdateSunGlare() {}
__attribute__((weak)) void SB_UpdateDayNight() {}
__attribute__((weak)) void POWER_BuildCarShadow(TSOFTSCENE*, TCAMERA*, TCAR*, int32_t) {}
__attribute__((weak)) void POWER_BuildPhareVolume(TCAMERA*, TCAR*, int32_t) {}
// No sun yet: the light tables are white.
__attribute__((weak)) void SB_SetLightDirection() { SB_BuildLightTable(); }
