// The centre line of the track: a closed line of one point per metre, read
// from the file the map information names, and the progress of every car
// along it (index, sector, laps, distance, wrong way).
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine3d/types.h"
#include "shell/keyfile.h"
#include "vehicles/types.h"

// Loads the line of SB_Var.BsplineName for the race being set up.
void SB_EvolutionPrepare();
// When the map was newly loaded, reads the line (a 32-bit count N, then N
// points of three doubles): 1 loaded or kept, 0 when the file cannot be
// opened ("Bspline file %s not found !!!"), is damaged ("Bspline file %s
// corrupt !!!") or holds more points than a race takes ("Bspline file %s
// refused: %ld points, a race takes at most %ld !!!"); the line is then
// invalid, and the race runs without one: no lap, distance or place is
// counted.
int32_t SB_LoadBsplinesMeters(const char* path);
// Reads and checks a centre-line file as the race loads it: its
// SB_LINEFILE_ verdict; *count gets the point count the file gives (0
// when it gives none). With `points`, a sound line's points are kept there
// (owner-tagged memory of the caller's).
int32_t SB_ReadBsplineFile(const char* path, int32_t* count, TVECTOR** points);
// The centre line a circuit's file names (its "BSPLINENAME" key, a word),
// as the race's map information and the network's controller both read
// it: 1 named, else 0 and the name emptied.
int32_t SB_ReadBsplineName(TKEYFILE* file, char* name, size_t size);
// Frees the centre-line points when there are any.
void SB_FreeBsplinePoints();

// Over the segment from point i to point j (indices modulo N, x and z
// only): when the squared distance of the position to it is strictly below
// *best, *best takes it and *index becomes (i mod N) + s, s the unclamped
// projection; 1 then, else 0. A segment of zero length is skipped.
int32_t SB_BsplineSegmentDistance(const double* position, int32_t i, int32_t j, double* best, double* index);
// Per car and frame, while cars are used and the line is valid.
void SB_UpdateCarTrackProgress(TCAR* car);
// The camera's new centre-line index (0 while the line is invalid).
int32_t SB_UpdateCameraBsplineIndex(TCAMERA* camera);
// The fractional index nearest to the position, and an alternative where
// the line passes within 60 m again further along (else the same index).
void SB_GetNearestBsplinePoint(const double* position, double* nearest, double* alternative);
