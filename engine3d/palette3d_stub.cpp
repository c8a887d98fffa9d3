// The error-diffusion conversion arrives with the 3D palette; until then it
// converts nothing. Weak, so that tests can put a recording fake in its
// place.
#include "engine3d/palette3d.h"

__attribute__((weak)) void SB_FloydBmap24to8(BMAP*, BMAP*, int32_t, int32_t, int32_t, int32_t, int32_t,
                                             int32_t) {}
