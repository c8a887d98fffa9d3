// The bitmap animations and command texts until the front-end work that
// makes them: each does nothing (the busy cursor does not load, so the
// arrow stays). Weak, so that tests can put recording fakes in their place.
#include "frontend/menuparts.h"

__attribute__((weak)) BMAPANIM* loadbmapanim() { return nullptr; }
__attribute__((weak)) void FreeBmapAnimSys(BMAPANIM*) {}
__attribute__((weak)) void DrawBmapAnim(BMAPANIM*, BMAP*, int32_t, int32_t, double) {}
__attribute__((weak)) void GetBmapAnimBox(BMAPANIM*, int32_t, int32_t, int32_t*, int32_t*, int32_t*, int32_t*) {}
__attribute__((weak)) double GetAnimTimeStep() { return 0.0; }

__attribute__((weak)) void RefreshCommandTexts(BMAP*) {}
