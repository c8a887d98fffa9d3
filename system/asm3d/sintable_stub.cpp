// The cosine table is built with the rest of the fixed-point 3D library.
#include "system/asm3d/zidade3d.h"

void LS_InitSinTable() {}
void LS_Close3D() {}
