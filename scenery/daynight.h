// The day/night cycle, as the race phases drive it.
#pragma once

// Restarts the cycle at day.
void SB_ResetDayNight();
