// The software draw list's clippers: the near clip at camera z = 128 and
// the edge-crossing callbacks of the screen clip (E3D_ClipPolyToScreen).
#pragma once
#include <cstdint>

#include "engine3d/types.h"

// Cut the polygon of n corners at camera z = 128 into `out` (room for
// n + 1): corners in front are copied, each crossing gets camera z = 128,
// its projection and a fresh screen code. The UV variant interpolates u
// and v too; the other leaves them as `out` held them. The new count.
int32_t E3D_ClipNearUV(const _WINDOW* window, const TSOFTVERTEX* in, TSOFTVERTEX* out, int32_t n);
int32_t E3D_ClipNear(const _WINDOW* window, const TSOFTVERTEX* in, TSOFTVERTEX* out, int32_t n);

// Edge callbacks (SB_CLIPEDGEPROC): corner `out` becomes the crossing of
// edge a -> b with the screen edge of the code (2 x = 0, 4 x = xmax, 8
// y = 0, 16 y = ymax) and gets its screen code. E3D_ClipEdgeUV also sets
// u and v linear on the screen; E3D_ClipEdge leaves them; E3D_ClipEdgePersp
// sets camera position, u and v where the edge meets the plane through the
// eye and that screen edge.
void E3D_ClipEdgeUV(void* vertices, int32_t out, int32_t a, int32_t b, int32_t code, int32_t xmax, int32_t ymax);
void E3D_ClipEdge(void* vertices, int32_t out, int32_t a, int32_t b, int32_t code, int32_t xmax, int32_t ymax);
void E3D_ClipEdgePersp(void* vertices, int32_t out, int32_t a, int32_t b, int32_t code, int32_t xmax,
                       int32_t ymax);
