// The mouse: position and buttons in client coordinates, placement and
// confinement of the cursor.
#include "platform/window.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "system/win/shell.h"

void LSYS_InitMouse() { LSI_Var.MouseOn = 1; }

void LSYS_ReleaseMouseClip() {
  plat::ClipCursor(nullptr);
  LSI_Var.MouseOn = 0;
}

void LS_GetMouse(int32_t* x, int32_t* y, int32_t* buttons) {
  int32_t px = 0, py = 0, held = 0;
  if (LSI_Var.MouseOn) {
    if (LSI_Var.InputMode == 0)
      LSYS_PumpMessages();
    else
      plat::PollMessageSource();
    plat::GetCursorPos(&px, &py);
    // Only a caller that asks for the buttons uses up their latched presses.
    if (buttons) held = (plat::ReadKeyState(1) ? 1 : 0) | (plat::ReadKeyState(2) ? 2 : 0);
  }
  if (x) *x = px;
  if (y) *y = py;
  if (buttons) *buttons = held;
}

void LS_SetMousePos(int32_t x, int32_t y) {
  if (LSI_Var.MouseOn) plat::SetCursorPos(x, y);
}

void LS_SetMouseLimits(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (!LSI_Var.MouseOn) return;
  LSI_Var.MouseLimits[0] = x1;
  LSI_Var.MouseLimits[1] = y1;
  LSI_Var.MouseLimits[2] = x2;
  LSI_Var.MouseLimits[3] = y2;
  const plat::Rect limits{x1, y1, x2, y2};
  plat::ClipCursor(&limits);
}
