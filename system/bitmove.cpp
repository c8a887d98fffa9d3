// Clipped copies between bitmaps: opaque, transparent and alpha-blended.
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "system/bmap.h"
#include "system/pixel.h"
#include "system/win/ddsurface.h"

namespace {

struct Copy {
  int64_t x1, y1, x2, y2, x, y;
};

// One axis of the clip: a negative start moves the destination, a negative
// destination moves the start, and the end is cut to both bitmaps.
void ClipAxis(int64_t& start, int64_t& end, int64_t& to, int64_t sourceSize, int64_t destinationSize) {
  if (start < 0) to -= start, start = 0;
  if (to < 0) start -= to, to = 0;
  end = std::min({end, start - to + destinationSize - 1, sourceSize - 1});
}

// Orders the corners and clips the copy; false when nothing is copied.
bool ClipCopy(const BMAP* source, const BMAP* destination, Copy& c) {
  if (c.x1 > c.x2) std::swap(c.x1, c.x2);
  if (c.y1 > c.y2) std::swap(c.y1, c.y2);
  if (c.x2 < 0 || c.y2 < 0 || c.x1 >= source->SizeX || c.y1 >= source->SizeY || c.x >= destination->SizeX ||
      c.y >= destination->SizeY)
    return false;
  ClipAxis(c.x1, c.x2, c.x, source->SizeX, destination->SizeX);
  ClipAxis(c.y1, c.y2, c.y, source->SizeY, destination->SizeY);
  return c.x2 >= c.x1 && c.y2 >= c.y1;
}

// Copies the pixels of a row that are not 0, each one whole.
template <int Bytes>
void CopyKeyedRow(uint8_t* to, const uint8_t* from, int32_t width) {
  for (int32_t i = 0; i < width; ++i, to += Bytes, from += Bytes)
    if (LSI_LoadPixel(from, Bytes) != 0) std::memcpy(to, from, Bytes);
}

void CopyKeyed(uint8_t* to, const uint8_t* from, int32_t width, int32_t bytes) {
  switch (bytes) {
    case 1: CopyKeyedRow<1>(to, from, width); break;
    case 2: CopyKeyedRow<2>(to, from, width); break;
    case 3: CopyKeyedRow<3>(to, from, width); break;
    default: CopyKeyedRow<4>(to, from, width); break;
  }
}

// The copy between accessible bitmaps of one format. Within one bitmap
// the rows go in the order that never reads a row already written.
void CopyRows(BMAP* source, BMAP* destination, const Copy& c, bool transparent) {
  const int32_t bpp = LSI_BytesPerPixel(source);
  const int32_t width = static_cast<int32_t>(c.x2 - c.x1 + 1);
  const int32_t height = static_cast<int32_t>(c.y2 - c.y1 + 1);
  const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(bpp);
  const bool same = source == destination;
  const bool upward = same && c.y > c.y1;
  std::vector<uint8_t> buffer(same && transparent ? rowBytes : 0);
  for (int32_t k = 0; k < height; ++k) {
    const int32_t j = upward ? height - 1 - k : k;
    const uint8_t* from = LSI_PixelAt(source, static_cast<int32_t>(c.x1), static_cast<int32_t>(c.y1) + j);
    uint8_t* to = LSI_PixelAt(destination, static_cast<int32_t>(c.x), static_cast<int32_t>(c.y) + j);
    if (!transparent) {
      std::memmove(to, from, rowBytes);
      continue;
    }
    if (same) {
      std::memcpy(buffer.data(), from, rowBytes);
      from = buffer.data();
    }
    CopyKeyed(to, from, width, bpp);
  }
}

// source x a + destination x (1 - a), truncated.
uint32_t Blend(float a, uint32_t source, uint32_t destination) {
  return static_cast<uint32_t>(
      static_cast<int32_t>(static_cast<float>(source) * a + static_cast<float>(destination) * (1.0f - a)));
}

// Blends one 32-bit source pixel (components 8 bits, alpha in the top
// byte) into a destination pixel of the given format.
uint32_t BlendPixel(uint32_t alpha, uint32_t r, uint32_t g, uint32_t b, uint32_t d, int32_t format) {
  const float a = static_cast<float>(alpha) * 0.003921569f;
  switch (format) {
    case BMAP_RGB555:
      return (Blend(a, r >> 3, (d >> 10) & 31) & 31) << 10 | (Blend(a, g >> 3, (d >> 5) & 31) & 31) << 5 |
             (Blend(a, b >> 3, d & 31) & 31);
    case BMAP_RGB565:
      // Green is blended at five bits in the top of its six.
      return (Blend(a, r >> 3, (d >> 11) & 31) & 31) << 11 | (Blend(a, g >> 3, (d >> 6) & 31) & 31) << 6 |
             (Blend(a, b >> 3, d & 31) & 31);
    case BMAP_XRGB8888:
    case BMAP_ARGB8888: {
      const uint32_t rgb = (Blend(a, r, (d >> 16) & 255) & 255) << 16 |
                           (Blend(a, g, (d >> 8) & 255) & 255) << 8 | (Blend(a, b, d & 255) & 255);
      return format == BMAP_XRGB8888 ? rgb : rgb | std::max(alpha, d >> 24) << 24;
    }
    default: return d;
  }
}

void BlendRows(BMAP* source, BMAP* destination, const Copy& c) {
  PIXELFORMAT sf;
  LS_GetPixelFormat(&sf, source->Format);
  if (!sf.RedMask) LS_GetPixelFormat(&sf, BMAP_ARGB8888);
  const int32_t out = LSI_BytesPerPixel(destination);
  for (int64_t j = 0; j <= c.y2 - c.y1; ++j) {
    const uint8_t* from = LSI_PixelAt(source, static_cast<int32_t>(c.x1), static_cast<int32_t>(c.y1 + j));
    uint8_t* to = LSI_PixelAt(destination, static_cast<int32_t>(c.x), static_cast<int32_t>(c.y + j));
    for (int64_t i = 0; i <= c.x2 - c.x1; ++i, from += 4, to += out) {
      const uint32_t s = LSI_LoadPixel(from, 4);
      const uint32_t alpha = s >> 24;
      if (alpha == 0) continue;
      const uint32_t r = (s & sf.RedMask) >> sf.RedShift, g = (s & sf.GreenMask) >> sf.GreenShift,
                     b = (s & sf.BlueMask) >> sf.BlueShift;
      LSI_StorePixel(to, out, BlendPixel(alpha, r, g, b, LSI_LoadPixel(to, out), destination->Format));
    }
  }
}

bool Blendable(int32_t format) {
  return format == BMAP_RGB555 || format == BMAP_RGB565 || format == BMAP_XRGB8888 || format == BMAP_ARGB8888;
}

}  // namespace

bool LSI_ClipBitmove(const BMAP* source, const BMAP* destination, int32_t& x1, int32_t& y1, int32_t& x2,
                     int32_t& y2, int32_t& x, int32_t& y) {
  Copy c{x1, y1, x2, y2, x, y};
  if (!source || !destination || !ClipCopy(source, destination, c)) return false;
  x1 = static_cast<int32_t>(c.x1), y1 = static_cast<int32_t>(c.y1);
  x2 = static_cast<int32_t>(c.x2), y2 = static_cast<int32_t>(c.y2);
  x = static_cast<int32_t>(c.x), y = static_cast<int32_t>(c.y);
  return true;
}

void LS_Bitmove(BMAP* source, BMAP* destination, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x,
                int32_t y, int32_t mode) {
  if (!LSI_ClipBitmove(source, destination, x1, y1, x2, y2, x, y)) return;
  if (mode == LS_BLIT_ALPHA) {
    LS_AlphaBitmove(source, destination, x1, y1, x2, y2, x, y);
    return;
  }
  // Pixels of one format but of two sizes (a format code set by hand) go
  // through the conversion, which reads and writes each at its own size.
  if (source->Format != destination->Format || source->Depth != destination->Depth) {
    LSI_BitmoveConvert(source, destination, x1, y1, x2, y2, x, y, mode);
    return;
  }
  if (Bitmove256(source, destination, x1, y1, x2, y2, x, y, mode)) return;
  LS_LockBmap(source);
  LS_LockBmap(destination);
  if (source->Start && destination->Start)
    CopyRows(source, destination, Copy{x1, y1, x2, y2, x, y}, (mode & LS_BLIT_TRANSPARENT) != 0);
  LS_UnlockBmap(destination);
  LS_UnlockBmap(source);
}

void LS_AlphaBitmove(BMAP* source, BMAP* destination, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                     int32_t x, int32_t y) {
  if (!LSI_ClipBitmove(source, destination, x1, y1, x2, y2, x, y)) return;
  if (source->Depth != 32 || !Blendable(destination->Format)) return;
  if (destination->Depth != 16 && destination->Depth != 32) return;
  LS_LockBmap(source);
  LS_LockBmap(destination);
  if (source->Start && destination->Start) BlendRows(source, destination, Copy{x1, y1, x2, y2, x, y});
  LS_UnlockBmap(destination);
  LS_UnlockBmap(source);
}
