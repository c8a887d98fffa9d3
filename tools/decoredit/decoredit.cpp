// The decor-object editor: a panel dragged over the race with the right
// button, that picks a decor object and a script block, nudges the moved
// object's position and angles, sends the race camera there and moves the
// current TABLE command along its table. Nothing is saved.
#include "tools/decoredit/decoredit.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine3d/matrix.h"
#include "engine3d/object.h"
#include "shell/gamedraw.h"
#include "shell/gamepicture.h"
#include "shell/console.h"
#include "shell/gameevent.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "tools/editdraw8.h"
#include "tools/editors.h"
#include "tools/trackedit/trackedit.h"

namespace {

constexpr int32_t kPanelWidth = 256, kPanelHeight = 169, kGrabHeight = 182;
constexpr double kUnitsPerMetre = 60800.0;
constexpr int32_t kKeyShift = 16;

struct STEPS {
  double position;
  int32_t angle;
  double table;
};

bool PanelOn() { return SB_Var.DecorEditPanel && SB_Var.DecorObjectsOn && SB_Var.TextScreen; }

TDECOROBJ* Selected() {
  const int32_t i = SB_Var.DecorEditObject;
  if (!SB_Var.DecorObjects || i < 0 || i >= SB_Var.NbDecorObjects) return nullptr;
  return &SB_Var.DecorObjects[i];
}

// The object's current block and that block's current command, each null
// when its index is out of range.
TDECORBLOCK* CurrentBlock(TDECOROBJ* o) {
  if (!o || !o->Blocks || o->CurrentBlock < 0 || o->CurrentBlock >= o->NbBlocks) return nullptr;
  return &o->Blocks[o->CurrentBlock];
}
TDECORCMD* CurrentCommand(TDECORBLOCK* b) {
  if (!b || !b->Commands || b->CurrentCommand < 0 || b->CurrentCommand >= b->NbCommands) return nullptr;
  return &b->Commands[b->CurrentCommand];
}

void Text(const char* text, int32_t dx, int32_t dy) {
  SB_DrawSysText(text, SB_Var.TextScreen, SB_Var.DecorEditX + dx, SB_Var.DecorEditY + dy);
}

void Number(double value, int32_t dx, int32_t dy) {
  char text[32];
  std::snprintf(text, sizeof text, "%-6.6G", value);
  Text(text, dx, dy);
}

void ReadAngles(const OBJECT* e, uint32_t* a1, uint32_t* a2, uint32_t* a3) {
  TMATRIX m;
  for (int32_t k = 0; k < 9; ++k) m[k] = e->Orientation[k];
  E3D_MatToAngles16(m, a1, a2, a3);
}

// The object and block buttons: true when one was hit.
bool ChooseButtons() {
  if (SB_DecorButton(184, 3, 32, 16)) {
    if (SB_DecorButtonReleased() && SB_Var.DecorEditObject > 0) --SB_Var.DecorEditObject, SB_Var.DecorEditBlock = 0;
  } else if (SB_DecorButton(218, 3, 32, 16)) {
    if (SB_DecorButtonReleased() && SB_Var.DecorEditObject + 1 < SB_Var.NbDecorObjects)
      ++SB_Var.DecorEditObject, SB_Var.DecorEditBlock = 0;
  } else if (SB_DecorButton(184, 20, 32, 16)) {
    if (SB_DecorButtonReleased() && SB_Var.DecorEditBlock > 0) --SB_Var.DecorEditBlock;
  } else if (SB_DecorButton(218, 20, 32, 16)) {
    if (SB_DecorButtonReleased() && SB_GetDecorEntry(Selected(), SB_Var.DecorEditBlock + 1))
      ++SB_Var.DecorEditBlock;
  } else {
    return false;
  }
  return true;
}

// The position and angle buttons of the object the block moves.
void NudgeButtons(OBJECT* e, uint32_t angles[3], const STEPS& steps) {
  for (int32_t axis = 0; axis < 3; ++axis) {
    const int32_t y = 46 + 12 * axis;
    if (SB_DecorButton(182, y, 32, 11)) {
      e->Position[axis] = static_cast<float>(e->Position[axis] - steps.position * kUnitsPerMetre);
      return;
    }
    if (SB_DecorButton(216, y, 32, 11)) {
      e->Position[axis] = static_cast<float>(e->Position[axis] + steps.position * kUnitsPerMetre);
      return;
    }
  }
  const int32_t angleRows[3] = {85, 97, 109};
  for (int32_t k = 0; k < 3; ++k) {
    if (SB_DecorButton(182, angleRows[k], 32, 11)) {
      angles[k] -= static_cast<uint32_t>(steps.angle);
      return;
    }
    if (SB_DecorButton(216, angleRows[k], 32, 11)) {
      angles[k] += static_cast<uint32_t>(steps.angle);
      return;
    }
  }
}

void GoTo(TDECOROBJ* o) {
  if (!SB_DecorButton(199, 132, 32, 22) || !o->Blocks) return;
  const int32_t b = SB_Var.DecorEditBlock;
  if (b < 0 || b >= o->NbBlocks) return;
  const double* p = o->Blocks[b].Position;
  if (!(std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]))) return;
  const double limit = 2147483647.0 / 320;
  if (std::fabs(p[0]) >= limit || std::fabs(p[1]) >= limit || std::fabs(p[2]) >= limit) return;
  SB_Var.Camera.TargetX = static_cast<int32_t>(p[0] * 320);
  SB_Var.Camera.TargetY = static_cast<int32_t>(p[1] * 320);
  SB_Var.Camera.TargetZ = static_cast<int32_t>(p[2] * 320);
}

void TableButtons(TDECOROBJ* o, double step) {
  // The two inert pairs only show their pressed look and hold the table
  // buttons off.
  if (SB_DecorButton(105, 128, 32, 11) || SB_DecorButton(139, 128, 32, 11) || SB_DecorButton(105, 144, 32, 11) ||
      SB_DecorButton(139, 144, 32, 11))
    return;
  TDECORCMD* command = CurrentCommand(CurrentBlock(o));
  if (!command) return;
  if (SB_DecorButton(105, 162, 32, 11)) {
    const double value = command->TableCursor - step;
    command->TableCursor = value > 0.0 ? value : 0.0;
  } else if (SB_DecorButton(139, 162, 32, 11)) {
    command->TableCursor += step;
  }
}

void Edit() {
  TDECOROBJ* o = Selected();
  if (!o) return;
  const bool shift = SB_KeyDown(kKeyShift) != 0;
  const STEPS steps = shift ? STEPS{10.0, 512, 50.0} : STEPS{0.5, 16, 5.0};
  OBJECT* e = SB_GetDecorEntry(o, SB_Var.DecorEditBlock);
  // Without an object to move, or without a current block and command,
  // only the object and block buttons act.
  if (!e || !CurrentCommand(CurrentBlock(o))) {
    ChooseButtons();
    return;
  }
  uint32_t angles[3];
  ReadAngles(e, &angles[0], &angles[1], &angles[2]);
  if (!ChooseButtons()) NudgeButtons(e, angles, steps);
  TMATRIX m;
  E3D_MatFromAngles16(m, static_cast<int32_t>(angles[0] & 0xFFFF), static_cast<int32_t>(angles[1] & 0xFFFF),
                      static_cast<int32_t>(angles[2] & 0xFFFF));
  for (int32_t k = 0; k < 9; ++k) e->Orientation[k] = static_cast<float>(m[k]);
  GoTo(o);
  TableButtons(o, steps.table);
}

}  // namespace

OBJECT* SB_GetDecorEntry(const TDECOROBJ* object, int32_t block) {
  if (!object || !object->Blocks || block < 0 || block >= object->NbBlocks) return nullptr;
  return object->Blocks[block].Object;
}

const char* SB_PathFileName(const char* text) {
  if (!text) return "";
  const char* last = std::strrchr(text, '>');
  return last ? last : text;
}

void SB_ReadDecorMouse() { SB_ReadEditMouse(); }

int32_t SB_DecorPanelGrab(int32_t x, int32_t y, int32_t width, int32_t height) {
  const int32_t mx = SB_Var.MouseX, my = SB_Var.MouseY;
  return (SB_Var.Buttons & 2) && x <= mx && mx < x + width && y <= my && my < y + height;
}

int32_t SB_DecorButton(int32_t dx, int32_t dy, int32_t width, int32_t height) {
  const int32_t x = SB_Var.DecorEditX + dx, y = SB_Var.DecorEditY + dy;
  const int32_t mx = SB_Var.MouseX, my = SB_Var.MouseY;
  if (!(SB_Var.Buttons & 1) || mx < x || mx >= x + width || my < y || my >= y + height) return 0;
  SB_ClearRect8(SB_Var.TextScreen, x, y, x + width - 1, y + height - 1);
  return 1;
}

int32_t SB_DecorButtonReleased() { return (SB_Var.PrevButtons & 1) == 0; }

void SB_DrawDecorFrame(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const int32_t a = static_cast<int16_t>(x1), b = static_cast<int16_t>(y1);
  const int32_t c = static_cast<int16_t>(x2), d = static_cast<int16_t>(y2);
  const uint32_t red = SB_EditNearestOverlayColor(63, 0, 0);
  BMAP* overlay = SB_Var.TextScreen;
  LS_DrawLine(overlay, a, b, a, d, red);
  LS_DrawLine(overlay, c, b, c, d, red);
  LS_DrawLine(overlay, a, b, c, b, red);
  LS_DrawLine(overlay, a, d, c, d, red);
}

void SB_DrawDecorCursor() {
  BMAP* picture = SB_Var.EditorPicture;
  if (!picture || !SB_Var.TextScreen) return;
  picture->Palette = SB_Var.Pal3d;
  SB_BitmoveTransparent(picture, SB_Var.TextScreen, 0, 0, 12, 12, SB_Var.MouseX - 6, SB_Var.MouseY - 6);
}

void SB_DrawDecorPanel() {
  if (!PanelOn()) return;
  const int32_t x = SB_Var.DecorEditX, y = SB_Var.DecorEditY;
  LS_FillRect(SB_Var.TextScreen, x, y, x + 256, y + kGrabHeight, SB_EditNearestOverlayColor(0, 0, 0));
  SB_Var.DecorEditPanel->Palette = SB_Var.Pal3d;
  SB_Bitmove(SB_Var.DecorEditPanel, SB_Var.TextScreen, 0, 0, kPanelWidth - 1, kPanelHeight - 1, x, y);
  TDECOROBJ* o = Selected();
  if (!o) return;
  if (SB_Var.DecorScriptNames) Text(SB_PathFileName(SB_Var.DecorScriptNames[SB_Var.DecorEditObject]), 53, 4);
  const OBJECT* e = SB_GetDecorEntry(o, SB_Var.DecorEditBlock);
  if (!e) return;
  Text(e->Name, 53, 20);
  for (int32_t k = 0; k < 3; ++k) Number(e->Position[k] / kUnitsPerMetre, 73, 46 + 12 * k);
  uint32_t a[3];
  ReadAngles(e, &a[0], &a[1], &a[2]);
  const int32_t angleRows[3] = {85, 97, 109};
  for (int32_t k = 0; k < 3; ++k) Number(a[k] * 360.0 / 65536.0, 73, angleRows[k]);
  char text[32];
  std::snprintf(text, sizeof text, "%ld", static_cast<long>(o->CurrentBlock));
  Text(text, 47, 129);
  // A block index of -1 (none running) leaves the block's lines blank.
  TDECORBLOCK* block = CurrentBlock(o);
  if (!block) return;
  std::snprintf(text, sizeof text, "%ld", static_cast<long>(block->CurrentCommand));
  Text(text, 47, 144);
  if (const TDECORCMD* command = CurrentCommand(block)) {
    std::snprintf(text, sizeof text, "%8.3G", (command->Flags & DECOR_TABLE) ? command->TableCursor : 0.0);
    Text(text, 47, 162);
  }
}

void SB_InitDecorEditor() {
  if (!SB_Var.DecorObjectsOn) return;
  SB_Var.DecorEditPanel = SB_LoadPcx("pcx>editor2.pcx", 0);
  if (BMAP* panel = SB_Var.DecorEditPanel) {
    if (panel->Depth != 8 || panel->SizeX < kPanelWidth || panel->SizeY < kPanelHeight) {
      SB_ConsolePrintf("Picture %s unusable !!!", "pcx>editor2.pcx");
      SB_FreeBmap(panel);
      SB_Var.DecorEditPanel = nullptr;
    } else if (PALETTE* palette = SB_LoadPalette("pcx>editor2.pcx")) {
      SB_RemapBmap(panel, palette, panel, SB_Var.Pal3d);
      SB_FreePalette(palette);
    }
  }
  SB_Var.DecorEditX = SB_Var.DecorEditY = 100;
  SB_Var.DecorEditDragging = 0;
  SB_Var.DecorEditObject = SB_Var.DecorEditBlock = 0;
}

void SB_FreeDecorEditor() {
  if (SB_Var.DecorEditPanel && SB_Var.DecorObjectsOn) SB_FreeBmap(SB_Var.DecorEditPanel);
  SB_Var.DecorEditPanel = nullptr;
}

void SB_UpdateDecorEditor() {
  if (!PanelOn()) return;
  SB_DrawDecorPanel();
  SB_ReadDecorMouse();
  if (SB_Var.DecorEditDragging) {
    SB_DrawDecorFrame(SB_Var.DecorEditDragX, SB_Var.DecorEditDragY, SB_Var.DecorEditDragX + kPanelWidth - 1,
                      SB_Var.DecorEditDragY + kPanelHeight - 1);
    SB_Var.DecorEditDragX = SB_Var.MouseX - SB_Var.DecorEditGrabX + 1;
    SB_Var.DecorEditDragY = SB_Var.MouseY - SB_Var.DecorEditGrabY + 1;
    if (!(SB_Var.Buttons & 2)) {
      SB_Var.DecorEditX = SB_Var.DecorEditDragX, SB_Var.DecorEditY = SB_Var.DecorEditDragY;
      SB_Var.DecorEditDragging = 0;
    }
  } else if (SB_DecorPanelGrab(SB_Var.DecorEditX, SB_Var.DecorEditY, kPanelWidth, kGrabHeight)) {
    SB_Var.DecorEditDragging = 1;
    SB_Var.DecorEditDragX = SB_Var.DecorEditX, SB_Var.DecorEditDragY = SB_Var.DecorEditY;
    SB_Var.DecorEditGrabX = SB_Var.MouseX - SB_Var.DecorEditX + 1;
    SB_Var.DecorEditGrabY = SB_Var.MouseY - SB_Var.DecorEditY + 1;
  } else {
    Edit();
  }
  SB_DrawDecorCursor();
}
