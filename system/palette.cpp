// Palettes: allocation, the current palette, and the nearest-colour search.
#include "system/palette.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "system/bmap.h"
#include "system/heap.h"
#include "system/lsvar.h"

LSI_COLORSEARCH LSI_ColorSearch;

namespace {

// A 6-bit component, as the display's converter reads it: the low six
// bits, whatever else the byte holds.
uint8_t Component(const LS_RGB& c, int which) {
  const uint8_t v = which == 0 ? c.Red : which == 1 ? c.Green : c.Blue;
  return v & 63;
}

void BuildSearch(const PALETTE& palette) {
  LSI_COLORSEARCH& s = LSI_ColorSearch;
  for (int c = 0; c < 3; ++c) {
    uint8_t* sorted = s.Sorted[c];
    std::iota(sorted, sorted + 256, 0);
    std::stable_sort(sorted, sorted + 256, [&](uint8_t a, uint8_t b) {
      return Component(palette.Entry[a], c) < Component(palette.Entry[b], c);
    });
    std::fill(s.Run[c], s.Run[c] + 64, LSI_NORUN);
    for (uint32_t pos = 0; pos < 256; ++pos) {
      uint32_t& run = s.Run[c][Component(palette.Entry[sorted[pos]], c)];
      run = run == LSI_NORUN ? pos + pos * 256 : (run & 255) + pos * 256;
    }
  }
  s.Palette = palette;
  s.Built = 1;
  s.Current = 1;
  ++s.Builds;
}

}  // namespace

PALETTE* LS_AllocPalette() {
  PALETTE* palette = static_cast<PALETTE*>(LS_GetMem(LS_PALETTESIZE));
  if (!palette) return nullptr;
  std::memset(palette, 0, sizeof *palette);
  ++LSI_Var.NbPal;
  return palette;
}

void LS_FreePalette(PALETTE* palette) {
  if (!palette) return;
  --LSI_Var.NbPal;
  LS_Release(palette);
}

void LS_SetPalette(const PALETTE* palette) {
  if (!palette)
    std::memset(&LS_Var.Palette, 0, sizeof LS_Var.Palette);
  else if (palette != &LS_Var.Palette)
    std::memcpy(&LS_Var.Palette, palette, sizeof LS_Var.Palette);
  LSI_ForgetColorTables();
  if (LS_Var.Screen && LS_Var.Screen->Depth == 8) LSYS_ApplyPalette();
}

void LS_ResetPalette() {
  LS_Var.Palette.Entry[0] = {0, 0, 0};
  LS_Var.Palette.Entry[255] = {63, 63, 63};
  InitPaletteSystem();
}

void LSI_ForgetColorTables() {
  LSI_ColorSearch.Current = 0;
  LSI_RemapTable.Built = 0;
}

void LS_InitColorSearch(const PALETTE* palette) {
  if (!palette) return;
  const LSI_COLORSEARCH& s = LSI_ColorSearch;
  if (s.Current && std::memcmp(&s.Palette, palette, sizeof *palette) == 0) return;
  BuildSearch(*palette);
}

int32_t LS_FindNearestColor(int32_t r, int32_t g, int32_t b) {
  if (r < 0 || r > 63 || g < 0 || g > 63 || b < 0 || b > 63) return 0;
  const LSI_COLORSEARCH& s = LSI_ColorSearch;
  if (!s.Built) return 0;
  // Each entry counts down once per component, when the search reaches
  // that component's distance; the first to reach 0 lies within d on all
  // three, and none lies within d - 1.
  uint8_t left[256];
  std::fill(left, left + 256, 3);
  auto visit = [&](int c, int32_t value) -> int32_t {
    if (value < 0 || value > 63) return -1;
    const uint32_t run = s.Run[c][value];
    if (run == LSI_NORUN) return -1;
    for (uint32_t pos = run & 255; pos <= run >> 8; ++pos) {
      const uint8_t index = s.Sorted[c][pos];
      if (--left[index] == 0) return index;
    }
    return -1;
  };
  visit(0, r);
  visit(1, g);
  if (const int32_t hit = visit(2, b); hit >= 0) return hit;
  for (int32_t d = 1; d <= 63; ++d) {
    const int32_t order[6][2] = {{0, r - d}, {0, r + d}, {1, g - d}, {1, g + d}, {2, b - d}, {2, b + d}};
    for (const auto& step : order)
      if (const int32_t hit = visit(step[0], step[1]); hit >= 0) return hit;
  }
  return 0;
}
