// The editors' centre-line tools: the control points and the per-metre
// table, loaded and saved by console words and freed at the console's end.
#pragma once
#include <cstdint>

// Control points: a 32-bit count, then count points of three doubles;
// loading gives 0 when the file is missing.
int32_t SB_LoadBsplines(const char* name);
void SB_SaveBsplines(const char* name);
// The per-metre table in the same form.
void SB_SaveBsplinesMeters(const char* name);

// Releases the per-metre centre-line table when it exists.
void SB_FreeBsplinesMeters();
