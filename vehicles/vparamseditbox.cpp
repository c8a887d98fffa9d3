// The vehicle-parameter editor's values and edit box: a row's value in the
// edited car read and stored by its type, the box opened at the pointer,
// the keys typed into it, its drawing with a blinking caret, and the
// commit of its number within the row's range.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "shell/gamedraw.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/font.h"
#include "system/lsvar.h"
#include "vehicles/vehicles.h"
#include "vehicles/vparams.h"
#include "vehicles/vparamseditor.h"

namespace {

constexpr int32_t kBackspace = 8, kEnter = 13, kSpace = 32;
constexpr int32_t kLeft = 1, kBoxHeight = 12;

TCAR* EditedCar() {
  const int32_t car = SB_Var.VParamsCar;
  return SB_IsValidCarIndex(car) ? SB_Var.Cars[car] : nullptr;
}

bool ValidRow(int32_t row) { return row >= 0 && row < SB_NBVPARAMS; }

bool Typable(int32_t key) {
  return (key >= '0' && key <= '9') || (key >= 'a' && key <= 'z') || (key >= 'A' && key <= 'Z') || key == '.';
}

// The box around the text and the row's name, whichever is longer.
int32_t BoxWidth() {
  const TVPARAMSEDITOR& e = SB_Var.VParamsEditor;
  const int32_t name = ValidRow(e.EditedRow) ? LS_GetStringWidth(LS_Var.SysFont, SB_VParamTable[e.EditedRow].Name) : 0;
  const int32_t text = LS_GetStringWidth(LS_Var.SysFont, e.Text) + LS_GetStringWidth(LS_Var.SysFont, "_");
  return std::max(name, text) + 4;
}

}  // namespace

double SB_VParamsValue(int32_t row) {
  const TCAR* car = EditedCar();
  return car && ValidRow(row) ? SB_GetVParamValue(SB_VParamTable[row], car->VParams) : 0.0;
}

void SB_VParamsStore(int32_t row, double value, int32_t round) {
  if (TCAR* car = EditedCar(); car && ValidRow(row)) SB_SetVParamValue(SB_VParamTable[row], value, round, &car->VParams);
}

void SB_VParamsStartEdit(int32_t row) {
  TVPARAMSEDITOR& e = SB_Var.VParamsEditor;
  e.Text[0] = '\0';
  SB_Var.VParamsEditing = 1;
  e.BoxX = e.MouseX + 2, e.BoxY = e.MouseY + 2;
  e.EditedRow = row;
}

void SB_VParamsStopEdit() {
  SB_Var.VParamsEditor.Text[0] = '\0';
  SB_Var.VParamsEditing = 0;
}

void SB_VParamsEditKey(int32_t key) {
  TVPARAMSEDITOR& e = SB_Var.VParamsEditor;
  const size_t length = std::strlen(e.Text);
  if (key == kBackspace) {
    if (length) e.Text[length - 1] = '\0';
  } else if (key == kEnter) {
    SB_VParamsCommit();
  } else if (key == kSpace) {
    SB_VParamsStopEdit();
  } else if (Typable(key) && length < SB_VPEDITTEXT) {
    e.Text[length] = static_cast<char>(key);
    e.Text[length + 1] = '\0';
  }
}

void SB_VParamsCommit() {
  const TVPARAMSEDITOR& e = SB_Var.VParamsEditor;
  char* end = nullptr;
  const double value = std::strtod(e.Text, &end);
  if (end != e.Text) SB_VParamsStore(e.EditedRow, value, 0);  // a text with no number changes nothing
  SB_VParamsStopEdit();
}

void SB_VParamsEditBox() {
  TVPARAMSEDITOR& e = SB_Var.VParamsEditor;
  if (!SB_Var.VParamsEditing || !e.Picture) return;
  const int32_t width = BoxWidth();
  const bool pressed = (e.Buttons & kLeft) && !(e.PrevButtons & kLeft);
  if (pressed) {
    const bool onBox = e.MouseX >= e.BoxX && e.MouseX < e.BoxX + width && e.MouseY >= e.BoxY &&
                       e.MouseY < e.BoxY + kBoxHeight;
    if (onBox)
      SB_VParamsCommit();
    else
      SB_VParamsStopEdit();
    return;
  }
  SB_FillRect(e.Picture, e.BoxX, e.BoxY, e.BoxX + width - 1, e.BoxY + kBoxHeight - 1, SB_VParamsColour(150, 30, 30));
  char shown[SB_VPEDITTEXT + 2];
  std::strcpy(shown, e.Text);
  if (e.Frames % 2 == 0) std::strcat(shown, "_");  // the caret blinks
  LS_DrawString(LS_Var.SysFont, e.Picture, shown, e.BoxX + 2, e.BoxY + 2, LS_BLIT_TRANSPARENT);
}
