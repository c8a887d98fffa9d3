// The texture-plane solver and the gradients of the perspective polygons,
// and the floating-point environment of the 3D path.
#include <cfenv>
#include <cmath>
#include <random>

#include "softrender/fpu.h"
#include "tests/softrender/drawlist_fixture.h"

namespace ztest {
namespace {

TEST(CrossProductTest, TheUnitPlaneGivesItsInverseRows) {
  const float a[3] = {1, 0, 0}, b[3] = {0, 1, 0}, p[3] = {2, 3, 4};
  struct {
    TSOFTORIGIN origin;
    float fourth;
  } words = {{-1, -1, -1}, -1};
  float m[9];
  E3D_CrossProduct(p, a, b, &words.origin, m);
  const float want[9] = {0, 0, 0.25f, 1, 0, 0, 0, 1, 0};
  for (int32_t i = 0; i < 9; ++i) EXPECT_FLOAT_EQ(m[i], want[i]) << i;
  EXPECT_FLOAT_EQ(words.origin.UOffset, 131072);
  EXPECT_FLOAT_EQ(words.origin.VOffset, 196608);
  EXPECT_EQ(words.origin.Spare, -1);
  EXPECT_EQ(words.fourth, -1);
}

// A road polygon of the first race frame: f rounded to float gives the
// denominator row's first entry -0x1.f45594p-7, f kept in double (as an
// optimised build once made it) -0x1.f45596p-7, a texel apart on the road.
TEST(CrossProductTest, TheNearestPointIsRoundedToFloatInEveryBuild) {
  const float a[3] = {0x1.df665ap+2f, 0x1.405a48p+10f, 0x1.183bdep+1f};
  const float b[3] = {0x1.2d9a8p+9f, 0.0f, 0x1.b7e97ap+7f};
  const float p[3] = {-0x1.dd355ep+8f, -0x1.71d91ep+7f, -0x1.2c1a8p+7f};
  TSOFTORIGIN origin{};
  float m[9];
  E3D_CrossProduct(p, a, b, &origin, m);
  EXPECT_EQ(m[0], -0x1.f45594p-7f);
  EXPECT_EQ(m[1], 0x1.2931bap-16f);
}

TEST(FpuTest, ExceptionsAreMaskedAndTheWordComesBack) {
  feenableexcept(FE_DIVBYZERO);
  E3D_SetFpuControl();
  EXPECT_EQ(fegetexcept(), 0);
  volatile double zero = 0.0;
  EXPECT_TRUE(std::isinf(1.0 / zero));
  E3D_RestoreFpuControl();
  EXPECT_EQ(fegetexcept(), FE_DIVBYZERO);
  fedisableexcept(FE_ALL_EXCEPT);
}

// Seeded quadrangles on random planes in front of the camera, textured
// linearly along two of the plane's directions: the matrix gives every
// corner's u and v back on its ray.
TEST_F(DrawListTest, TheGradientsGiveEachCornersTextureOnItsRay) {
  std::mt19937 random(50);
  std::uniform_int_distribution<int32_t> unit(-100, 100);
  for (int32_t round = 0; round < 50; ++round) {
    // Integer corners, so that the four lie exactly on one plane.
    const int32_t origin[3] = {unit(random) * 5, unit(random) * 5, 1500 + unit(random) * 10};
    const int32_t e1[3] = {100 + unit(random) / 3, unit(random) / 3, unit(random)};
    const int32_t e2[3] = {unit(random) / 3, 100 + unit(random) / 3, unit(random)};
    const int32_t u0 = 1000 + unit(random) * 9, v0 = 1000 + unit(random) * 9;
    TSOFTVERTEX corners[4];
    const int32_t st[4][2] = {{0, 0}, {4, 0}, {4, 3}, {0, 3}};
    for (int32_t c = 0; c < 4; ++c) {
      int32_t pos[3];
      for (int32_t k = 0; k < 3; ++k) pos[k] = origin[k] + st[c][0] * e1[k] + st[c][1] * e2[k];
      corners[c] = At(pos[0], pos[1], pos[2], u0 + st[c][0] * 2560, v0 + st[c][1] * 1280);
    }
    SB_CalcTextureGradients(corners, 0, 1, 2);
    TSOFTORIGIN o{};
    float m[9];
    E3D_CrossProduct(E3D_SoftDraws.O, E3D_SoftDraws.Su, E3D_SoftDraws.Sv, &o, m);
    for (const TSOFTVERTEX& c : corners) {
      // The ray through the corner in the order (-z, x, y).
      const double r[3] = {-static_cast<double>(c.CamZ), static_cast<double>(c.CamX), static_cast<double>(c.CamY)};
      const double d = m[0] * r[0] + m[1] * r[1] + m[2] * r[2];
      const double u = 65536 * (m[3] * r[0] + m[4] * r[1] + m[5] * r[2]) / d - o.UOffset;
      const double v = 65536 * (m[6] * r[0] + m[7] * r[1] + m[8] * r[2]) / d - o.VOffset;
      EXPECT_NEAR(u, c.U, 4) << round;
      EXPECT_NEAR(v, c.V, 4) << round;
    }
  }
}

}  // namespace
}  // namespace ztest
