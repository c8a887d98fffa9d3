// The vehicle-parameter editor's list: the title, the four buttons with
// their presses, paging, and 16 rows of the edited car, each with its
// name, a slider the left button drags and the value; the right button
// on a slider opens the edit box.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "shell/gamedraw.h"
#include "shell/gameevent.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/font.h"
#include "system/lsvar.h"
#include "vehicles/vehicles.h"
#include "vehicles/vparams.h"
#include "vehicles/vparamseditor.h"

namespace {

constexpr int32_t kTitleX = 16, kTitleY = 10, kButtonHeight = 16, kRowHeight = 16;
constexpr int32_t kPageUp = 33, kPageDown = 34;
constexpr int32_t kLeft = 1, kRight = 2;
constexpr const char* kButtonTexts[SB_VPBUTTONS] = {"WRITE", "READ", "NEXT CAR", "PREV CAR"};

TCAR* EditedCar() {
  const int32_t car = SB_Var.VParamsCar;
  return SB_IsValidCarIndex(car) ? SB_Var.Cars[car] : nullptr;
}

bool Pressed(int32_t button) {
  const TVPARAMSEDITOR& e = SB_Var.VParamsEditor;
  return (e.Buttons & button) && !(e.PrevButtons & button);
}

bool Inside(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const TVPARAMSEDITOR& e = SB_Var.VParamsEditor;
  return e.MouseX >= x1 && e.MouseX <= x2 && e.MouseY >= y1 && e.MouseY <= y2;
}

// PageUp and PageDown move the list by one row a press.
void Page() {
  TVPARAMSEDITOR& e = SB_Var.VParamsEditor;
  const int32_t up = SB_KeyDown(kPageUp), down = SB_KeyDown(kPageDown);
  if (up && !e.PageUpHeld && SB_Var.VParamsScroll > 0) --SB_Var.VParamsScroll;
  if (down && !e.PageDownHeld && SB_Var.VParamsScroll < SB_VPEDIT_MAXSCROLL) ++SB_Var.VParamsScroll;
  SB_Var.VParamsScroll = std::clamp(SB_Var.VParamsScroll, 0, SB_VPEDIT_MAXSCROLL);
  e.PageUpHeld = up, e.PageDownHeld = down;
}

void Buttons(BMAP* picture) {
  for (int32_t b = 0; b < SB_VPBUTTONS; ++b) {
    const int32_t x = SB_VParamsButtonX(b);
    const bool hit = SB_VParamsButtonHit(b) != 0;
    const bool down = hit && (SB_Var.VParamsEditor.Buttons & kLeft);
    SB_FillRect(picture, x, SB_VPEDIT_BUTTONY, x + SB_VPEDIT_BUTTONWIDTH - 1, SB_VPEDIT_BUTTONY + kButtonHeight - 1,
                down ? SB_VParamsColour(200, 190, 60) : SB_VParamsColour(60, 100, 160));
    LS_DrawString(LS_Var.SysFont, picture, kButtonTexts[b], x + 6, SB_VPEDIT_BUTTONY + 4, LS_BLIT_TRANSPARENT);
    if (!hit || !Pressed(kLeft)) continue;
    switch (b) {
      case SB_VPBUTTON_WRITE: SB_WriteVParams(); break;
      case SB_VPBUTTON_READ: SB_ReadVParams(); break;
      case SB_VPBUTTON_NEXT: SB_VParamsNextCar(); break;
      default: SB_VParamsPrevCar(); break;
    }
  }
}

// The slider's knob at the value's place in the row's range.
void Slider(BMAP* picture, int32_t row, int32_t y) {
  const TVPARAMDESC& d = SB_VParamTable[row];
  const int32_t x = SB_VPEDIT_SLIDERX + SB_VPEDIT_SLIDERSTART;
  SB_FillRect(picture, x, y + 6, x + SB_VPEDIT_SLIDERWIDTH - 1, y + 8, SB_VParamsColour(128, 128, 128));
  const double t = d.Max > d.Min ? (SB_VParamsValue(row) - d.Min) / (d.Max - d.Min) : 0.0;
  const int32_t knob = x + static_cast<int32_t>(std::clamp(t, 0.0, 1.0) * SB_VPEDIT_SLIDERRANGE);
  SB_FillRect(picture, knob, y + 2, knob + 3, y + 12, SB_VParamsColour(255, 220, 0));
}

void Row(BMAP* picture, int32_t row, int32_t y) {
  const TVPARAMDESC& d = SB_VParamTable[row];
  SB_VParamsDrawText(picture, SB_VPEDIT_NAMEX, y, d.Name);
  Slider(picture, row, y);
  char value[64];
  if (d.Type == 0)
    std::snprintf(value, sizeof value, "%ld", static_cast<long>(SB_VParamsValue(row)));
  else
    std::snprintf(value, sizeof value, "%f", SB_VParamsValue(row));
  LS_DrawString(LS_Var.SysFont, picture, value, SB_VPEDIT_VALUEX, y + 4, LS_BLIT_TRANSPARENT);
  if (!SB_VParamsRowHit(row, y)) return;
  const TVPARAMSEDITOR& e = SB_Var.VParamsEditor;
  if (e.Buttons & kRight) {
    SB_VParamsStartEdit(row);
  } else if (e.Buttons & kLeft) {
    const int32_t along = e.MouseX - SB_VPEDIT_SLIDERX - SB_VPEDIT_SLIDERSTART;
    SB_VParamsStore(row, d.Min + along * (static_cast<double>(d.Max) - d.Min) / SB_VPEDIT_SLIDERRANGE, 1);
  }
}

}  // namespace

int32_t SB_VParamsButtonX(int32_t button) { return 16 + button * (SB_VPEDIT_BUTTONWIDTH + 10); }

void SB_VParamsDrawText(BMAP* picture, int32_t x, int32_t y, const char* text) {
  const int32_t width = LS_GetStringWidth(LS_Var.SysFont, text);
  SB_FillRect(picture, x, y + 1, x + width + 3, y + kRowHeight - 3, SB_VParamsColour(40, 40, 90));
  LS_DrawString(LS_Var.SysFont, picture, text, x + 2, y + 4, LS_BLIT_TRANSPARENT);
}

int32_t SB_VParamsButtonHit(int32_t button) {
  if (SB_Var.VParamsEditing || button < 0 || button >= SB_VPBUTTONS) return 0;
  const int32_t x = SB_VParamsButtonX(button);
  return Inside(x, SB_VPEDIT_BUTTONY, x + SB_VPEDIT_BUTTONWIDTH - 1, SB_VPEDIT_BUTTONY + kButtonHeight - 1) ? 1 : 0;
}

int32_t SB_VParamsRowHit(int32_t row, int32_t y) {
  if (SB_Var.VParamsEditing) return 0;
  const int32_t x = SB_VPEDIT_SLIDERX + SB_VPEDIT_SLIDERSTART;
  if (!Inside(x, y, x + SB_VPEDIT_SLIDERWIDTH - 1, y + kRowHeight - 1)) return 0;
  SB_Var.VParamsEditor.HoveredRow = row;
  return 1;
}

void SB_VParamsNextCar() {
  if (SB_Var.NbCars > 0) SB_Var.VParamsCar = (SB_Var.VParamsCar + 1) % SB_Var.NbCars;
}

void SB_VParamsPrevCar() {
  const int32_t car = SB_Var.VParamsCar;
  if (SB_Var.NbCars > 0) SB_Var.VParamsCar = car > 0 && car <= SB_Var.NbCars ? car - 1 : SB_Var.NbCars - 1;
}

void SB_VParamsList() {
  BMAP* picture = SB_Var.VParamsEditor.Picture;
  if (!picture) return;
  SB_FillRect(picture, 0, 0, picture->SizeX - 1, picture->SizeY - 1, SB_VParamsColour(16, 16, 48));
  char title[32];
  std::snprintf(title, sizeof title, "VEHICULE #%ld", static_cast<long>(SB_Var.VParamsCar));
  LS_DrawString(LS_Var.SysFont, picture, title, kTitleX, kTitleY, LS_BLIT_TRANSPARENT);
  Buttons(picture);
  Page();
  SB_Var.VParamsEditor.HoveredRow = -1;
  if (!EditedCar()) return;
  for (int32_t i = 0; i < SB_VPEDIT_ROWS && SB_Var.VParamsScroll + i < SB_NBVPARAMS; ++i)
    Row(picture, SB_Var.VParamsScroll + i, SB_VPEDIT_FIRSTROW + i * SB_VPEDIT_ROWSTEP);
}
