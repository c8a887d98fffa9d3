// The accelerator's device, scene and texture calls that the views, the
// video modes and the data view make.
#pragma once
#include <cstdint>

#include "engine3d/types.h"

// The screen device for the 3D window and the render context over it.
int32_t POWER_CreateScreenDevice(int32_t width, int32_t height, int32_t depth);
void POWER_DeleteScreenDevice();
int32_t POWER_InitSglContext();
// 1 when the render callback could be installed (the accelerator answers).
int32_t POWER_InstallRenderCallback();
// Empties the texture cache.
void POWER_InitTextureCache();
// Empties a view for the accelerator: cursors at the array bases (the clip
// data behind the MaxVertices vertices), counts and use counters 0.
void POWER_ResetScene(TSOFTSCENE* scene);
// The map's face shades for the light, and the map's textures.
void SB_RefreshLighting();
void SB_LoadMapTextures();
