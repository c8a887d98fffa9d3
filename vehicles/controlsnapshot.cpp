// The race frame's first call: this frame's controls, the last ones kept
// for press edges.
#include "shell/sbvar.h"
#include "vehicles/controls.h"
#include "vehicles/vehicles.h"

void SB_SnapshotControls() {
  SB_Var.PrevControls = SB_Var.Controls;
  SB_BuildControls(&SB_Var.Controls);
}
