// The graphic system over the display: start and end, cooperative level,
// display and video modes with the screen bitmaps, enumeration,
// capabilities, format codes and the vertical blank.
#include <cstring>

#include "platform/display.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/graphic.h"
#include "system/lsvar.h"
#include "system/palette.h"
#include "system/win/shell.h"

namespace {

// The desktop's depth when graphics started.
int32_t g_startDepth = 0;

uint32_t Width(uint32_t mask) {
  uint32_t bits = 0;
  for (; mask; mask >>= 1) bits += mask & 1;
  return bits;
}

void FreeScreens() {
  BMAP* back = LS_Var.BackScreen;
  BMAP* front = LS_Var.Screen;
  LS_Var.Screen = LS_Var.BackScreen = nullptr;
  LS_FreeBmap(back);
  LS_FreeBmap(front);
}

// The framed style: the desktop's mode, a window of the desktop's depth.
int32_t FramedDisplay(int32_t depth) {
  plat::RestoreDisplayMode();
  int32_t level = plat::kCoopNormal;
  if (depth == g_startDepth) {
    LS_Var.ScreenMode = 1;
  } else {
    LS_Message("To Optimize the performance ... \n switch the screen in (%d bit ) color mode", depth);
    level = plat::kCoopExclusive;
  }
  return plat::SetCooperativeLevel(level) == plat::kDisplayOk ? 1 : 0;
}

}  // namespace

void LSI_InitGraphic() {
  FreeScreens();
  LS_Var.ScreenMode = 1;
  const plat::DisplayResult opened = plat::OpenDisplay();
  if (opened != plat::kDisplayOk) {
    LS_Error(7, " : InitGraphicSystem, %s", LSYS_GetDDrawErrorText(opened));
    return;
  }
  g_startDepth = static_cast<int32_t>(plat::GetDesktopMode().format.bitsPerPixel);
  LSYS_SetCooperative();
  LS_ResetPalette();
}

void LSI_CloseGraphic() {
  FreeScreens();
  plat::RestoreDisplayMode();
  plat::CloseDisplay();
  LSYS_ClosePaletteSystem();
}

int32_t LSYS_SetCooperative() {
  plat::DisplayResult result;
  if (LS_Var.Style != LSYS_STYLE_FRAMED && !LSI_Var.Debug) {
    result = plat::SetCooperativeLevel(plat::kCoopExclusive);
  } else {
    result = plat::SetCooperativeLevel(plat::kCoopNormal);
    if (result == plat::kDisplayOk) result = plat::CreateClipper();
  }
  if (result == plat::kDisplayOk) return 1;
  LS_Error(7, " : cooperative failed");
  return 0;
}

int32_t LSYS_SetDisplayMode(int32_t width, int32_t height, int32_t depth, int32_t mode) {
  // A window shows only the desktop's depth.
  int32_t style = mode & 0xFF00;
  if (depth != LSYS_DesktopDepth) style = LSYS_STYLE_FULLSCREEN;
  LSYS_SetWindowStyle(width, height, style);
  const bool framed = LS_Var.Style == LSYS_STYLE_FRAMED;
  if (!framed && LSI_Var.Debug) return 1;  // the desktop's mode is kept
  if (framed) return FramedDisplay(depth);
  const plat::DisplayResult result = plat::ChangeDisplayMode(width, height, depth);
  if (result != plat::kDisplayOk) {
    LS_Message("%s", LSYS_GetDDrawErrorText(result));
    return 0;
  }
  return 1;
}

int32_t LSYS_SetVideoMode(int32_t width, int32_t height, int32_t depth, int32_t mode) {
  if (LSI_RefuseWhileLocked("LSYS_SetVideoMode")) return 0;
  LS_Var.ScreenMode = mode & 0xFF;
  FreeScreens();
  // A mode the display refuses leaves it in the one it had: the screens
  // are still made, so that the program keeps a screen to draw on.
  if (!LSYS_SetDisplayMode(width, height, depth, mode))
    LS_Error(9, "LSYS_SetVideoMode %ld %ld %ld", static_cast<long>(width), static_cast<long>(height),
             static_cast<long>(depth));
  LS_Var.Screen = LS_CreateBmap(width, height, depth, BMAP_FRONTSCREEN);
  if (!LS_Var.Screen) {
    LS_Error(9, "Init LS_Var.Screen failed");
    return 0;
  }
  if (LS_Var.ScreenMode == 1) return 0;
  LS_Var.BackScreen = LS_CreateBmap(width, height, depth, LSI_Var.Debug ? BMAP_SYSMEM : BMAP_BACKSCREEN);
  if (!LS_Var.BackScreen) LS_Error(9, "Init LS_Var.BackScreen failed");
  return 0;
}

void LS_EnumVideoModes(LS_VIDEOMODEPROC callback) {
  if (!callback) return;
  plat::EnumDisplayModes(
      [](const plat::DisplayMode& mode, void* context) {
        BMAP record;
        std::memset(&record, 0, sizeof record);
        record.SizeX = mode.width;
        record.SizeY = mode.height;
        record.Depth = static_cast<int32_t>(mode.format.bitsPerPixel);
        record.Format = static_cast<int32_t>(LSYS_GetFormatCode(mode.format));
        if (!record.Format) return;
        if (LSI_Var.Debug && LS_Var.Screen && LS_Var.Screen->Depth == record.Depth)
          record.Format = LS_Var.Screen->Format;
        (*static_cast<LS_VIDEOMODEPROC*>(context))(&record);
      },
      &callback);
}

int32_t LS_GetVideoModeCaps(VIDEOCAPS* caps) {
  if (!caps) return 0;
  std::memset(caps, 0, sizeof *caps);
  if (!plat::DisplayOpen()) {
    LS_Error(9, " : LS_GetVideoModeCaps");
    return 0;
  }
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

void LSYS_WaitVbl() { plat::WaitForVerticalBlank(); }
void LS_WaitVbl() { LSYS_WaitVbl(); }
