// The scenery of the accelerator's frame, until the scenery exists: there
// is no sky, ground, flare, shadow or beam to draw. Weak, so that tests
// can put recording fakes in their place.
#include "scenery/framefx.h"
#include "shell/sbvar.h"

__attribute__((weak)) void POWER_DrawShadows(TSOFTSCENE*) {}
__attribute__((weak)) void POWER_DrawPhareVolumes() {}
__attribute__((weak)) void POWER_SetPhareFocal(float) {}
__attribute__((weak)) void POWER_SetPhareCentre(float, float) {}
