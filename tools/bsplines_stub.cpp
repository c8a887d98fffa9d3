// The editors' centre-line tools, until they exist: no per-metre table is
// ever made. Weak, so that tests can put recording fakes in their place.
#include "tools/bsplines.h"

__attribute__((weak)) void SB_FreeBsplinesMeters() {}
