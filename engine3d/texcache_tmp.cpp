// TEMPORARY until the texture cache lands.
#include "engine3d/texcache.h"
#include "engine3d/powerscene.h"
__attribute__((weak)) int32_t POWER_CreateCachedTexture(BMAP*, int32_t, int32_t, uint32_t) { return 0; }
__attribute__((weak)) int32_t POWER_RemoveCachedTexture(int32_t) { return 1; }
__attribute__((weak)) int32_t POWER_MarkTextureUsed(TSOFTSCENE*, int32_t) { return 0; }
__attribute__((weak)) void POWER_UpdateTextureCache(TSOFTSCENE*) {}
__attribute__((weak)) int32_t POWER_SlotName(int32_t) { return -1; }
__attribute__((weak)) uint32_t POWER_SlotFlags(int32_t) { return 0; }
