// The two 8-bit perspective polygon families: 64 span routines each, one
// per texture size index, chosen through the family's table.
#pragma once
#include <cstdint>

struct E3D_PERSPPOLY;

// Member k fills every row of the polygon with the wrap mask of size
// index k; the table is followed by the span length between divisions.
using E3D_PERSPFILL8 = void (*)(const E3D_PERSPPOLY& poly);
struct E3D_PERSPFAMILY8 {
  E3D_PERSPFILL8 Member[64];
  float BlockLength;
};
extern const E3D_PERSPFAMILY8 E3D_PerspOpaque8Table;  // writes every texel
extern const E3D_PERSPFAMILY8 E3D_PerspTransp8Table;  // leaves the pixel where the texel is 0
