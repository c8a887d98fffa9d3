// Display modes and the renderer's video-mode table.
#pragma once
#include <cstdint>

void SB_SetDisplayMode(int32_t width, int32_t height, int32_t depth);
void SB_InitVideoModes();
// Switches between full screen and a window; 1 when switched, 0 when refused.
int32_t SB_ToggleFullScreen();
