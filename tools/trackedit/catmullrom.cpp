// The uniform Catmull-Rom point (tension one half). At t = 0 the weights
// are exactly 0, 1, 0, 0 and at t = 1 exactly 0, 0, 1, 0, so the curve
// passes through its control points bit for bit.
#include "tools/trackedit/catmullrom.h"

#include "engine3d/types.h"

void CalcCatmullRomPoint(TVECTOR* result, const TVECTOR* p0, double t, const TVECTOR* p1, const TVECTOR* p2,
                         const TVECTOR* p3) {
  const double t2 = t * t, t3 = t2 * t;
  const double w0 = (2.0 * t2 - t3 - t) * 0.5;
  const double w1 = (3.0 * t3 - 5.0 * t2 + 2.0) * 0.5;
  const double w2 = (-3.0 * t3 + 4.0 * t2 + t) * 0.5;
  const double w3 = (t3 - t2) * 0.5;
  result->x = w0 * p0->x + w1 * p1->x + w2 * p2->x + w3 * p3->x;
  result->y = w0 * p0->y + w1 * p1->y + w2 * p2->y + w3 * p3->y;
  result->z = w0 * p0->z + w1 * p1->z + w2 * p2->z + w3 * p3->z;
}
