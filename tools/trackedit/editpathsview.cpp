// The track editor's object-path mode on the view: the object and path
// shown, the recorded points and the curve through them, the clicks that
// add points, and the decor objects' script blocks at their places.
#include <cstdint>
#include <cstdio>

#include "engine3d/types.h"
#include "platform/clock.h"
#include "shell/console.h"
#include "shell/gamedraw.h"
#include "shell/gamepicture.h"
#include "shell/sbvar.h"
#include "tools/trackedit/catmullrom.h"
#include "tools/trackedit/trackedit.h"

namespace {

constexpr double kCurveStep = 0.1, kLastT = 0.9999999;
constexpr int32_t kIconSize = 20, kIconLeft = 192, kIconTop = 222;

int32_t BlockCount() {
  if (!SB_Var.DecorObjects || SB_Var.MoveObject < 0 || SB_Var.MoveObject >= SB_Var.NbDecorObjects) return 0;
  return SB_Var.DecorObjects[SB_Var.MoveObject].NbBlocks;
}

// A recorded point's pixel as a curve point (x, y, unused); false for a
// point off the view.
bool PixelOf(int32_t i, TVECTOR* pixel) {
  const int32_t last = SB_Var.NbMovePoints - 1;
  const TVECTOR& p = SB_Var.MoveRecord[i < last ? i : last];
  int32_t x = 0, y = 0;
  const bool on = SB_WorldToEditView(&x, &y, p.x, p.z) != 0;
  *pixel = {static_cast<double>(x), static_cast<double>(y), 0.0};
  return on;
}

}  // namespace

void SB_DrawMoveRecord() {
  BMAP* overlay = SB_Var.TextScreen;
  if (!SB_Var.Recording || !SB_Var.MoveRecord || !overlay) return;
  const uint32_t black = SB_EditNearestOverlayColor(0, 0, 0);
  const uint32_t square = SB_Var.EditBlink & 4 ? black : SB_EditNearestOverlayColor(63, 63, 63);
  for (int32_t i = 0; i < SB_Var.NbMovePoints; ++i) {
    TVECTOR p;
    if (!PixelOf(i, &p)) continue;
    const int32_t x = static_cast<int32_t>(p.x), y = static_cast<int32_t>(p.y);
    LS_FillRect(overlay, x - 3, y - 3, x + 4, y + 4, square);
  }
  LS_LockBmap(overlay);
  bool started = false;
  int32_t px = 0, py = 0;
  for (int32_t i = 0; i < SB_Var.NbMovePoints; ++i) {
    TVECTOR p[4];
    bool on = true;
    for (int32_t k = 0; k < 4; ++k) on = PixelOf(i + k, &p[k]) && on;
    // A piece with a point off the view is left out; the line starts again after it.
    if (!on) {
      started = false;
      continue;
    }
    for (double t = 0.0; t < kLastT; t += kCurveStep) {
      TVECTOR c;
      CalcCatmullRomPoint(&c, &p[0], t, &p[1], &p[2], &p[3]);
      const int32_t x = static_cast<int32_t>(c.x), y = static_cast<int32_t>(c.y);
      if (started) SB_DrawLine(overlay, px, py, x, y, black);
      started = true, px = x, py = y;
    }
  }
  LS_UnlockBmap(overlay);
}

void SB_DrawEditObjects() {
  BMAP* picture = SB_Var.EditorPicture;
  for (int32_t i = 0; picture && SB_Var.DecorObjects && i < SB_Var.NbDecorObjects; ++i) {
    const TDECOROBJ& object = SB_Var.DecorObjects[i];
    const int32_t code = SB_Var.DecorIconCodes ? SB_Var.DecorIconCodes[i] : 0;
    const int32_t x1 = kIconLeft + 21 * (code & 255), y1 = kIconTop + 20 * (code >> 8);
    for (int32_t b = 0; object.Blocks && b < object.NbBlocks; ++b) {
      const TDECORBLOCK& block = object.Blocks[b];
      if (!block.Object || block.Position[0] == 0 || block.Position[1] == 0 || block.Position[2] == 0) continue;
      int32_t x = 0, y = 0;
      if (!SB_WorldToEditView(&x, &y, block.Position[0], block.Position[2])) continue;
      picture->Palette = SB_Var.Pal3d;
      SB_BitmoveTransparent(picture, SB_Var.TextScreen, x1, y1, x1 + kIconSize - 1, y1 + kIconSize - 1, x - 10,
                            y - 10);
    }
  }
  const uint32_t now = plat::TickMs();
  char text[64];
  std::snprintf(text, sizeof text, "Frame rate:%8.2G", (now - SB_Var.EditFrameStamp) * 0.001);
  SB_DrawSysText(text, SB_Var.TextScreen, 10, 50);
  SB_Var.EditFrameStamp = now;
}

void SB_NextMovePath() {
  if (SB_Var.MovePath + 1 < BlockCount()) ++SB_Var.MovePath;
}

void SB_PrevMovePath() {
  if (SB_Var.MovePath > 0) --SB_Var.MovePath;
}

void SB_RecordMove() {
  if (!SB_Var.EditObjectMode || !SB_Var.TextScreen) return;
  char text[SB_DECORNAMESIZE + 32];
  const bool named = SB_Var.DecorScriptNames && SB_Var.MoveObject >= 0 && SB_Var.MoveObject < SB_Var.NbDecorObjects;
  std::snprintf(text, sizeof text, "OBJ: %s TRAJ:%ld", named ? SB_Var.DecorScriptNames[SB_Var.MoveObject] : "",
                static_cast<long>(SB_Var.MovePath));
  SB_DrawSysText(text, SB_Var.TextScreen, 320, 462);
  if (SB_Var.Recording && (SB_Var.EditBlink & 8)) {
    std::snprintf(text, sizeof text, "RECORDING [%ld]", static_cast<long>(SB_Var.NbMovePoints));
    SB_DrawSysText(text, SB_Var.TextScreen, 320, 472);
  }
  ++SB_Var.EditBlink;
  SB_DrawMoveRecord();
  SB_AddMovePoint();
  SB_DrawEditObjects();
}
