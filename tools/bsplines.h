// The editors' race line: its control points (SB_Var.RaceLinePoints)
// joined by Catmull-Rom segments, the table resampled from them every
// metre (SB_Var.BsplineMeters), the nearest-segment search of the track
// editor, and the two files, loaded and saved by console words.
#pragma once
#include <cstdint>

struct TVECTOR;

// Control points: a 32-bit count, then count points of three doubles.
// Loading gives 1, or 0 with the line unchanged when the file is missing
// or refused (a refused file is reported on the console). Saving and
// loading take the same lines: at most SB_MAXRACELINEPOINTS points, every
// coordinate a finite number; a line the load would refuse is not saved.
int32_t SB_LoadBsplines(const char* name);
void SB_SaveBsplines(const char* name);
// The per-metre table in the same form: the track's centre-line file. A
// table cut at its end (a line longer than SB_MAXBSPLINEMETERS metres) is
// not saved: no lap of it could be counted.
void SB_SaveBsplinesMeters(const char* name);

// Releases the per-metre centre-line table when it exists.
void SB_FreeBsplinesMeters();

// Resamples the race line into the per-metre table (taken on first use).
void SB_GetBsplinesAngles();
// Why the last resampling cut the table before the line's end: 0 it did
// not, SB_BSPLINE_TOOLONG the table was full, SB_BSPLINE_TOOFAR the curve
// left the world a position in map units can name (SB_WORLDMETRES).
constexpr int32_t SB_BSPLINE_TOOLONG = 1;
constexpr int32_t SB_BSPLINE_TOOFAR = 2;
int32_t SB_BsplineMetersCut();
// The segment nearest to the ground point under the track editor's mouse,
// or -1; its squared distance (square metres, 1e11 when none) in *distance.
int32_t SB_FindNearestBsplineSegment(double* distance);
// The point at t (0..1) of segment i (0 .. count - 2) of the line, the
// line's ends extended by reflection.
void SB_RaceLineSegmentPoint(int32_t segment, double t, TVECTOR* out);
// The squared distance in the x, z plane from p to the segment a-b.
double SB_SegmentDist2(const TVECTOR* a, const TVECTOR* b, const TVECTOR* p);
