// The 3D palette, and material conversion for the screen: an object's own
// copy of its material library at display depth, 24-bit pictures dithered
// down to a palette, alpha-blended stickers, and the alpha channel of a
// paint mask grown by a flood fill.
#pragma once
#include <cstdint>

struct BMAP;
struct MLIBENTRY;

// The 3D palette SB_Var.Pal3d from the file (null: the texture path's);
// 1 when loaded (or already), 0 when missing.
int32_t SB_LoadPalette3d(const char* name);
void SB_FreePalette3d();

// A copy of the entry's library whose texture entries hold empty bitmaps
// 256 wide at the depth and format code, and no pictures. The copy has
// one reference and the old entry loses one. Null without an entry or a
// library, or when any allocation is refused (nothing is then kept).
MLIBENTRY* SB_DupMaterialLibraryFrom16to256(MLIBENTRY* entry, int32_t depth, int32_t format);

// Converts the source rectangle (corners inclusive) of a 24-bit bitmap to
// 8 bits, by error diffusion into the destination's palette, at (x, y).
// Needs at least two columns and two rows after clipping.
void SB_FloydBmap24to8(BMAP* source, BMAP* destination, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                       int32_t x, int32_t y);

// Blends the source rectangle of a 32-bit bitmap onto a 24-bit one at
// (x, y) by each source pixel's alpha, clipped to both bitmaps.
void SB_AlphaBlitBmap32to24(BMAP* source, BMAP* destination, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                            int32_t x, int32_t y);

// Sets the alpha of a 32-bit bitmap from a flood fill at the seed: pixels
// reached whose colour lies within the threshold (0 to 1) of the seed's get
// an alpha growing with their distance and the mean colour of the border
// around them; every other pixel gets 255.
void SB_FillBmapToAlphaChannel(BMAP* bmap, int32_t seedX, int32_t seedY, float threshold);
