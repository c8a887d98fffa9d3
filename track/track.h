// The track as the race session uses it: the map's face check, the centre
// line and the ground queries' lists. The map information file is read by
// racescene/mapinfo.h.
#pragma once
#include <cstdint>

#include "track/bspline.h"
#include "track/ground.h"

// Reports a face of the loaded map with a vertex number 255.
void SB_CheckFacePoints();
