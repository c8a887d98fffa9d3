// Display modes arrive with the display; nothing to set yet.
#include "engine3d/videomode.h"

void SB_SetDisplayMode(int32_t, int32_t, int32_t) {}
void SB_InitVideoModes() {}
