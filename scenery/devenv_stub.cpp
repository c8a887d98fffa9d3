// The decor objects as the console's tear-down uses them, until they
// exist: nothing is loaded, so nothing is freed. Weak, so that tests can
// put recording fakes in their place.
#include "scenery/devenv.h"

__attribute__((weak)) void SB_FreeDecorNames() {}
__attribute__((weak)) void SB_FreeDecorObjects() {}
