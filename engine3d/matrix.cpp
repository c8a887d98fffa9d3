// Rotation matrices of doubles: products, rotations about the axes, the
// conversions to and from angles and fixed-point frames.
#include "engine3d/matrix.h"

#include <cmath>
#include <cstring>

namespace {

// Element of row i and column j.
constexpr int At(int i, int j) { return i + 3 * j; }

void Copy(const TMATRIX from, TMATRIX to) { std::memcpy(to, from, sizeof(TMATRIX)); }

TVECTOR Cross(const TVECTOR& a, const TVECTOR& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double Length(const TVECTOR& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

TVECTOR Scaled(const TVECTOR& v, double k) { return {v.x * k, v.y * k, v.z * k}; }

TVECTOR Row(const TMATRIX m, int i) { return {m[At(i, 0)], m[At(i, 1)], m[At(i, 2)]}; }

void SetRow(TMATRIX m, int i, const TVECTOR& v) {
  m[At(i, 0)] = v.x;
  m[At(i, 1)] = v.y;
  m[At(i, 2)] = v.z;
}

// Angles of the candidate whose cosine of the third angle has the sign of
// r (the one the first candidate takes, or its negation).
void AnglesOf(const TMATRIX m, double r, double* a, double* b, double* c) {
  if (std::fabs(r) <= 1e-6) {
    *a = std::atan2(-m[At(1, 2)], m[At(2, 2)]);
    *b = 0.0;
  } else {
    *a = std::atan2(m[At(2, 1)], m[At(1, 1)]);
    *b = std::atan2(-m[At(0, 2)], m[At(0, 0)]);
  }
  *c = std::atan2(-m[At(0, 1)], r);
}

double ThirdAngleCosine(const TMATRIX m) {
  return std::sqrt(m[At(2, 1)] * m[At(2, 1)] + m[At(1, 1)] * m[At(1, 1)]);
}

// Truncated toward zero. The turn constant is a little above 2 pi, so an
// exact quarter turn comes out 1.8e-6 short of 16384; that much is
// absorbed, so that whole quarter turns keep their value.
uint32_t ToAngle16(double radians) {
  if (!std::isfinite(radians)) return 0;
  const double units = radians * E3D_RAD_TO_ANGLE16;
  return static_cast<uint32_t>(static_cast<int64_t>(units + (units < 0 ? -1e-5 : 1e-5))) & 0xFFFF;
}

}  // namespace

void E3D_MatIdentity(TMATRIX m) {
  for (int k = 0; k < 9; ++k) m[k] = k % 4 == 0 ? 1.0 : 0.0;
}

void E3D_MatMulVec(const TMATRIX m, TVECTOR* v) {
  const TVECTOR p = *v;
  v->x = m[0] * p.x + m[3] * p.y + m[6] * p.z;
  v->y = m[1] * p.x + m[4] * p.y + m[7] * p.z;
  v->z = m[2] * p.x + m[5] * p.y + m[8] * p.z;
}

void SB_MatMul4Vec(const TMATRIX m, TVECTOR* v) {
  for (int k = 0; k < 4; ++k) E3D_MatMulVec(m, &v[k]);
}

void SB_AddVector(const TVECTOR* a, TVECTOR* b) {
  b->x += a->x;
  b->y += a->y;
  b->z += a->z;
}

void E3D_MatTranspose(const TMATRIX a, TMATRIX b) {
  TMATRIX t;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) t[At(i, j)] = a[At(j, i)];
  Copy(t, b);
}

void E3D_MatMul(const TMATRIX a, const TMATRIX b, TMATRIX c) {
  TMATRIX t;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      t[At(i, j)] = a[At(i, 0)] * b[At(0, j)] + a[At(i, 1)] * b[At(1, j)] + a[At(i, 2)] * b[At(2, j)];
  Copy(t, c);
}

void E3D_MatRotX(TMATRIX m, double t) {
  const double c = std::cos(t), s = std::sin(t);
  E3D_MatIdentity(m);
  m[At(1, 1)] = c;
  m[At(1, 2)] = -s;
  m[At(2, 1)] = s;
  m[At(2, 2)] = c;
}

void E3D_MatRotY(TMATRIX m, double t) {
  const double c = std::cos(t), s = std::sin(t);
  E3D_MatIdentity(m);
  m[At(0, 0)] = c;
  m[At(0, 2)] = -s;
  m[At(2, 0)] = s;
  m[At(2, 2)] = c;
}

void E3D_MatRotZ(TMATRIX m, double t) {
  const double c = std::cos(t), s = std::sin(t);
  E3D_MatIdentity(m);
  m[At(0, 0)] = c;
  m[At(0, 1)] = -s;
  m[At(1, 0)] = s;
  m[At(1, 1)] = c;
}

void E3D_MatFromAngles(TMATRIX m, double a, double b, double c) {
  const double ca = std::cos(a), sa = std::sin(a);
  const double cb = std::cos(b), sb = std::sin(b);
  const double cc = std::cos(c), sc = std::sin(c);
  m[At(0, 0)] = cc * cb;
  m[At(0, 1)] = -sc;
  m[At(0, 2)] = -cc * sb;
  m[At(1, 0)] = ca * sc * cb - sb * sa;
  m[At(1, 1)] = cc * ca;
  m[At(1, 2)] = -(cb * sa + ca * sb * sc);
  m[At(2, 0)] = sa * sc * cb + sb * ca;
  m[At(2, 1)] = cc * sa;
  m[At(2, 2)] = cb * ca - sa * sb * sc;
}

void E3D_MatFromAngles16(TMATRIX m, int32_t a, int32_t b, int32_t c) {
  auto radians = [](int32_t angle) { return (static_cast<uint32_t>(angle) & 0xFFFF) * E3D_ANGLE16_TO_RAD; };
  E3D_MatFromAngles(m, radians(a), radians(b), radians(c));
}

void E3D_MatToAnglesSimple(const TMATRIX m, double* a, double* b, double* c) {
  AnglesOf(m, ThirdAngleCosine(m), a, b, c);
}

void E3D_MatToAngles(const TMATRIX m, double* a, double* b, double* c) {
  const double r = ThirdAngleCosine(m);
  double first[3], second[3];
  TMATRIX rebuilt;
  AnglesOf(m, r, &first[0], &first[1], &first[2]);
  E3D_MatFromAngles(rebuilt, first[0], first[1], first[2]);
  const double d1 = E3D_MatDistance2(m, rebuilt);
  AnglesOf(m, -r, &second[0], &second[1], &second[2]);
  E3D_MatFromAngles(rebuilt, second[0], second[1], second[2]);
  const double d2 = E3D_MatDistance2(m, rebuilt);
  const double* best = d2 < d1 ? second : first;
  *a = best[0];
  *b = best[1];
  *c = best[2];
}

void E3D_MatToAngles16(const TMATRIX m, uint32_t* a, uint32_t* b, uint32_t* c) {
  double x, y, z;
  E3D_MatToAngles(m, &x, &y, &z);
  *a = ToAngle16(x);
  *b = ToAngle16(y);
  *c = ToAngle16(z);
}

void E3D_MatToAngles16Simple(const TMATRIX m, uint32_t* a, uint32_t* b, uint32_t* c) {
  double x, y, z;
  E3D_MatToAnglesSimple(m, &x, &y, &z);
  *a = ToAngle16(x);
  *b = ToAngle16(y);
  *c = ToAngle16(z);
}

double E3D_MatDistance2(const TMATRIX a, const TMATRIX b) {
  double sum = 0.0;
  for (int k = 0; k < 9; ++k) sum += (a[k] - b[k]) * (a[k] - b[k]);
  return sum;
}

void E3D_MatOrthonormalize(TMATRIX m) {
  TVECTOR r0 = Row(m, 0);
  const TVECTOR r1 = Row(m, 1);
  TVECTOR r2 = Cross(r0, r1);
  r0 = Scaled(r0, 1.0 / Length(r0));
  r2 = Scaled(r2, 1.0 / Length(r2));
  SetRow(m, 0, r0);
  SetRow(m, 1, Cross(r2, r0));
  SetRow(m, 2, r2);
}

void E3D_MatFromVectors(const TVECTOR* d, const TVECTOR* u, TMATRIX m) {
  E3D_MatIdentity(m);
  const double n = Length(*d);
  if (n == 0.0) return;
  const TVECTOR dn = Scaled(*d, 1.0 / n);
  TVECTOR s = Cross(dn, *u);
  const double sl = Length(s);
  if (sl == 0.0) return;
  s = Scaled(s, 1.0 / sl);
  const TVECTOR t = Cross(s, dn);
  TMATRIX q, p, turn;
  SetRow(q, 0, s);
  SetRow(q, 1, dn);
  SetRow(q, 2, t);
  E3D_MatTranspose(q, p);
  TVECTOR uq = *u;
  E3D_MatMulVec(q, &uq);
  E3D_MatRotX(turn, std::atan2(uq.z, uq.y));
  E3D_MatMul(p, turn, m);
  E3D_MatMul(m, q, m);
}

void E3D_MatFromFixed(const int32_t fixed[9], TMATRIX m) {
  for (int k = 0; k < 9; ++k) m[k] = static_cast<double>(fixed[k]) * 6.103515625e-05;
}
