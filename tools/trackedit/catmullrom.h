// The uniform Catmull-Rom point: the one curve of the editors (race line,
// object paths).
#pragma once

struct TVECTOR;

// The point of the segment from p1 to p2 at t (0 at p1, 1 at p2), p0 the
// point before p1 and p3 the one after p2; t outside 0..1 extrapolates.
void CalcCatmullRomPoint(TVECTOR* result, const TVECTOR* p0, double t, const TVECTOR* p1, const TVECTOR* p2,
                         const TVECTOR* p3);
