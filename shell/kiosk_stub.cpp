// The kiosk mode comes with its own work; until then no information page
// is loaded. Weak, so that tests can put recording fakes in their place.
#include "shell/kiosk.h"

__attribute__((weak)) int32_t SB_LoadInfoPage() { return 1; }
__attribute__((weak)) int32_t SB_FreeInfoPage() { return 1; }
