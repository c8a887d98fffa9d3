// The track editor's camera-and-cars tool (select the race camera and the
// cars with a rubber box, drag them with the right button) and its tile
// tool (a rectangle of tiles marked while the left button is held).
#include <algorithm>
#include <cstdint>

#include "shell/gamedraw.h"
#include "shell/sbvar.h"
#include "tools/editdraw8.h"
#include "tools/trackedit/trackedit.h"
#include "track/types.h"

namespace {

constexpr double kMetresPerUnit = 0.003125;
constexpr double kCameraOverGround = 352.0;  // map units (1.1 m)
constexpr double kCarOverGround = 4.0;       // metres
constexpr int32_t kSelectionGrowth = 7;

bool CameraPixel(int32_t* x, int32_t* y) {
  return SB_MapToEditView(x, y, SB_Var.Camera.CurrentX, SB_Var.Camera.CurrentZ) != 0;
}

bool CarPixel(const TCAR* car, int32_t* x, int32_t* y) {
  return SB_WorldToEditView(x, y, car->Position[0], car->Position[2]) != 0;
}

bool CarsShown() { return SB_Var.UsingCars && SB_Var.NbCars > 0; }

// A 13 x 13 image of the panel picture at the pixel, colour 0 transparent.
void Icon(int32_t sourceX, int32_t x, int32_t y) {
  SB_Var.EditorPicture->Palette = SB_Var.Pal3d;
  SB_BitmoveTransparent(SB_Var.EditorPicture, SB_Var.TextScreen, sourceX, 0, sourceX + 12, 12, x - 6, y - 6);
}

void MoveCamera(int32_t dx, int32_t dy) {
  TCAMERA& c = SB_Var.Camera;
  c.CurrentX += dx, c.TargetX += dx;
  c.CurrentZ -= dy, c.TargetZ -= dy;
  if (SB_Var.CameraMode != 0) return;
  const double ground = SB_EditGroundHeight(c.CurrentX, c.CurrentZ);
  if (ground >= SB_NOGROUND) return;  // no ground there: the height is kept
  c.CurrentY = c.TargetY = static_cast<int32_t>(ground - kCameraOverGround);
}

void MoveCar(TCAR* car, int32_t dx, int32_t dy) {
  car->Position[0] += dx * kMetresPerUnit;
  car->Position[2] += dy * -kMetresPerUnit;
  const double ground = SB_EditGroundHeight(car->Position[0] * 320, car->Position[2] * 320);
  if (ground < SB_NOGROUND) car->Position[1] = ground * kMetresPerUnit - kCarOverGround;
}

void SetRubberRect() {
  SB_Var.EditRectCornerX = SB_Var.MouseX, SB_Var.EditRectCornerY = SB_Var.MouseY;
  SB_Var.EditRectLeft = std::min(SB_Var.EditRectAnchorX, SB_Var.EditRectCornerX);
  SB_Var.EditRectRight = std::max(SB_Var.EditRectAnchorX, SB_Var.EditRectCornerX);
  SB_Var.EditRectTop = std::min(SB_Var.EditRectAnchorY, SB_Var.EditRectCornerY);
  SB_Var.EditRectBottom = std::max(SB_Var.EditRectAnchorY, SB_Var.EditRectCornerY);
}

uint32_t Inside(int32_t x, int32_t y) {
  const int32_t g = kSelectionGrowth;
  return x >= SB_Var.EditRectLeft - g && x <= SB_Var.EditRectRight + g && y >= SB_Var.EditRectTop - g &&
                 y <= SB_Var.EditRectBottom + g
             ? 1
             : 0;
}

}  // namespace

void SB_DragCameraAndCars() {
  const int32_t size = SB_Var.EditTileSize;
  if (!(SB_Var.Buttons & 2) || size <= 0) return;
  const int32_t dx = ((SB_Var.MouseX - SB_Var.PrevMouseX) * SB_EDITTILEUNITS) / size;
  const int32_t dy = ((SB_Var.MouseY - SB_Var.PrevMouseY) * SB_EDITTILEUNITS) / size;
  if (SB_Var.EditCameraSelected) MoveCamera(dx, dy);
  for (int32_t i = 0; CarsShown() && i < SB_Var.NbCars && i < SB_MAXCARS; ++i)
    if (SB_Var.EditCarSelected[i] && SB_Var.Cars[i]) MoveCar(SB_Var.Cars[i], dx, dy);
}

void SB_DrawEditCameraAndCars() {
  if (SB_Var.Edit3DView || !SB_Var.EditorPicture || !SB_Var.TextScreen) return;
  int32_t x = 0, y = 0;
  if (CameraPixel(&x, &y)) Icon(39, x, y);
  for (int32_t i = 0; CarsShown() && i < SB_Var.NbCars && i < SB_MAXCARS; ++i)
    if (SB_Var.Cars[i] && CarPixel(SB_Var.Cars[i], &x, &y)) Icon(65, x, y);
  if (SB_Var.EditCameraSelected && CameraPixel(&x, &y)) Icon(52, x, y);
  for (int32_t i = 0; CarsShown() && i < SB_Var.NbCars && i < SB_MAXCARS; ++i)
    if (SB_Var.Cars[i] && SB_Var.EditCarSelected[i] && CarPixel(SB_Var.Cars[i], &x, &y)) Icon(52, x, y);
}

void SB_SelectCameraAndCars() {
  if (SB_Var.EditTool != 2 || (SB_Var.EditDrag != 0 && SB_Var.EditDrag != 3)) return;
  if (SB_Var.Buttons & 1) {
    SB_Var.EditDrag = 3;
    if (!(SB_Var.PrevButtons & 1)) SB_Var.EditRectAnchorX = SB_Var.MouseX, SB_Var.EditRectAnchorY = SB_Var.MouseY;
    SetRubberRect();
    SB_DrawDashedRect8(SB_Var.TextScreen, SB_Var.EditRectLeft, SB_Var.EditRectTop, SB_Var.EditRectRight,
                       SB_Var.EditRectBottom);
  } else if (SB_Var.PrevButtons & 1) {
    int32_t x = 0, y = 0;
    CameraPixel(&x, &y);
    SB_Var.EditCameraSelected = static_cast<int32_t>(Inside(x, y));
    for (int32_t i = 0; CarsShown() && i < SB_Var.NbCars && i < SB_MAXCARS; ++i)
      if (SB_Var.Cars[i]) CarPixel(SB_Var.Cars[i], &x, &y), SB_Var.EditCarSelected[i] = Inside(x, y);
  }
}

void SB_MouseToEditTile(int32_t* column, int32_t* row) {
  const int32_t size = std::max(SB_Var.EditTileSize, 1);
  const auto floorDiv = [](int32_t a, int32_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
  *column = floorDiv(SB_Var.MouseX - SB_Var.EditOriginX, size);
  *row = floorDiv(SB_Var.MouseY - SB_Var.EditOriginY, size);
}

void SB_MarkEditTile(BMAP* bmap, int32_t column, int32_t row) {
  const int32_t size = SB_Var.EditTileSize, ox = SB_Var.EditOriginX, oy = SB_Var.EditOriginY;
  SB_CheckerRect8(bmap, column * size + ox, row * size + oy, (column + 1) * size + ox - 1,
                  (row + 1) * size + oy - 1);
}

void SB_SelectEditTiles() {
  if (SB_Var.EditTool != 1 || (SB_Var.EditDrag != 0 && SB_Var.EditDrag != 2) || !(SB_Var.Buttons & 1)) return;
  SB_Var.EditDrag = 2;
  if (!(SB_Var.PrevButtons & 1)) SB_MouseToEditTile(&SB_Var.EditTileAnchorX, &SB_Var.EditTileAnchorY);
  SB_MouseToEditTile(&SB_Var.EditTileCornerX, &SB_Var.EditTileCornerY);
  int32_t* r = SB_Var.EditTileRect;
  r[0] = std::min(SB_Var.EditTileAnchorX, SB_Var.EditTileCornerX);
  r[1] = std::min(SB_Var.EditTileAnchorY, SB_Var.EditTileCornerY);
  r[2] = std::max(SB_Var.EditTileAnchorX, SB_Var.EditTileCornerX);
  r[3] = std::max(SB_Var.EditTileAnchorY, SB_Var.EditTileCornerY);
  // Only the visible tiles are marked.
  const int32_t x1 = std::max(r[0], -SB_Var.EditTilesX), x2 = std::min(r[2], SB_Var.EditTilesX);
  const int32_t y1 = std::max(r[1], -SB_Var.EditTilesY), y2 = std::min(r[3], SB_Var.EditTilesY);
  for (int32_t j = y1; j <= y2; ++j)
    for (int32_t i = x1; i <= x2; ++i) SB_MarkEditTile(SB_Var.TextScreen, i, j);
}
