// The graphic system: start and end, the cooperative level, display modes
// and the screen bitmaps, mode enumeration, the display's capabilities and
// format, and the vertical blank.
#pragma once
#include <cstdint>

namespace plat {
struct PixelFormat;
}
struct BMAP;

void LSI_InitGraphic();
// Also used by the fatal error path to give the display back.
void LSI_CloseGraphic();

// Ties the display to the main window: exclusive full screen, or (framed,
// or with the Debug switch) normal with a clipper; 0 after error 7.
int32_t LSYS_SetCooperative();
// The mode word: screen mode in bits 0-7 (1: a front screen only; n: n - 1
// back buffers), window style in bits 8-15 (256: framed).
int32_t LSYS_SetDisplayMode(int32_t width, int32_t height, int32_t depth, int32_t mode);
// Sets the mode and makes LS_Var.Screen (and LS_Var.BackScreen); returns
// 0. Refused while a bitmap is locked.
int32_t LSYS_SetVideoMode(int32_t width, int32_t height, int32_t depth, int32_t mode);

// Called with each display mode: a record of which only SizeX, SizeY,
// Depth and Format are filled.
using LS_VIDEOMODEPROC = void (*)(BMAP* mode);
void LS_EnumVideoModes(LS_VIDEOMODEPROC callback);

struct VIDEOCAPS {
  uint32_t VidMemFree;
  uint32_t VidMemTotal;
  uint32_t RedMask;
  uint32_t GreenMask;
  uint32_t BlueMask;
  uint32_t Format;
  uint32_t BankSwitched;
  uint32_t Hardware;
};
int32_t LS_GetVideoModeCaps(VIDEOCAPS* caps);

// The bitmap format code of a display pixel format; 0 when it has none.
uint32_t LSYS_GetFormatCode(const plat::PixelFormat& format);

// Waits for the start of the next vertical blank.
void LS_WaitVbl();
void LSYS_WaitVbl();
