// One frame of the vehicle-parameter editor, and whether the mouse moved
// or its buttons changed since the last one.
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "vehicles/vehicles.h"
#include "vehicles/vparams.h"
#include "vehicles/vparamseditor.h"

void SB_VParamsEditorFrame() {
  SB_VParamsReadMouse();
  if (!SB_VParamsPicture()) return;
  SB_VParamsList();
  TVPARAMSEDITOR& e = SB_Var.VParamsEditor;
  if (SB_Var.VParamsEditing) SB_VParamsEditKey(LS_GetKey());
  SB_VParamsEditBox();
  SB_VParamsHelp();
  const int32_t car = SB_Var.VParamsCar;
  if (SB_IsValidCarIndex(car) && SB_Var.Cars[car]) SB_ApplyVParams(SB_Var.Cars[car]);
  SB_VParamsDrawCursor();
  ++e.Frames;
  if (LS_Var.Screen) LS_Bitmove(e.Picture, LS_Var.Screen, 0, 0, 639, 479, 0, 0, LS_BLIT_OPAQUE);
}

int32_t SB_VParamsMouseMoved() {
  const TVPARAMSEDITOR& e = SB_Var.VParamsEditor;
  return e.MouseX != e.PrevMouseX || e.MouseY != e.PrevMouseY || e.Buttons != e.PrevButtons ? 1 : 0;
}
