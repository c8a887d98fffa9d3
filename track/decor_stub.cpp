// No map is loaded until the track exists, so there is nothing to free.
// Weak, so that tests can put a recording fake in its place.
#include "track/decor.h"

__attribute__((weak)) void SB_FreeDecor() {}
