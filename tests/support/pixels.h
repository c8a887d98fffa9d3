// Reading a bitmap's pixels back in tests.
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

}  // namespace ztest
