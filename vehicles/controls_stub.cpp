// The player controls come with the vehicles; until then there is no
// joystick calibration to keep. Weak, so that tests can put a recording
// fake in its place.
#include "vehicles/controls.h"

__attribute__((weak)) void SB_CenterJoystick() {}
