// The paint editor comes with the car editors; until then there is
// nothing to run. Weak, so that tests can put a recording fake in its
// place.
#include "tools/tools.h"

__attribute__((weak)) void SB_CarPaintEditor(BMAP*, int32_t) {}
