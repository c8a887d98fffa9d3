// CD audio.
#pragma once
#include <cstdint>

int32_t LSI_InitCD();
int32_t LSI_CloseCD();
