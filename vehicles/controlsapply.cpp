// The driven car takes this frame's controls before its physics steps; a
// car played back from a replay or not simulated takes none.
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "vehicles/controls.h"
#include "vehicles/physics.h"
#include "vehicles/vehicles.h"

void SB_ApplyControlsToCar(int32_t index) {
  if (!SB_IsValidCarIndex(index) || !SB_Var.Cars[index]) return;
  if (!SB_Hooks.IsCarSimulated || !SB_Hooks.IsCarSimulated(index) || SB_IsCarReplayPlaying(index)) return;
  SB_SetCarControlsFromCurrent(SB_Var.Cars[index]);
}
