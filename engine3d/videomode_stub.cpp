// Display modes arrive with the display; nothing to set yet, and the
// full-screen switch is refused. The switch is weak, so that tests can put
// a recording fake in its place.
#include "engine3d/videomode.h"

void SB_SetDisplayMode(int32_t, int32_t, int32_t) {}
void SB_InitVideoModes() {}

__attribute__((weak)) int32_t SB_ToggleFullScreen() { return 0; }
