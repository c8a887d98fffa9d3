// The accelerator's texture cache and lighting, until they exist: there
// are no textures or shades to make. Weak, so that tests can put recording
// fakes in their place.
#include "engine3d/power.h"

__attribute__((weak)) void POWER_InitTextureCache() {}
__attribute__((weak)) void SB_RefreshLighting() {}
