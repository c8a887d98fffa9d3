// The front end's pictures shown over a race: the attract cycle of a
// controlled race, the gearbox choice before the start with the darkening
// behind it, and the HUD's card textures.
#pragma once
#include <cstdint>

struct BMAP;

// The five option pictures (the gearbox boxes and the banners), each slot
// loaded once while it is empty and its file is there ("Missing %s" when
// it cannot be read); SB_FreeOptionPicts frees them with the overlay's two
// work bitmaps.
void SB_LoadOptionPicts();
void SB_FreeOptionPicts();
// Each frame of the game: on the accelerator, in the darkened start steps
// (4, 5, and 0 outside DEMO), one more frame of fade (up to 3) and the
// light tint (0.5, 0.5, 0.75); otherwise the fade is 0.
void SB_UpdateOptionsFade();
// Step 1 begins: the cycle from its first step, "START" on LED panel 0,
// the replay recording started.
void SB_StartIntroCycle();
// Each frame, over the overlay before it is shown, in step 1: the cycle's
// step advanced once its time is exceeded, its picture drawn, or "ACCELERATE
// TO START" in a practice race's blank steps.
void SB_DisplayIntroPicts();
// Attract picture i on the cleared overlay, centred.
void SB_DrawIntroPict(int32_t index);
// Option picture i blended on the target at its place (x 5 / 4 on a target
// 800 wide); the gearbox boxes scaled by 1.5 or 1.0 as the clock pulses
// when pulse is set, else dimmed by 0.6; the banners centred across and at
// a quarter of the height.
void SB_DrawOptionPict(BMAP* target, int32_t index, int32_t pulse);
// During the pre-start steps, with the fade complete: the step's banner
// and the gearbox boxes drawn over a snapshot of the overlay.
void SB_DisplayGameOptions(BMAP* overlay);
// Whether the gearbox boxes are drawn over the race now: in the gearbox
// step, the fade complete (so on the accelerator only), the session not
// lost. The dial gives way to them.
int32_t SB_GearboxBoxesShown();
// A rectangle of a 32-bit picture blended by its alpha at (x, y).
void SB_BitmoveAlpha(BMAP* source, BMAP* target, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x,
                     int32_t y);

// The HUD box and radar card textures of the accelerator path.
void POWER_LoadHudTextures();
void POWER_FreeHudTextures();
