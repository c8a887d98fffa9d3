// The race file's lap counts: one key per game mode, each found only where
// it starts a line, and held to the laps a race can run. The race and the
// network's game controller both read them here, so that a host times the
// race its players' copies run.
#pragma once
#include <cstddef>
#include <cstdint>

#include "shell/keyfile.h"

// The key of a game mode's lap count: "RACENLAPS", "MULTIRACENLAPS",
// "CONTROLLEDRACENLAPS", "OFFLINENLAPS", and "NLAPS" for FREERACE, DEMO
// and any other mode. (TRAINING and STANDALONE race the OFFLINE count, or
// the largest of the others on a network: the race chooses.)
const char* SB_LapKeyOfMode(int32_t mode);

// The key's count, truncated: 1 to SB_MOSTLAPS as the file gives it;
// missing, no number or out of that range, SB_FALLBACKLAPS, and `said`
// (a text of `size` bytes, at least one) receives why, as in "RACENLAPS parameter 100 refused (1 to 99 laps), 3
// laps..." (emptied when the count was taken).
int32_t SB_ReadLapCount(TKEYFILE* file, const char* key, char* said, size_t size);
