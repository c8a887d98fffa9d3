// The map information file of a circuit, read before its race: the centre
// line, the start grid, the sun and the night times.
#pragma once
#include <cstdint>

// Reads the map information file: the centre line's name, the three start
// slots, the sun and the night times, then applies the game mode; 1 read,
// 0 when it is missing ("Map info file %s not found !!!"). Keys the file
// lacks, or that hold no finite number, leave their values cleared.
int32_t SB_LoadMapInfo(const char* path);
