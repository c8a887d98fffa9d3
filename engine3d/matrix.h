// The game's floating-point geometry: 3 x 3 rotation matrices of doubles
// stored column after column, vectors of doubles, and the conversions
// between matrices, angles and the system library's fixed-point frames.
#pragma once
#include <cstdint>

#include "engine3d/types.h"

// Radians in one 16-bit angle unit and the other way round.
constexpr double E3D_TURN = 6.283185308;
constexpr double E3D_ANGLE16_TO_RAD = E3D_TURN / 65536.0;
constexpr double E3D_RAD_TO_ANGLE16 = 65536.0 / E3D_TURN;

void E3D_MatIdentity(TMATRIX m);
// v = M v, exact in place.
void E3D_MatMulVec(const TMATRIX m, TVECTOR* v);
// Each of the four consecutive vectors.
void SB_MatMul4Vec(const TMATRIX m, TVECTOR* v);
// b = b + a.
void SB_AddVector(const TVECTOR* a, TVECTOR* b);
// b = transpose of a; b may be a.
void E3D_MatTranspose(const TMATRIX a, TMATRIX b);
// c = a b; c may be a or b.
void E3D_MatMul(const TMATRIX a, const TMATRIX b, TMATRIX c);
void E3D_MatRotX(TMATRIX m, double t);
void E3D_MatRotY(TMATRIX m, double t);
void E3D_MatRotZ(TMATRIX m, double t);
// M = RotX(a) RotZ(c) RotY(b).
void E3D_MatFromAngles(TMATRIX m, double a, double b, double c);
// The same from 16-bit angles; each argument is masked to its low 16 bits.
void E3D_MatFromAngles16(TMATRIX m, int32_t a, int32_t b, int32_t c);
// The angles (radians) that rebuild the matrix: the nearer of two
// candidates, or the first one alone.
void E3D_MatToAngles(const TMATRIX m, double* a, double* b, double* c);
void E3D_MatToAnglesSimple(const TMATRIX m, double* a, double* b, double* c);
// The same in 16-bit units, truncated toward zero and masked.
void E3D_MatToAngles16(const TMATRIX m, uint32_t* a, uint32_t* b, uint32_t* c);
void E3D_MatToAngles16Simple(const TMATRIX m, uint32_t* a, uint32_t* b, uint32_t* c);
// Sum of the squared differences of the nine elements.
double E3D_MatDistance2(const TMATRIX a, const TMATRIX b);
// Makes the rows orthonormal again; a degenerate matrix gives non-finite
// elements.
void E3D_MatOrthonormalize(TMATRIX m);
// The rotation carrying direction d onto direction u (identity when either
// is zero or they are parallel).
void E3D_MatFromVectors(const TVECTOR* d, const TVECTOR* u, TMATRIX m);
// Element k = fixed[k] / 16384, in storage order.
void E3D_MatFromFixed(const int32_t fixed[9], TMATRIX m);

// A double truncated toward zero into 32 bits, saturating at the ends
// (NaN gives 0), for coordinates scaled from metres.
inline int32_t E3D_TruncToInt32(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int32_t>(v);
}
