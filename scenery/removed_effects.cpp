// Effects this game does not have: birds, exhaust flames and explosions,
// and the windscreen scratch overlay. The console's start-up and shutdown,
// the race session's set-up and tear-down and the race frame still call
// their entries at the places they would take, so the entries exist and do
// nothing: there is nothing to load, move, draw or free.
//
// Weak, so that tests can put recording fakes in their place.
#include "scenery/devenv.h"
#include "scenery/effects.h"

__attribute__((weak)) void InitBirds() {}
__attribute__((weak)) void SB_FreeBirds() {}
__attribute__((weak)) void SB_LoadScratch() {}
__attribute__((weak)) void SB_FreeScratch() {}
__attribute__((weak)) void SB_RemapScratch() {}
__attribute__((weak)) void SB_LoadExplosionBmaps() {}
__attribute__((weak)) void SB_FreeExplosionBmaps() {}
__attribute__((weak)) void SB_InitExplosionBmapGame() {}
__attribute__((weak)) void SB_FreeExplosionBmapGame() {}
__attribute__((weak)) void SB_AnimateExplosions() {}
__attribute__((weak)) void SB_DrawFireAndExplosions(TSOFTSCENE*, _WINDOW*) {}
