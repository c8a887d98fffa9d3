// The road generator and the car paint editor, started by console words.
#pragma once
#include <cstdint>

struct BMAP;

// The road generator: asks the road-piece types on the console and writes
// a 3D-Studio ASCII mesh.
void MakeRoad(const char* name);
// The car paint editor on the picture, at the depth 8 or 16.
void SB_CarPaintEditor(BMAP* picture, int32_t depth);
