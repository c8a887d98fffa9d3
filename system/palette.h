// Palettes: 256 colours of 6-bit components, the current palette of the
// system, the nearest-colour search, and handing palettes to the display.
#pragma once
#include <cstdint>

// One colour: red, green and blue, each 0 to 63.
struct LS_RGB {
  uint8_t Red, Green, Blue;
};
struct PALETTE {
  LS_RGB Entry[256];
};
constexpr uint32_t LS_PALETTESIZE = 768;
static_assert(sizeof(PALETTE) == LS_PALETTESIZE, "a palette is 768 bytes");

// A 768-byte block of the default heap, counted in LSI_Var.NbPal.
PALETTE* LS_AllocPalette();
void LS_FreePalette(PALETTE* palette);
// Makes the palette current (all black for null) and shows it on an 8-bit
// front screen.
void LS_SetPalette(const PALETTE* palette);
// Entry 0 black, entry 255 white, then sets up the display's palette.
void LS_ResetPalette();

// Colour search over one palette: every index sorted by each component,
// and for each component value 0 to 63 the run of sorted positions holding
// it (first + last x 256, LSI_NORUN when none). Keyed by the palette's
// bytes, so an edited palette is seen and a repeated request does no work.
constexpr uint32_t LSI_NORUN = 0xFFFFFFFF;
struct LSI_COLORSEARCH {
  uint8_t Sorted[3][256];  // red, green, blue
  uint32_t Run[3][64];
  PALETTE Palette;  // the colours the lists were built from
  int32_t Built;    // lists hold some palette
  int32_t Current;  // Palette is still the palette asked for last
  uint32_t Builds;  // how many times the lists were built
};
extern LSI_COLORSEARCH LSI_ColorSearch;

void LS_InitColorSearch(const PALETTE* palette);
// The index of the palette colour nearest to (r, g, b), components 0 to
// 63, by the largest component difference; 0 for a component outside.
int32_t LS_FindNearestColor(int32_t r, int32_t g, int32_t b);
// Makes the next search and remap-table request build again.
void LSI_ForgetColorTables();

// The display side: the display's palette object, made at graphics start
// from the desktop's palette, and the entries the desktop keeps.
void InitPaletteSystem();
void LSYS_ClosePaletteSystem();
void LSYS_ApplyPalette();
// The desktop's palette, components divided by 4.
const PALETTE* LSYS_GetSystemPalette();
int32_t LSYS_GetReservedColors();
