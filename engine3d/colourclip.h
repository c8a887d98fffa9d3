// The clipping shared by the colour conversions' copies.
#pragma once
#include <algorithm>
#include <cstdint>

#include "system/bmap.h"

// Cuts the source rectangle (corners inclusive) and its place (x, y) in the
// destination to both bitmaps: a negative corner or place moves the other
// by as much. False when nothing is left.
inline bool E3D_ClipCopy(const BMAP* src, const BMAP* dst, int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2,
                         int32_t& x, int32_t& y) {
  int64_t sx1 = x1, sy1 = y1, sx2 = x2, sy2 = y2, dx = x, dy = y;
  const int64_t shiftX = std::max<int64_t>({0, -sx1, -dx}), shiftY = std::max<int64_t>({0, -sy1, -dy});
  sx1 += shiftX, dx += shiftX, sy1 += shiftY, dy += shiftY;
  sx2 = std::min<int64_t>({sx2, src->SizeX - 1, sx1 + dst->SizeX - 1 - dx});
  sy2 = std::min<int64_t>({sy2, src->SizeY - 1, sy1 + dst->SizeY - 1 - dy});
  if (sx2 < sx1 || sy2 < sy1) return false;
  x1 = static_cast<int32_t>(sx1), y1 = static_cast<int32_t>(sy1), x2 = static_cast<int32_t>(sx2);
  y2 = static_cast<int32_t>(sy2), x = static_cast<int32_t>(dx), y = static_cast<int32_t>(dy);
  return true;
}
