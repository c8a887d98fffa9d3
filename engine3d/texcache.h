// TEMPORARY until the texture cache lands.
#pragma once
#include <cstdint>

#include "engine3d/types.h"

struct BMAP;
int32_t POWER_CreateCachedTexture(BMAP* bitmap, int32_t format, int32_t textureClass, uint32_t flags);
int32_t POWER_RemoveCachedTexture(int32_t index);
int32_t POWER_MarkTextureUsed(TSOFTSCENE* scene, int32_t index);
void POWER_UpdateTextureCache(TSOFTSCENE* scene);
