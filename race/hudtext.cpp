// The HUD's text drawer: printf formatting with a bound, the font and
// fixed-width markup, glyphs copied run by run and clipped to the
// destination, and the overlay's lock.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "race/hud_internal.h"
#include "shell/sbvar.h"

namespace {

// Every glyph sits on the baseline of font 0, this far below the text's y.
constexpr int32_t kBaseline = 31;
// On an overlay this narrow, fonts 0 and 1 give way to the next smaller one.
constexpr int32_t kNarrowOverlay = 320;
constexpr size_t kTextSize = SB_HUDMESSAGESIZE;

const TSBFONT* MarkupFont(char digit) {
  if (digit < '0' || digit > '2') return nullptr;
  int32_t slot = digit - '0';
  if (SB_Var.TextScreen && SB_Var.TextScreen->SizeX == kNarrowOverlay && slot < 2) ++slot;
  return &SB_Fonts[slot];
}

int32_t GlyphWidth(const TSBFONT* font, int32_t glyph) {
  if (!font->Spans) return 0;
  return font->Spans[glyph].Last - font->Spans[glyph].First;
}

// Walks the text with the pen, drawing into the bitmap when one is given;
// the pen's advance.
int64_t Walk(const char* text, BMAP* bmap, int32_t x, int32_t y) {
  const TSBFONT* font = SB_Var.CurrentFont;
  bool fixed = false;
  int64_t pen = 0;
  for (const char* c = text; *c; ++c) {
    if (*c == '$') {
      fixed = !fixed;
      continue;
    }
    if (*c == '*') {
      if (!c[1]) break;  // a markup without its digit is dropped
      if (const TSBFONT* f = MarkupFont(c[1])) font = f;
      ++c;
      continue;
    }
    if (*c == ' ') {
      pen += (fixed ? font->FixedWidth : GlyphWidth(font, 0)) + font->Spacing;
      continue;
    }
    const uint8_t glyph = font->CharMap[static_cast<unsigned char>(*c)];
    if (glyph != SB_NOGLYPH && glyph < font->NbGlyphs) {
      const int64_t gx = x + pen, gy = int64_t{y} + kBaseline - font->Height;
      if (bmap && gx >= INT32_MIN && gx <= INT32_MAX && gy >= INT32_MIN && gy <= INT32_MAX)
        SB_DrawGlyph(font, bmap, glyph, static_cast<int32_t>(gx), static_cast<int32_t>(gy));
      pen += fixed ? font->FixedWidth : GlyphWidth(font, glyph);
    }
    pen += font->Spacing;
  }
  return pen;
}

bool FontReady() { return SB_Var.CurrentFont && SB_Var.CurrentFont->Loaded; }

}  // namespace

void SB_DrawText(BMAP* bmap, int32_t x, int32_t y, const char* format, ...) {
  if (!bmap || !format || !FontReady()) return;
  char text[kTextSize];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (!text[0]) return;
  if (SB_Hud.Observer) SB_Hud.Observer(bmap, x, y, text);
  Walk(text, bmap, x, y);
}

int32_t SB_GetTextWidth(const char* format, ...) {
  if (!format || !FontReady()) return 0;
  char text[kTextSize];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return static_cast<int32_t>(std::clamp<int64_t>(Walk(text, nullptr, 0, 0), INT32_MIN, INT32_MAX));
}

void SB_DrawGlyph(const TSBFONT* font, BMAP* bmap, int32_t glyph, int32_t x, int32_t y) {
  if (!font || !font->Loaded || !bmap || !bmap->Start || glyph < 0 || glyph >= font->NbGlyphs) return;
  // Pixels are copied as they are, so the destination must share the
  // font's depth.
  const int32_t bytes = SB_HudBytesPerPixel(font->Bmap);
  if (!bytes || bmap->Depth != font->Depth) return;
  const TGLYPHRUNS& runs = font->Glyphs[glyph];
  for (int32_t i = 0; i < runs.Count; ++i) {
    const TGLYPHRUN& r = runs.Runs[i];
    const int64_t row = int64_t{y} + r.Row;
    if (row < 0 || row >= bmap->SizeY) continue;
    const int64_t left = int64_t{x} + r.X;
    const int64_t from = std::max<int64_t>(left, 0);
    const int64_t to = std::min<int64_t>(left + r.Length, bmap->SizeX);
    if (from >= to) continue;
    std::memcpy(bmap->Start + row * bmap->ByteLen + from * bytes, r.Source + (from - left) * bytes,
                static_cast<size_t>((to - from) * bytes));
  }
}

void SB_SetTextObserver(SB_TEXTOBSERVER observer) { SB_Hud.Observer = observer; }

void SB_LockTextScreen() {
  if (SB_Hud.TextScreenLocked || !SB_Var.TextScreen) return;
  LS_LockBmap(SB_Var.TextScreen);
  SB_Hud.TextScreenLocked = 1;
}

void SB_UnlockTextScreen() {
  if (!SB_Hud.TextScreenLocked) return;
  if (SB_Var.TextScreen) LS_UnlockBmap(SB_Var.TextScreen);
  SB_Hud.TextScreenLocked = 0;
}

int32_t SB_IsTextScreenLocked() { return SB_Hud.TextScreenLocked; }
