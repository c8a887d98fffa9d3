// Display modes arrive with the display; nothing to set yet, and the
// full-screen switch is refused. Switch requests are counted for tests.
#include "engine3d/videomode.h"
#include "engine3d/videomode_stub.h"

namespace {
int32_t g_toggles = 0;
}

void SB_SetDisplayMode(int32_t, int32_t, int32_t) {}
void SB_InitVideoModes() {}

int32_t SB_ToggleFullScreen() {
  ++g_toggles;
  return 0;
}

int32_t SB_ToggleRequests() { return g_toggles; }
void SB_ResetToggleRequests() { g_toggles = 0; }
