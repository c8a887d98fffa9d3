// What the video-mode stand-in was asked, for tests.
#pragma once
#include <cstdint>

// Full-screen switch requests since the last reset.
int32_t SB_ToggleRequests();
void SB_ResetToggleRequests();
