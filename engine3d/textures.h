// The map's textures as they are released with the map (the track's
// SB_FreeDecor asks for it through the hook ReleaseMapTextures).
#pragma once

// Releases the software renderer's texture pages and mip-map levels, when
// they exist ("Textures released").
void SB_FreeTextures();
// Releases the accelerator's cached map textures and texture bank, when
// they are loaded.
void POWER_ReleaseTextures();
