// The car sounds, silent until they are built: no one-shot sounds, no
// channels to load, reset or free. Weak, so that tests can put recording
// fakes in their place.
#include "vehicles/carsounds.h"

__attribute__((weak)) void SB_PlayGearSound(TCAR*) {}
__attribute__((weak)) void SB_PlayGearDownVariant() {}
__attribute__((weak)) void SB_PlayRapportSound() {}
__attribute__((weak)) void SB_PlayStartSound() {}

__attribute__((weak)) void SB_LoadCarSounds() {}
__attribute__((weak)) void SB_FreeCarSounds() {}
__attribute__((weak)) void SB_ResetCarSoundState(TCAR*) {}
