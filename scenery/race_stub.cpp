// The day/night cycle as the race phases drive it, until it exists. Weak,
// so that tests can put recording fakes in their place.
#include "scenery/daynight.h"

__attribute__((weak)) void SB_ResetDayNight() {}
