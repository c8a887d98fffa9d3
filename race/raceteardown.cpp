// The race-state reset at set-up and at every race start: clocks, day and
// night, decor scripts, replay clocks, race parameters, gaps and camera.
#include "engine3d/camera.h"
#include "race/session.h"
#include "scenery/daynight.h"
#include "scenery/decorobjects.h"
#include "shell/gameclock.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "vehicles/vehicles.h"

void SB_RaceTeardown() {
  SB_ResetClock();
  SB_ResetDayNight();
  SB_ResetDecorScripts();
  SB_Var.RecordMark = SB_Var.Time;
  SB_ResetReplayClocks();
  if (SB_Hooks.ReadRaceParameters) SB_Hooks.ReadRaceParameters();
  if (SB_Hooks.ResetGaps) SB_Hooks.ResetGaps();
  SB_ResetCamera(&SB_Var.Camera);
  SB_Var.CameraSettled = 0;
  SB_Var.EndPhaseTime = 0;
}
