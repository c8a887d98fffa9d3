// The vehicle-parameter editor's picture and what is drawn on it besides
// the list: its colours at the screen's depth, the mouse read and kept on
// the picture, the help bar with the hovered row's two lines, and the
// pointer.
#include <algorithm>

#include "shell/gamedraw.h"
#include "shell/gamepicture.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/font.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "vehicles/vparams.h"
#include "vehicles/vparamseditor.h"

namespace {

constexpr int32_t kWidth = 640, kHeight = 480;
constexpr int32_t kHelpTiles = 32, kTileWidth = kWidth / kHelpTiles;
constexpr int32_t kHelpLine1 = 452, kHelpLine2 = 461, kHelpX = 10;
constexpr int32_t kPointer = 12;

// A component of 0..255 into a field of the pixel format.
uint32_t Field(int32_t value, uint32_t bits, uint32_t shift) {
  return bits ? static_cast<uint32_t>(value >> (8 - std::min<uint32_t>(bits, 8))) << shift : 0;
}

}  // namespace

BMAP* SB_VParamsPicture() {
  TVPARAMSEDITOR& e = SB_Var.VParamsEditor;
  if (!e.Picture) {
    const int32_t depth = LS_Var.Screen ? LS_Var.Screen->Depth : 16;
    e.Picture = SB_CreateBmap(kWidth, kHeight, depth, 0, "vparams editor");
  }
  return e.Picture;
}

void SB_FreeVParamsEditor() {
  TVPARAMSEDITOR& e = SB_Var.VParamsEditor;
  if (e.Picture) SB_FreeBmap(e.Picture);
  e.Picture = nullptr;
}

uint32_t SB_VParamsColour(int32_t r, int32_t g, int32_t b) {
  const BMAP* picture = SB_Var.VParamsEditor.Picture;
  if (!picture || picture->Depth == 8) {
    if (SB_Var.Pal3d) return static_cast<uint32_t>(std::max(1, SB_FindNearestColor(SB_Var.Pal3d, r >> 2, g >> 2, b >> 2)));
    return r + g + b > 0 ? 255 : 0;
  }
  PIXELFORMAT f;
  LS_GetPixelFormat(&f, picture->Format);
  const uint32_t pixel = Field(r, f.RedBits, f.RedShift) | Field(g, f.GreenBits, f.GreenShift) |
                         Field(b, f.BlueBits, f.BlueShift);
  return pixel ? pixel : 1;  // 0 is kept for what is not drawn
}

void SB_VParamsReadMouse() {
  TVPARAMSEDITOR& e = SB_Var.VParamsEditor;
  e.PrevMouseX = e.MouseX, e.PrevMouseY = e.MouseY, e.PrevButtons = e.Buttons;
  LS_GetMouse(&e.MouseX, &e.MouseY, &e.Buttons);
  e.MouseX = std::clamp(e.MouseX, 0, kWidth - 1);
  e.MouseY = std::clamp(e.MouseY, 0, kHeight - 1);
  LS_SetMousePos(e.MouseX, e.MouseY);
}

void SB_VParamsHelp() {
  BMAP* picture = SB_Var.VParamsEditor.Picture;
  if (!picture) return;
  for (int32_t t = 0; t < kHelpTiles; ++t) {
    const int32_t shade = t % 2 ? 70 : 50;
    SB_FillRect(picture, t * kTileWidth, SB_VPEDIT_HELPY, t * kTileWidth + kTileWidth - 1, kHeight - 1,
                SB_VParamsColour(shade / 2, shade, shade / 2));
  }
  const int32_t row = SB_Var.VParamsEditor.HoveredRow;
  if (row < 0 || row >= SB_NBVPARAMS) return;
  LS_DrawString(LS_Var.SysFont, picture, SB_VParamTable[row].Help1, kHelpX, kHelpLine1, LS_BLIT_TRANSPARENT);
  LS_DrawString(LS_Var.SysFont, picture, SB_VParamTable[row].Help2, kHelpX, kHelpLine2, LS_BLIT_TRANSPARENT);
}

void SB_VParamsDrawCursor() {
  BMAP* picture = SB_Var.VParamsEditor.Picture;
  if (!picture) return;
  const int32_t x = SB_Var.VParamsEditor.MouseX - kPointer / 2, y = SB_Var.VParamsEditor.MouseY - kPointer / 2;
  const uint32_t white = SB_VParamsColour(255, 255, 255), black = SB_VParamsColour(16, 16, 16);
  SB_FillRect(picture, x + 5, y, x + 6, y + kPointer - 1, black);
  SB_FillRect(picture, x, y + 5, x + kPointer - 1, y + 6, black);
  SB_DrawLine(picture, x + 6, y + 1, x + 6, y + kPointer - 2, white);
  SB_DrawLine(picture, x + 1, y + 6, x + kPointer - 2, y + 6, white);
}
