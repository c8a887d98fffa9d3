// The front end's pictures shown over a race: the gearbox choice before the
// start and the attract cycle.
#pragma once

struct BMAP;

// Loads the option pictures, once; SB_FreeOptionPicts frees them.
void SB_LoadOptionPicts();
void SB_FreeOptionPicts();
// Advances the option box's fade.
void SB_UpdateOptionsFade();
// Restarts the attract cycle and writes "START" on LED panel 0.
void SB_StartIntroCycle();
// Each frame, over the overlay before it is shown: the attract cycle's
// pictures.
void SB_DisplayIntroPicts();
// During the pre-start steps, the gearbox choice drawn over the overlay.
void SB_DisplayGameOptions(BMAP* overlay);

// The HUD box and radar card textures of the PowerVR path.
void POWER_LoadHudTextures();
void POWER_FreeHudTextures();
