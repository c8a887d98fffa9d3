// The in-race head-up display.
#pragma once

// Frees the three HUD message slots.
void SB_ClearHudMessages();
