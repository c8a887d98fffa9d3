// Bitmap fonts: loading from glyph pictures, proportional widths, string
// measuring and drawing, and the built-in system font.
#include "system/font.h"

#include <cstring>

#include "platform/oem.h"
#include "system/heap.h"
#include "system/lsvar.h"
#include "system/picture.h"
#include "system/pixel.h"

uint8_t LSI_SysFontPixels[LS_SYSFONT_WIDTH * LS_SYSFONT_HEIGHT] = {
#include "system/sysfont.inc"
};

namespace {

BMAP g_sysFontPicture;
FONT g_sysFont;

bool InFont(const FONT* font, int32_t character) {
  return character >= font->FirstChar && character - font->FirstChar < font->NbChar;
}

// The advance of an OEM code in a proportional font; 0 outside the font.
int32_t Advance(const FONT* font, int32_t character) {
  return InFont(font, character) ? font->WidthTable[character - font->FirstChar] : 0;
}

// The rightmost column of the cell holding a non-zero pixel; -1 when the
// cell is empty. Pixels outside the picture count as empty.
int32_t RightmostUsedColumn(const FONT* font, int32_t index) {
  const BMAP* picture = font->Picture;
  const int32_t left = index % font->CellsPerRow * font->CellWidth;
  const int32_t top = index / font->CellsPerRow * font->CellHeight;
  const int32_t bytes = LSI_BytesPerPixel(picture);
  for (int32_t column = font->CellWidth - 1; column >= 0; --column) {
    const int32_t x = left + column;
    if (x >= picture->SizeX) continue;
    for (int32_t y = top; y < top + font->CellHeight && y < picture->SizeY; ++y)
      if (LSI_LoadPixel(LSI_PixelAt(picture, x, y), bytes) != 0) return column;
  }
  return -1;
}

}  // namespace

void LS_InitSystemFont() {
  std::memset(&g_sysFontPicture, 0, sizeof g_sysFontPicture);
  g_sysFontPicture.ByteLen = LS_SYSFONT_WIDTH;
  g_sysFontPicture.SizeX = LS_SYSFONT_WIDTH;
  g_sysFontPicture.SizeY = LS_SYSFONT_HEIGHT;
  g_sysFontPicture.Start = LSI_SysFontPixels;
  g_sysFontPicture.Kind = LS_DefaultHeap;
  g_sysFontPicture.Depth = 8;
  g_sysFontPicture.LockCount = 1;
  g_sysFontPicture.Format = BMAP_PAL8;

  g_sysFont.Picture = &g_sysFontPicture;
  g_sysFont.CellWidth = LS_SYSFONT_CELL;
  g_sysFont.CellHeight = LS_SYSFONT_CELL;
  g_sysFont.CellsPerRow = LS_SYSFONT_WIDTH / LS_SYSFONT_CELL;
  g_sysFont.Caret = LS_SYSFONT_CARET;
  g_sysFont.FirstChar = LS_SYSFONT_FIRST;
  g_sysFont.NbChar = LS_SYSFONT_COUNT;
  g_sysFont.WidthTable = nullptr;
  LS_Var.SysFont = &g_sysFont;
}

void LSI_BuildFontWidths(FONT* font, int32_t spacing) {
  LS_LockBmap(font->Picture);
  for (int32_t i = 0; i < font->NbChar; ++i) {
    const int32_t column = font->Picture->Start ? RightmostUsedColumn(font, i) : -1;
    const int32_t advance = column >= 1 ? column + spacing + 1 : font->CellWidth / 2 + spacing + 1;
    font->WidthTable[i] = static_cast<uint8_t>(advance);
  }
  LS_UnlockBmap(font->Picture);
}

FONT* LS_LoadFont(const char* name, int32_t cellWidth, int32_t cellHeight, int32_t firstChar, int32_t nbChar,
                  int32_t spacing, int32_t caret, uintptr_t heap) {
  // Characters are bytes: cells past code 255 could never be drawn.
  if (!name || cellWidth < 1 || cellHeight < 1 || firstChar < 0 || firstChar > 255 || nbChar < 1 ||
      nbChar > 256 - firstChar)
    return nullptr;
  BMAP* picture = LS_LoadPicture(name, LS_GetPictureType(name), heap);
  if (!picture) return nullptr;
  if (cellWidth > picture->SizeX) {
    LS_FreeBmap(picture);
    return nullptr;
  }
  auto* font = static_cast<FONT*>(LS_GetMemHeap(heap, sizeof(FONT)));
  uint8_t* widths =
      font && spacing ? static_cast<uint8_t*>(LS_GetMem(static_cast<uint32_t>(nbChar))) : nullptr;
  if (!font || (spacing && !widths)) {
    if (font) LS_Release(font);
    LS_FreeBmap(picture);
    return nullptr;
  }
  font->Picture = picture;
  font->CellWidth = cellWidth;
  font->CellHeight = cellHeight;
  font->CellsPerRow = picture->SizeX / cellWidth;
  font->Caret = caret;
  font->FirstChar = firstChar;
  font->NbChar = nbChar;
  font->WidthTable = widths;
  if (widths) LSI_BuildFontWidths(font, spacing);
  ++LSI_Var.NbFont;
  return font;
}

void LS_FreeFont(FONT* font) {
  if (!font || font == &g_sysFont) return;
  LS_FreeBmap(font->Picture);
  if (font->WidthTable) LS_Release(font->WidthTable);
  LS_Release(font);
  --LSI_Var.NbFont;
}

uint16_t LS_GetStringWidth(const FONT* font, const char* text) {
  if (!font || !text) return 0;
  int32_t width = 0;
  for (const char* c = text; *c; ++c)
    width += font->WidthTable ? Advance(font, plat::AnsiToOem(static_cast<uint8_t>(*c))) : font->CellWidth;
  return static_cast<uint16_t>(width);
}

void LS_DrawChar(const FONT* font, BMAP* bmap, int32_t character, int32_t x, int32_t y, int32_t mode) {
  if (!font || !bmap || !InFont(font, character)) return;
  const int32_t index = character - font->FirstChar;
  const int32_t left = index % font->CellsPerRow * font->CellWidth;
  const int32_t top = index / font->CellsPerRow * font->CellHeight;
  LS_Bitmove(font->Picture, bmap, left, top, left + font->CellWidth - 1, top + font->CellHeight - 1, x, y,
             mode);
}

int32_t LS_DrawString(const FONT* font, BMAP* bmap, const char* text, int32_t x, int32_t y, int32_t mode) {
  if (!font || !text) return 0;
  int32_t count = 0, pen = x;
  for (const char* c = text; *c; ++c, ++count) {
    const int32_t character = plat::AnsiToOem(static_cast<uint8_t>(*c));
    LS_DrawChar(font, bmap, character, pen, y, mode);
    pen += font->WidthTable ? Advance(font, character) : font->CellWidth;
  }
  return count;
}
