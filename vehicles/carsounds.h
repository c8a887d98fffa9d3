// The car's one-shot sounds that the wheel model starts.
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
