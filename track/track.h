// The track as the race session uses it: the map information, the map's
// face check, the centre line and the ground queries' lists.
#pragma once
#include <cstdint>

// Reads the map information file; 1 read, 0 when it is missing ("Map info
// file %s not found !!!").
int32_t SB_LoadMapInfo(const char* path);
// Reports a face of the loaded map with a vertex number 255.
void SB_CheckFacePoints();
// Loads the centre line the map information names.
void SB_EvolutionPrepare();
// The ground queries' lists: big-cube polygons, then small cubes by X/Z/Y;
// freed in the reverse order.
void BuildListXZYPoly();
void BuildXZYList();
void SB_FreeXZYList();
void SB_FreeListXZYPoly();
