// Reading and writing single pixels of 1 to 4 bytes, and finding a pixel
// of a locked bitmap. Wide pixels are copied byte-wise, never read through
// a wider pointer, since rows of 24-bit pixels are not aligned.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "system/bmap.h"

inline uint32_t LSI_LoadPixel(const uint8_t* at, int32_t bytes) {
  switch (bytes) {
    case 1: return at[0];
    case 2: {
      uint16_t v;
      std::memcpy(&v, at, 2);
      return v;
    }
    case 3: return at[0] | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16;
    default: {
      uint32_t v;
      std::memcpy(&v, at, 4);
      return v;
    }
  }
}

inline void LSI_StorePixel(uint8_t* at, int32_t bytes, uint32_t value) {
  switch (bytes) {
    case 1: at[0] = static_cast<uint8_t>(value); break;
    case 2: {
      const uint16_t v = static_cast<uint16_t>(value);
      std::memcpy(at, &v, 2);
      break;
    }
    case 3:
      at[0] = static_cast<uint8_t>(value);
      at[1] = static_cast<uint8_t>(value >> 8);
      at[2] = static_cast<uint8_t>(value >> 16);
      break;
    default: std::memcpy(at, &value, 4); break;
  }
}

inline int32_t LSI_BytesPerPixel(const BMAP* bmap) { return bmap->Depth / 8; }

// The address of pixel (x, y); the bitmap must be accessible.
inline uint8_t* LSI_PixelAt(const BMAP* bmap, int32_t x, int32_t y) {
  return bmap->Start + static_cast<ptrdiff_t>(y) * bmap->ByteLen +
         static_cast<ptrdiff_t>(x) * LSI_BytesPerPixel(bmap);
}

// Rescales a component of `from` bits to `to` bits by shifting.
inline uint32_t LSI_ScaleComponent(uint32_t value, uint32_t from, uint32_t to) {
  return to >= from ? value << (to - from) : value >> (from - to);
}

// Orders the corners of a copy and clips it to both bitmaps; false when
// nothing is left to copy.
bool LSI_ClipBitmove(const BMAP* source, const BMAP* destination, int32_t& x1, int32_t& y1, int32_t& x2,
                     int32_t& y2, int32_t& x, int32_t& y);
