// The twiddle table of the accelerator's textures: the effects that draw
// into a card texture's preprocessed texels find texel (x, y) at
// (TwiddleTable[x] << 1) | TwiddleTable[y].
#include "engine3d/power.h"
#include "shell/sbvar.h"

void SB_InitTwiddleTable() {
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t spread = 0;
    for (uint32_t k = 0; k < 8; ++k) spread |= ((i >> k) & 1) << (2 * k);
    SB_Var.TwiddleTable[i] = static_cast<uint16_t>(spread);
  }
}
