// Bitmaps made from pixel lists, and their pixels read back, in tests.
#pragma once
#include <cstdint>
#include <vector>

#include "system/bmap.h"
#include "system/pixel.h"

namespace ztest {

// The pixels of a bitmap of any depth, top row first, its padding left out.
inline std::vector<uint32_t> PixelsOf(BMAP* bmap) {
  std::vector<uint32_t> out;
  LS_LockBmap(bmap);
  for (int32_t y = 0; y < bmap->SizeY; ++y)
    for (int32_t x = 0; x < bmap->SizeX; ++x)
      out.push_back(LSI_LoadPixel(LSI_PixelAt(bmap, x, y), LSI_BytesPerPixel(bmap)));
  LS_UnlockBmap(bmap);
  return out;
}

// A memory bitmap of the depth holding the pixels, row after row.
inline BMAP* FilledBmap(int32_t width, int32_t height, int32_t depth, const std::vector<uint32_t>& pixels) {
  BMAP* b = LS_CreateBmap(width, height, depth, 0);
  LS_LockBmap(b);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      LSI_StorePixel(LSI_PixelAt(b, x, y), LSI_BytesPerPixel(b), pixels[static_cast<size_t>(y * width + x)]);
  LS_UnlockBmap(b);
  return b;
}

}  // namespace ztest
