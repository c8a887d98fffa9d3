// The road generator and the car paint editor, started by console words,
// and the car choice the main menu starts.
#pragma once
#include <cstdint>

struct BMAP;

// The road generator: asks the road-piece types on the console and writes
// a 3D-Studio ASCII mesh.
void MakeRoad(const char* name);
// The car choice of the car editor, from MAIN MENU: shows CHOOSE CAR and
// returns to MAIN MENU when the choice is left.
void SB_RunCarEditor(int32_t mode);
// The car paint editor on the picture, at the depth 8 or 16.
void SB_CarPaintEditor(BMAP* picture, int32_t depth);
