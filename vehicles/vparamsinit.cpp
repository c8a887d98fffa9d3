// The vehicle-parameter table at start-up: its places are offsets from the
// start; the editor starts on car 0, at the top of the list, not editing.
#include "shell/sbvar.h"
#include "vehicles/devenv.h"

void SB_InitVParams() {
  SB_Var.VParamsCar = 0;
  SB_Var.VParamsScroll = 0;
  SB_Var.VParamsEditing = 0;
  TVPARAMSEDITOR& e = SB_Var.VParamsEditor;
  e.HoveredRow = e.EditedRow = -1;
  e.Text[0] = '\0';
}
