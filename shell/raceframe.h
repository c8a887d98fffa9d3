// The race frame's car predicates: which cars take part in the race now.
#pragma once
#include <cstdint>

// A valid car with a record, not out of the race, and not switched off by
// the mode (only the local cars while a CONTROLLEDRACE waits for its start
// or in networked TRAINING).
int32_t SB_IsCarEnabled(int32_t car);
// Enabled with its textures ready.
int32_t SB_IsCarInGame(int32_t car);
// In the game and, while the race runs, not played back from a replay.
int32_t SB_IsCarSimulated(int32_t car);
