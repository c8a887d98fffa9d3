// The track's sun: its position from the map information, its place on
// the screen, how much of it the previous frame's polygons leave visible,
// and the glare it adds to the light.
#include <algorithm>
#include <cmath>

#include "engine3d/matrix.h"
#include "engine3d/pointinpolygon.h"
#include "platform/accel/types.h"
#include "scenery/effects.h"
#include "scenery/lensflare.h"
#include "scenery/mapkeys.h"
#include "shell/keyfile.h"
#include "shell/sbvar.h"

namespace {

constexpr double kUnits = 320.0;  // view units per metre
constexpr double kNear = 128.0;
constexpr double kMargin = 10.0;  // polygons farther than this on one side cannot cover the sun
constexpr double kShortest = 0.5;

// Whether every corner lies more than the margin to one side of the point.
bool Aside(const TSGLPOLY& p, double x, double y) {
  bool below = true, right = true, left = true, above = true;
  for (int32_t i = 0; i < p.NbVertices; ++i) {
    const TSGLVERTEX& v = p.Vertices[i];
    below &= v.Y - kMargin >= y, right &= v.X - kMargin >= x;
    left &= v.X + kMargin < x, above &= v.Y + kMargin < y;
  }
  return below || right || left || above;
}

// The point's distance outside a convex polygon: the largest distance to
// an edge line with the polygon on its other side; -1 when no edge has the
// point outside or the polygon is too thin to judge.
double Outside(const TSGLPOLY& p, double x, double y) {
  const int32_t n = p.NbVertices;
  double best = -1.0;
  for (int32_t k = 0; k < n; ++k) {
    const TSGLVERTEX &a = p.Vertices[k], &b = p.Vertices[(k + 1) % n], &c = p.Vertices[(k + 2) % n];
    const double ex = double{b.X} - a.X, ey = double{b.Y} - a.Y, length = std::hypot(ex, ey);
    if (length < kShortest) return -1.0;
    const double ux = ex / length, uy = ey / length;
    const double s = (x - a.X) * uy - (y - a.Y) * ux, t = (c.X - a.X) * uy - (c.Y - a.Y) * ux;
    if (std::fabs(t) < kShortest) return -1.0;
    if ((s < 0) != (t < 0)) best = std::max(best, std::fabs(s));
  }
  return best;
}

}  // namespace

__attribute__((weak)) void SB_ReadSunPosition(TKEYFILE* keys) {
  if (!keys) return;
  double sun[3] = {};
  if (SB_ScanKeyFile(keys, 1, "SUN: %f,%f,%f", {&sun[0], &sun[1], &sun[2]}) != 3) return;
  if (!std::isfinite(sun[0]) || !std::isfinite(sun[1]) || !std::isfinite(sun[2])) return;
  for (int i = 0; i < 3; ++i) SB_Var.SunPos[i] = sun[i];
}

TVECTOR SB_SunInView(const TCAMERA& c) {
  TVECTOR s{SB_Var.SunPos[0] * kUnits - c.CurrentX, (SB_Var.SunPos[1] + SB_Var.SunDrop) * kUnits - c.CurrentY,
            SB_Var.SunPos[2] * kUnits - c.CurrentZ};
  E3D_MatMulVec(c.Matrix, &s);
  return s;
}

int32_t SB_ProjectSun(float* x, float* y) {
  const TVECTOR s = SB_SunInView(SB_Var.Camera);
  if (!(s.z >= kNear)) return 0;
  const double f = SB_Var.Focal, w = SB_Var.ScreenWindow.W_WIDTH, h = SB_Var.ScreenWindow.W_HEIGHT;
  *x = static_cast<float>(w / 2 + s.x * f / s.z);
  *y = static_cast<float>(h / 2 + s.y * f / s.z);
  return 1;
}

double SB_SunVisibility(int32_t x, int32_t y) {
  const int32_t w = SB_Var.ScreenWindow.W_WIDTH, h = SB_Var.ScreenWindow.W_HEIGHT;
  double e = std::min({x, w - x, y, h - y});
  if (e < 1) return 0.0;
  const TSOFTSCENE* view = SB_Var.PreviousView;
  if (!view) return e;
  int32_t guard = view->NbPolygons;
  for (auto* p = static_cast<const TSGLPOLY*>(view->FirstPolygon); p && guard-- > 0; p = p->Next) {
    if (p->NbVertices < 3 || !p->Vertices || Aside(*p, x, y)) continue;
    if (SB_PointInPolygon(p->NbVertices, p->Vertices, static_cast<float>(x), static_cast<float>(y)))
      return 0.0;
    const double d = Outside(*p, x, y);
    if (d >= 0.0 && d < e) e = d;
  }
  return std::clamp((e - 1.0) * 0.1, 0.0, 1.0);
}

// The more directly the camera faces a visible sun by day, the brighter
// the light and the deeper the view's depth range.
__attribute__((weak)) void SB_UpdateSunGlare() {
  const TVECTOR s = SB_SunInView(SB_Var.Camera);
  const double length = std::sqrt(s.x * s.x + s.y * s.y + s.z * s.z);
  const double cosine = length > 0.0 && s.z > 0.0 ? s.z / length : 0.0;
  const double p = cosine * cosine * cosine * cosine;
  const double strength = ((SB_FlareState().Visibility - 1.0) * 0.5 + 1.0) * p * SB_Var.DayFactor;
  SB_Var.SunGlare[0] = static_cast<float>(0.5 * strength);
  SB_Var.SunGlare[1] = static_cast<float>(0.4 * strength);
  SB_Var.SunGlare[2] = static_cast<float>(0.2 * strength);
  SB_Var.GlareDepthFactor = 4.0 * strength + 1.0;
}
