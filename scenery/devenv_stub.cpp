// The scenery as the console's start-up and tear-down use it, until the
// scenery exists: nothing is loaded, so nothing is freed. Weak, so that
// tests can put recording fakes in their place.
#include "scenery/devenv.h"

__attribute__((weak)) void LoadBackObcFile() {}
__attribute__((weak)) void FreeBackObc() {}
__attribute__((weak)) void InitBirds() {}
__attribute__((weak)) void SB_FreeBirds() {}
__attribute__((weak)) void SB_LoadScratch() {}
__attribute__((weak)) void SB_FreeScratch() {}
__attribute__((weak)) void SB_LoadExplosionBmaps() {}
__attribute__((weak)) void SB_FreeExplosionBmaps() {}
