// The software draw list: each polygon of a view rejected, textured,
// clipped and written as draw entries over the three work buffers, the
// texture gradients of the perspective polygons, and the frame
// rasteriser that hands the entries to the installed fillers.
#pragma once
#include <cstdint>

#include "engine3d/types.h"
#include "softrender/types.h"

// Bit 31 of an entry's texture word: the low bits are the index of the
// polygon (render kinds 7 and 8) whose material record holds the texels.
constexpr uint32_t SB_SOFTTEX_POLYGON = 0x80000000u;

// What the last draw list holds and the gradients of the last polygon.
// NbRefused counts the object polygons whose bitmap the fillers could not
// read safely (another depth or row length than the view's).
struct TSOFTDRAWLIST {
  int32_t NbTris, NbPersps, NbDraws, NbRefused;
  float Su[3], Sv[3], O[3];  // camera-space change x 2047.97 per unit of u and of v; texel (0, 0) / 32
};
extern TSOFTDRAWLIST E3D_SoftDraws;
// Bytes per line of the bitmap being filled, for the perspective fillers,
// and the size of the view they fill, which their corners must keep to.
extern int32_t E3D_FillPitch, E3D_FillWidth, E3D_FillHeight;

// Rebuilds the draw list of the view in the work buffers.
void E3D_SoftBuildDrawList(_WINDOW* window, TSOFTSCENE* scene);
// The texel (0, 0) of an entry's texture, or null.
uint8_t* E3D_SoftTextureBase(const TSOFTSCENE* scene, uint32_t word);
// Su, Sv and O of E3D_SoftDraws from corner j (the base) and its
// neighbours i and k.
void SB_CalcTextureGradients(const TSOFTVERTEX* vertices, int32_t i, int32_t j, int32_t k);
// The gradient matrix and the u and v offsets of the plane through p
// spanned by a and b: row 0 . X is 1 on the plane, row 1 . X and row 2 . X
// the coordinates along a and b; the offsets are 65536 x those of p.
void E3D_CrossProduct(const float p[3], const float a[3], const float b[3], TSOFTORIGIN* origins, float* matrix);
