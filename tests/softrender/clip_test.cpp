// The software draw list's clippers on literal vertex arrays: the near
// clip, the three edge callbacks and the screen clip that drives them.
#include <gtest/gtest.h>

#include <vector>

#include "shell/sbvar.h"
#include "softrender/clip.h"
#include "softrender/softmap.h"
#include "softrender/softrender.h"
#include "system/asm3d/zidade3d.h"

namespace {

TSOFTVERTEX Cam(int32_t x, int32_t y, int32_t z, int32_t u, int32_t v, int32_t code) {
  TSOFTVERTEX p{};
  p.CamX = x, p.CamY = y, p.CamZ = z, p.U = u, p.V = v, p.Code = code;
  return p;
}
TSOFTVERTEX Screen(int32_t x, int32_t y, int32_t u = 0, int32_t v = 0) {
  TSOFTVERTEX p{};
  p.X = x, p.Y = y, p.U = u, p.V = v;
  return p;
}

class ClipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SB_Var.FocalF = 400, SB_Var.CenterX = 320, SB_Var.CenterY = 200;
    window_.W_WIDTH = 640, window_.W_HEIGHT = 400;
  }
  _WINDOW window_{};
};

TEST_F(ClipTest, TheNearClipCutsAtZ128WithTruncatedCornersAndFreshCodes) {
  const TSOFTVERTEX in[3] = {Cam(-100, 50, 64, 1000, 2000, CLIP_NEAR), Cam(100, 50, 256, 3000, 2000, 0),
                             Cam(0, -50, 192, 2000, 0, 0)};
  TSOFTVERTEX out[4] = {};
  ASSERT_EQ(E3D_ClipNearUV(&window_, in, out, 3), 4);
  struct Row {
    int32_t camX, camY, camZ, u, v, x, y;
  } rows[4] = {{-33, 50, 128, 1666, 2000, 216, 356},  // -33.3 and 1666.7 toward zero
               {100, 50, 256, 3000, 2000, 0, 0},
               {0, -50, 192, 2000, 0, 0, 0},
               {-50, 0, 128, 1500, 1000, 163, 200}};
  for (int32_t i = 0; i < 4; ++i) {
    const Row& r = rows[i];
    EXPECT_EQ(out[i].CamX, r.camX) << i;
    EXPECT_EQ(out[i].CamY, r.camY) << i;
    EXPECT_EQ(out[i].CamZ, r.camZ) << i;
    EXPECT_EQ(out[i].U, r.u) << i;
    EXPECT_EQ(out[i].V, r.v) << i;
    EXPECT_EQ(out[i].X, r.x) << i;
    EXPECT_EQ(out[i].Y, r.y) << i;
    EXPECT_EQ(out[i].Code, 0) << i;
  }
}

TEST_F(ClipTest, TheNearClipFlagsTheRightEdgeAtTheWindowWidth) {
  SB_Var.FocalF = 256;  // two pixels a unit at z = 128
  const TSOFTVERTEX in[3] = {Cam(160, 0, 64, 0, 0, CLIP_NEAR), Cam(160, 0, 192, 0, 0, 0),
                             Cam(-160, -400, 192, 0, 0, CLIP_TOP)};
  TSOFTVERTEX out[4] = {};
  ASSERT_EQ(E3D_ClipNearUV(&window_, in, out, 3), 4);
  EXPECT_EQ(out[0].X, 640);
  EXPECT_EQ(out[0].Code, CLIP_RIGHT);
  EXPECT_EQ(out[3].Code, CLIP_TOP);  // (0, -200) at z = 128: screen y = -200
}

TEST_F(ClipTest, ACornerOnTheNearPlaneStaysAndThePlainVariantKeepsUV) {
  const TSOFTVERTEX in[4] = {Cam(0, 0, 128, 10, 10, 0), Cam(100, 0, 64, 20, 20, CLIP_NEAR),
                             Cam(100, 100, 256, 30, 30, 0), Cam(0, 100, 256, 40, 40, 0)};
  TSOFTVERTEX out[5];
  for (TSOFTVERTEX& v : out) v = Cam(0, 0, 0, 7, 7, 0);
  ASSERT_EQ(E3D_ClipNear(&window_, in, out, 4), 5);
  EXPECT_EQ(out[0].CamZ, 128);
  EXPECT_EQ(out[0].U, 10);
  for (int32_t i : {1, 2}) {
    EXPECT_EQ(out[i].CamZ, 128) << i;
    EXPECT_EQ(out[i].U, 7) << i;
    EXPECT_EQ(out[i].V, 7) << i;
  }
}

TEST_F(ClipTest, EachEdgeCodeCutsAtItsEdge) {
  struct Row {
    int32_t code;
    TSOFTVERTEX a, b;
    int32_t x, y, u, v;
  } rows[] = {
      {CLIP_LEFT, Screen(-10, 0, 0, 0), Screen(10, 20, 2000, 400), 0, 10, 1000, 200},
      {CLIP_RIGHT, Screen(629, 0, 0, 0), Screen(649, 20, 2000, 400), 639, 10, 1000, 200},
      {CLIP_TOP, Screen(0, -10, 0, 0), Screen(20, 10, 2000, 400), 10, 0, 1000, 200},
      {CLIP_BOTTOM, Screen(0, 389, 0, 0), Screen(20, 409, 2000, 400), 10, 399, 1000, 200},
      // Crossings between two pixels: x truncated (5.5 and 4.5).
      {CLIP_TOP, Screen(3, -5, 0, 0), Screen(10, 9, 1400, 700), 5, 0, 500, 250},
      {CLIP_BOTTOM, Screen(0, 396, 0, 0), Screen(9, 402, 600, 300), 4, 399, 300, 150},
  };
  for (const Row& r : rows) {
    TSOFTVERTEX uv[3] = {r.a, r.b, Screen(-1, -1, 5, 5)};
    E3D_ClipEdgeUV(uv, 2, 0, 1, r.code, 639, 399);
    EXPECT_EQ(uv[2].X, r.x) << r.code;
    EXPECT_EQ(uv[2].Y, r.y) << r.code;
    EXPECT_EQ(uv[2].U, r.u) << r.code;
    EXPECT_EQ(uv[2].V, r.v) << r.code;
    EXPECT_EQ(uv[2].Code, 0) << r.code;
    TSOFTVERTEX plain[3] = {r.a, r.b, Screen(-1, -1, 5, 5)};
    E3D_ClipEdge(plain, 2, 0, 1, r.code, 639, 399);
    EXPECT_EQ(plain[2].X, r.x) << r.code;
    EXPECT_EQ(plain[2].Y, r.y) << r.code;
    EXPECT_EQ(plain[2].U, 5) << r.code;
    EXPECT_EQ(plain[2].V, 5) << r.code;
  }
}

TEST_F(ClipTest, ThePerspectiveEdgeLandsOnTheEdgesViewPlane) {
  SB_Var.VideoModeIndex = 0;
  SB_Var.VideoModes[0].Focal = 256;
  // Projected with focal 256: a at x = -192 (left of the screen), b at 320.
  TSOFTVERTEX v[3] = {Cam(-1000, 0, 500, 0, 0, CLIP_LEFT), Cam(0, 0, 1000, 2600, 1300, 0), {}};
  v[0].X = -192, v[0].Y = 200, v[1].X = 320, v[1].Y = 200;
  E3D_ClipEdgePersp(v, 2, 0, 1, CLIP_LEFT, 639, 399);
  EXPECT_EQ(v[2].X, 0);
  EXPECT_EQ(v[2].Code, 0);
  ASSERT_GT(v[2].CamZ, 0);
  EXPECT_NEAR(320.0 + 256.0 * v[2].CamX / v[2].CamZ, 0.0, 1.0);  // on the plane of screen x = 0
  const double s = (v[2].CamX + 1000.0) / 1000.0;                  // how far along a -> b in 3D
  EXPECT_NEAR(v[2].U, s * 2600, 2);
  EXPECT_NEAR(v[2].V, s * 1300, 2);
  EXPECT_NEAR(v[2].CamZ, 500 + s * 500, 1);
}

// The screen clip's corner count, with the UV callback.
int32_t ScreenClip(const _WINDOW& window, std::vector<TSOFTVERTEX> poly, std::vector<TSOFTVERTEX>* out) {
  for (TSOFTVERTEX& v : poly)
    v.Code = (v.X < 0 ? CLIP_LEFT : 0) | (v.X > window.W_WIDTH - 1 ? CLIP_RIGHT : 0) | (v.Y < 0 ? CLIP_TOP : 0) |
             (v.Y > window.W_HEIGHT - 1 ? CLIP_BOTTOM : 0) | (v.Code & CLIP_NEAR);
  out->assign(poly.size() + 4, TSOFTVERTEX{});
  SB_Var.ClipEdgeProc = E3D_ClipEdgeUV;
  const int32_t n = E3D_ClipPolyToScreen(&window, poly.data(), out->data(), static_cast<int32_t>(poly.size()));
  out->resize(static_cast<size_t>(n));
  return n;
}

TEST_F(ClipTest, TheScreenClipKeepsATriangleOrMakesAQuadrangle) {
  std::vector<TSOFTVERTEX> out;
  EXPECT_EQ(ScreenClip(window_, {Screen(-50, 100), Screen(-50, 300), Screen(200, 200)}, &out), 3);
  for (const TSOFTVERTEX& v : out) EXPECT_GE(v.X, 0);
  EXPECT_EQ(ScreenClip(window_, {Screen(-50, 200), Screen(200, 100), Screen(200, 300)}, &out), 4);
  for (const TSOFTVERTEX& v : out) EXPECT_GE(v.X, 0);
}

TEST_F(ClipTest, ANearAndEdgeCrossingPolygonIsCutAtTheNearPlaneFirst) {
  SB_Var.FocalF = 256, SB_Var.VideoModes[0].Focal = 256;
  std::vector<TSOFTVERTEX> poly = {Cam(-1000, 0, 64, 0, 0, CLIP_NEAR), Cam(-2000, 0, 1000, 0, 0, CLIP_LEFT),
                                   Cam(0, 0, 1000, 0, 0, 0)};
  poly[1].X = -192, poly[1].Y = 200, poly[2].X = 320, poly[2].Y = 200;
  std::vector<TSOFTVERTEX> cut(4);
  const int32_t n = E3D_ClipNearUV(&window_, poly.data(), cut.data(), 3);
  ASSERT_EQ(n, 4);
  cut.resize(4);
  for (const TSOFTVERTEX& v : cut) EXPECT_EQ(v.Code & CLIP_NEAR, 0);
  EXPECT_EQ(cut[0].Code, CLIP_LEFT);  // fresh: the crossing projects far to the left
  std::vector<TSOFTVERTEX> out;
  ASSERT_GE(ScreenClip(window_, cut, &out), 3);
  for (const TSOFTVERTEX& v : out) {
    EXPECT_GE(v.X, 0);
    EXPECT_EQ(v.Code, 0);
  }
}

}  // namespace
