// The accelerator's texture cache: 511 slots of preprocessed textures in
// main memory (SB_Var.TextureCache), of which only those a frame needs are
// created on the card, in three priority classes, the least used evicted
// when card memory runs out.
#pragma once
#include <cstdint>

#include "engine3d/types.h"

struct BMAP;

// Every slot free and off the card; 1.
int32_t POWER_InitTextureCache();
// A square 32-bit bitmap (format 0x1000 or 0x2000) of side 32, 64, 128 or
// 256 preprocessed in the card format into the first free slot; the slot,
// or 0 with a message. The bitmap stays the caller's.
int32_t POWER_CreateCachedTexture(BMAP* bitmap, int32_t format, int32_t textureClass, uint32_t flags);
// Deletes the slot's card texture, frees its texels (not a bank's) and
// the slot; 1 (a message for an index outside 0..511).
int32_t POWER_RemoveCachedTexture(int32_t index);
// The slot's texels changed: uploaded again at the scene's next update.
// 0 when the slot is not in use, else 1.
int32_t POWER_MarkTextureUsed(TSOFTSCENE* scene, int32_t index);
// The frame's step: uploads changed texels, takes the scene's use counts,
// creates what the frame needs class by class and counts the slots.
void POWER_UpdateTextureCache(TSOFTSCENE* scene);
// One pass over the needed slots of the class; 1.
int32_t POWER_CacheAlgo(int32_t textureClass);
// The SGL name and cache flags of a texture-cache slot; -1 and 0 for a slot
// outside 1..511 or not in use.
int32_t POWER_SlotName(int32_t slot);
uint32_t POWER_SlotFlags(int32_t slot);
