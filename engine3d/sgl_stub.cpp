// No accelerator library answers yet, so there are no version records.
// Weak, so that tests can put fakes in their place.
#include "engine3d/sgl.h"

__attribute__((weak)) const TSGLVERSIONS* sgl_get_versions() { return nullptr; }
__attribute__((weak)) const TSGLWINVERSIONS* sgl_get_win_versions() { return nullptr; }
