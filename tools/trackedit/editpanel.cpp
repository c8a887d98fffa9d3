// The track editor's panel: the two columns of picture buttons and their
// actions, their shadows, the mouse cursor and the tile grid.
#include <algorithm>
#include <cstdint>

#include "shell/gamedraw.h"
#include "shell/sbvar.h"
#include "tools/editdraw8.h"
#include "tools/trackedit/trackedit.h"

namespace {

constexpr int32_t kLeftX = 8, kRightX = 600, kButton = 32;
constexpr int32_t kRowY[] = {8, 44, 80, 116, 152, 188, 224, 260, 296, 332};
constexpr int32_t kToolRows[5] = {0, 1, 2, 3, 5};  // rows of tools 0..4
constexpr int32_t kMaxButtonZoom = 256, kMinButtonZoom = 4;
constexpr int32_t kGridColour = 255;

bool Over(int32_t x, int32_t row) {
  const int32_t y = kRowY[row];
  return SB_Var.MouseX >= x && SB_Var.MouseX < x + kButton && SB_Var.MouseY >= y && SB_Var.MouseY < y + kButton;
}

void Zoom(int32_t zoom) {
  SB_Var.EditZoom = zoom;
  SB_SetEditZoom(zoom);
  SB_RedrawEditView();
}

// The left column: true when a button answered.
bool LeftButtons() {
  if (Over(kLeftX, 0)) {
    SB_Var.EditZoomInLit = 1;
    if (SB_Var.EditZoom < kMaxButtonZoom) Zoom(SB_Var.EditZoom * 2);
  } else if (Over(kLeftX, 1)) {
    SB_Var.EditZoomOutLit = 1;
    if (SB_Var.EditZoom > kMinButtonZoom) Zoom(SB_Var.EditZoom / 2);
  } else if (Over(kLeftX, 2)) {
    SB_Var.EditGrid ^= 1;
  } else if (Over(kLeftX, 3)) {
    SB_Var.EditOutlines ^= 1;
    SB_RedrawEditView();
  } else if (Over(kLeftX, 4)) {
    SB_Var.Edit3DView ^= 1;
    SB_RedrawEditView();
  } else {
    return false;
  }
  return true;
}

// The right column outside object-path mode: the tools and the mode switch.
bool ToolButtons() {
  for (int32_t tool = 0; tool < 5; ++tool)
    if (!SB_Var.EditObjectMode && Over(kRightX, kToolRows[tool])) {
      SB_Var.EditTool = tool;
      return true;
    }
  if (Over(kRightX, 4) && !SB_Var.Recording) {
    SB_Var.EditObjectMode ^= 1;
    SB_Var.Recording = 0;
    return true;
  }
  return false;
}

// The object-path commands: while recording only the stop button answers,
// so a click on the others adds a path point.
bool PathButtons() {
  if (!SB_Var.EditObjectMode) return false;
  if (SB_Var.Recording) {
    if (!Over(kRightX, 9)) return false;
    SB_SaveMoveRecord();
    SB_Var.Recording = 0;
  } else if (Over(kRightX, 5)) {
    SB_PrevMovePath();
    SB_Var.EditPrevPathLit = 1;
  } else if (Over(kRightX, 6)) {
    SB_NextMovePath();
    SB_Var.EditNextPathLit = 1;
  } else if (Over(kRightX, 7)) {
    SB_NextMoveObject();
    SB_Var.EditNextObjectLit = 1;
  } else if (Over(kRightX, 8)) {
    StartMoveRecord();
    SB_Var.Recording = 1;
  } else {
    return false;
  }
  return true;
}

// An 8-bit picture of the panel onto the overlay, through the 3D palette.
void Blit(int32_t x1, int32_t y1, int32_t x, int32_t y, bool transparent) {
  BMAP* picture = SB_Var.EditorPicture;
  picture->Palette = SB_Var.Pal3d;
  if (transparent)
    SB_BitmoveTransparent(picture, SB_Var.TextScreen, x1, y1, x1 + 12, y1 + 12, x, y);
  else
    SB_Bitmove(picture, SB_Var.TextScreen, x1, y1, x1 + kButton - 1, y1 + kButton - 1, x, y);
}

struct SHOWNBUTTON {
  int32_t x, row;     // screen column and row
  int32_t sourceX;    // left of its images
  int32_t upY;        // top of its up image; its down image lies 32 below
  bool down;
};

// The buttons shown this frame, in drawing order.
int32_t ShownButtons(SHOWNBUTTON* out) {
  int32_t n = 0;
  const int32_t leftX[5] = {64, 96, 0, 32, 128};
  const bool leftDown[5] = {SB_Var.EditZoomInLit != 0, SB_Var.EditZoomOutLit != 0, SB_Var.EditGrid != 0,
                            SB_Var.EditOutlines != 0, SB_Var.Edit3DView != 0};
  for (int32_t i = 0; i < 5; ++i) out[n++] = {kLeftX, i, leftX[i], 13, leftDown[i]};
  for (int32_t tool = 0; tool < 5; ++tool)
    if (tool < 4 || !SB_Var.EditObjectMode) out[n++] = {kRightX, kToolRows[tool], tool * 32, 77, SB_Var.EditTool == tool};
  out[n++] = {kRightX, 4, 0, 222, SB_Var.EditObjectMode != 0};
  if (!SB_Var.EditObjectMode) return n;
  out[n++] = {kRightX, 5, 32, 222, SB_Var.EditPrevPathLit != 0};
  out[n++] = {kRightX, 6, 64, 222, SB_Var.EditNextPathLit != 0};
  out[n++] = {kRightX, 7, 96, 222, SB_Var.EditNextObjectLit != 0};
  out[n++] = {kRightX, 8, 128, 222, SB_Var.Recording != 0};
  if (SB_Var.Recording) out[n++] = {kRightX, 9, 160, 222, SB_Var.EditNextObjectLit != 0};
  return n;
}

}  // namespace

void SB_EditButtons() {
  const bool fresh = (SB_Var.Buttons & 1) && !(SB_Var.PrevButtons & 1);
  if (!fresh || SB_Var.EditDrag != 0) return;
  if (LeftButtons() || ToolButtons() || PathButtons()) SB_Var.EditDrag = 1;
}

void SB_DrawEditButtonShadows() {
  if (!SB_Var.EditorPicture || !SB_Var.TextScreen) return;
  SHOWNBUTTON shown[20];
  const int32_t n = ShownButtons(shown);
  for (int32_t i = 0; i < n; ++i) {
    const SHOWNBUTTON& b = shown[i];
    SB_ShadowBlit8(SB_Var.EditorPicture, SB_Var.TextScreen, b.sourceX, b.upY, b.sourceX + kButton - 1,
                   b.upY + kButton - 1, b.x, kRowY[b.row]);
  }
  if (SB_Var.EditObjectMode)  // the race-line tool's shadow stays
    SB_ShadowBlit8(SB_Var.EditorPicture, SB_Var.TextScreen, 128, 77, 159, 108, kRightX, kRowY[5]);
}

void SB_DrawEditButtons() {
  if (!SB_Var.EditorPicture || !SB_Var.TextScreen) return;
  SHOWNBUTTON shown[20];
  const int32_t n = ShownButtons(shown);
  for (int32_t i = 0; i < n; ++i) {
    const SHOWNBUTTON& b = shown[i];
    Blit(b.sourceX, b.down ? b.upY + kButton : b.upY, b.x, kRowY[b.row], false);
  }
  if (SB_Var.EditDrag == 0) {
    SB_Var.EditZoomInLit = SB_Var.EditZoomOutLit = 0;
    SB_Var.EditPrevPathLit = SB_Var.EditNextPathLit = SB_Var.EditNextObjectLit = 0;
  }
}

void SB_DrawEditCursorShadow() {
  if (!SB_Var.EditorPicture || !SB_Var.TextScreen) return;
  const int32_t x1 = SB_Var.EditTool == 4 && SB_Var.NearBspline == 1 ? 13 : 0;
  SB_ShadowBlit8(SB_Var.EditorPicture, SB_Var.TextScreen, x1, 0, x1 + 12, 12, SB_Var.MouseX - 6,
                 SB_Var.MouseY - 6);
}

void SB_DrawEditCursor() {
  if (!SB_Var.EditorPicture || !SB_Var.TextScreen) return;
  const int32_t x1 = SB_Var.EditTool == 4 && SB_Var.NearBspline == 1 ? 13 : 0;
  Blit(x1, 0, SB_Var.MouseX - 6, SB_Var.MouseY - 6, true);
}

void SB_DrawEditGrid() {
  BMAP* overlay = SB_Var.TextScreen;
  if (!overlay || overlay->Depth != 8 || !SB_Var.EditGrid || SB_Var.Edit3DView) return;
  const int32_t size = SB_Var.EditTileSize, width = std::min(overlay->SizeX, 640);
  const int32_t height = std::min(overlay->SizeY, 480);
  LS_LockBmap(overlay);
  uint8_t* pixels = overlay->Start;
  for (int32_t k = 1 - SB_Var.EditTilesX; pixels && k <= SB_Var.EditTilesX; ++k) {
    const int32_t x = k * size + SB_Var.EditOriginX;
    if (x >= 0 && x < width)
      for (int32_t y = 0; y < height; y += 2) pixels[y * overlay->ByteLen + x] = kGridColour;
  }
  for (int32_t k = 1 - SB_Var.EditTilesY; pixels && k <= SB_Var.EditTilesY; ++k) {
    const int32_t y = k * size + SB_Var.EditOriginY;
    if (y >= 0 && y < height)
      for (int32_t x = 0; x < width; x += 2) pixels[y * overlay->ByteLen + x] = kGridColour;
  }
  LS_UnlockBmap(overlay);
}
