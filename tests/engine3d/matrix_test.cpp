// Rotation matrices: the angle conversions both ways, products in place,
// the rotation between two vectors and the fixed-point conversion.
#include "engine3d/matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <tuple>

namespace {

void ExpectNear(const TMATRIX a, const TMATRIX b, double tolerance) {
  for (int k = 0; k < 9; ++k) EXPECT_NEAR(a[k], b[k], tolerance) << "element " << k;
}

TEST(Matrix, AnglesToSixteenBitsTruncateAndMask) {
  TMATRIX m;
  E3D_MatRotX(m, -0.5);
  uint32_t a, b, c;
  E3D_MatToAngles16(m, &a, &b, &c);
  EXPECT_EQ(std::tuple(a, b, c), std::tuple(60321u, 0u, 0u));
  TMATRIX full, zero, negative, threeQuarters;
  E3D_MatFromAngles16(full, 65536, 65536 + 100, 0);
  E3D_MatFromAngles16(zero, 0, 100, 0);
  EXPECT_EQ(E3D_MatDistance2(full, zero), 0.0);
  E3D_MatFromAngles16(negative, -16384, 5, -16384);
  E3D_MatFromAngles16(threeQuarters, 49152, 5, 49152);
  EXPECT_EQ(E3D_MatDistance2(negative, threeQuarters), 0.0);
}

TEST(Matrix, FromAnglesIsTheProductOfTheThreeTurns) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> angle(-3.1, 3.1);
  for (int trial = 0; trial < 20; ++trial) {
    const double a = angle(random), b = angle(random), c = angle(random);
    TMATRIX m, x, y, z;
    E3D_MatFromAngles(m, a, b, c);
    const double written[9] = {
        std::cos(c) * std::cos(b),                                                      // M00
        std::cos(a) * std::sin(c) * std::cos(b) - std::sin(b) * std::sin(a),            // M10
        std::sin(a) * std::sin(c) * std::cos(b) + std::sin(b) * std::cos(a),            // M20
        -std::sin(c),                                                                   // M01
        std::cos(c) * std::cos(a),                                                      // M11
        std::cos(c) * std::sin(a),                                                      // M21
        -std::cos(c) * std::sin(b),                                                     // M02
        -(std::cos(b) * std::sin(a) + std::cos(a) * std::sin(b) * std::sin(c)),         // M12
        std::cos(b) * std::cos(a) - std::sin(a) * std::sin(b) * std::sin(c)};           // M22
    ExpectNear(m, written, 1e-15);
    E3D_MatRotX(x, a);
    E3D_MatRotZ(z, c);
    E3D_MatRotY(y, b);
    E3D_MatMul(x, z, x);  // the output aliasing an input
    E3D_MatMul(x, y, x);
    ExpectNear(m, x, 1e-15);
    double ra, rb, rc;  // the angles found rebuild the matrix
    E3D_MatToAngles(m, &ra, &rb, &rc);
    E3D_MatFromAngles(x, ra, rb, rc);
    ExpectNear(m, x, 1e-12);
  }
}

TEST(Matrix, ProductsAndTransposeMayWriteOverTheirInput) {
  TMATRIX a, b, separate, aliased, t;
  E3D_MatFromAngles(a, 0.3, -1.2, 2.0);
  E3D_MatFromAngles(b, -0.7, 0.4, 1.1);
  E3D_MatMul(a, b, separate);
  std::copy(b, b + 9, aliased);
  E3D_MatMul(a, aliased, aliased);
  EXPECT_EQ(E3D_MatDistance2(separate, aliased), 0.0);
  E3D_MatTranspose(a, t);
  E3D_MatTranspose(a, a);
  EXPECT_EQ(E3D_MatDistance2(a, t), 0.0);
}

TEST(Matrix, AQuarterTurnThirdAngleLeavesTheSecondAtZero) {
  for (double c : {M_PI / 2, -M_PI / 2}) {
    TMATRIX m;
    E3D_MatFromAngles(m, 0.4, 0.9, c);
    double a[2], b[2], r[2];
    E3D_MatToAnglesSimple(m, &a[0], &b[0], &r[0]);
    E3D_MatToAngles(m, &a[1], &b[1], &r[1]);
    EXPECT_EQ(std::pair(b[0], b[1]), std::pair(0.0, 0.0)) << c;
  }
}

// The second candidate (the third angle's cosine negated) only when its
// rebuilt matrix is strictly nearer: never for a rotation, but for a
// matrix that is none, near the quarter turn.
TEST(Matrix, ToAnglesTakesTheNearerCandidate) {
  struct Row {
    TMATRIX m;
    bool second;
  };
  const Row rows[] = {
      {{0.8, 0.0, 0.6, 0.0, 1.0, 0.0, -0.6, 0.0, 0.8}, false},
      {{-0.5, 0.0, 0.0, -0.5, 1e-7, 0.0, 0.0, 0.0, 1.0}, true},
  };
  for (const Row& r : rows) {
    double a[2], b[2], c[2];
    E3D_MatToAnglesSimple(r.m, &a[0], &b[0], &c[0]);
    E3D_MatToAngles(r.m, &a[1], &b[1], &c[1]);
    EXPECT_EQ(std::pair(a[1], b[1]), std::pair(a[0], b[0]));
    if (r.second)
      EXPECT_EQ(c[1], std::atan2(-r.m[3], -std::sqrt(r.m[5] * r.m[5] + r.m[4] * r.m[4])));
    else
      EXPECT_EQ(c[1], c[0]);
  }
  uint32_t quarter[3];
  TMATRIX m;
  E3D_MatFromAngles(m, M_PI / 2, 0.0, 0.0);
  E3D_MatToAngles16Simple(m, &quarter[0], &quarter[1], &quarter[2]);
  EXPECT_EQ(quarter[0], 16384u);
}

TEST(Matrix, FromVectorsTurnsTheFirstDirectionOntoTheSecond) {
  TMATRIX m, identity;
  E3D_MatIdentity(identity);
  const TVECTOR degenerate[][2] = {{{1, 2, 3}, {2, 4, 6}}, {{0, 0, 0}, {1, 0, 0}}, {{1, 0, 0}, {0, 0, 0}}};
  for (const auto& pair : degenerate) {
    E3D_MatFromVectors(&pair[0], &pair[1], m);
    EXPECT_EQ(E3D_MatDistance2(m, identity), 0.0);
  }
  std::mt19937 random(11);
  std::uniform_real_distribution<double> coordinate(-5.0, 5.0);
  for (int trial = 0; trial < 20; ++trial) {
    TVECTOR d{coordinate(random), coordinate(random), coordinate(random)};
    const TVECTOR u{coordinate(random), coordinate(random), coordinate(random)};
    E3D_MatFromVectors(&d, &u, m);
    E3D_MatMulVec(m, &d);
    const double dn = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    const double un = std::sqrt(u.x * u.x + u.y * u.y + u.z * u.z);
    EXPECT_NEAR(d.x / dn, u.x / un, 1e-12);
    EXPECT_NEAR(d.y / dn, u.y / un, 1e-12);
    EXPECT_NEAR(d.z / dn, u.z / un, 1e-12);
  }
}

TEST(Matrix, FixedPointScaleOrthonormalisingAndVectors) {
  const int32_t fixed[9] = {16384, -8192, 1, 0, 32768, -16384, 7, 8, 9};
  TMATRIX m;
  E3D_MatFromFixed(fixed, m);
  for (int k = 0; k < 9; ++k) EXPECT_EQ(m[k], fixed[k] * 6.103515625e-05) << k;
  TMATRIX r, skewed;
  E3D_MatFromAngles(r, 0.2, 0.5, -0.3);
  std::copy(r, r + 9, skewed);
  skewed[0] *= 1.01;
  skewed[4] += 0.01;
  E3D_MatOrthonormalize(skewed);
  EXPECT_LT(E3D_MatDistance2(skewed, r), 1e-3);
  TMATRIX dot;
  E3D_MatTranspose(skewed, dot);
  E3D_MatMul(skewed, dot, dot);
  TMATRIX identity;
  E3D_MatIdentity(identity);
  ExpectNear(dot, identity, 1e-12);
  TMATRIX zero{};
  E3D_MatOrthonormalize(zero);
  EXPECT_FALSE(std::isfinite(zero[0]));
  TVECTOR v[4] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1}};
  SB_MatMul4Vec(r, v);
  const TVECTOR sum = {v[0].x + v[1].x + v[2].x, v[0].y + v[1].y + v[2].y, v[0].z + v[1].z + v[2].z};
  EXPECT_NEAR(v[3].x, sum.x, 1e-15);
  SB_AddVector(&v[0], &v[1]);
  EXPECT_EQ(v[1].y, r[4] + r[1]);
}

}  // namespace
