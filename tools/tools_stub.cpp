// The editors and tools come with their own work; until then there is no
// centre line to load or save and no editor to run. Weak, so that tests
// can put recording fakes in their place.
#include "tools/tools.h"

__attribute__((weak)) int32_t SB_LoadBsplines(const char*) { return 0; }
__attribute__((weak)) void SB_SaveBsplines(const char*) {}
__attribute__((weak)) void SB_SaveBsplinesMeters(const char*) {}
__attribute__((weak)) void MakeRoad(const char*) {}
__attribute__((weak)) void SB_CarPaintEditor(BMAP*, int32_t) {}
