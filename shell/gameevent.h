// The game's event pump and key state.
#pragma once
#include <cstdint>

void SB_UpdateEvent();
// 1 while the key (a virtual-key code) is held, else 0.
int32_t SB_KeyDown(int32_t key);
