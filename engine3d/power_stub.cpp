// The accelerator's texture cache and lighting, and the track textures,
// until they exist: there are no textures or shades to make. Weak, so that tests can put
// recording fakes in their place.
#include "engine3d/power.h"
#include "engine3d/views.h"

__attribute__((weak)) void POWER_InitTextureCache() {}
__attribute__((weak)) void SB_RefreshLighting() {}
__attribute__((weak)) void SB_LoadMapTextures() {}
__attribute__((weak)) void SB_InitTextureAddresses() {}
