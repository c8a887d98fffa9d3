// The cosine table, the split fixed-point products and the rotation frames.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>

#include "system/asm3d/zidade3d.h"

namespace {

class FixFrame : public ::testing::Test {
 protected:
  void SetUp() override { LS_InitSinTable(); }

  // A frame whose rotation is given and whose other words are set apart.
  static FIXFRAME WithRotation(const int32_t (&m)[3][3]) {
    FIXFRAME f;
    std::memset(&f, 0x5A, sizeof f);
    std::memcpy(f.Rotation, m, sizeof m);
    return f;
  }

  static void ExpectRotation(const FIXFRAME& f, const int32_t (&m)[3][3]) {
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) EXPECT_EQ(f.Rotation[i][j], m[i][j]) << "entry " << i << j;
  }

  static void ExpectPoint(const FIXFRAME& f, int32_t x, int32_t y, int32_t z, int32_t ex, int32_t ey,
                          int32_t ez) {
    int32_t p[3] = {x, y, z};
    LS_TransformPoint(&f, p);
    EXPECT_EQ(p[0], ex);
    EXPECT_EQ(p[1], ey);
    EXPECT_EQ(p[2], ez);
  }

  static constexpr int32_t kIdentity[3][3] = {{16384, 0, 0}, {0, 16384, 0}, {0, 0, 16384}};
};

TEST_F(FixFrame, CosineTableEntries) {
  EXPECT_EQ(LS_CosTable[0], 16384);
  EXPECT_EQ(LS_CosTable[1], 16383);
  EXPECT_EQ(LS_CosTable[512], 11585);
  EXPECT_EQ(LS_CosTable[1024], 0);
  EXPECT_EQ(LS_CosTable[2048], -16384);
  EXPECT_EQ(LS_CosTable[3072], 0);
  // Falling over the first half turn, rising over the second.
  for (int i = 1; i <= 2048; ++i) EXPECT_LE(LS_CosTable[i], LS_CosTable[i - 1]) << i;
  for (int i = 2049; i < 4096; ++i) EXPECT_GE(LS_CosTable[i], LS_CosTable[i - 1]) << i;
}

TEST_F(FixFrame, LookupsRoundTheAngleToTheNearestStep) {
  EXPECT_EQ(LS_Cos(7), 16384);
  EXPECT_EQ(LS_Cos(8), 16383);
  EXPECT_EQ(LS_Cos(65535), 16384);  // rounds up to entry 4096, which wraps to 0
  EXPECT_EQ(LS_Cos(32768), -16384);
  EXPECT_EQ(LS_Sin(0), 0);
  EXPECT_EQ(LS_Sin(16384), 16384);
  EXPECT_EQ(LS_Sin(32768), 0);
  EXPECT_EQ(LS_Sin(49152), -16384);
}

TEST_F(FixFrame, InitThreeDBuildsTheTable) {
  std::memset(LS_CosTable, 0, sizeof LS_CosTable);
  LS_Init3D();
  EXPECT_EQ(LS_CosTable[0], 16384);
  EXPECT_EQ(LS_CosTable[2048], -16384);
  LS_Close3D();
  EXPECT_EQ(LS_CosTable[0], 16384);
}

TEST_F(FixFrame, SplitProductsLoseNoPrecision) {
  const FIXFRAME identity = WithRotation(kIdentity);
  ExpectPoint(identity, 100000, -100000, 7, 100000, -100000, 7);
  ExpectPoint(identity, INT32_MAX, INT32_MIN, -1, INT32_MAX, INT32_MIN, -1);

  const FIXFRAME half = WithRotation({{8192, 0, 0}, {0, 0, 0}, {0, 0, 0}});
  ExpectPoint(half, 1, 0, 0, 1, 0, 0);   // one half rounds up
  ExpectPoint(half, -1, 0, 0, 0, 0, 0);  // minus one half rounds up too

  const FIXFRAME ones = WithRotation({{16384, 16384, 16384}, {16384, 16384, 16384}, {16384, 16384, 16384}});
  ExpectPoint(ones, 65535, 65535, 65535, 196605, 196605, 196605);
}

// In 64 bits the split rule is the whole sum divided by 16384 and rounded
// half up.
TEST_F(FixFrame, SplitProductsEqualTheRoundedWholeSum) {
  std::mt19937 random(12);
  std::uniform_int_distribution<int32_t> entry(-16384, 16384);
  std::uniform_int_distribution<int32_t> value(-1000000000, 1000000000);
  for (int n = 0; n < 2000; ++n) {
    int32_t m[3][3];
    for (auto& row : m)
      for (auto& e : row) e = entry(random);
    const FIXFRAME f = WithRotation(m);
    int32_t p[3] = {value(random), value(random), value(random)};
    const int32_t original[3] = {p[0], p[1], p[2]};
    LS_TransformPoint(&f, p);
    for (int j = 0; j < 3; ++j) {
      int64_t sum = 0;
      for (int k = 0; k < 3; ++k) sum += int64_t{m[k][j]} * original[k];
      const int64_t rounded = (sum + 8192) >> 14;
      if (rounded >= INT32_MIN && rounded <= INT32_MAX) {
        EXPECT_EQ(p[j], rounded);
      }
    }
  }
}

TEST_F(FixFrame, InitMatrixIsTheIdentityAtThePosition) {
  FIXFRAME f;
  std::memset(&f, 0x5A, sizeof f);
  LS_InitMatrix(&f, 1, 2, 3);
  ExpectRotation(f, kIdentity);
  EXPECT_EQ(std::memcmp(f.Inverse, kIdentity, sizeof kIdentity), 0);
  EXPECT_EQ(f.Position[0], 1);
  EXPECT_EQ(f.Position[1], 2);
  EXPECT_EQ(f.Position[2], 3);
  EXPECT_EQ(f.Last, 0);
  EXPECT_EQ(f.Spare[0], 0x5A5A5A5A);  // the spare words are not touched
  EXPECT_EQ(f.Spare[7], 0x5A5A5A5A);
}

TEST_F(FixFrame, QuarterTurnsAboutEachAxis) {
  FIXFRAME f;
  LS_InitMatrix(&f, 0, 0, 0);
  LS_RotateZ(&f, 16384);
  ExpectPoint(f, 1000, 0, 0, 0, 1000, 0);
  LS_InitMatrix(&f, 0, 0, 0);
  LS_RotateX(&f, 16384);
  ExpectPoint(f, 0, 1000, 0, 0, 0, 1000);
  LS_InitMatrix(&f, 0, 0, 0);
  LS_RotateY(&f, 16384);
  ExpectPoint(f, 1000, 0, 0, 0, 0, 1000);
}

TEST_F(FixFrame, FourQuarterTurnsGiveTheIdentityBack) {
  for (auto rotate : {LS_RotateX, LS_RotateY, LS_RotateZ}) {
    FIXFRAME f;
    LS_InitMatrix(&f, 0, 0, 0);
    for (int i = 0; i < 4; ++i) rotate(&f, 16384);
    ExpectRotation(f, kIdentity);
    EXPECT_EQ(std::memcmp(f.Inverse, kIdentity, sizeof kIdentity), 0);
  }
}

TEST_F(FixFrame, AnglesOfAQuarterTurnMatchTheRotations) {
  FIXFRAME f;
  LS_MatrixFromAngles(&f, 0, 0, 0);
  ExpectRotation(f, kIdentity);
  LS_MatrixFromAngles(&f, 0, 16384, 0);
  ExpectRotation(f, {{0, 0, 16384}, {0, 16384, 0}, {-16384, 0, 0}});
  EXPECT_EQ(f.Position[0] | f.Position[1] | f.Position[2], 0);

  const struct {
    uint16_t ax, ay, az;
    void (*rotate)(FIXFRAME*, uint16_t);
  } cases[] = {{16384, 0, 0, LS_RotateX}, {0, 16384, 0, LS_RotateY}, {0, 0, 16384, LS_RotateZ}};
  for (const auto& c : cases) {
    FIXFRAME turned;
    LS_InitMatrix(&turned, 0, 0, 0);
    c.rotate(&turned, 16384);
    LS_MatrixFromAngles(&f, c.ax, c.ay, c.az);
    ExpectRotation(f, turned.Rotation);
  }
}

TEST_F(FixFrame, AnglesGiveOrthonormalRows) {
  std::mt19937 random(7);
  for (int n = 0; n < 500; ++n) {
    FIXFRAME f;
    LS_MatrixFromAngles(&f, static_cast<uint16_t>(random()), static_cast<uint16_t>(random()),
                        static_cast<uint16_t>(random()));
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) {
        int64_t dot = 0;
        for (int k = 0; k < 3; ++k) dot += int64_t{f.Rotation[i][k]} * f.Rotation[j][k];
        EXPECT_NEAR(static_cast<double>(dot) / 16384, i == j ? 16384 : 0, 16) << i << j;
      }
  }
}

TEST_F(FixFrame, MoveAlongTheTurnedZAxis) {
  FIXFRAME f;
  LS_InitMatrix(&f, 0, 0, 0);
  LS_RotateY(&f, 16384);
  LS_MoveMatrixZ(&f, 1000);
  EXPECT_EQ(f.Position[0], 1000);
  EXPECT_EQ(f.Position[1], 0);
  EXPECT_EQ(f.Position[2], 0);
}

// The inverse follows the rotation through any turns, and a move along the
// frame's own Z axis is seen by the frame as a move along Z.
TEST_F(FixFrame, InverseStaysTheInverseAfterManyTurns) {
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
    const int32_t before[3] = {f.Position[0], f.Position[1], f.Position[2]};
    LS_MoveMatrixZ(&f, 1000);
    int32_t moved[3] = {f.Position[0] - before[0], f.Position[1] - before[1], f.Position[2] - before[2]};
    LS_TransformPoint(&f, moved);
    EXPECT_NEAR(moved[0], 0, 4) << n;
    EXPECT_NEAR(moved[1], 0, 4) << n;
    EXPECT_NEAR(moved[2], 1000, 4) << n;
  }
}

TEST_F(FixFrame, ProductsOfMatricesAndBlocks) {
  FIXFRAME f;
  LS_InitMatrix(&f, 0, 0, 0);
  LS_RotateZ(&f, 16384);
  const int32_t half[3][3] = {{8192, 0, 0}, {0, 8192, 0}, {0, 0, 8192}};
  LS_MulMatrixFrame(half, &f);  // rotation := rotation x half
  ExpectRotation(f, {{0, 8192, 0}, {-8192, 0, 0}, {0, 0, 8192}});
  const int32_t swap[3][3] = {{0, 16384, 0}, {16384, 0, 0}, {0, 0, 16384}};
  int32_t inverse[3][3] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
  for (auto& row : inverse)
    for (auto& e : row) e *= 16384;
  LS_MulMatrix(swap, inverse);  // inverse := swap x inverse: rows exchanged
  EXPECT_EQ(inverse[0][0], 4 * 16384);
  EXPECT_EQ(inverse[1][2], 3 * 16384);
  EXPECT_EQ(inverse[2][1], 8 * 16384);

  FIXFRAME block;
  std::memset(&block, 0x5A, sizeof block);
  LS_SetMatrixPos(&block, 10, 20, 30);
  ExpectRotation(block, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}});
  EXPECT_EQ(block.Inverse[0][0], 0x5A5A5A5A);  // only rotation and position
  LS_InitMatrix(&f, 0, 0, 0);
  LS_RotateZ(&f, 16384);
  LS_TransformVector(&f, &block);
  EXPECT_EQ(block.Position[0], -20);
  EXPECT_EQ(block.Position[1], 10);
  EXPECT_EQ(block.Position[2], 30);
}

}  // namespace
