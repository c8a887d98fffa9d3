// The front end's films, CD music and race pictures, until the
// front end exists: each does nothing and answers 0. Weak, so that tests
// can put recording fakes in their place.
#include "frontend/interface.h"
#include "frontend/media.h"
#include "frontend/raceoverlay.h"

__attribute__((weak)) int32_t SB_PlayFli(const char*, const char*, int32_t, int32_t) { return 0; }
__attribute__((weak)) int32_t SB_PreloadFli(const char*, const char*) { return 0; }
__attribute__((weak)) int32_t SB_DiscardFli() { return 0; }

__attribute__((weak)) int32_t SB_StartCdMusic() { return 0; }
__attribute__((weak)) int32_t SB_StopCdMusic() { return 0; }

__attribute__((weak)) void SB_UpdateOptionsFade() {}
__attribute__((weak)) void POWER_LoadHudTextures() {}
__attribute__((weak)) void POWER_FreeHudTextures() {}
