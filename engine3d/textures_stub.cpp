// The accelerator's map textures, until its texture manager exists: no
// accelerator texture is ever made, so there is nothing to release. Weak,
// so that tests can put recording fakes in their place.
#include "engine3d/textures.h"

__attribute__((weak)) void POWER_ReleaseTextures() {}
