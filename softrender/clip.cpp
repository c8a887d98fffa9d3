// The clippers of the software draw list: the near clip at camera z = 128
// (with and without texture coordinates) and the three edge-crossing
// callbacks of the screen clip (texture linear on the screen, position
// only, and texture and camera position correct in perspective).
#include <cmath>

#include "shell/sbvar.h"
#include "softrender/clip.h"
#include "softrender/softmap.h"
#include "system/asm3d/zidade3d.h"

namespace {

int32_t Trunc(double x) {
  // Saturating, so that a wild value cannot overflow the conversion.
  if (!(x > -2147483648.0)) return x != x ? 0 : INT32_MIN;
  if (x >= 2147483647.0) return INT32_MAX;
  return static_cast<int32_t>(x);
}

int32_t ScreenCode(int32_t x, int32_t y, int32_t xmax, int32_t ymax) {
  int32_t code = 0;
  if (x < 0) code |= CLIP_LEFT;
  if (x > xmax) code |= CLIP_RIGHT;
  if (y < 0) code |= CLIP_TOP;
  if (y > ymax) code |= CLIP_BOTTOM;
  return code;
}

int32_t ClipNear(const _WINDOW* window, const TSOFTVERTEX* in, TSOFTVERTEX* out, int32_t n, bool uv) {
  if (!window || !in || !out || n < 1) return 0;
  const double s = SB_Var.FocalF * 0.0078125f;
  int32_t count = 0;
  for (int32_t i = 0; i < n; ++i) {
    const TSOFTVERTEX& a = in[i];
    const TSOFTVERTEX& b = in[i + 1 == n ? 0 : i + 1];
    const bool aNear = (a.Code & CLIP_NEAR) != 0, bNear = (b.Code & CLIP_NEAR) != 0;
    if (!aNear) out[count++] = a;
    if (aNear == bNear) continue;
    TSOFTVERTEX& c = out[count++];
    const double t = (SB_SOFTNEAR - static_cast<double>(a.CamZ)) / (static_cast<double>(b.CamZ) - a.CamZ);
    c.CamX = Trunc(a.CamX + (static_cast<double>(b.CamX) - a.CamX) * t);
    c.CamY = Trunc(a.CamY + (static_cast<double>(b.CamY) - a.CamY) * t);
    c.CamZ = SB_SOFTNEAR;
    if (uv) {
      c.U = Trunc(a.U + (static_cast<double>(b.U) - a.U) * t);
      c.V = Trunc(a.V + (static_cast<double>(b.V) - a.V) * t);
    }
    c.X = Trunc(SB_Var.CenterX + c.CamX * s);
    c.Y = Trunc(SB_Var.CenterY + c.CamY * s);
    c.Code = ScreenCode(c.X, c.Y, window->W_WIDTH - 1, window->W_HEIGHT - 1);
  }
  return count;
}

// The crossing's parameter along a -> b for the edge of the code, and the
// new screen position; false for a code that names no edge.
bool Crossing(const TSOFTVERTEX& a, const TSOFTVERTEX& b, int32_t code, int32_t xmax, int32_t ymax, double* t,
              int32_t* x, int32_t* y) {
  const double dx = static_cast<double>(b.X) - a.X, dy = static_cast<double>(b.Y) - a.Y;
  switch (code) {
    case CLIP_LEFT:
    case CLIP_RIGHT:
      *t = (a.X - (code == CLIP_LEFT ? 0.0 : xmax)) / dx;
      *x = code == CLIP_LEFT ? 0 : xmax;
      *y = Trunc(a.Y - *t * dy);
      return true;
    case CLIP_TOP:
    case CLIP_BOTTOM:
      *t = (a.Y - (code == CLIP_TOP ? 0.0 : ymax)) / dy;
      *y = code == CLIP_TOP ? 0 : ymax;
      *x = Trunc(a.X - *t * dx);
      return true;
    default: return false;
  }
}

// Writes the crossing's screen position and code into corner `out`; the
// parameter is left in *t for the texture coordinates.
bool ScreenCrossing(void* vertices, int32_t out, int32_t ia, int32_t ib, int32_t code, int32_t xmax, int32_t ymax,
                    double* t) {
  auto* v = static_cast<TSOFTVERTEX*>(vertices);
  int32_t x, y;
  if (!Crossing(v[ia], v[ib], code, xmax, ymax, t, &x, &y)) return false;
  v[out].X = x, v[out].Y = y;
  v[out].Code = ScreenCode(x, y, xmax, ymax);
  return true;
}

}  // namespace

int32_t E3D_ClipNearUV(const _WINDOW* window, const TSOFTVERTEX* in, TSOFTVERTEX* out, int32_t n) {
  return ClipNear(window, in, out, n, true);
}

int32_t E3D_ClipNear(const _WINDOW* window, const TSOFTVERTEX* in, TSOFTVERTEX* out, int32_t n) {
  return ClipNear(window, in, out, n, false);
}

void E3D_ClipEdge(void* vertices, int32_t out, int32_t a, int32_t b, int32_t code, int32_t xmax, int32_t ymax) {
  double t;
  ScreenCrossing(vertices, out, a, b, code, xmax, ymax, &t);
}

void E3D_ClipEdgeUV(void* vertices, int32_t out, int32_t a, int32_t b, int32_t code, int32_t xmax, int32_t ymax) {
  auto* v = static_cast<TSOFTVERTEX*>(vertices);
  const int32_t ua = v[a].U, va = v[a].V, ub = v[b].U, vb = v[b].V;
  double t;
  if (!ScreenCrossing(vertices, out, a, b, code, xmax, ymax, &t)) return;
  v[out].U = Trunc(ua - t * (static_cast<double>(ub) - ua));
  v[out].V = Trunc(va - t * (static_cast<double>(vb) - va));
}

void E3D_ClipEdgePersp(void* vertices, int32_t out, int32_t a, int32_t b, int32_t code, int32_t xmax,
                       int32_t ymax) {
  auto* v = static_cast<TSOFTVERTEX*>(vertices);
  const TSOFTVERTEX pa = v[a], pb = v[b];
  double t;
  if (!ScreenCrossing(vertices, out, a, b, code, xmax, ymax, &t)) return;
  // The plane through the eye and the screen edge: screen x = CenterX +
  // F x / z is the edge x = e where F x + (CenterX - e) z = 0.
  const double f = SB_Var.VideoModes[SB_Var.VideoModeIndex].Focal;
  double n[3] = {0, 0, 0};
  if (code == CLIP_LEFT || code == CLIP_RIGHT) {
    n[0] = f, n[2] = SB_Var.CenterX - (code == CLIP_LEFT ? 0.0 : xmax);
  } else {
    n[1] = f, n[2] = SB_Var.CenterY - (code == CLIP_TOP ? 0.0 : ymax);
  }
  const double ax = pa.CamX, ay = pa.CamY, az = pa.CamZ;
  const double dx = ax - pb.CamX, dy = ay - pb.CamY, dz = az - pb.CamZ;
  const double tp = (n[0] * ax + n[1] * ay + n[2] * az) / (n[0] * dx + n[1] * dy + n[2] * dz);
  v[out].CamX = Trunc(ax - tp * dx);
  v[out].CamY = Trunc(ay - tp * dy);
  v[out].CamZ = Trunc(az - tp * dz);
  v[out].U = Trunc(pa.U - tp * (static_cast<double>(pa.U) - pb.U));
  v[out].V = Trunc(pa.V - tp * (static_cast<double>(pa.V) - pb.V));
}
