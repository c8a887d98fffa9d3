// The track editor's top view: tile geometry by zoom, the full redraw, the
// one-tile scrolls, the zoom and scroll keys, the mouse reading and the
// position read-out.
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "shell/console.h"
#include "shell/gamedraw.h"
#include "shell/gamepicture.h"
#include "shell/sbvar.h"
#include "system/input.h"
#include "tools/editmouse.h"
#include "tools/trackedit/trackedit.h"
#include "track/ground.h"

namespace {

constexpr int32_t kKeyLeft = 0x25, kKeyUp = 0x26, kKeyRight = 0x27, kKeyDown = 0x28;
constexpr int32_t kKeyAdd = 0x6B, kKeySubtract = 0x6D;
constexpr int32_t kMaxZoom = 256;
constexpr double kMetresPerUnit = 0.003125;
constexpr double kHighestGround = 300.0;  // metres; above it the read-out says "space"

// View-relative tile (i, j) rendered and copied to its place in the view.
void PlaceTile(int32_t i, int32_t j) {
  const int32_t t = SB_Var.EditTileSize;
  SB_DrawEditTile(SB_Var.EditTileBmap, SB_Var.EditScrollX + i, SB_Var.EditScrollY + j);
  SB_Bitmove(SB_Var.EditTileBmap, SB_Var.EditView, 0, 0, t - 1, t - 1, i * t + SB_Var.EditOriginX,
             j * t + SB_Var.EditOriginY);
}

void PlaceColumns(int32_t i0, int32_t i1) {
  for (int32_t j = -SB_Var.EditTilesY; j <= SB_Var.EditTilesY; ++j)
    for (int32_t i = i0; i <= i1; ++i) PlaceTile(i, j);
}

void PlaceRows(int32_t j0, int32_t j1) {
  for (int32_t j = j0; j <= j1; ++j)
    for (int32_t i = -SB_Var.EditTilesX; i <= SB_Var.EditTilesX; ++i) PlaceTile(i, j);
}

// The view's rectangle copied into the spare bitmap, which becomes the view.
void ShiftView(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x, int32_t y) {
  SB_Bitmove(SB_Var.EditView, SB_Var.EditViewSpare, x1, y1, x2, y2, x, y);
  std::swap(SB_Var.EditView, SB_Var.EditViewSpare);
}

bool Held(int32_t key) { return LS_KeyDown(key) != 0; }

bool LeftAt(bool edge) { return edge && (SB_Var.Buttons & 1) != 0; }

}  // namespace

void SB_SetEditZoom(int32_t tileSize) {
  const int32_t h = tileSize / 2, r = tileSize - h;
  SB_Var.EditTileSize = tileSize;
  SB_Var.EditTilesX = (r + 319) / tileSize;
  SB_Var.EditTilesY = (r + 239) / tileSize;
  SB_Var.EditOriginX = 320 - h;
  SB_Var.EditOriginY = 240 - h;
}

void SB_RedrawEditView() {
  if (!SB_Var.EditView || !SB_Var.EditTileBmap) return;
  PlaceRows(-SB_Var.EditTilesY, SB_Var.EditTilesY);
}

void SB_ScrollEditRight() {
  const int32_t t = SB_Var.EditTileSize;
  SB_Var.EditScrollX += 1;
  SB_Var.EditTileAnchorX -= 1, SB_Var.EditRectAnchorX -= t;
  ShiftView(t, 0, 639, 479, 0, 0);
  PlaceColumns(SB_Var.EditTilesX - 1, SB_Var.EditTilesX);
}

void SB_ScrollEditLeft() {
  const int32_t t = SB_Var.EditTileSize;
  SB_Var.EditScrollX -= 1;
  SB_Var.EditTileAnchorX += 1, SB_Var.EditRectAnchorX += t;
  ShiftView(0, 0, 639 - t, 479, t, 0);
  PlaceColumns(-SB_Var.EditTilesX, 1 - SB_Var.EditTilesX);
}

void SB_ScrollEditDown() {
  const int32_t t = SB_Var.EditTileSize;
  SB_Var.EditScrollY += 1;
  SB_Var.EditTileAnchorY -= 1, SB_Var.EditRectAnchorY -= t;
  ShiftView(0, t, 639, 479, 0, 0);
  PlaceRows(SB_Var.EditTilesY - 1, SB_Var.EditTilesY);
}

void SB_ScrollEditUp() {
  const int32_t t = SB_Var.EditTileSize;
  SB_Var.EditScrollY -= 1;
  SB_Var.EditTileAnchorY += 1, SB_Var.EditRectAnchorY += t;
  ShiftView(0, 0, 639, 479 - t, 0, t);
  PlaceRows(-SB_Var.EditTilesY, 1 - SB_Var.EditTilesY);
}

void SB_EditInput() {
  if (SB_Var.Edit3DView) return;
  const bool add = Held(kKeyAdd), subtract = Held(kKeySubtract);
  if (!SB_Var.EditZoomKeyHeld) {
    if (add && SB_Var.EditZoom < kMaxZoom) {
      SB_Var.EditZoom *= 2;
      SB_SetEditZoom(SB_Var.EditZoom);
      SB_RedrawEditView();
    }
    if (subtract && SB_Var.EditZoom > 1) {
      SB_Var.EditZoom /= 2;
      SB_SetEditZoom(SB_Var.EditZoom);
      SB_RedrawEditView();
    }
  }
  SB_Var.EditZoomKeyHeld = add || subtract ? 1 : 0;
  if (Held(kKeyUp) || LeftAt(SB_Var.MouseY == 0)) SB_ScrollEditUp();
  if (Held(kKeyDown) || LeftAt(SB_Var.MouseY == 479)) SB_ScrollEditDown();
  if (Held(kKeyLeft) || LeftAt(SB_Var.MouseX == 0)) SB_ScrollEditLeft();
  if (Held(kKeyRight) || LeftAt(SB_Var.MouseX == 639)) SB_ScrollEditRight();
}

void SB_ReadEditMouse() {
  SB_Var.PrevMouseX = SB_Var.MouseX, SB_Var.PrevMouseY = SB_Var.MouseY, SB_Var.PrevButtons = SB_Var.Buttons;
  SB_ReadLimitedMouse(639, 479, &SB_Var.MouseX, &SB_Var.MouseY, &SB_Var.Buttons);
}

double SB_EditGroundHeight(double x, double z) {
  // Past what a map coordinate holds there is no map, nor ground.
  if (!(std::fabs(x) < INT32_MAX && std::fabs(z) < INT32_MAX)) return SB_NOGROUND;
  const int32_t ix = static_cast<int32_t>(x), iz = static_cast<int32_t>(z);
  return SB_Var.EditObjectMode ? SB_GetLowestGroundHeight(ix, iz) : SB_GetGroundHeight(ix, iz);
}

int64_t SB_EditPixelToMapX(int32_t pixelX) {
  const int64_t t = SB_Var.EditTileSize;
  return t > 0 ? ((SB_Var.EditScrollX * t + pixelX - 320) * SB_EDITTILEUNITS) / t + SB_EDITTILEUNITS : 0;
}

int64_t SB_EditPixelToMapZ(int32_t pixelY) {
  const int64_t t = SB_Var.EditTileSize;
  return t > 0 ? ((240 - SB_Var.EditScrollY * t - pixelY) * SB_EDITTILEUNITS) / t + SB_EDITTILEUNITS : 0;
}

uint32_t SB_EditOverlayColor(int32_t index) {
  const BMAP* overlay = SB_Var.TextScreen;
  if (!overlay || overlay->Depth == 8 || !SB_Var.Pal3d) return static_cast<uint32_t>(index);
  const LS_RGB& c = SB_Var.Pal3d->Entry[index & 255];
  uint32_t r = c.Red & 63u, g = c.Green & 63u, b = c.Blue & 63u;
  if (overlay->Format == BMAP_BGR555 || overlay->Format == BMAP_BGR565 || overlay->Format == BMAP_ABGR1555)
    std::swap(r, b);
  if (overlay->Format == BMAP_RGB565 || overlay->Format == BMAP_BGR565) return (r >> 1) << 11 | g << 5 | b >> 1;
  return (r >> 1) << 10 | (g >> 1) << 5 | b >> 1;
}

uint32_t SB_EditNearestOverlayColor(int32_t r, int32_t g, int32_t b) {
  return SB_EditOverlayColor(SB_Var.Pal3d ? SB_FindNearestColor(SB_Var.Pal3d, r, g, b) : 0);
}

void SB_DrawEditMouse() {
  if (SB_Var.EditTileSize <= 0 || !SB_Var.TextScreen) return;
  const int64_t x = SB_EditPixelToMapX(SB_Var.MouseX), z = SB_EditPixelToMapZ(SB_Var.MouseY);
  const double h = SB_EditGroundHeight(static_cast<double>(x), static_cast<double>(z)) * kMetresPerUnit;
  const double mx = x * kMetresPerUnit, mz = z * kMetresPerUnit;
  char text[96];
  if (h <= kHighestGround)
    std::snprintf(text, sizeof text, "Mouse:  X=%.2fm  Y=%.2fm  Z=%.2fm", mx, h, mz);
  else
    std::snprintf(text, sizeof text, "Mouse:  X=%.2fm  Y=space  Z=%.2fm", mx, mz);
  SB_DrawSysText(text, SB_Var.TextScreen, 10, 462);
}
