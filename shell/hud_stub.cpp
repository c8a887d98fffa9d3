// The HUD comes with its own work; until then it holds no messages to
// clear. Weak, so that tests can put a recording fake in its place.
#include "shell/hud.h"

__attribute__((weak)) void SB_ClearHudMessages() {}
