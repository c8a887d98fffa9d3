// Whether a screen point lies inside a polygon of the accelerator's
// vertices: the sun's visibility and the polygon inspector's pick.
#pragma once
#include <cstdint>

struct TSGLVERTEX;

// 1 when (x, y) lies inside the convex polygon of either winding (a point
// on an edge counts on that edge's s <= 0 side), else 0. Corners that share
// a pixel with a later corner are dropped first; fewer than 3 left, or more
// than 32 corners, give 0.
int32_t SB_PointInPolygon(int32_t count, const TSGLVERTEX* vertices, float x, float y);
