// The game clock.
#pragma once

void SB_ResetClock();
