// The graphic system: start, end, the display's capabilities and format.
#pragma once
#include <cstdint>

namespace plat {
struct PixelFormat;
}

void LSI_InitGraphic();
// Also used by the fatal error path to give the display back.
void LSI_CloseGraphic();

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
