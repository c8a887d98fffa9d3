// The graphic system before video modes exist: the display stays in its
// current mode, screens are made by whoever needs them, and graphics start
// and end set up and close the palettes and free the screens.
#include <cstring>

#include "platform/display.h"
#include "system/bmap.h"
#include "system/graphic.h"
#include "system/lsvar.h"

namespace {

uint32_t Width(uint32_t mask) {
  uint32_t bits = 0;
  for (; mask; mask >>= 1) bits += mask & 1;
  return bits;
}

}  // namespace

void LSI_InitGraphic() {
  LS_FreeBmap(LS_Var.Screen);
  LS_Var.ScreenMode = 1;
  LS_Var.Screen = LS_Var.BackScreen = nullptr;
  LS_ResetPalette();
}

void LSI_CloseGraphic() {
  BMAP* back = LS_Var.BackScreen;
  BMAP* front = LS_Var.Screen;
  LS_Var.Screen = LS_Var.BackScreen = nullptr;
  LS_FreeBmap(back);
  LS_FreeBmap(front);
  LSYS_ClosePaletteSystem();
}

int32_t LS_GetVideoModeCaps(VIDEOCAPS* caps) {
  if (!caps) return 0;
  std::memset(caps, 0, sizeof *caps);
  const plat::DisplayCaps display = plat::GetDisplayCaps();
  const plat::DisplayMode mode = plat::GetDisplayMode();
  caps->VidMemFree = display.videoMemoryFree;
  caps->VidMemTotal = display.videoMemoryTotal;
  caps->RedMask = mode.format.redMask;
  caps->GreenMask = mode.format.greenMask;
  caps->BlueMask = mode.format.blueMask;
  caps->Format = LSYS_GetFormatCode(mode.format);
  caps->Hardware = display.hardware ? 1 : 0;
  return 1;
}

uint32_t LSYS_GetFormatCode(const plat::PixelFormat& f) {
  if (f.indexed) return f.bitsPerPixel == 8 ? 2 : f.bitsPerPixel == 4 ? 1 : 0;
  const uint32_t r = Width(f.redMask), g = Width(f.greenMask), b = Width(f.blueMask), a = Width(f.alphaMask);
  const bool swapped = f.redMask < f.blueMask;
  if (f.bitsPerPixel == 16 && r == 5 && g == 5 && b == 5)
    return a ? (swapped ? 512 : 8) : (swapped ? 256 : 4);
  if (f.bitsPerPixel == 16 && r == 5 && g == 6 && b == 5 && !a) return swapped ? 1024 : 16;
  if (r == 8 && g == 8 && b == 8) {
    if (f.bitsPerPixel == 24 && !a) return swapped ? 2048 : 32;
    if (f.bitsPerPixel == 32) return a ? (swapped ? 4096 : 64) : (swapped ? 8192 : 128);
  }
  return 0;
}
