// Fonts and text drawing: bitmap fonts whose glyphs sit in a grid of equal
// cells of a picture, fixed-width or proportional, and the built-in 8 x 8
// system font.
#pragma once
#include <cstdint>

#include "system/bmap.h"

struct FONT {
  BMAP* Picture;  // the glyph cells
  int32_t CellWidth;
  int32_t CellHeight;
  int32_t CellsPerRow;  // picture width / cell width
  int32_t Caret;        // given at load and kept; the text editors draw it as their caret
  int32_t FirstChar;    // character code of the first cell
  int32_t NbChar;
  uint8_t* WidthTable;  // proportional fonts: the advance of each character; null when fixed
};

// The system font's picture: 40 cells of 8 x 8 per row, 3 rows, 120
// characters from 32 (OEM codes 32 to 151).
constexpr int32_t LS_SYSFONT_WIDTH = 325;
constexpr int32_t LS_SYSFONT_HEIGHT = 24;
constexpr int32_t LS_SYSFONT_CELL = 8;
constexpr int32_t LS_SYSFONT_FIRST = 32;
constexpr int32_t LS_SYSFONT_COUNT = 120;
constexpr int32_t LS_SYSFONT_CARET = 95;
// Its pixels, compiled in: ink 255 on 0.
extern uint8_t LSI_SysFontPixels[LS_SYSFONT_WIDTH * LS_SYSFONT_HEIGHT];

// Sets LS_Var.SysFont (at library start).
void LS_InitSystemFont();

// Loads the glyph picture (its type from the name's extension) into the
// heap; a non-zero spacing makes the font proportional, each advance
// measured from the glyph's pixels plus the spacing. Null when the picture
// does not load or the cells do not fit it.
FONT* LS_LoadFont(const char* name, int32_t cellWidth, int32_t cellHeight, int32_t firstChar, int32_t nbChar,
                  int32_t spacing, int32_t caret, uintptr_t heap);
// Frees a loaded font; null and the system font are left alone.
void LS_FreeFont(FONT* font);
// Measures a proportional font's advances, adding the spacing to each.
void LSI_BuildFontWidths(FONT* font, int32_t spacing);

// Texts are Windows-1252; each character is drawn from the cell of its OEM
// code, the caller's text left as it is.
uint16_t LS_GetStringWidth(const FONT* font, const char* text);
// Draws with the top-left corner at (x, y), each glyph copied with the
// LS_Bitmove mode; returns the number of characters.
int32_t LS_DrawString(const FONT* font, BMAP* bmap, const char* text, int32_t x, int32_t y, int32_t mode);
// Draws the cell of one OEM code; a code outside the font draws nothing.
void LS_DrawChar(const FONT* font, BMAP* bmap, int32_t character, int32_t x, int32_t y, int32_t mode);
