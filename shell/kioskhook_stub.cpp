// The kiosk mode comes with its own work; until then there is no message
// hook to install. Weak, so that tests can put recording fakes in their
// place.
#include "shell/kiosk.h"

__attribute__((weak)) void SB_InstallKioskHook() {}
__attribute__((weak)) void SB_RemoveKioskHook() {}
