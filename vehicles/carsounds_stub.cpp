// The car sounds come with later work; until then there are no channels to
// load, reset or free. Weak, so that tests can put recording fakes in
// their place.
#include "vehicles/carsounds.h"

__attribute__((weak)) void SB_LoadCarSounds() {}
__attribute__((weak)) void SB_FreeCarSounds() {}
__attribute__((weak)) void SB_ResetCarSoundState(TCAR*) {}
