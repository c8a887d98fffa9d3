// The cosine table shared by every fixed-point rotation of the program.
#include <cmath>
#include <numbers>

#include "system/asm3d/zidade3d.h"

int16_t LS_CosTable[LS_COSTABLESIZE];

// Entry i is cos(i x 2 pi / 4096) x 16384 truncated toward zero, so the
// quarter turns come out exactly 0 and the extremes exactly +-16384.
void LS_InitSinTable() {
  for (int32_t i = 0; i < LS_COSTABLESIZE; ++i) {
    const double radians = i * 2.0 * std::numbers::pi / LS_COSTABLESIZE;
    LS_CosTable[i] = static_cast<int16_t>(std::trunc(std::cos(radians) * LS_FIXONE));
  }
}

void LS_Init3D() { LS_InitSinTable(); }

void LS_Close3D() {}
