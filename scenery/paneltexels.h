// Where the trackside displays write: a map texture's texels in a software
// page or in its card texture's twiddled block, clipped to the texture's
// place, and the LED dots drawn into them.
#pragma once
#include <cstdint>

struct TSOFTSCENE;

// One map texture's texels: on the card the slot's block and the
// texture's origin in it, in software the first texel and the page's
// pitch; width and height bound every write.
struct TPANELTARGET {
  uint16_t* Card;  // null in software
  int32_t Side, X, Y;
  uint8_t* Texels;
  int32_t Pitch, Bytes;
  int32_t Width, Height;
};
// False when the texture has no texels to write into.
bool SB_PanelTarget(int32_t texture, TPANELTARGET* target);
// Texel (x, y) of the texture, x and y inside its place (checked by the caller).
uint32_t SB_GetPanelTexel(const TPANELTARGET& t, int32_t x, int32_t y);
void SB_PutPanelTexel(const TPANELTARGET& t, int32_t x, int32_t y, uint32_t texel);
// In software, the mip levels of the w x h rectangle at (x, y) of the
// texture (relative to its origin) made again from the texels written
// there, so that the texture reads the same at every distance; nothing on
// the card, whose pages refresh their levels when they are sent, nor for a
// texture the renderer never draws mip-mapped.
void SB_RefreshPanelLevels(int32_t texture, int32_t x, int32_t y, int32_t w, int32_t h);
// 1 when the slot of a card texture or the software texture was drawn by
// the view (software: the texture's used-this-frame flag).
bool SB_PanelPageUsed(const TSOFTSCENE* view, int32_t texture);
// Dot row `row` (0..3) of the lit or unlit dot, 4 texels from (x, y) on,
// cut at the texture's right and bottom edges.
void SB_PutDotRow(const TPANELTARGET& t, int32_t x, int32_t y, bool lit, int32_t row);
// The LED font's glyph of a character: A-Z 1..26, 0-9 27..36, ! 37, else 0.
int32_t SB_LedGlyph(char c);
// Fills SB_Var.Panels.Font from the font's text rows.
void SB_BuildLedFont();
// A sub-column of a panel: 4 texels wide from x, its 8 dots of glyph
// column byte g (bit 7 the top), each dot `dot` texels high.
void SB_DrawPanelSubColumn(const TPANELTARGET& t, int32_t x, uint8_t g, int32_t dot);
// A software lamp rectangle (corners inclusive, drawn for the card's lamp
// page of 128 x 64 texels) grown with a page that holds the lamps larger.
void SB_ScaleLampRect(int32_t width, int32_t height, int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2);
// The lamps of "DEPART" and the road lights' blocks as the map drew them:
// kept at the race's set-up (the card's page then sent again at the first
// frame), put back at its end, or forgotten without writing.
void SB_KeepMapLamps();
void SB_PutBackMapLamps();
void SB_ForgetMapLamps();
