// The intro pictures until the attract-picture work that builds them: they
// load and free nothing. Weak, so that the real ones replace them.
#include "frontend/intropicts.h"

__attribute__((weak)) void SB_LoadIntroPicts() {}
__attribute__((weak)) void SB_FreeIntroPicts() {}
