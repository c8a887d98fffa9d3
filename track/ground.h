// Ground heights under a point of the map, in world units (1/320 m, the
// vertical axis pointing down); 100000.0 means no ground.
#pragma once
#include <cstdint>

// The first floor face under the point (the terrain).
double SB_GetGroundHeight(int32_t x, int32_t z);
// The highest road face under the point.
double SB_GetRoadHeight(int32_t x, int32_t z);
