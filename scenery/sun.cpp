// The track's sun: its position from the map information.
#include <cmath>

#include "scenery/mapkeys.h"
#include "shell/keyfile.h"
#include "shell/sbvar.h"

__attribute__((weak)) void SB_ReadSunPosition(TKEYFILE* keys) {
  if (!keys) return;
  double sun[3] = {};
  if (SB_ScanKeyFile(keys, 1, "SUN: %f,%f,%f", {&sun[0], &sun[1], &sun[2]}) != 3) return;
  if (!std::isfinite(sun[0]) || !std::isfinite(sun[1]) || !std::isfinite(sun[2])) return;
  for (int i = 0; i < 3; ++i) SB_Var.SunPos[i] = sun[i];
}
