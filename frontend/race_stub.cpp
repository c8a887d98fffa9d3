// The front end's race pictures, until the front end exists: there are no
// pictures to load or show. Weak, so that tests can put recording fakes in
// their place.
#include "frontend/raceoverlay.h"

__attribute__((weak)) void SB_LoadOptionPicts() {}
__attribute__((weak)) void SB_FreeOptionPicts() {}
__attribute__((weak)) void SB_StartIntroCycle() {}
__attribute__((weak)) void SB_DisplayGameOptions(BMAP*) {}
__attribute__((weak)) void SB_DisplayIntroPicts() {}
