// The map's textures on the accelerator: pictures made square 32-bit
// cache textures (reduced, translucent, narrow ones stacked into shared
// squares), and the texture bank that keeps the result for the next load
// of the same map at the same texture scale.
#pragma once
#include <cstdint>

#include "engine3d/texpages.h"  // POWER_LoadTextures, POWER_ReleaseTextures

struct BMAP;

// A side x side copy of the picture (repeated along its short side when it
// is not square) made a cache texture; format -1 keeps the texels as they
// are and gives format 3, formats 3 and 4 make texel 0 0xFF000000. The
// slot, or 0.
int32_t POWER_CreateTextureFromBmap(BMAP* bitmap, int32_t side, int32_t format, int32_t textureClass,
                                    int32_t flags);
// A non-square picture stacked into a shared square with others of its
// shape; 1, or 0 ("Opt full") when every square is taken.
int32_t POWER_CreateTextureVariant(BMAP* bitmap, int32_t format, int32_t record, uint32_t flags);
// A shared square becomes a cache texture, its records point at it.
void POWER_UploadQueuedTexture(int32_t entry);
void POWER_UploadQueuedTextures();
// SB_Var.TextureWrap from the map's faces: which textures repeat in u, v.
void POWER_FlagWrappedTextures();
// A 32-bit picture made an alpha texture of the colour: dark is opaque.
void POWER_BmapToAlpha(BMAP* bitmap, uint32_t colour);

// The texture bank: "BNK>" + circuit + ".BN" + '0' + texture scale.
int32_t POWER_SaveTextureBank();
// 1 when the bank was read and its textures placed in the cache; 0 (and
// nothing left of it) otherwise.
int32_t POWER_LoadTextureBank();
// The bank's textures moved onto the card, all but the six kept ones; 1.
int32_t POWER_UploadTextureBank();
int32_t POWER_FreeTextureBank();
