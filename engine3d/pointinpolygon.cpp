// The point-in-polygon test of the polygon inspector and the sun's
// visibility: every edge of the polygon, walked in order over the corners
// that do not share a pixel, must see the point on the same side.
#include <cmath>

#include "engine3d/pointinpolygon.h"
#include "platform/accel/types.h"

namespace {
constexpr int32_t kMaxCorners = 32;
}

int32_t SB_PointInPolygon(int32_t count, const TSGLVERTEX* vertices, float x, float y) {
  if (!vertices || count < 3 || count > kMaxCorners) return 0;
  bool kept[kMaxCorners];
  int32_t usable = 0;
  for (int32_t i = 0; i < count; ++i) {
    kept[i] = true;
    for (int32_t j = i + 1; j < count && kept[i]; ++j)
      if (std::floor(vertices[i].X) == std::floor(vertices[j].X) &&
          std::floor(vertices[i].Y) == std::floor(vertices[j].Y))
        kept[i] = false;
    usable += kept[i] ? 1 : 0;
  }
  if (usable < 3) return 0;
  auto next = [&](int32_t k) {
    do k = (k + 1) % count;
    while (!kept[k]);
    return k;
  };
  int32_t a = 0;
  while (!kept[a]) ++a;
  bool firstSide = false;
  for (int32_t e = 0; e < usable; ++e) {
    const int32_t b = next(a);
    const TSGLVERTEX &A = vertices[a], &B = vertices[b];
    const double s = (double{y} - A.Y) * (double{B.X} - A.X) - (double{B.Y} - A.Y) * (double{x} - A.X);
    const bool side = s <= 0;
    if (e == 0)
      firstSide = side;
    else if (side != firstSide)
      return 0;
    a = b;
  }
  return 1;
}
