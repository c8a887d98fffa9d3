// The game's pictures and palettes: loaders that hand back owner-tagged
// bitmaps, the PCX header's size, a nearest-pixel stretch, near-black
// lifting, the nearest-colour search and the dithered palette remap.
#pragma once
#include <cstdint>

#include "system/bmap.h"
#include "system/palette.h"

// A new 24-bit bitmap of the default heap tagged with the file name; null
// when the file is missing or not a readable TGA.
BMAP* SB_LoadTga(const char* name);
// The same for a PCX picture, at its own depth in the given heap or kind.
BMAP* SB_LoadPcx(const char* name, uintptr_t heap);
// Width and height from the PCX header alone; 1, or 0 when the file is
// missing, short or its bounds are reversed.
int32_t SB_GetPcxSize(const char* name, int32_t* width, int32_t* height);
// The 256-colour palette of a PCX file; null when missing or absent.
PALETTE* SB_LoadPalette(const char* name);
void SB_FreePalette(PALETTE* palette);
void SB_SetPalette(const PALETTE* palette);

// A new bitmap (owner "Stretch") of the given size, the source's depth and
// format, each pixel the nearest source pixel; null for a null source or a
// size below 1 (a size of 1 takes column or row 0).
BMAP* SB_StretchBmap(BMAP* source, int32_t width, int32_t height);
// Raises every non-zero byte of a pixel whose bytes are all below 8 to 8,
// keeping near-black apart from the transparent colour 0.
void SB_LiftNearBlack(BMAP* bmap);
// The entry nearest by squared RGB distance; the first of equals.
int32_t SB_FindNearestColor(const PALETTE* palette, int32_t r, int32_t g, int32_t b);

// Palette remap with 2 x 2 dithering: every colour of the source palette
// becomes a pattern of four destination entries, written by the parity of
// each pixel's column and row. Only the rectangle both bitmaps share is
// written; source and destination may be the same bitmap. Nothing happens
// unless both are 8-bit and both palettes are given.
void SB_RemapBmap(BMAP* source, const PALETTE* sourcePalette, BMAP* destination,
                  const PALETTE* destinationPalette);

// The remap's two passes, apart: the patterns by source colour
// (top-left, top-right, bottom-left, bottom-right), then the pixels.
struct SB_REMAPPATTERNS {
  uint8_t Entry[4][256];
};
void SB_BuildRemapPatterns(const PALETTE* sourcePalette, const PALETTE* destinationPalette,
                           SB_REMAPPATTERNS* out);
void SB_ApplyRemapPatterns(BMAP* source, BMAP* destination, const SB_REMAPPATTERNS* patterns);
