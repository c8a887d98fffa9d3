// The smoke puffs' helpers beside their race entries (scenery/effects.h):
// the drag of one velocity component and the smoke picture's loading.
#pragma once
#include <cstdint>

struct BMAP;

// The smoke picture "MISCPICT>FUMEE.TGA".
inline constexpr const char* SB_FUMEEFILE = "MISCPICT>FUMEE.TGA";

// v - v x v x k toward 0, never past it: a positive v stays at or above 0,
// a negative one at or below.
double SB_FumeeDrag(double v, double k);
// The smoke picture as a 24-bit bitmap, with "Correctly loaded fumee
// graphics..." or "Fumee graphics not found !!!" (null then).
BMAP* SB_LoadFumeeBmap();
void SB_FreeFumeeBmap(BMAP* picture);
