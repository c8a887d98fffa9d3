// The graphic system: start, end and the display's capabilities.
#pragma once
#include <cstdint>

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
