// The polygon conversion of the map construction, until it is built: it
// makes nothing. Weak, so that tests can put a recording fake in place.
#include "track/scene.h"

__attribute__((weak)) int32_t SB_ConvertAscToDec(TLMAP*) { return 1; }
