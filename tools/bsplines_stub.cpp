// The editors' centre-line tools, until they exist: there is no centre
// line to load or save, and no per-metre table is ever made. Weak, so that tests can put recording fakes in their place.
#include "tools/bsplines.h"

__attribute__((weak)) void SB_FreeBsplinesMeters() {}
__attribute__((weak)) int32_t SB_LoadBsplines(const char*) { return 0; }
__attribute__((weak)) void SB_SaveBsplines(const char*) {}
__attribute__((weak)) void SB_SaveBsplinesMeters(const char*) {}
