// The editors and tools that console words start.
#pragma once
#include <cstdint>

struct BMAP;

// Centre-line control points: a 32-bit count, then count points of three
// doubles. Loading gives 0 when the file is missing.
int32_t SB_LoadBsplines(const char* name);
void SB_SaveBsplines(const char* name);
// The per-metre centre-line table in the same form.
void SB_SaveBsplinesMeters(const char* name);
// The road generator: asks the road-piece types on the console and writes
// a 3D-Studio ASCII mesh.
void MakeRoad(const char* name);
// The car paint editor on the picture, at the depth 8 or 16.
void SB_CarPaintEditor(BMAP* picture, int32_t depth);
