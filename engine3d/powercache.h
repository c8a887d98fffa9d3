// The accelerator's texture cache as the vehicles and effects use it: a
// card texture made from a bitmap, and a slot given back.
#pragma once
#include <cstdint>

struct BMAP;

// A side x side card texture from the picture; its cache slot (1..511), or 0.
int32_t POWER_CreateTextureFromBmap(BMAP* bitmap, int32_t side, int32_t format, int32_t textureClass,
                                    int32_t flags);
// Deletes the slot's texture and frees the slot; 1.
int32_t POWER_RemoveCachedTexture(int32_t slot);
