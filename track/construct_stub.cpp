// The later stages of the map construction, until they are built: the
// polygon conversion makes nothing, the cube split and the visibility sets
// do nothing. Weak, so that tests can put recording fakes in place.
#include "track/scene.h"

__attribute__((weak)) void SB_SplitMap2Cube(TLMAP*, TLMAP*) {}
__attribute__((weak)) void SB_SplitMap2CubeBig(TLMAP*, TLMAP*) {}
__attribute__((weak)) void SB_3D_BuildPvs() {}
