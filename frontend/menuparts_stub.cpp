// The interface waves, bitmap animations and command texts until the
// front-end work that makes them: each does nothing (the busy cursor does
// not load, so the arrow stays), except that the waves' step pumps the
// events, as the real one does first. Weak, so that tests can put
// recording fakes in their place.
#include "frontend/menuparts.h"
#include "shell/gameevent.h"

__attribute__((weak)) SOUND* MenuWave(int32_t) { return nullptr; }
__attribute__((weak)) void LoadScreenSounds() {}
__attribute__((weak)) void LoadSelectCarWave() {}
__attribute__((weak)) void PlayInterfaceWave(SOUND*) {}
__attribute__((weak)) void PlayInterfaceWaveLooped(SOUND*) {}
__attribute__((weak)) void StopInterfaceWave(SOUND*) {}
__attribute__((weak)) void RegisterPlayedWave(SOUND*) {}
__attribute__((weak)) void UnregisterPlayedWave(SOUND*) {}
__attribute__((weak)) void UpdateInterfaceWaves() { SB_UpdateEvent(); }
__attribute__((weak)) void StopTransitionWave() {}
__attribute__((weak)) void FreeInterfaceWaves() {}

__attribute__((weak)) BMAPANIM* loadbmapanim() { return nullptr; }
__attribute__((weak)) void FreeBmapAnimSys(BMAPANIM*) {}
__attribute__((weak)) void DrawBmapAnim(BMAPANIM*, BMAP*, int32_t, int32_t, double) {}
__attribute__((weak)) void GetBmapAnimBox(BMAPANIM*, int32_t, int32_t, int32_t*, int32_t*, int32_t*, int32_t*) {}
__attribute__((weak)) double GetAnimTimeStep() { return 0.0; }

__attribute__((weak)) void RefreshCommandTexts(BMAP*) {}
