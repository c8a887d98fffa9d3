// The road generator and the paint editor come with the editors; until
// then there is nothing to run. Weak, so that tests can put recording
// fakes in their place.
#include "tools/tools.h"

__attribute__((weak)) void MakeRoad(const char*) {}
__attribute__((weak)) void SB_CarPaintEditor(BMAP*, int32_t) {}
