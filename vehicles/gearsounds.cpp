// The one-shots of the wheel model: gear changes, the over-rev of a
// down-shift, a refused down-shift and the engine start.
#include <cstdint>

#include "shell/sbvar.h"
#include "vehicles/carsounds.h"
#include "vehicles/types.h"

void SB_PlayGearSound(TCAR* car) {
  if (!car) return;
  SB_PlayCarOneShot(SB_CarSound(car->Gear > car->PrevGear ? SB_SND_GEARUP : SB_SND_GEARDWN));
}

void SB_PlayGearDownVariant() {
  SB_PlayCarOneShot(SB_CarSound(SB_SND_GEARDWN1 + static_cast<int32_t>(SB_Var.Time % 3)));
}

void SB_PlayRapportSound() { SB_PlayCarOneShot(SB_CarSound(SB_SND_RAPPORT)); }

void SB_PlayStartSound() { SB_PlayCarOneShot(SB_CarSound(SB_SND_DEMAR1)); }
