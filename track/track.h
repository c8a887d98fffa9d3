// The track as the race session uses it: the map information, the map's
// face check, the centre line and the ground queries' lists.
#pragma once
#include <cstdint>

#include "track/bspline.h"
#include "track/ground.h"

// Reads the map information file: the centre line's name, the three start
// slots, the sun and the night times, then applies the game mode; 1 read,
// 0 when it is missing ("Map info file %s not found !!!"). Keys the file
// lacks, or that hold no finite number, leave their values cleared.
int32_t SB_LoadMapInfo(const char* path);
// Reports a face of the loaded map with a vertex number 255.
void SB_CheckFacePoints();
