// The registry settings come with their own work; until then a race reads
// none and puts no text into the menu items. Weak, so that tests can put
// recording fakes in their place.
#include "shell/settings.h"

__attribute__((weak)) void SB_ReadSettings() {}
__attribute__((weak)) void SB_FreeMenuItemTexts() {}
