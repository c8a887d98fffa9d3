// The accelerator's texture cache, until its manager exists: no card
// texture is made and there is none to remove. Weak, so that tests can put
// recording fakes in their place.
#include "engine3d/powercache.h"

__attribute__((weak)) int32_t POWER_CreateTextureFromBmap(BMAP*, int32_t, int32_t, int32_t, int32_t) {
  return 0;
}
__attribute__((weak)) int32_t POWER_RemoveCachedTexture(int32_t) { return 1; }
