// The centre line of the track: its points and the positions along it.
#pragma once
#include <cstdint>

struct TCAMERA;

// Frees the centre-line points when there are any.
void SB_FreeBsplinePoints();
// The fractional index of the centre-line point nearest a position
// (metres), and of another stretch of the line passing near it; both 0.0
// without a line.
void SB_GetNearestBsplinePoint(const double position[3], double* nearest, double* alternative);
// The camera's centre-line index, updated from its position and stored in
// it; 0 without a line.
int32_t SB_UpdateCameraBsplineIndex(TCAMERA* camera);
