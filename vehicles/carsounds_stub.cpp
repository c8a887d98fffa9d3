// The car's one-shot sounds, silent until the car sounds are built. Weak,
// so that tests can put recording fakes in their place.
#include "vehicles/carsounds.h"

__attribute__((weak)) void SB_PlayGearSound(TCAR*) {}
__attribute__((weak)) void SB_PlayGearDownVariant() {}
__attribute__((weak)) void SB_PlayRapportSound() {}
__attribute__((weak)) void SB_PlayStartSound() {}
