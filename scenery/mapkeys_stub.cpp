// The sun position and the night times of the map information, until the
// sky and the day/night cycle exist: read into the game's record as they
// will be. Weak, so that tests can put recording fakes in their place.
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

__attribute__((weak)) void SB_ReadNightTimes(TKEYFILE* keys) {
  if (SB_Var.ZoriraDemo) {
    const int32_t cycle = SB_Var.ZoriraNightDay;
    SB_Var.EndNight1 = cycle;
    SB_Var.DayNightPeriod = cycle + 5;
    SB_Var.StartNight1 = cycle / 2;
    return;
  }
  const struct {
    const char* key;
    int32_t* time;
    int32_t missing;
  } kTimes[] = {{"STARTNIGHT1: %d", &SB_Var.StartNight1, 150},
                {"ENDNIGHT1: %d", &SB_Var.EndNight1, 240},
                {"STARTNIGHT2: %d", &SB_Var.StartNight2, 510},
                {"ENDNIGHT2: %d", &SB_Var.EndNight2, 660}};
  for (const auto& t : kTimes)
    if (SB_ScanKeyFile(keys, 1, t.key, {t.time}) != 1) *t.time = t.missing;
}
