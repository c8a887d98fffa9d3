// Console word CALIBRATE: joystick 1's resting position becomes its centre.
#include <cmath>

#include "shell/console.h"
#include "shell/gameevent.h"
#include "shell/sbvar.h"
#include "system/input.h"
#include "vehicles/controls.h"

namespace {

// The rescaling divides by 1 -/+ the centre: a centre at the edge of the
// travel would make every reading huge.
constexpr double kMostCentre = 0.99;

void StoreCentre(const JOYPOS& p) {
  if (!(std::fabs(p.X) < kMostCentre) || !(std::fabs(p.Y) < kMostCentre)) {
    SB_ConsolePrintf("Center X%lf Y%lf refused: too near the edge, the old center stays !!!", p.X, p.Y);
    return;
  }
  SB_Var.JoystickCenter[0] = p.X;
  SB_Var.JoystickCenter[1] = p.Y;
  SB_ConsolePrintf("New center set in X%lf Y%lf...", p.X, p.Y);
}

}  // namespace

void SB_CenterJoystick() {
  JOYPOS p{};
  if (!LSYS_GetJoyPos(1, &p)) {
    SB_ConsolePrintf("No joystick 1 found !!!");
    return;
  }
  SB_ConsolePrintf("Center joystick and press key or a joy button...");
  for (;;) {
    if (LS_GetKey()) {
      if (LSYS_GetJoyPos(1, &p)) StoreCentre(p);
      return;
    }
    SB_UpdateEvent();
    if (LSYS_GetJoyPos(1, &p) && p.Buttons) {
      StoreCentre(p);
      return;
    }
    if (!LSYS_KeyMayCome()) return;  // headless, nothing injected: no centre
  }
}
