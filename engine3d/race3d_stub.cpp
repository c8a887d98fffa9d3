// The parts of the 3D engine the race calls that are not built yet: the 3D
// palette is made in memory, and every other call has no map, texture,
// object or accelerator to act on. Weak, so that tests can put recording fakes in their place.
#include "engine3d/race3d.h"
#include "race/types.h"
#include "shell/console.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/palette.h"
#include "track/decor.h"

namespace {

// A colour cube of 6 x 7 x 6 levels, then greys, and the race fonts'
// background at the last entry.
void FillPalette(PALETTE* palette) {
  for (int32_t i = 0; i < 252; ++i)
    palette->Entry[i] = {static_cast<uint8_t>(i / 42 * 63 / 5), static_cast<uint8_t>(i / 6 % 7 * 63 / 6),
                         static_cast<uint8_t>(i % 6 * 63 / 5)};
  for (int32_t i = 252; i < 255; ++i) {
    const uint8_t grey = static_cast<uint8_t>((i - 251) * 16);
    palette->Entry[i] = {grey, grey, grey};
  }
  palette->Entry[255] = {SB_FONTBACK_RED / 4, SB_FONTBACK_GREEN / 4, SB_FONTBACK_BLUE / 4};
}

}  // namespace




__attribute__((weak)) int32_t SB_LoadPalette3d(const char*) {
  if (SB_Var.Pal3d) {
    SB_ConsolePrintf("Tried to load pal3d twice...");
    return 1;
  }
  SB_Var.Pal3d = LS_AllocPalette();
  if (!SB_Var.Pal3d) return 0;
  FillPalette(SB_Var.Pal3d);
  return 1;
}

__attribute__((weak)) void SB_FreePalette3d() {
  if (SB_Var.Pal3d) LS_FreePalette(SB_Var.Pal3d);
  SB_Var.Pal3d = nullptr;
}

__attribute__((weak)) void POWER_LoadScarsTexture() {}
__attribute__((weak)) void POWER_FreeScarsTexture() {}

__attribute__((weak)) void SB_UpdateCameraZoneFactor() {}
__attribute__((weak)) void POWER_BeginFrame(_WINDOW*, TSOFTSCENE*) {}
__attribute__((weak)) void POWER_ClipViewPolygons(_WINDOW*, TSOFTSCENE*) {}
__attribute__((weak)) int32_t POWER_DrawPolygonOutlines(TSOFTSCENE*) { return 0; }
__attribute__((weak)) void POWER_RenderMap(TSOFTSCENE*, TCAMERA*, _WINDOW*) {}
__attribute__((weak)) void POWER_RenderFrame(_WINDOW*, TSOFTSCENE*) {}

__attribute__((weak)) void SB_DrawObject(TSOFTSCENE*, _WINDOW*, OBJECT*, TCAMERA*, TCAR*, const double*, int32_t,
                                         int32_t, uint32_t) {}
__attribute__((weak)) void SB_DrawObjectDirect(TSOFTSCENE*, _WINDOW*, OBJECT*, TCAMERA*, TCAR*, int32_t) {}
