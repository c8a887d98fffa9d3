// The near-plane correction of the shadow and light volumes' triangles:
// only a triangle's plane matters to the card, so a triangle reaching
// behind the near plane (view depth 128) is rewritten as three points of
// the same plane in front of it, with the same facing.
#pragma once
#include <cstdint>

// Three points of three f64 (x, y, z in view space, z the depth).
using TTRIANGLE = double[3][3];

// Rewrites the triangle as a frame of its plane: P0 kept, P1 at 1000 units
// along P0P1, P2 at 1000 units in the plane, square to it, on P2's side.
// 0 when an edge or the normal is shorter than 0.0001.
int32_t E3D_TrianglePlaneFrame(TTRIANGLE t);
// The frame moved in front of the near plane; 0 when degenerate.
int32_t E3D_CorrectTrianglePlane(TTRIANGLE t);
