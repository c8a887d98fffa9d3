// Records of the software draw list: the triangle record, the perspective
// fill record with its origin block, and the draw entry. Each holds
// 32-bit indices in place of pointers, so that the three work buffers hold
// exactly 2000, 1500 and 3500 of them.
#pragma once
#include <cstdint>

// Three corners, as indices into the view's vertex array.
struct TSOFTTRI {
  uint32_t Corner[3];
};
static_assert(sizeof(TSOFTTRI) == 12, "2000 in the 24000-byte buffer");

// The texture offsets the perspective fillers subtract: 65536 x the texel
// (0, 0) position along u and along v. The first word is spare.
struct TSOFTORIGIN {
  float Spare;
  float UOffset, VOffset;
};

// A perspective polygon: its first corner in the view's vertex array, the
// origin block, the gradient matrix (row 0 the denominator, row 1 the u
// numerator, row 2 the v numerator, each dotted with the pixel's ray) and
// the corner count.
struct TSOFTPERSP {
  uint32_t FirstVertex;
  TSOFTORIGIN Origin;
  float Matrix[9];
  int32_t NbVertices;
};
static_assert(sizeof(TSOFTPERSP) == 56, "1500 in the 84000-byte buffer");

// One entry of the draw list: its fill record (a TSOFTTRI or a TSOFTPERSP
// index), the texture word (material index x 8 + mip level; for render
// kinds 7 and 8 the polygon's index), the draw kind, the size index and
// the two outline flags.
struct TSOFTDRAW {
  uint32_t Fill;
  uint32_t Texture;
  uint8_t Kind;
  uint8_t SizeIndex;
  uint8_t OutlineA, OutlineB;
};
static_assert(sizeof(TSOFTDRAW) == 12, "3500 in the 42000-byte buffer");

// The work buffers' capacities.
constexpr int32_t SB_MAXSOFTTRIS = 2000, SB_MAXSOFTPERSPS = 1500, SB_MAXSOFTDRAWS = 3500;
