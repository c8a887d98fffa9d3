// The accelerator's device, texture cache and lighting, and the track
// textures, until they exist: the device calls succeed, no render
// callback can be installed (so the accelerator is never offered), and
// there are no textures or shades to make. Weak, so that tests can put
// recording fakes in their place.
#include "engine3d/power.h"
#include "engine3d/views.h"

__attribute__((weak)) int32_t POWER_CreateScreenDevice(int32_t, int32_t, int32_t) { return 1; }
__attribute__((weak)) void POWER_DeleteScreenDevice() {}
__attribute__((weak)) int32_t POWER_InitSglContext() { return 1; }
__attribute__((weak)) int32_t POWER_InstallRenderCallback() { return 0; }
__attribute__((weak)) void POWER_InitTextureCache() {}
__attribute__((weak)) void SB_RefreshLighting() {}
__attribute__((weak)) void SB_LoadMapTextures() {}
__attribute__((weak)) void SB_InitTextureAddresses() {}
