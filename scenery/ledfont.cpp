// The LED panels' font and the writing of dots into a panel's texels.
#include <algorithm>
#include <cstring>

#include "engine3d/texcache.h"
#include "engine3d/texpages.h"
#include "scenery/paneltexels.h"
#include "scenery/texcopy.h"
#include "shell/sbvar.h"

namespace {

constexpr int32_t kGlyphs = 38;
constexpr int32_t kGroup = 6;  // glyphs side by side in the table

// The glyphs, six to a group, 8 text rows each: '#' a lit dot.
constexpr const char* kFontRows[] = {
    // blank  A      B      C      D      E
    "...... ...... ...... ...... ...... ......",
    "...... .###.. ####.. .####. ####.. .####.",
    "...... #...#. #...#. #..... #...#. #.....",
    "...... #####. ####.. #..... #...#. #####.",
    "...... #...#. #...#. #..... #...#. #.....",
    "...... #...#. #...#. #..... #...#. #.....",
    "...... #...#. ####.. .####. ####.. .####.",
    "...... ...... ...... ...... ...... ......",
    // F       G       H       I       J       K
    "...... ...... ...... ...... ...... ......",
    ".####. .####. #...#. #####. ....#. #..#..",
    "#..... #..... #...#. ..#... ....#. #.#...",
    "####.. #..... #####. ..#... ....#. ##....",
    "#..... #..##. #...#. ..#... ....#. #.#...",
    "#..... #...#. #...#. ..#... #...#. #..#..",
    "#..... .####. #...#. #####. .###.. #...#.",
    "...... ...... ...... ...... ...... ......",
    // L       M       N       O       P       Q
    "...... ...... ...... ...... ...... ......",
    "#..... .###.. ####.. .###.. ####.. .###..",
    "#..... #.#.#. #...#. #...#. #...#. #...#.",
    "#..... #.#.#. #...#. #...#. ####.. #...#.",
    "#..... #.#.#. #...#. #...#. #..... #.#.#.",
    "#..... #.#.#. #...#. #...#. #..... #..##.",
    ".####. #.#.#. #...#. .###.. #..... .####.",
    "...... ...... ...... ...... ...... ......",
    // R       S       T       U       V       W
    "...... ...... ...... ...... ...... ......",
    "####.. .####. ####.. #...#. #...#. #...#.",
    "#...#. #..... ....#. #...#. #...#. #...#.",
    "####.. .###.. ....#. #...#. #...#. #...#.",
    "#...#. ....#. ....#. #...#. #...#. #.#.#.",
    "#...#. ....#. ....#. #...#. .#.#.. #.#.#.",
    "#...#. ####.. ....#. .###.. ..#... .#.#..",
    "...... ...... ...... ...... ...... ......",
    // X       Y       Z       0       1       2
    "...... ...... ...... ...... ...... ......",
    "#...#. #...#. #####. .###.. ..#... .###..",
    ".#.#.. .#.#.. ...#.. #...#. .##... #...#.",
    "..#... ..#... ..#... #...#. #.#... ...#..",
    ".#.#.. ..#... .#.... #...#. ..#... ..#...",
    "#...#. ..#... #..... #...#. ..#... .#....",
    "#...#. ..#... #####. .###.. ..#... #####.",
    "...... ...... ...... ...... ...... ......",
    // 3       4       5       6       7       8
    "...... ...... ...... ...... ...... ......",
    ".###.. #...#. #####. .###.. #####. .###..",
    "#...#. #...#. #..... #..... ....#. #...#.",
    "...#.. #####. ####.. ####.. ...#.. .###..",
    "....#. ....#. ....#. #...#. ..#... #...#.",
    "#...#. ....#. #...#. #...#. ..#... #...#.",
    ".###.. ....#. .###.. .###.. ..#... .###..",
    "...... ...... ...... ...... ...... ......",
    // 9       !
    "...... ......",
    ".###.. ...##.",
    "#...#. ..##..",
    ".####. .#....",
    "....#. ......",
    "....#. ......",
    "....#. ......",
    "...... #...#.",
};
static_assert(sizeof kFontRows / sizeof kFontRows[0] == (kGlyphs + kGroup - 1) / kGroup * 8, "8 rows a group");

}  // namespace

int32_t SB_LedGlyph(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A' + 1;
  if (c >= '0' && c <= '9') return c - '0' + 27;
  return c == '!' ? 37 : 0;
}

void SB_BuildLedFont() {
  for (int32_t g = 0; g < kGlyphs; ++g)
    for (int32_t col = 0; col < 6; ++col) {
      uint8_t bits = 0;
      for (int32_t r = 0; r < 8; ++r)
        if (kFontRows[g / kGroup * 8 + r][g % kGroup * 7 + col] == '#') bits |= static_cast<uint8_t>(0x80 >> r);
      SB_Var.Panels.Font[g][col] = bits;
    }
}

bool SB_PanelTarget(int32_t texture, TPANELTARGET* target) {
  if (texture < 0 || texture >= SB_MAXTEXTURES || texture >= SB_Var.NbTextures) return false;
  const TTEXTUREPLACE& p = SB_Var.TexturePlaces[texture];
  TPANELTARGET t{};
  t.Width = p.Width, t.Height = p.Height;
  if (SB_Var.Renderer == SB_RENDERER_PVR) {
    const TCARDTEXELS card = SB_CardTexels(p.PageNumber);
    if (!card.Pixels || p.X < 0 || p.Y < 0) return false;
    t.Card = card.Pixels, t.Side = card.Side, t.X = p.X, t.Y = p.Y;
    t.Width = std::min(t.Width, card.Side - p.X), t.Height = std::min(t.Height, card.Side - p.Y);
  } else {
    if (!p.Texels) return false;
    t.Texels = p.Texels;
    t.Bytes = SB_TextureBytes();
    t.Pitch = SB_TEXTUREPAGESIDE * t.Bytes;
    t.Width = std::min(t.Width, SB_TEXTUREPAGESIDE - p.X), t.Height = std::min(t.Height, SB_TEXTUREPAGESIDE - p.Y);
    if (t.Bytes != 1 && t.Bytes != 2) return false;
  }
  if (t.Width < 1 || t.Height < 1) return false;
  *target = t;
  return true;
}

void SB_RefreshPanelLevels(int32_t texture, int32_t x, int32_t y, int32_t w, int32_t h) {
  if (SB_Var.Renderer == SB_RENDERER_PVR || texture < 0 || texture >= SB_MAXTEXTURES || texture >= SB_Var.NbTextures)
    return;
  const TTEXTUREPLACE& p = SB_Var.TexturePlaces[texture];
  if (p.N || !p.Texels || x < 0 || y < 0) return;
  SB_ResampleTextureArea(p.PageNumber, p.X + x, p.Y + y, std::min(w, p.Width - x), std::min(h, p.Height - y));
}

uint32_t SB_GetPanelTexel(const TPANELTARGET& t, int32_t x, int32_t y) {
  if (t.Card) return t.Card[SB_TwiddledIndex(t.X + x, t.Y + y)];
  const uint8_t* p = t.Texels + static_cast<ptrdiff_t>(y) * t.Pitch + x * t.Bytes;
  return t.Bytes == 1 ? p[0] : static_cast<uint32_t>(p[0] | p[1] << 8);
}

void SB_PutPanelTexel(const TPANELTARGET& t, int32_t x, int32_t y, uint32_t texel) {
  if (t.Card) {
    t.Card[SB_TwiddledIndex(t.X + x, t.Y + y)] = static_cast<uint16_t>(texel);
    return;
  }
  uint8_t* p = t.Texels + static_cast<ptrdiff_t>(y) * t.Pitch + x * t.Bytes;
  p[0] = static_cast<uint8_t>(texel);
  if (t.Bytes == 2) p[1] = static_cast<uint8_t>(texel >> 8);
}

bool SB_PanelPageUsed(const TSOFTSCENE* view, int32_t texture) {
  if (texture < 0 || texture >= SB_MAXTEXTURES) return false;
  const TTEXTUREPLACE& p = SB_Var.TexturePlaces[texture];
  if (SB_Var.Renderer != SB_RENDERER_PVR) return p.UsedThisFrame != 0;
  return view && p.PageNumber > 0 && p.PageNumber < SB_NBTEXTURESLOTS &&
         (view->TextureUses[p.PageNumber] & ~SB_TEXTURE_CHANGED) != 0;
}

void SB_PutDotRow(const TPANELTARGET& t, int32_t x, int32_t y, bool lit, int32_t row) {
  if (y < 0 || y >= t.Height) return;
  const uint8_t* dots = SB_Var.Panels.Dots;
  for (int32_t c = 0; c < 4 && x + c < t.Width; ++c) {
    if (x + c < 0) continue;
    uint32_t texel;
    if (t.Card) {
      // Lit block first, each block twiddled: (T[c] << 1) | T[row] with T = 0, 1, 4, 5.
      constexpr int32_t kT[4] = {0, 1, 4, 5};
      const int32_t i = (lit ? 0 : SB_LEDDOTTEXELS) + (kT[c] << 1 | kT[row]);
      texel = static_cast<uint32_t>(dots[2 * i] | dots[2 * i + 1] << 8);
    } else if (t.Bytes == 1) {
      texel = dots[(lit ? SB_LEDDOTTEXELS : 0) + row * 4 + c];
    } else {
      const int32_t i = (lit ? SB_LEDDOTTEXELS : 0) + row * 4 + c;
      texel = static_cast<uint32_t>(dots[2 * i] | dots[2 * i + 1] << 8);
    }
    SB_PutPanelTexel(t, x + c, y, texel);
  }
}

void SB_DrawPanelSubColumn(const TPANELTARGET& t, int32_t x, uint8_t g, int32_t dot) {
  const int32_t rows = std::min(8 * dot, t.Height);
  for (int32_t y = 0; y < rows; ++y) SB_PutDotRow(t, x, y, (g >> (7 - y / dot)) & 1, y & 3);
}
