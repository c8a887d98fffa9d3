// Display modes until the video-mode table exists: the display is put in
// the mode asked for, full screen, and the screen is cleared.
#include "engine3d/videomode.h"
#include "system/bmap.h"
#include "system/graphic.h"
#include "system/lsvar.h"

void SB_SetDisplayMode(int32_t width, int32_t height, int32_t depth) {
  LSYS_SetVideoMode(width, height, depth, 1);
  LS_ClearBmap(LS_Var.Screen);
}
