// The car sounds as the wheel model, the race start and the race end use
// them.
#pragma once

struct TCAR;

// A gear change: up or down by the car's gear against its previous one.
void SB_PlayGearSound(TCAR* car);
// The over-rev of a down-shift.
void SB_PlayGearDownVariant();
// A refused down-shift.
void SB_PlayRapportSound();
// The engine start.
void SB_PlayStartSound();

// The cars' sound channels, loaded at race start and freed at its end.
void SB_LoadCarSounds();
void SB_FreeCarSounds();
// A car's engine and skid volumes silent and its listener tables reset.
void SB_ResetCarSoundState(TCAR* car);
