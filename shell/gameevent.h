// The game's event pump.
#pragma once

void SB_UpdateEvent();
