// The graphic system before a display exists: a display with hardware
// support and nothing to open or close.
#include <cstring>

#include "system/graphic.h"

void LSI_InitGraphic() {}
void LSI_CloseGraphic() {}

int32_t LS_GetVideoModeCaps(VIDEOCAPS* caps) {
  if (!caps) return 0;
  std::memset(caps, 0, sizeof *caps);
  caps->Hardware = 1;
  return 1;
}
