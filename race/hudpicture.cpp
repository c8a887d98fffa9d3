// The HUD's picture and layout helpers.
#include <cstdio>

#include "race/hud_internal.h"
#include "shell/gamepicture.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/file.h"
#include "system/lsvar.h"
#include "system/picture.h"

namespace {

constexpr double kXScales[] = {0.5, 0.8, 1.0, 1.25};
constexpr double kYScales[] = {0.4166667, 0.5, 0.8, 0.8333333, 1.0, 1.25};
constexpr int64_t kPhase = 300;  // ms

}  // namespace

BMAP* SB_HudLoadPicture(const char* name) { return SB_LoadTga(name); }

BMAP* SB_HudConvertedCopy(const BMAP* picture, int32_t depth, int32_t format, const char* owner) {
  BMAP* b = SB_CreateBmap(picture->SizeX, picture->SizeY, depth, 0, owner);
  if (!b) return nullptr;
  PIXELFORMAT pf;
  LS_GetPixelFormat(&pf, format);
  if (format && static_cast<int32_t>(pf.BitsPerPixel) == depth) b->Format = format;
  b->Palette = SB_Var.Pal3d;
  LS_Bitmove(const_cast<BMAP*>(picture), b, 0, 0, picture->SizeX - 1, picture->SizeY - 1, 0, 0,
             LS_BLIT_OPAQUE);
  return b;
}

void SB_HudRelease(void* block) {
  if (block) SB_Release(block);
}

const PALETTE* SB_HudPalette() { return SB_Var.Pal3d ? SB_Var.Pal3d : &LS_Var.Palette; }

int32_t SB_HudNearestColor(const PALETTE* palette, int32_t r, int32_t g, int32_t b) {
  int32_t best = 0;
  int64_t bestDistance = INT64_MAX;
  for (int32_t i = 0; i < 256; ++i) {
    const LS_RGB& c = palette->Entry[i];
    const int64_t dr = c.Red - r, dg = c.Green - g, db = c.Blue - b;
    const int64_t distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

int32_t SB_HudBytesPerPixel(const BMAP* bmap) {
  if (!bmap) return 0;
  return bmap->Depth == 8 ? 1 : bmap->Depth == 16 ? 2 : 0;
}

double SB_HudXScale() {
  const int32_t c = SB_Var.HudWidthClass;
  return c >= 0 && c < 4 ? kXScales[c] : 1.0;
}

double SB_HudYScale() {
  const int32_t c = SB_Var.HudHeightClass;
  return c >= 0 && c < 6 ? kYScales[c] : 1.0;
}

bool SB_HudOddPhase(int64_t ms) { return (ms / kPhase) % 2 != 0; }

void SB_HudCentred(int32_t width, int32_t y, const char* text) {
  SB_DrawText(SB_Var.TextScreen, (width - SB_GetTextWidth("%s", text)) / 2, y, "%s", text);
}
