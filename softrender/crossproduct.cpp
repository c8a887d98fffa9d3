// The texture-plane solver of the perspective fillers: from a point of a
// textured polygon's plane and its u and v vectors, the gradient matrix
// whose rows give, for a pixel's ray, the denominator and the u and v
// numerators, and the two texture offsets.
#include "softrender/drawlist.h"

namespace {

void Cross(const double a[3], const double b[3], double out[3]) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}
double Dot(const double a[3], const double b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

}  // namespace

void E3D_CrossProduct(const float p[3], const float a[3], const float b[3], TSOFTORIGIN* origins, float* matrix) {
  const double pd[3] = {p[0], p[1], p[2]}, ad[3] = {a[0], a[1], a[2]}, bd[3] = {b[0], b[1], b[2]};
  double n[3];
  Cross(ad, bd, n);
  // f: the point of the plane nearest the eye, kept at float precision.
  // The floats pass through memory: GCC 12's vectoriser at -O2 dropped
  // the rounding of the plain casts, so that builds drew differently.
  const double k = Dot(n, pd) / Dot(n, n);
  volatile float rounded[3];
  for (int32_t c = 0; c < 3; ++c) rounded[c] = static_cast<float>(k * n[c]);
  const double f[3] = {rounded[0], rounded[1], rounded[2]};
  const double inv = 1.0 / Dot(f, n);
  double rows[3][3];
  Cross(bd, f, rows[1]);
  Cross(f, ad, rows[2]);
  for (int32_t c = 0; c < 3; ++c) {
    rows[0][c] = n[c] * inv;
    rows[1][c] *= inv;
    rows[2][c] *= inv;
  }
  for (int32_t r = 0; r < 3; ++r)
    for (int32_t c = 0; c < 3; ++c) matrix[3 * r + c] = static_cast<float>(rows[r][c]);
  origins->UOffset = static_cast<float>(65536.0 * Dot(rows[1], pd));
  origins->VOffset = static_cast<float>(65536.0 * Dot(rows[2], pd));
}
