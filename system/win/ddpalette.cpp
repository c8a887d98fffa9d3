// The display's side of palettes: the desktop's palette and the display's
// 8-bit palette object that shows the current palette on the front screen.
#include "platform/display.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/lsvar.h"
#include "system/palette.h"

namespace {

constexpr int32_t kFramedStyle = 256;
// The display's palette object; null before graphics start.
plat::Palette* g_displayPalette = nullptr;
PALETTE g_systemPalette;

}  // namespace

void InitPaletteSystem() {
  plat::PaletteEntry entries[plat::kPaletteSize];
  plat::GetSystemPaletteEntries(entries);
  for (int i = 0; i < plat::kPaletteSize; ++i)
    g_systemPalette.Entry[i] = {static_cast<uint8_t>(entries[i].red / 4),
                                static_cast<uint8_t>(entries[i].green / 4),
                                static_cast<uint8_t>(entries[i].blue / 4)};
  LSYS_ClosePaletteSystem();
  if (plat::CreatePalette(entries, &g_displayPalette) != plat::kDisplayOk) {
    g_displayPalette = nullptr;
    LS_Error(0, "InitPaletteSystem");
  }
}

void LSYS_ClosePaletteSystem() {
  plat::ReleasePalette(g_displayPalette);
  g_displayPalette = nullptr;
}

const PALETTE* LSYS_GetSystemPalette() { return &g_systemPalette; }

int32_t LSYS_GetReservedColors() { return LS_Var.Style == kFramedStyle || LSI_Var.Debug ? 20 : 0; }

void LSYS_ApplyPalette() {
  const BMAP* front = LS_Var.Screen;
  if (!front || !front->Surface || !g_displayPalette) return;
  plat::AttachPalette(front->Surface, g_displayPalette);
  // The desktop keeps half its reserved entries at each end.
  const int32_t first = LSYS_GetReservedColors() / 2;
  const int32_t last = 255 - first;
  plat::PaletteEntry entries[plat::kPaletteSize];
  for (int32_t i = first; i <= last; ++i) {
    const LS_RGB& c = LS_Var.Palette.Entry[i];
    entries[i] = {static_cast<uint8_t>((c.Red & 63) * 4), static_cast<uint8_t>((c.Green & 63) * 4),
                  static_cast<uint8_t>((c.Blue & 63) * 4), plat::kPaletteReserved};
  }
  plat::SetPaletteEntries(g_displayPalette, first, last - first + 1, &entries[first]);
}
