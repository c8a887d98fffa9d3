// The centre line, until the track exists: no points are ever loaded.
// Weak, so that tests can put recording fakes in their place.
#include "track/bspline.h"

__attribute__((weak)) void SB_FreeBsplinePoints() {}
