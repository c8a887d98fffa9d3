// The accelerator's polygon clip: the cut at the near plane, which the card
// cannot do, and, when a new vertex lands far off the screen, the screen
// clip with an edge callback that works in camera space so that depth, 1/w
// and the texture coordinates stay correct in perspective.
#include <cmath>
#include <cstring>

#include "racescene/powerscene.h"
#include "shell/sbvar.h"
#include "softrender/softrender.h"
#include "system/asm3d/zidade3d.h"

namespace {

constexpr float kFarScreen = 15000.0f;
constexpr int32_t kCodeNear = 32;

float ModeFocal() {
  const int32_t i = SB_Var.VideoModeIndex;
  if (i >= 0 && i < SB_NBVIDEOMODES && SB_Var.VideoModes[i].Focal > 0)
    return static_cast<float>(SB_Var.VideoModes[i].Focal);
  return SB_Var.FocalF;
}

int32_t ScreenCode(float x, float y, int32_t xmax, int32_t ymax) {
  const int32_t ix = static_cast<int32_t>(x), iy = static_cast<int32_t>(y);
  int32_t code = ix < 0 ? 2 : ix > xmax ? 4 : 0;
  code |= iy < 0 ? 8 : iy > ymax ? 16 : 0;
  return code;
}

struct Vec {
  double x, y, z;
};
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

}  // namespace

int32_t POWER_ClipPolyNear(TCLIPVERTEX* in, TCLIPVERTEX* out, int32_t n, float near) {
  SB_Var.ScreenClipNeeded = 0;
  for (int32_t i = 0; i < n; ++i)
    in[i].C.Code = in[i].C.Z < near ? in[i].C.Code | kCodeNear : in[i].C.Code & ~kCodeNear;
  const float inv = 1.0f / near, focal = SB_Var.FocalF;
  int32_t count = 0;
  for (int32_t i = 0; i < n; ++i) {
    const TCLIPVERTEX& a = in[i];
    const TCLIPVERTEX& b = in[i + 1 == n ? 0 : i + 1];
    const bool aBehind = a.C.Code & kCodeNear, bBehind = b.C.Code & kCodeNear;
    if (!aBehind) out[count++] = a;
    if (aBehind == bBehind) continue;
    const float t = (near - a.C.Z) / (b.C.Z - a.C.Z);
    TCLIPVERTEX& v = out[count++];
    v.C.X = a.C.X + (b.C.X - a.C.X) * t;
    v.C.Y = a.C.Y + (b.C.Y - a.C.Y) * t;
    v.C.Z = near;
    v.C.Code = 0;
    v.V.U = a.V.U + (b.V.U - a.V.U) * t;
    v.V.V = a.V.V + (b.V.V - a.V.V) * t;
    v.V.InvW = SB_Var.ProjFactor * inv;
    v.V.X = static_cast<float>(SB_Var.CenterX) + v.C.X * focal * inv;
    v.V.Y = static_cast<float>(SB_Var.CenterY) + v.C.Y * focal * inv;
    v.V.Colour = in[0].V.Colour;
    v.V.Specular = 0;
    v.V.Depth = near * SB_Var.DepthScale;
    if (std::fabs(v.V.X) > kFarScreen || std::fabs(v.V.Y) > kFarScreen) SB_Var.ScreenClipNeeded = 1;
  }
  return count;
}

int32_t POWER_ClipPolygon(const _WINDOW* window, TCLIPVERTEX* in, TCLIPVERTEX* out, int32_t n) {
  n = POWER_ClipPolyNear(in, out, n, SB_NEARPLANE);
  if (!SB_Var.ScreenClipNeeded || n < 3) return n;
  TCLIPVERTEX work[2 * SB_MAXPOLYCORNERS + 4];
  if (n > 2 * SB_MAXPOLYCORNERS) return 0;
  std::memcpy(work, out, sizeof(TCLIPVERTEX) * static_cast<size_t>(n));
  SB_Var.ClipEdgeProc = POWER_ClipEdge;
  for (int32_t i = 0; i < n; ++i)
    work[i].C.Code = ScreenCode(work[i].V.X, work[i].V.Y, window->W_WIDTH - 1, window->W_HEIGHT - 1);
  return E3D_ClipPolyToScreen(window, work, out, n);
}

void POWER_ClipEdge(void* vertices, int32_t out, int32_t inside, int32_t outside, int32_t code, int32_t width,
                    int32_t height) {
  auto* v = static_cast<TCLIPVERTEX*>(vertices);
  const TCLIPVERTEX a = v[inside], b = v[outside];
  const double cx = SB_Var.CenterX, cy = SB_Var.CenterY, f = ModeFocal();
  const double X = width, Y = height;
  double s1x = 0, s1y = 0, s2x = 0, s2y = 0;  // the edge's two screen corners
  switch (code) {
    case 2: s1x = 0, s1y = 0, s2x = 0, s2y = Y; break;
    case 4: s1x = X, s1y = 0, s2x = X, s2y = Y; break;
    case 8: s1x = 0, s1y = 0, s2x = X, s2y = 0; break;
    default: s1x = 0, s1y = Y, s2x = X, s2y = Y; break;
  }
  const Vec n = Cross({s1x - cx, s1y - cy, f}, {s2x - cx, s2y - cy, f});
  const Vec pa{a.C.X, a.C.Y, a.C.Z}, pb{b.C.X, b.C.Y, b.C.Z};
  const double den = Dot({pa.x - pb.x, pa.y - pb.y, pa.z - pb.z}, n);
  const double t = den != 0.0 ? Dot(pa, n) / den : 0.0;
  TCLIPVERTEX& r = v[out];
  r.C.X = static_cast<float>(pa.x + t * (pb.x - pa.x));
  r.C.Y = static_cast<float>(pa.y + t * (pb.y - pa.y));
  r.C.Z = static_cast<float>(pa.z + t * (pb.z - pa.z));
  r.V.U = static_cast<float>(a.V.U + t * (b.V.U - a.V.U));
  r.V.V = static_cast<float>(a.V.V + t * (b.V.V - a.V.V));
  r.V.InvW = r.C.Z != 0.0f ? SB_Var.ProjFactor / r.C.Z : 0.0f;
  r.V.Depth = r.C.Z * SB_Var.DepthScale;
  // On the edge line, the other coordinate along A -> B in screen space.
  const double ax = a.V.X, ay = a.V.Y, bx = b.V.X, by = b.V.Y;
  if (code == 2 || code == 4) {
    const double ex = code == 2 ? 0.0 : X;
    r.V.X = static_cast<float>(ex);
    r.V.Y = static_cast<float>(bx != ax ? ay + (ex - ax) * (by - ay) / (bx - ax) : ay);
  } else {
    const double ey = code == 8 ? 0.0 : Y;
    r.V.Y = static_cast<float>(ey);
    r.V.X = static_cast<float>(by != ay ? ax + (ey - ay) * (bx - ax) / (by - ay) : ax);
  }
  r.V.Specular = 0;
  r.C.Code = ScreenCode(r.V.X, r.V.Y, width, height);
}
