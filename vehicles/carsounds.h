// The car sounds as the race start and end use them.
#pragma once
#include <cstdint>

struct TCAR;

// The cars' sound channels, loaded at race start and freed at its end.
void SB_LoadCarSounds();
void SB_FreeCarSounds();
// A car's engine and skid volumes silent and its listener tables reset.
void SB_ResetCarSoundState(TCAR* car);
