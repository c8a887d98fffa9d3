// Display modes until the video-mode table exists: the display is put in
// the mode asked for, full screen, and the screen is cleared; the
// full-screen switch is refused. The switch is weak, so that tests can put
// a recording fake in its place.
#include "engine3d/videomode.h"
#include "system/bmap.h"
#include "system/graphic.h"
#include "system/lsvar.h"

void SB_SetDisplayMode(int32_t width, int32_t height, int32_t depth) {
  LSYS_SetVideoMode(width, height, depth, 1);
  LS_ClearBmap(LS_Var.Screen);
}

__attribute__((weak)) int32_t SB_ToggleFullScreen() { return 0; }
