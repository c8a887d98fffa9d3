// The cosine table, the split fixed-point products and the rotation frames.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "system/asm3d/zidade3d.h"

namespace {

using Vec = std::array<int32_t, 3>;
using Rot = std::array<Vec, 3>;
constexpr int32_t kIdentity[3][3] = {{16384, 0, 0}, {0, 16384, 0}, {0, 0, 16384}};

// A frame whose rotation is given and whose other words are set apart.
FIXFRAME WithRotation(const int32_t (&m)[3][3]) {
  FIXFRAME f;
  std::memset(&f, 0x5A, sizeof f);
  std::memcpy(f.Rotation, m, sizeof m);
  return f;
}
Rot RotationOf(const int32_t (&m)[3][3]) {
  return {Vec{m[0][0], m[0][1], m[0][2]}, Vec{m[1][0], m[1][1], m[1][2]}, Vec{m[2][0], m[2][1], m[2][2]}};
}
Vec Transformed(const FIXFRAME& f, Vec p) {
  LS_TransformPoint(&f, p.data());
  return p;
}
FIXFRAME Turned(void (*rotate)(FIXFRAME*, uint16_t), uint16_t angle, int turns = 1) {
  FIXFRAME f;
  LS_InitMatrix(&f, 0, 0, 0);
  for (int i = 0; i < turns; ++i) rotate(&f, angle);
  return f;
}

class FixFrame : public ::testing::Test {
 protected:
  void SetUp() override { LS_InitSinTable(); }
};

TEST_F(FixFrame, CosineTableAndLookupsRoundedToTheNearestStep) {
  using Values = std::vector<int32_t>;
  EXPECT_EQ((Values{LS_CosTable[0], LS_CosTable[1], LS_CosTable[512], LS_CosTable[1024], LS_CosTable[2048],
                    LS_CosTable[3072]}),
            (Values{16384, 16383, 11585, 0, -16384, 0}));
  EXPECT_EQ((Values{LS_Cos(7), LS_Cos(8), LS_Cos(65535), LS_Cos(32768)}),  // 65535 rounds up to 4096: 0
            (Values{16384, 16383, 16384, -16384}));
  EXPECT_EQ((Values{LS_Sin(0), LS_Sin(16384), LS_Sin(32768), LS_Sin(49152)}), (Values{0, 16384, 0, -16384}));
  std::memset(LS_CosTable, 0, sizeof LS_CosTable);
  LS_Init3D();
  EXPECT_EQ(LS_CosTable[2048], -16384);
  LS_Close3D();
}

TEST_F(FixFrame, SplitProductsLoseNoPrecision) {
  const FIXFRAME identity = WithRotation(kIdentity);
  EXPECT_EQ(Transformed(identity, {INT32_MAX, INT32_MIN, -1}), (Vec{INT32_MAX, INT32_MIN, -1}));
  const FIXFRAME half = WithRotation({{8192, 0, 0}, {0, 0, 0}, {0, 0, 0}});
  EXPECT_EQ(Transformed(half, {1, 0, 0}), (Vec{1, 0, 0}));   // one half rounds up
  EXPECT_EQ(Transformed(half, {-1, 0, 0}), (Vec{0, 0, 0}));  // minus one half rounds up too
  const FIXFRAME ones = WithRotation({{16384, 16384, 16384}, {16384, 16384, 16384}, {16384, 16384, 16384}});
  EXPECT_EQ(Transformed(ones, {65535, 65535, 65535}), (Vec{196605, 196605, 196605}));
}

// In 64 bits the split rule is the whole sum divided by 16384 and rounded
// half up.
TEST_F(FixFrame, SplitProductsEqualTheRoundedWholeSum) {
  std::mt19937 random(12);
  std::uniform_int_distribution<int32_t> entry(-16384, 16384), value(-1000000000, 1000000000);
  for (int n = 0; n < 2000; ++n) {
    int32_t m[3][3];
    for (auto& row : m)
      for (auto& e : row) e = entry(random);
    const Vec p = {value(random), value(random), value(random)};
    const Vec got = Transformed(WithRotation(m), p);
    for (int j = 0; j < 3; ++j) {
      const int64_t rounded = (int64_t{m[0][j]} * p[0] + int64_t{m[1][j]} * p[1] + int64_t{m[2][j]} * p[2] + 8192) >> 14;
      if (rounded >= INT32_MIN && rounded <= INT32_MAX) { EXPECT_EQ(got[j], rounded); }
    }
  }
}

TEST_F(FixFrame, InitMatrixIsTheIdentityAtThePosition) {
  FIXFRAME f;
  std::memset(&f, 0x5A, sizeof f);
  LS_InitMatrix(&f, 1, 2, 3);
  EXPECT_EQ(RotationOf(f.Rotation), RotationOf(kIdentity));
  EXPECT_EQ(RotationOf(f.Inverse), RotationOf(kIdentity));
  EXPECT_EQ((std::array{f.Position[0], f.Position[1], f.Position[2], f.Last}), (std::array<int32_t, 4>{1, 2, 3, 0}));
  EXPECT_EQ(f.Spare[7], 0x5A5A5A5A);  // the spare words are not touched
}

TEST_F(FixFrame, QuarterTurnsAboutEachAxisAndFourGiveTheIdentityBack) {
  EXPECT_EQ(Transformed(Turned(LS_RotateZ, 16384), {1000, 0, 0}), (Vec{0, 1000, 0}));
  EXPECT_EQ(Transformed(Turned(LS_RotateX, 16384), {0, 1000, 0}), (Vec{0, 0, 1000}));
  EXPECT_EQ(Transformed(Turned(LS_RotateY, 16384), {1000, 0, 0}), (Vec{0, 0, 1000}));
  for (auto rotate : {LS_RotateX, LS_RotateY, LS_RotateZ}) {
    const FIXFRAME f = Turned(rotate, 16384, 4);
    EXPECT_EQ(RotationOf(f.Rotation), RotationOf(kIdentity));
    EXPECT_EQ(RotationOf(f.Inverse), RotationOf(kIdentity));
  }
}

TEST_F(FixFrame, AnglesOfAQuarterTurnMatchTheRotations) {
  FIXFRAME f;
  LS_MatrixFromAngles(&f, 0, 16384, 0);
  EXPECT_EQ(RotationOf(f.Rotation), RotationOf({{0, 0, 16384}, {0, 16384, 0}, {-16384, 0, 0}}));
  EXPECT_EQ(f.Position[0] | f.Position[1] | f.Position[2], 0);
  LS_MatrixFromAngles(&f, 16384, 0, 0);
  EXPECT_EQ(RotationOf(f.Rotation), RotationOf(Turned(LS_RotateX, 16384).Rotation));
  LS_MatrixFromAngles(&f, 0, 0, 16384);
  EXPECT_EQ(RotationOf(f.Rotation), RotationOf(Turned(LS_RotateZ, 16384).Rotation));
}

// The inverse follows the rotation through any turns, and a move along the
// frame's own Z axis is seen by the frame as a move along Z.
TEST_F(FixFrame, InverseStaysTheInverseAfterManyTurns) {
  FIXFRAME q = Turned(LS_RotateY, 16384);
  LS_MoveMatrixZ(&q, 1000);
  EXPECT_EQ((Vec{q.Position[0], q.Position[1], q.Position[2]}), (Vec{1000, 0, 0}));
  std::mt19937 random(99);
  void (*const turns[])(FIXFRAME*, uint16_t) = {LS_RotateX, LS_RotateY, LS_RotateZ};
  for (int n = 0; n < 200; ++n) {
    FIXFRAME f;
    LS_InitMatrix(&f, 500, -600, 700);
    for (int i = 0; i < 5; ++i) turns[random() % 3](&f, static_cast<uint16_t>(random()));
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) {
        int64_t product = 0;
        for (int k = 0; k < 3; ++k) product += int64_t{f.Rotation[i][k]} * f.Inverse[k][j];
        EXPECT_NEAR(static_cast<double>(product) / 16384, i == j ? 16384 : 0, 32) << n << i << j;
      }
    const Vec before = {f.Position[0], f.Position[1], f.Position[2]};
    LS_MoveMatrixZ(&f, 1000);
    const Vec moved = Transformed(f, {f.Position[0] - before[0], f.Position[1] - before[1], f.Position[2] - before[2]});
    EXPECT_LE(std::abs(moved[0]) + std::abs(moved[1]) + std::abs(moved[2] - 1000), 12) << n;
  }
}

TEST_F(FixFrame, ProductsOfMatricesAndBlocks) {
  FIXFRAME f = Turned(LS_RotateZ, 16384);
  const int32_t half[3][3] = {{8192, 0, 0}, {0, 8192, 0}, {0, 0, 8192}};
  LS_MulMatrixFrame(half, &f);  // rotation := rotation x half
  EXPECT_EQ(RotationOf(f.Rotation), RotationOf({{0, 8192, 0}, {-8192, 0, 0}, {0, 0, 8192}}));
  const int32_t swap[3][3] = {{0, 16384, 0}, {16384, 0, 0}, {0, 0, 16384}};
  int32_t inverse[3][3] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
  for (auto& row : inverse)
    for (auto& e : row) e *= 16384;
  LS_MulMatrix(swap, inverse);  // inverse := swap x inverse: rows exchanged
  EXPECT_EQ((Vec{inverse[0][0], inverse[1][2], inverse[2][1]}), (Vec{4 * 16384, 3 * 16384, 8 * 16384}));
  FIXFRAME block;
  std::memset(&block, 0x5A, sizeof block);
  LS_SetMatrixPos(&block, 10, 20, 30);
  EXPECT_EQ(RotationOf(block.Rotation), RotationOf({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}));
  EXPECT_EQ(block.Inverse[0][0], 0x5A5A5A5A);  // only rotation and position
  const FIXFRAME z = Turned(LS_RotateZ, 16384);
  LS_TransformVector(&z, &block);
  EXPECT_EQ((Vec{block.Position[0], block.Position[1], block.Position[2]}), (Vec{-20, 10, 30}));
}

}  // namespace
