// The replays come with the vehicles; until then there is nothing to
// record or save. Weak, so that tests can put recording fakes in
// their place.
#include "vehicles/replays.h"

__attribute__((weak)) void SB_AllocCarsReplays() {}
__attribute__((weak)) int32_t SB_SaveCarReplay(const char*) { return 0; }
