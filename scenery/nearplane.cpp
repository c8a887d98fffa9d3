// Moves a volume triangle's points in front of the near plane, keeping the
// plane they define and the side it faces.
#include "scenery/nearplane.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr double kTiny = 0.0001, kSide = 1000.0, kNear = 128.0;

struct V {
  double x, y, z;
};
V Of(const double* p) { return {p[0], p[1], p[2]}; }
void Put(double* p, const V& v) { p[0] = v.x, p[1] = v.y, p[2] = v.z; }
V operator-(const V& a, const V& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V operator+(const V& a, const V& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V operator*(const V& a, double k) { return {a.x * k, a.y * k, a.z * k}; }
V Cross(const V& a, const V& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(const V& a, const V& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double Length(const V& a) { return std::sqrt(Dot(a, a)); }

}  // namespace

int32_t E3D_TrianglePlaneFrame(TTRIANGLE t) {
  const V p0 = Of(t[0]), e = Of(t[1]) - p0;
  const double le = Length(e);
  if (!(le >= kTiny)) return 0;
  const V u = e * (kSide / le);
  const V m = Cross(Cross(u, Of(t[2]) - p0), u);
  const double lm = Length(m);
  if (!(lm >= kTiny)) return 0;
  Put(t[1], p0 + u);
  Put(t[2], p0 + m * (kSide / lm));
  return 1;
}

int32_t E3D_CorrectTrianglePlane(TTRIANGLE t) {
  if (!E3D_TrianglePlaneFrame(t)) return 0;
  if (t[0][2] >= kNear && t[1][2] >= kNear && t[2][2] >= kNear) return 1;
  const V p0 = Of(t[0]);
  V n = Cross(Of(t[1]) - p0, Of(t[2]) - p0);
  const double ln = Length(n);
  if (!(ln >= kTiny)) return 0;
  n = n * (1.0 / ln);
  if (std::fabs(n.z) > 0.9999) {
    for (int32_t i = 0; i < 3; ++i) t[i][2] = kNear;
    return 1;
  }
  const double zmax = std::max(kNear, p0.z), across = n.x * n.x + n.y * n.y;
  for (int32_t i = 0; i < 3; ++i) {
    if (t[i][2] >= kNear) continue;
    const double z = 2 * zmax - t[i][2];
    const double k = -((z - p0.z) * n.z + (t[i][0] - p0.x) * n.x + (t[i][1] - p0.y) * n.y) / across;
    t[i][0] += n.x * k, t[i][1] += n.y * k, t[i][2] = z;
  }
  const V a = Of(t[0]);
  if (Dot(Cross(Of(t[1]) - a, Of(t[2]) - a), n) < 0)
    for (int32_t c = 0; c < 3; ++c) std::swap(t[1][c], t[2][c]);
  return 1;
}
