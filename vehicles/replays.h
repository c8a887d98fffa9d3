// Car replays and recordings, as the console uses them (the replay slots
// of the race: vehicles/vehicles.h).
#pragma once
#include <cstdint>

// One recording per car while SB_Var.CarRecordings is set (freed by
// SB_FreeCarsReplays, vehicles/devenv.h).
void SB_AllocCarsReplays();
// Writes the driven car's recorded replay ("Car replay file V1.01").
int32_t SB_SaveCarReplay(const char* name);
