// The decor objects come with the scenery; until then a decor script
// loads nothing. Weak, so that tests can put a recording fake in its place.
#include "scenery/decorobjects.h"

__attribute__((weak)) void LoadObjectScript(const char*) {}
// Until the scripts exist there is none to restart.
__attribute__((weak)) void SB_ResetDecorScripts() {}
