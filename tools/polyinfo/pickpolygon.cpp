// Picking the polygon under a point of the frame the accelerated path
// drew: the nearest one that contains it.
#include "engine3d/pointinpolygon.h"
#include "engine3d/types.h"
#include "tools/polyinfo/polyinfo.h"

namespace {
constexpr int32_t kFarthestKey = 1000000;
}

TSGLPOLY* SB_PickPolygon(TSOFTSCENE* scene, double x, double y) {
  if (!scene) return nullptr;
  int32_t best = kFarthestKey;
  TSGLPOLY* result = nullptr;
  const float fx = static_cast<float>(x), fy = static_cast<float>(y);
  for (auto* p = static_cast<TSGLPOLY*>(scene->FirstPolygon); p; p = p->Next) {
    if (p->NbVertices == 0 || p->Key > best) continue;
    if (SB_PointInPolygon(p->NbVertices, p->Vertices, fx, fy) == 1) {
      result = p;
      best = p->Key;
    }
  }
  return result;
}
