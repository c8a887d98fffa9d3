// The scenery as the race phases drive it, until the scenery exists: no map
// holds panel or lamp pages yet, so there is nothing to write into. Weak,
// so that tests can put recording fakes in their place.
#include "scenery/daynight.h"
#include "scenery/panels.h"

__attribute__((weak)) void SB_SetPanelScrollText(int32_t, const char*, int32_t, int32_t, int32_t) {}
__attribute__((weak)) void SB_PanelPrintText(int32_t, const char*, int32_t) {}
__attribute__((weak)) void SB_ClearPanel(int32_t) {}
__attribute__((weak)) void SB_SetCountdownLights(int32_t) {}
__attribute__((weak)) void SB_SetGoLights() {}
__attribute__((weak)) void SB_ResetDayNight() {}
