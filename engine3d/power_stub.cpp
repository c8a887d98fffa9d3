// The accelerator's texture cache, until it exists: there are no textures
// to make. Weak, so that tests can put recording
// fakes in their place.
#include "engine3d/power.h"

__attribute__((weak)) void POWER_InitTextureCache() {}
