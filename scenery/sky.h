// The accelerator's sky square by day, the star square by night and the
// ground square below the camera where the panorama table asks for it.
#pragma once
#include <cstdint>

#include "engine3d/types.h"

struct _WINDOW;

// The three card textures: sky, ground, stars (0 none).
struct TSKYTEXTURES {
  int32_t Sky, Ground, Stars;
};
const TSKYTEXTURES& SB_SkyTextures();

// Sets whether the ground square is drawn this frame from the camera's
// centre-line index and the first matching panorama entry.
void SB_CheckGroundZone();
int32_t SB_GroundOn();
// One Sutherland-Hodgman pass: keeps the part of the polygon where
// (X - point) . normal >= 0, interpolating u, v; *count in and out. The
// output arrays need room for *count + 1 vertices.
void SB_ClipPolyToPlane(const TVECTOR* points, const double (*uv)[2], TVECTOR* outPoints, double (*outUv)[2],
                        int32_t* count, const TVECTOR& normal, const TVECTOR& point);
// Clips a view-space polygon of up to 8 corners to the window's pyramid,
// projects and submits it with the slot's texture; 3 to 8 remaining
// corners draw, any other count nothing.
void SB_DrawSkyPoly(const _WINDOW* window, const TVECTOR* points, const double (*uv)[2], int32_t count,
                    int32_t slot);
