// The near-plane and screen clips of the accelerator's polygons, and the
// software renderer's screen-edge walk under them.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>

#include "softrender/softrender.h"
#include "tests/racescene/accel/accel_fixture.h"

namespace {

using ztest::AccelTest;
using ClipTest = AccelTest;

// A vertex at a camera position, projected when in front, with u and v
// linear in camera space so that the true value anywhere is known.
TCLIPVERTEX At(float x, float y, float z, uint32_t colour = 0x123456) {
  TCLIPVERTEX v{};
  v.C = {0, x, y, z};
  if (z > 0) v.V.X = 320.0f + x * 400.0f / z, v.V.Y = 240.0f + y * 400.0f / z;
  v.V.InvW = 0.5f / z, v.V.Colour = colour, v.V.Specular = 7;
  v.V.U = x * 0.001f, v.V.V = z * 0.001f;
  return v;
}

TEST_F(ClipTest, NearPlaneCutsOnlyWhatIsBehind) {
  TCLIPVERTEX out[20];
  TCLIPVERTEX one[3] = {At(0, 0, 1000, 0xAA0000), At(100, 0, 1000, 0x00BB00), At(50, 0, 50, 0x0000CC)};
  ASSERT_EQ(POWER_ClipPolygon(&window_, one, out, 3), 4);
  for (int i : {2, 3}) {
    EXPECT_FLOAT_EQ(out[i].C.Z, 128.0f);
    EXPECT_EQ(out[i].C.Code, 0);
    EXPECT_EQ(out[i].V.Specular, 0u);
    EXPECT_EQ(out[i].V.Colour, 0xAA0000u);  // the first vertex's, not interpolated
    EXPECT_FLOAT_EQ(out[i].V.InvW, 0.5f / 128.0f);
  }
  TCLIPVERTEX front[3] = {At(0, 0, 500), At(10, 0, 500), At(0, 10, 500)};
  ASSERT_EQ(POWER_ClipPolygon(&window_, front, out, 3), 3);
  EXPECT_EQ(std::memcmp(out, front, sizeof front), 0);
  TCLIPVERTEX behind[3] = {At(0, 0, 10), At(10, 0, 127), At(0, 10, 20)};
  EXPECT_EQ(POWER_ClipPolygon(&window_, behind, out, 3), 0);
}

TEST_F(ClipTest, FarOffVertexIsClippedToTheScreenInPerspective) {
  // The near crossing of the first edge projects to x = 20000.
  const float x = (20000.0f - 320.0f) * 128.0f / 400.0f;
  TCLIPVERTEX in[3] = {At(x, 0, 200), At(x, 0, 60), At(0, 50, 1000)};
  TCLIPVERTEX out[20];
  const int32_t n = POWER_ClipPolygon(&window_, in, out, 3);
  EXPECT_EQ(SB_Var.ScreenClipNeeded, 1);
  ASSERT_GE(n, 3);
  for (int32_t i = 0; i < n; ++i) {
    SCOPED_TRACE(i);
    const TCLIPVERTEX& v = out[i];
    EXPECT_TRUE(v.V.X >= 0 && v.V.X <= 640 && v.V.Y >= 0 && v.V.Y <= 480);
    EXPECT_NEAR(v.V.InvW, 0.5f / v.C.Z, 1e-7);
    EXPECT_NEAR(v.V.U, v.C.X * 0.001f, 1e-4);
    EXPECT_NEAR(v.V.V, v.C.Z * 0.001f, 1e-4);
    EXPECT_NEAR(v.V.X, 320.0f + v.C.X * 400.0f / v.C.Z, 1.0);
  }
}

// The screen-only edge rule of the software renderer, for the walk's cases.
void ScreenEdge(void* vertices, int32_t out, int32_t a, int32_t b, int32_t code, int32_t xmax, int32_t ymax) {
  auto* v = static_cast<TSOFTVERTEX*>(vertices);
  const TSOFTVERTEX A = v[a], B = v[b];
  if (code == 2 || code == 4) {
    const int32_t ex = code == 2 ? 0 : xmax;
    v[out].Y = A.Y + (ex - A.X) * (B.Y - A.Y) / (B.X - A.X), v[out].X = ex;
  } else {
    const int32_t ey = code == 8 ? 0 : ymax;
    v[out].X = A.X + (ey - A.Y) * (B.X - A.X) / (B.Y - A.Y), v[out].Y = ey;
  }
  v[out].Code = (v[out].X < 0 ? 2 : v[out].X > xmax ? 4 : 0) | (v[out].Y < 0 ? 8 : v[out].Y > ymax ? 16 : 0);
}

TEST_F(ClipTest, ScreenWalkCases) {
  SB_Var.ClipEdgeProc = ScreenEdge;
  struct Row {
    std::vector<std::array<int32_t, 3>> corners;  // x, y, code
    int32_t count;
  };
  const Row rows[] = {
      {{{640, 100, 0}, {100, 100, 0}, {100, 300, 0}}, 3},  // x = W_WIDTH is inside
      {{{-50, 100, 2}, {-80, 300, 2}, {200, 200, 0}}, 3},  // two corners off the left
      {{{-50, 100, 2}, {300, 100, 0}, {300, 300, 0}}, 4},  // one corner off the left
      {{{-50, 100, 2}, {-60, 100, 2}, {-70, 300, 2}}, 0},  // wholly off
  };
  for (const Row& r : rows) {
    TSOFTVERTEX v[8]{};
    for (size_t i = 0; i < r.corners.size(); ++i)
      v[i].X = r.corners[i][0], v[i].Y = r.corners[i][1], v[i].Code = r.corners[i][2];
    const int32_t n = E3D_ClipPolyToScreen(&window_, v, v, 3);
    EXPECT_EQ(n, r.count);
    for (int32_t i = 0; i < n; ++i) EXPECT_TRUE(v[i].X >= 0 && v[i].X <= 640) << v[i].X;
  }
}

}  // namespace
