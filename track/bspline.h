// The centre line of the track: its control points.
#pragma once

// Frees the centre-line points when there are any.
void SB_FreeBsplinePoints();
