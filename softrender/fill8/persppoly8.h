// The two 8-bit perspective polygon families: 64 span routines each, one
// per texture size index, chosen through the family's table.
#pragma once
#include <cstdint>

#include "softrender/fillcore.h"

using E3D_PERSPFAMILY8 = E3D_PERSPFAMILY<E3D_PERSPPOLY>;
extern const E3D_PERSPFAMILY8 E3D_PerspOpaque8Table;  // writes every texel
extern const E3D_PERSPFAMILY8 E3D_PerspTransp8Table;  // leaves the pixel where the texel is 0
