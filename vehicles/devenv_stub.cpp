// The vehicles as the console's start-up and tear-down use them, until the
// setups and replays exist: there are none to load or free. Weak, so that tests can put recording fakes in
// their place.
#include "vehicles/devenv.h"

__attribute__((weak)) void SB_AllocLocalReplay() {}
__attribute__((weak)) void SB_FreeLocalReplay() {}
__attribute__((weak)) void SB_ClearCarReplaySlots() {}
__attribute__((weak)) void SB_FreeCarsReplays() {}
