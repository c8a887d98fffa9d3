// The CD music of the menus and races.
#pragma once
#include <cstdint>

int32_t SB_StartCdMusic();
int32_t SB_StopCdMusic();
