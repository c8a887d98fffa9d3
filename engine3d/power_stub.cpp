// The accelerator's lighting, until it exists: there are no shades to
// make. Weak, so that tests can put recording fakes in its place.
#include "engine3d/power.h"

__attribute__((weak)) void SB_RefreshLighting() {}
