// Texel writes into the accelerator's cached card textures (16-bit texels
// in twiddled order), the twiddled rectangle copy, and the 16-bit 5-5-5
// conversion of pictures.
#pragma once
#include <cstdint>

struct BMAP;

// The level-0 texels of a cache slot: null when the slot is out of range,
// not in use or has no texels.
struct TCARDTEXELS {
  uint16_t* Pixels;
  int32_t Side;
};
TCARDTEXELS SB_CardTexels(int32_t slot);
// Index of texel (x, y) in a twiddled block (SB_Var.TwiddleTable).
uint32_t SB_TwiddledIndex(int32_t x, int32_t y);

// Copies the rectangle with corners (x1, y1), (x2, y2) (inclusive) of the
// source slot's texels to (x, y) of the destination slot's, both twiddled;
// what lies outside either texture is left out.
void SB_TwiddledBlit(int32_t source, int32_t destination, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                     int32_t x, int32_t y);
// Where the slot's map has smaller levels (the formats with levels hold
// them after the largest, each twiddled), remakes them over the rectangle
// (x, y, w, h) of the largest, clipped to it: each texel the rounded
// average of the 2 x 2 texels of the level above, channel by channel. The
// card draws a far texture from its smaller levels, which must show what
// was written into the largest.
void SB_UpdateCardLevels(int32_t slot, int32_t x, int32_t y, int32_t w, int32_t h);
// A new 16-bit 5-5-5 bitmap (owner tag "Bmap24to4444") of the picture;
// null when it cannot be made.
BMAP* Bmap24to555(BMAP* bitmap);
