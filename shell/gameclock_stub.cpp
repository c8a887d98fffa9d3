// The game clock comes with the console; until then a reset has nothing to do.
#include "shell/gameclock.h"

void SB_ResetClock() {}
