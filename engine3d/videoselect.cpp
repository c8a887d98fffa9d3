// The selected row of the video-mode table (the closing all-zero row for
// an index past the table). Weak, so that tests can put a fake in its
// place.
#include "engine3d/videotable.h"
#include "shell/sbvar.h"

__attribute__((weak)) const TVIDEOMODE* SB_GetSelectedVideoMode() {
  const int32_t i = SB_Var.VideoModeIndex;
  return &SB_Var.VideoModes[i >= 0 && i < SB_CountVideoModes() ? i : SB_NBVIDEOMODES];
}
