// The race fonts: a picture strip per font, cut into glyphs at wholly
// background columns, each glyph kept as runs of pixels of the font's
// bitmap at the screen's depth.
#include <cctype>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "engine3d/videotable.h"
#include "race/hud_internal.h"
#include "shell/owner.h"
#include "shell/sbvar.h"

TSBFONT SB_Fonts[SB_NBFONTS];

namespace {

constexpr const char* kFontBmapOwner = "s->fontsBmap";

// The slot as before any load: no tables, its constants and character map.
void SetUpSlot(int32_t slot) {
  TSBFONT& f = SB_Fonts[slot];
  std::memset(&f, 0, sizeof f);
  f.FileName = SB_FONTFILES[slot];
  f.NbGlyphs = SB_FONTGLYPHS[slot];
  f.Background = SB_FONTBACKINDEX;
  f.Spacing = SB_FONTSPACING[slot];
  f.Height = SB_FONTHEIGHTS[slot];
  std::memset(f.CharMap, SB_NOGLYPH, sizeof f.CharMap);
  for (int32_t g = 0; g < f.NbGlyphs; ++g) {
    const auto c = static_cast<unsigned char>(SB_FONTCHARS[g]);
    f.CharMap[c] = static_cast<uint8_t>(g);
    f.CharMap[std::tolower(c)] = static_cast<uint8_t>(g);
  }
}

bool Ink(const BMAP* strip, int32_t x, int32_t y, int32_t background) {
  return strip->Start[static_cast<ptrdiff_t>(y) * strip->ByteLen + x] != background;
}

bool ColumnHasInk(const BMAP* strip, int32_t x, int32_t background) {
  for (int32_t y = 0; y < strip->SizeY; ++y)
    if (Ink(strip, x, y, background)) return true;
  return false;
}

// Glyph spans from column 0; the scan never passes the strip's last
// column, and glyphs it does not reach stay empty.
void CutGlyphs(TSBFONT& f, const BMAP* strip) {
  int32_t column = 0, widest = 0;
  for (int32_t g = 0; g < f.NbGlyphs; ++g) {
    const int32_t first = column;
    while (column < strip->SizeX && ColumnHasInk(strip, column, f.Background)) ++column;
    f.Spans[g] = {first, column > first ? column - 1 : first};
    if (f.Spans[g].Last - first > widest) widest = f.Spans[g].Last - first;
    while (column < strip->SizeX && !ColumnHasInk(strip, column, f.Background)) ++column;
  }
  f.FixedWidth = widest + 1;
}

// Calls run(x, row, length) for each run of ink in the glyph's columns.
template <typename F>
void ForEachRun(const TSBFONT& f, const BMAP* strip, int32_t g, F&& run) {
  const int32_t first = f.Spans[g].First;
  const int32_t last = f.Spans[g].Last < strip->SizeX ? f.Spans[g].Last : strip->SizeX - 1;
  for (int32_t y = 0; y < strip->SizeY; ++y)
    for (int32_t x = first; x <= last;) {
      if (!Ink(strip, x, y, f.Background)) {
        ++x;
        continue;
      }
      const int32_t start = x;
      while (x <= last && Ink(strip, x, y, f.Background)) ++x;
      run(start - first, y, x - start);
    }
}

// Points every run at its pixels in the font bitmap.
void PointRuns(TSBFONT& f) {
  const int32_t bytes = f.Bmap->Depth / 8;
  for (int32_t g = 0; g < f.NbGlyphs; ++g)
    for (int32_t i = 0; i < f.Glyphs[g].Count; ++i) {
      TGLYPHRUN& r = f.Glyphs[g].Runs[i];
      r.Source = f.Bmap->Start + static_cast<ptrdiff_t>(r.Row) * f.Bmap->ByteLen +
                 static_cast<ptrdiff_t>(f.Spans[g].First + r.X) * bytes;
    }
}

bool BuildRuns(TSBFONT& f, const BMAP* strip) {
  f.Glyphs = static_cast<TGLYPHRUNS*>(
      SB_GetMem(f.NbGlyphs * static_cast<int32_t>(sizeof(TGLYPHRUNS)), "s->fontsData=SB_GetMem"));
  if (!f.Glyphs) return false;
  for (int32_t g = 0; g < f.NbGlyphs; ++g) {
    int32_t count = 0;
    ForEachRun(f, strip, g, [&](int32_t, int32_t, int32_t) { ++count; });
    if (!count) continue;
    char owner[64];
    std::snprintf(owner, sizeof owner, "s->fontsData[%ld]=SB_GetMem", static_cast<long>(g));
    auto* runs = static_cast<TGLYPHRUN*>(SB_GetMem(count * static_cast<int32_t>(sizeof(TGLYPHRUN)), owner));
    if (!runs) return false;
    f.Glyphs[g] = {0, runs};
    ForEachRun(f, strip, g, [&](int32_t x, int32_t row, int32_t length) {
      runs[f.Glyphs[g].Count++] = TGLYPHRUN{nullptr, length, x, row};
    });
  }
  PointRuns(f);
  return true;
}

}  // namespace

void SB_ResetHudFonts() {
  for (int32_t slot = 0; slot < SB_NBFONTS; ++slot) SetUpSlot(slot);
}

int32_t SB_LoadFont(int32_t slot) {
  if (slot < 0 || slot >= SB_NBFONTS) return 0;
  SB_FreeFont(slot);
  TSBFONT& f = SB_Fonts[slot];
  f.Source = SB_HudLoadPicture(f.FileName);
  if (f.Source) f.Bmap = SB_HudConvertedCopy(f.Source, 8, BMAP_PAL8, kFontBmapOwner);
  if (f.Bmap) f.Spans = static_cast<TGLYPHSPAN*>(SB_GetMem(f.NbGlyphs * 8, "s->fonts"));
  if (!f.Spans) {
    SB_FreeFont(slot);
    return 0;
  }
  f.Depth = 8;
  CutGlyphs(f, f.Bmap);
  if (!BuildRuns(f, f.Bmap)) {
    SB_FreeFont(slot);
    return 0;
  }
  f.Loaded = 1;
  return 1;
}

void SB_FreeFont(int32_t slot) {
  if (slot < 0 || slot >= SB_NBFONTS) return;
  TSBFONT& f = SB_Fonts[slot];
  if (f.Glyphs)
    for (int32_t g = 0; g < f.NbGlyphs; ++g) SB_HudRelease(f.Glyphs[g].Runs);
  SB_HudRelease(f.Glyphs);
  SB_HudRelease(f.Spans);
  SB_FreeBmap(f.Bmap);
  SB_FreeBmap(f.Source);
  SetUpSlot(slot);
}

void SB_InitFonts() {
  SB_SelectFont(0);
  for (int32_t slot = 0; slot < SB_NBFONTS; ++slot) SB_LoadFont(slot);
  SB_Hud.TextScreenLocked = 0;
  SB_FreeFontSources();
}

void SB_DisposeFonts() {
  for (int32_t slot = 0; slot < SB_NBFONTS; ++slot) SB_FreeFont(slot);
}

void SB_FreeFontSources() {
  for (TSBFONT& f : SB_Fonts) {
    SB_FreeBmap(f.Source);
    f.Source = nullptr;
  }
}

void SB_RemapFonts() {
  const TVIDEOMODE* mode = SB_GetSelectedVideoMode();
  if (!mode) return;
  for (int32_t slot = 0; slot < SB_NBFONTS; ++slot) {
    TSBFONT& f = SB_Fonts[slot];
    if (!f.Loaded || f.Depth == mode->Depth) continue;
    if (!f.Source) f.Source = SB_HudLoadPicture(f.FileName);
    // The runs keep their places, so the strip must not have changed size.
    BMAP* b = f.Source && f.Source->SizeX == f.Bmap->SizeX && f.Source->SizeY == f.Bmap->SizeY
                  ? SB_HudConvertedCopy(f.Source, mode->Depth, mode->Format, kFontBmapOwner)
                  : nullptr;
    if (!b) {
      SB_FreeFont(slot);
      continue;
    }
    SB_FreeBmap(f.Bmap);
    f.Bmap = b;
    f.Depth = mode->Depth;
    PointRuns(f);
  }
  SB_FreeFontSources();
}

void SB_SelectFont(int32_t slot) {
  if (slot >= 0 && slot < SB_NBFONTS) SB_Var.CurrentFont = &SB_Fonts[slot];
}

int32_t SB_GetFontHeight(int32_t slot) { return slot >= 0 && slot < SB_NBFONTS ? SB_Fonts[slot].Height : 0; }
