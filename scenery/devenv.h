// What the console's start-up and tear-down use of the scenery: the
// background objects, the birds, the windscreen scratch overlay, the
// explosion pictures and the decor objects.
#pragma once

// Reads "backobc.txt" and loads the background objects; frees them.
void LoadBackObcFile();
void FreeBackObc();
// Creates and frees the bird flocks.
void InitBirds();
void SB_FreeBirds();
// The windscreen scratch overlay picture.
void SB_LoadScratch();
void SB_FreeScratch();
// The explosion and flame pictures.
void SB_LoadExplosionBmaps();
void SB_FreeExplosionBmaps();
// The decor object names and the decor object instances.
void SB_FreeDecorNames();
void SB_FreeDecorObjects();
