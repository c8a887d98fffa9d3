// The scene editor's Route tool: the race line's control points edited on
// the map (added, inserted, dragged, deleted, selected by a rubber box),
// the curve and the points drawn, every change resampled at once.
#include <algorithm>
#include <cstring>

#include "platform/clock.h"
#include "shell/gamedraw.h"
#include "shell/sbvar.h"
#include "system/asm3d/zidade3d.h"
#include "system/input.h"
#include "tools/bsplines.h"
#include "tools/sceneedit/sceneedit.h"

namespace {

constexpr double kChord = 0.01, kLastT = 0.9999999;
constexpr double kNear = 100.0;  // square metres per metre of scale
constexpr int32_t kKeyShift = 16, kKeyD = 68, kKeyN = 78, kKeyA = 65;

bool RouteActive() { return SB_ToolActive(SB_TOOLROUTE); }

// Calls back with the two ends of every chord of every segment.
template <typename Visit>
void ForEachChord(Visit visit) {
  for (int32_t i = 0; i + 1 < SB_Var.NbRaceLinePoints; ++i)
    for (double t = 0.0; t + kChord < kLastT; t += kChord) {
      TVECTOR a, b;
      SB_RaceLineSegmentPoint(i, t, &a);
      SB_RaceLineSegmentPoint(i, t + kChord, &b);
      visit(i, a, b);
    }
}

bool AnySelected() {
  for (int32_t i = 0; i < SB_Var.NbRaceLinePoints; ++i)
    if (SB_Var.BsplineSelected[i]) return true;
  return false;
}

// The point inserted at index at (0..count), unselected.
void InsertPoint(int32_t at, const TVECTOR& p) {
  const int32_t n = SB_Var.NbRaceLinePoints;
  std::memmove(&SB_Var.RaceLinePoints[at + 1], &SB_Var.RaceLinePoints[at], sizeof(TVECTOR) * (n - at));
  std::memmove(&SB_Var.BsplineSelected[at + 1], &SB_Var.BsplineSelected[at], sizeof(uint32_t) * (n - at));
  SB_Var.RaceLinePoints[at] = p;
  SB_Var.BsplineSelected[at] = 0;
  SB_Var.NbRaceLinePoints = n + 1;
}

void DeleteSelected() {
  int32_t kept = 0;
  for (int32_t i = 0; i < SB_Var.NbRaceLinePoints; ++i)
    if (!SB_Var.BsplineSelected[i]) {
      SB_Var.RaceLinePoints[kept] = SB_Var.RaceLinePoints[i];
      SB_Var.BsplineSelected[kept++] = 0;
    }
  SB_Var.NbRaceLinePoints = kept;
}

void RightButton(BMAP* view, int32_t index) {
  if (AnySelected()) {
    double x0, z0, x1, z1;
    SB_MapViewToWorld(view, SB_Var.EditorPrevMouseX, SB_Var.EditorPrevMouseY, &x0, &z0);
    SB_MapViewToWorld(view, SB_Var.EditorMouseX, SB_Var.EditorMouseY, &x1, &z1);
    for (int32_t i = 0; i < SB_Var.NbRaceLinePoints; ++i)
      if (SB_Var.BsplineSelected[i]) SB_Var.RaceLinePoints[i].x += x1 - x0, SB_Var.RaceLinePoints[i].z += z1 - z0;
    SB_GetBsplinesAngles();
    return;
  }
  if (SB_Var.EditorPrevButtons != 0 || SB_Var.NbRaceLinePoints >= SB_MAXRACELINEPOINTS) return;
  TVECTOR w{0.0, 0.0, 0.0};
  SB_MapViewToWorld(view, SB_Var.EditorMouseX, SB_Var.EditorMouseY, &w.x, &w.z);
  if (!SB_Var.NearBspline)
    InsertPoint(SB_Var.NbRaceLinePoints, w);
  else if (index >= 0)
    InsertPoint(index + 1, w);
  else
    return;
  SB_GetBsplinesAngles();
}

}  // namespace

int32_t SB_FindRouteSegment(BMAP* view, double* distance) {
  double best = 1e11;
  int32_t index = -1;
  TVECTOR m{0.0, 0.0, 0.0};
  SB_MapViewToWorld(view, SB_Var.EditorMouseX, SB_Var.EditorMouseY, &m.x, &m.z);
  ForEachChord([&](int32_t i, const TVECTOR& a, const TVECTOR& b) {
    const double d = SB_SegmentDist2(&a, &b, &m);
    if (d < best) best = d, index = i;
  });
  if (distance) *distance = best;
  return index;
}

void SB_ToolRoute(TTOOLWINDOW* windows, BMAP* view) {
  if (!view || !RouteActive() || SB_MouseOutsideWindows(windows) != 1) return;
  double d = 0.0;
  const int32_t index = SB_FindRouteSegment(view, &d);
  SB_Var.NearBspline = d / SB_Var.MapScale < kNear ? 1 : 0;
  if (SB_Var.EditorButtons & 2) RightButton(view, index);
  if (LS_KeyDown(kKeyD) && LS_KeyHeld(kKeyShift)) {
    DeleteSelected();
    SB_GetBsplinesAngles();
  }
}

void SB_DrawMapBspline(BMAP* view) {
  if (!view || !RouteActive()) return;
  const uint32_t curve = SB_ToolPixel(view, 192, 0, 0);
  LS_LockBmap(view);
  // A chord with an end that is not a number (a far line's curve that
  // overflowed) is left out.
  ForEachChord([&](int32_t, const TVECTOR& a, const TVECTOR& b) {
    int32_t x1, y1, x2, y2;
    if (SB_WorldToMapView(view, a.x, a.y, a.z, &x1, &y1) && SB_WorldToMapView(view, b.x, b.y, b.z, &x2, &y2))
      SB_DrawLine(view, x1, y1, x2, y2, curve);
  });
  LS_UnlockBmap(view);
  const bool blue = plat::TickMs() % 1000 > 500;
  const uint32_t plain = SB_ToolPixel(view, 252, 0, 0);
  const uint32_t selected = blue ? SB_ToolPixel(view, 0, 0, 252) : SB_ToolPixel(view, 252, 252, 0);
  for (int32_t i = 0; i < SB_Var.NbRaceLinePoints; ++i) {
    const TVECTOR& p = SB_Var.RaceLinePoints[i];
    int32_t px, py;
    if (SB_WorldToMapView(view, p.x, p.y, p.z, &px, &py))
      LS_FillRect(view, px - 1, py - 1, px + 1, py + 1, SB_Var.BsplineSelected[i] ? selected : plain);
  }
}

void SB_SelectRoutePoints(TTOOLWINDOW* windows, BMAP* view) {
  if (!view || !RouteActive() || SB_MouseOutsideWindows(windows) != 1) return;
  const int32_t mx = SB_Var.EditorMouseX, my = SB_Var.EditorMouseY;
  if (SB_Var.EditorButtons & 1) {
    if (!(SB_Var.EditorPrevButtons & 1)) SB_Var.EditRectAnchorX = mx, SB_Var.EditRectAnchorY = my;
    SB_Var.EditRectCornerX = mx, SB_Var.EditRectCornerY = my;
    const int32_t l = SB_Var.EditRectLeft = std::min(SB_Var.EditRectAnchorX, mx);
    const int32_t r = SB_Var.EditRectRight = std::max(SB_Var.EditRectAnchorX, mx);
    const int32_t t = SB_Var.EditRectTop = std::min(SB_Var.EditRectAnchorY, my);
    const int32_t b = SB_Var.EditRectBottom = std::max(SB_Var.EditRectAnchorY, my);
    _WINDOW window;
    LS_InitWindowFull(view, &window, 12);
    LS_LockWindow(&window);
    const uint32_t colour = SB_ToolPixel(view, 255, 0, 255);
    SB_ToolDrawLine(&window, l, t, r, t, colour);
    SB_ToolDrawLine(&window, r, t, r, b, colour);
    SB_ToolDrawLine(&window, r, b, l, b, colour);
    SB_ToolDrawLine(&window, l, b, l, t, colour);
    LS_UnlockWindow(&window);
  } else if (SB_Var.EditorPrevButtons & 1) {
    double xl, ztop, xr, zbottom;
    SB_MapViewToWorld(view, SB_Var.EditRectLeft, SB_Var.EditRectTop, &xl, &ztop);
    SB_MapViewToWorld(view, SB_Var.EditRectRight, SB_Var.EditRectBottom, &xr, &zbottom);
    for (int32_t i = 0; i < SB_Var.NbRaceLinePoints; ++i) {
      const TVECTOR& p = SB_Var.RaceLinePoints[i];
      if (xl <= p.x && p.x <= xr && zbottom <= p.z && p.z <= ztop) SB_Var.BsplineSelected[i] ^= 1;
    }
  }
  if (LS_KeyDown(kKeyN)) std::fill_n(SB_Var.BsplineSelected, SB_Var.NbRaceLinePoints, 0u);
  if (LS_KeyDown(kKeyA)) std::fill_n(SB_Var.BsplineSelected, SB_Var.NbRaceLinePoints, 1u);
}
