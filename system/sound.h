// Sound effects: the manager's start and close, the beep and the primary
// output format.
#pragma once
#include <cstdint>

int32_t LSI_InitSound();
void LSI_CloseSound();
void LS_Beep();

struct SOUNDFORMAT {
  uint16_t Rate;
  uint16_t Channels;
  uint32_t Bits;
};
void SetSoundFormat(const SOUNDFORMAT* format);
