// What the HUD's files share: the state of the overlay and the end of the
// race, the scales of the overlay, and picture helpers.
#pragma once
#include <cstdint>

#include "race/hud.h"
#include "system/palette.h"

struct THUDSTATE {
  int32_t TextScreenLocked;
  int32_t NetNotice;  // set by the result lines: race progress (0, 0) is sent
  int32_t LostTime;   // ms since the session was lost
  SB_TEXTOBSERVER Observer;
  BMAP* CarPictures[SB_NBCARPICTURES];
};
extern THUDSTATE SB_Hud;

// A TGA picture as a 24-bit bitmap of the default heap tagged with the
// file name (SB_LoadTga); null when the file is missing or unreadable, or
// when the copy does not fit.
BMAP* SB_HudLoadPicture(const char* name);
// A bitmap of the picture's size at the depth, in the 3D palette and the
// pixel format (0 or a format of another depth: the depth's own), holding
// the picture; null when it cannot be had.
BMAP* SB_HudConvertedCopy(const BMAP* picture, int32_t depth, int32_t format, const char* owner);
// The 3D palette, or the current palette without one.
const PALETTE* SB_HudPalette();
// The entry nearest to (r, g, b) by squared distance, the first of equals.
int32_t SB_HudNearestColor(const PALETTE* palette, int32_t r, int32_t g, int32_t b);
// Pixels of the bitmap's depth; 0 for a depth the text and dial cannot copy.
int32_t SB_HudBytesPerPixel(const BMAP* bmap);

// Releases a block of SB_GetMem; null is left alone.
void SB_HudRelease(void* block);
// The fonts' slots as before any load.
void SB_ResetHudFonts();

// The overlay's scales by its size classes (SB_GetTextScreenSize).
double SB_HudXScale();
double SB_HudYScale();
// In phase: the odd 300 ms phases of the clock.
bool SB_HudOddPhase(int64_t ms);
// Draws the text centred on the overlay's width at y.
void SB_HudCentred(int32_t width, int32_t y, const char* text);
