// Until the video-mode table exists, the race runs in its default row:
// 640 x 480 x 16 with a 640 x 400 view, in the screen's 16-bit format
// (5-5-5 when the screen is not 16 bits deep). Weak, so that tests can put
// a fake in its place.
#include "engine3d/videotable.h"
#include "system/bmap.h"
#include "system/lsvar.h"

__attribute__((weak)) const TVIDEOMODE* SB_GetSelectedVideoMode() {
  static TVIDEOMODE mode;
  const BMAP* screen = LS_Var.Screen;
  const int32_t format = screen && screen->Depth == 16 ? screen->Format : BMAP_RGB555;
  mode = TVIDEOMODE{640, 480, 16, 224, 1.0f, 640, 400, 0, 40, 1, format, format, 16, 2};
  return &mode;
}
