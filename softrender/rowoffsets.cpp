// The row start offsets of the view being filled. Weak, so that the video
// mode tests can record the call in its place.
#include "softrender/softrender.h"

int32_t E3D_RowOffsets[600];

__attribute__((weak)) void E3D_SetRowOffsets(int32_t bytesPerLine) {
  for (int32_t row = 0; row < 600; ++row) E3D_RowOffsets[row] = row * bytesPerLine;
}
