// The race line in the track editor: world metres to view pixels and the
// perspective projection, adding, inserting, moving and deleting control
// points with the mouse and keys, selection by rubber rectangle, and the
// curve drawn over the view.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <algorithm>

#include "engine3d/matrix.h"
#include "platform/clock.h"
#include "shell/gamedraw.h"
#include "shell/sbvar.h"
#include "system/input.h"
#include "tools/bsplines.h"
#include "tools/editdraw8.h"
#include "tools/trackedit/trackedit.h"

namespace {

constexpr double kMetresPerUnit = 0.003125;
constexpr double kNearestSquare = 100.0;  // pixels², for the insert form
constexpr double kChord = 0.025, kLastT = 0.9999999;
constexpr double kNearPlane = 0.1;  // metres in front of the eye
constexpr double kMapReach = 1099511627776.0;  // 2^40 map units: no product with a tile size overflows
constexpr int32_t kKeyShift = 16, kKeyD = 68, kKeyN = 78, kKeyA = 65;

bool AnySelected() {
  for (int32_t i = 0; i < SB_Var.NbRaceLinePoints; ++i)
    if (SB_Var.BsplineSelected[i] == 1) return true;
  return false;
}

void MoveSelection() {
  const double dx = SB_EditPixelToMapX(SB_Var.MouseX) * kMetresPerUnit -
                    SB_EditPixelToMapX(SB_Var.PrevMouseX) * kMetresPerUnit;
  const double dz = SB_EditPixelToMapZ(SB_Var.MouseY) * kMetresPerUnit -
                    SB_EditPixelToMapZ(SB_Var.PrevMouseY) * kMetresPerUnit;
  for (int32_t i = 0; i < SB_Var.NbRaceLinePoints; ++i)
    if (SB_Var.BsplineSelected[i] == 1) SB_Var.RaceLinePoints[i].x += dx, SB_Var.RaceLinePoints[i].z += dz;
  SB_GetBsplinesAngles();
}

// A new unselected point under the mouse, appended or inserted after the
// nearest segment.
void AddPoint(int32_t nearest) {
  const int32_t n = SB_Var.NbRaceLinePoints;
  if (n >= SB_MAXRACELINEPOINTS) return;
  const TVECTOR p = {SB_EditPixelToMapX(SB_Var.MouseX) * kMetresPerUnit, 0.0,
                     SB_EditPixelToMapZ(SB_Var.MouseY) * kMetresPerUnit};
  int32_t at = n;
  if (SB_Var.NearBspline) {
    if (nearest == -1) return;
    at = nearest + 1;
  }
  std::memmove(&SB_Var.RaceLinePoints[at + 1], &SB_Var.RaceLinePoints[at], sizeof(TVECTOR) * (n - at));
  std::memmove(&SB_Var.BsplineSelected[at + 1], &SB_Var.BsplineSelected[at], sizeof(uint32_t) * (n - at));
  SB_Var.RaceLinePoints[at] = p;
  SB_Var.BsplineSelected[at] = 0;
  SB_Var.NbRaceLinePoints = n + 1;
  SB_GetBsplinesAngles();
}

void DeleteSelection() {
  for (int32_t i = 0; i < SB_Var.NbRaceLinePoints;) {
    if (SB_Var.BsplineSelected[i] != 1) {
      ++i;
      continue;
    }
    const int32_t rest = SB_Var.NbRaceLinePoints - i - 1;
    std::memmove(&SB_Var.RaceLinePoints[i], &SB_Var.RaceLinePoints[i + 1], sizeof(TVECTOR) * rest);
    std::memmove(&SB_Var.BsplineSelected[i], &SB_Var.BsplineSelected[i + 1], sizeof(uint32_t) * rest);
    --SB_Var.NbRaceLinePoints;
  }
  SB_GetBsplinesAngles();
}

bool RaceLineTool() { return SB_Var.EditTool == 4; }

}  // namespace

int32_t SB_MapToEditView(int32_t* px, int32_t* py, int64_t mapX, int64_t mapZ) {
  const int64_t size = SB_Var.EditTileSize;
  // 64-bit, so that a point hundreds of kilometres out cannot overflow;
  // the shift is arithmetic, a floor division by the tile's units.
  const int64_t x = ((mapX - SB_EDITTILEUNITS) * size >> 12) - SB_Var.EditScrollX * size + 320;
  const int64_t y = ((SB_EDITTILEUNITS - mapZ) * size >> 12) - SB_Var.EditScrollY * size + 240;
  if (x < -SB_EDITVIEWREACH || x > SB_EDITVIEWREACH || y < -SB_EDITVIEWREACH || y > SB_EDITVIEWREACH) {
    *px = *py = -SB_EDITVIEWREACH;
    return 0;
  }
  *px = static_cast<int32_t>(x), *py = static_cast<int32_t>(y);
  return 1;
}

int32_t SB_WorldToEditView(int32_t* px, int32_t* py, double x, double z) {
  const double mx = std::floor(x * 320 + 0.5), mz = std::floor(z * 320 + 0.5);
  // A point this far out (or not a number) is far beyond any view.
  if (!(std::fabs(mx) < kMapReach && std::fabs(mz) < kMapReach)) {
    *px = *py = -SB_EDITVIEWREACH;
    return 0;
  }
  return SB_MapToEditView(px, py, static_cast<int64_t>(mx), static_cast<int64_t>(mz));
}

int32_t SB_EditProjectPoint(const TVECTOR* point, int32_t* px, int32_t* py) {
  if (!SB_Var.Edit3DView) return SB_WorldToEditView(px, py, point->x, point->z);
  TVECTOR v = {point->x - SB_Var.Edit3DPos[0], point->y - SB_Var.Edit3DPos[1], point->z - SB_Var.Edit3DPos[2]};
  E3D_MatMulVec(SB_Var.Edit3DMatrix, &v);
  // Points at or behind the eye have no pixel.
  if (!(v.z > kNearPlane)) return 0;
  const double s = SB_Var.Edit3DFocal / v.z;
  const double x = std::floor(v.x * s + 320 + 0.5), y = std::floor(v.y * s + 240 + 0.5);
  if (!(std::fabs(x) < 1e6 && std::fabs(y) < 1e6)) return 0;
  *px = static_cast<int32_t>(x), *py = static_cast<int32_t>(y);
  return 1;
}

void SB_EditBsplinePoints() {
  if (!RaceLineTool() || SB_Var.Edit3DView) return;
  double d2 = 0.0;
  const int32_t nearest = SB_FindNearestBsplineSegment(&d2);
  SB_Var.NearBspline = d2 * 320 * SB_Var.EditTileSize / SB_EDITTILEUNITS < kNearestSquare ? 1 : 0;
  if ((SB_Var.Buttons & 2) && SB_Var.EditDrag == 0) {
    if (AnySelected()) {
      MoveSelection();
    } else {
      AddPoint(nearest);
      SB_Var.EditDrag = 1;
    }
  }
  if (LS_KeyDown(kKeyD) && LS_KeyHeld(kKeyShift) && SB_Var.EditDrag == 0) DeleteSelection();
}

void SB_SelectBsplinePoints() {
  if (!RaceLineTool() || SB_Var.Edit3DView) return;
  if (SB_Var.EditDrag == 0 || SB_Var.EditDrag == 3) {
    if (SB_Var.Buttons & 1) {
      SB_Var.EditDrag = 3;
      if (!(SB_Var.PrevButtons & 1)) SB_Var.EditRectAnchorX = SB_Var.MouseX, SB_Var.EditRectAnchorY = SB_Var.MouseY;
      SB_Var.EditRectCornerX = SB_Var.MouseX, SB_Var.EditRectCornerY = SB_Var.MouseY;
      SB_Var.EditRectLeft = std::min(SB_Var.EditRectAnchorX, SB_Var.EditRectCornerX);
      SB_Var.EditRectRight = std::max(SB_Var.EditRectAnchorX, SB_Var.EditRectCornerX);
      SB_Var.EditRectTop = std::min(SB_Var.EditRectAnchorY, SB_Var.EditRectCornerY);
      SB_Var.EditRectBottom = std::max(SB_Var.EditRectAnchorY, SB_Var.EditRectCornerY);
      SB_DrawDashedRect8(SB_Var.TextScreen, SB_Var.EditRectLeft, SB_Var.EditRectTop, SB_Var.EditRectRight,
                         SB_Var.EditRectBottom);
    } else if (SB_Var.PrevButtons & 1) {
      const double left = SB_EditPixelToMapX(SB_Var.EditRectLeft) * kMetresPerUnit;
      const double right = SB_EditPixelToMapX(SB_Var.EditRectRight) * kMetresPerUnit;
      const double top = SB_EditPixelToMapZ(SB_Var.EditRectTop) * kMetresPerUnit;
      const double bottom = SB_EditPixelToMapZ(SB_Var.EditRectBottom) * kMetresPerUnit;
      for (int32_t i = 0; i < SB_Var.NbRaceLinePoints; ++i) {
        const TVECTOR& p = SB_Var.RaceLinePoints[i];
        if (left <= p.x && p.x <= right && bottom <= p.z && p.z <= top) SB_Var.BsplineSelected[i] ^= 1;
      }
    }
  }
  const int32_t n = SB_Var.NbRaceLinePoints;
  if (LS_KeyDown(kKeyN)) std::memset(SB_Var.BsplineSelected, 0, sizeof(uint32_t) * n);
  if (LS_KeyDown(kKeyA))
    for (int32_t i = 0; i < n; ++i) SB_Var.BsplineSelected[i] = 1;
}

void SB_DrawEditBspline() {
  BMAP* overlay = SB_Var.TextScreen;
  if (!RaceLineTool() || !overlay) return;
  const TVECTOR* p = SB_Var.RaceLinePoints;
  const int32_t n = SB_Var.NbRaceLinePoints;
  const uint32_t line = SB_EditNearestOverlayColor(48, 0, 0);
  LS_LockBmap(overlay);
  for (int32_t i = 0; i + 1 < n && n <= SB_MAXRACELINEPOINTS; ++i) {
    for (double t = 0.0; t + kChord < kLastT; t += kChord) {
      TVECTOR a, b;
      SB_RaceLineSegmentPoint(i, t, &a);
      SB_RaceLineSegmentPoint(i, t + kChord, &b);
      int32_t ax = 0, ay = 0, bx = 0, by = 0;
      if (SB_EditProjectPoint(&a, &ax, &ay) && SB_EditProjectPoint(&b, &bx, &by))
        SB_DrawLine(overlay, ax, ay, bx, by, line);
    }
  }
  LS_UnlockBmap(overlay);
  const bool blue = plat::TickMs() % 1000 > 500;
  const uint32_t plain = SB_EditNearestOverlayColor(63, 0, 0);
  const uint32_t selected = blue ? SB_EditNearestOverlayColor(0, 0, 63) : SB_EditNearestOverlayColor(63, 63, 0);
  for (int32_t i = 0; i < n; ++i) {
    int32_t x = 0, y = 0;
    if (SB_EditProjectPoint(&p[i], &x, &y))
      LS_FillRect(overlay, x - 1, y - 1, x + 1, y + 1, SB_Var.BsplineSelected[i] == 1 ? selected : plain);
  }
}

namespace {

constexpr double kPivotDistance = 1000.0;  // metres behind the eye
constexpr double kTurn = 0.1;              // radians a frame
constexpr int32_t kKeyLeft = 0x25, kKeyUp = 0x26, kKeyRight = 0x27, kKeyDown = 0x28;
constexpr int32_t kKeyAdd = 0x6B, kKeySubtract = 0x6D, kKeyU = 85;

// P += transpose(M) (0, 0, dz).
void MoveEyeAlongAxis(double dz) {
  TMATRIX t;
  E3D_MatTranspose(SB_Var.Edit3DMatrix, t);
  TVECTOR v = {0.0, 0.0, dz};
  E3D_MatMulVec(t, &v);
  SB_Var.Edit3DPos[0] += v.x, SB_Var.Edit3DPos[1] += v.y, SB_Var.Edit3DPos[2] += v.z;
}

void Turn(double a, double b, bool before) {
  TMATRIX r;
  E3D_MatFromAngles(r, a, b, 0.0);
  if (before)
    E3D_MatMul(r, SB_Var.Edit3DMatrix, SB_Var.Edit3DMatrix);
  else
    E3D_MatMul(SB_Var.Edit3DMatrix, r, SB_Var.Edit3DMatrix);
}

}  // namespace

void SB_MoveEditPerspective() {
  MoveEyeAlongAxis(-kPivotDistance);
  if (LS_KeyDown(kKeyLeft)) Turn(0.0, kTurn, false);
  if (LS_KeyDown(kKeyRight)) Turn(0.0, -kTurn, false);
  if (LS_KeyDown(kKeyUp)) Turn(kTurn, 0.0, true);
  if (LS_KeyDown(kKeyDown)) Turn(-kTurn, 0.0, true);
  if (LS_KeyDown(kKeyAdd)) SB_Var.Edit3DFocal *= 1.1;
  if (LS_KeyDown(kKeySubtract)) SB_Var.Edit3DFocal *= 0.9;
  const double lift = (LS_KeyDown(kKeyU) ? -1.0 : 0.0) + (LS_KeyDown(kKeyD) ? 1.0 : 0.0);
  for (int32_t i = 0; lift != 0.0 && i < SB_Var.NbRaceLinePoints; ++i)
    if (SB_Var.BsplineSelected[i] == 1) SB_Var.RaceLinePoints[i].y += lift;
  MoveEyeAlongAxis(kPivotDistance);
}
