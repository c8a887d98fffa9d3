// CD audio.
#pragma once
#include <cstdint>

int32_t LSI_InitCD();
int32_t LSI_CloseCD();
// The end-of-play notification, passed on by the window procedure.
int32_t LSI_CDNotify(uint32_t code);
