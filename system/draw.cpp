// Drawing on bitmaps: rectangle fills, boxes, lines and single pixels.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "system/bmap.h"
#include "system/pixel.h"
#include "system/win/ddsurface.h"

namespace {

struct Box {
  int32_t x1, y1, x2, y2;
};

// Orders the corners and clamps them to the bitmap; false when the
// rectangle lies wholly outside.
bool ClipBox(const BMAP* bmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2, Box* box) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  if (x2 < 0 || y2 < 0 || x1 >= bmap->SizeX || y1 >= bmap->SizeY) return false;
  *box = {std::max(x1, 0), std::max(y1, 0), std::min(x2, bmap->SizeX - 1), std::min(y2, bmap->SizeY - 1)};
  return true;
}

// The colour as it repeats along a row: the low byte four times for 8 bits,
// the low half twice for 16.
uint32_t Replicate(uint32_t colour, int32_t depth) {
  if (depth == 8) return (colour & 0xFF) * 0x01010101u;
  if (depth == 16) return (colour & 0xFFFF) * 0x00010001u;
  return colour;
}

void FillMemory(BMAP* bmap, const Box& box, uint32_t colour) {
  const int32_t bpp = LSI_BytesPerPixel(bmap);
  const int32_t width = box.x2 - box.x1 + 1;
  uint8_t* first = LSI_PixelAt(bmap, box.x1, box.y1);
  // One row is laid down pixel by pixel, the others are copies of it.
  for (int32_t i = 0; i < width; ++i) LSI_StorePixel(first + i * bpp, bpp, colour);
  for (int32_t y = box.y1 + 1; y <= box.y2; ++y)
    std::memcpy(LSI_PixelAt(bmap, box.x1, y), first, static_cast<size_t>(width * bpp));
}

void InvertMemory(BMAP* bmap, const Box& box) {
  const int32_t bytes = (box.x2 - box.x1 + 1) * LSI_BytesPerPixel(bmap);
  for (int32_t y = box.y1; y <= box.y2; ++y) {
    uint8_t* row = LSI_PixelAt(bmap, box.x1, y);
    for (int32_t i = 0; i < bytes; ++i) row[i] = static_cast<uint8_t>(~row[i]);
  }
}

void InvertRect(BMAP* bmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  Box box;
  if (!ClipBox(bmap, x1, y1, x2, y2, &box)) return;
  LS_LockBmap(bmap);
  if (bmap->Start) InvertMemory(bmap, box);
  LS_UnlockBmap(bmap);
}

bool Inside(const BMAP* bmap, int32_t x, int32_t y) {
  return x >= 0 && y >= 0 && x < bmap->SizeX && y < bmap->SizeY;
}

// Outcodes of the line clipper.
constexpr int kLeft = 1, kRight = 2, kTop = 4, kBottom = 8;

int OutCode(const BMAP* bmap, int64_t x, int64_t y) {
  int code = 0;
  if (x < 0) code |= kLeft;
  if (x >= bmap->SizeX) code |= kRight;
  if (y < 0) code |= kTop;
  if (y >= bmap->SizeY) code |= kBottom;
  return code;
}

// Wide enough for the product of two coordinate differences.
__extension__ using Wide = __int128;

// The other coordinate where the line from (a1, b1) to (a2, b2) reaches a.
int64_t Cross(int64_t a1, int64_t b1, int64_t a2, int64_t b2, int64_t a) {
  return static_cast<int64_t>(b1 + static_cast<Wide>(b2 - b1) * (a - a1) / (a2 - a1));
}

// Moves the ends onto the bitmap's edges where the line crosses them;
// false when nothing of the line is left.
bool ClipLine(const BMAP* bmap, int64_t& x1, int64_t& y1, int64_t& x2, int64_t& y2) {
  const int64_t right = bmap->SizeX - 1, bottom = bmap->SizeY - 1;
  for (int pass = 0; pass < 8; ++pass) {
    const int c1 = OutCode(bmap, x1, y1), c2 = OutCode(bmap, x2, y2);
    if (!(c1 | c2)) return true;
    if (c1 & c2) return false;  // both ends on the same outer side
    const int c = c1 ? c1 : c2;
    int64_t x, y;
    if (c & kTop) {
      x = Cross(y1, x1, y2, x2, 0), y = 0;
    } else if (c & kBottom) {
      x = Cross(y1, x1, y2, x2, bottom), y = bottom;
    } else if (c & kLeft) {
      y = Cross(x1, y1, x2, y2, 0), x = 0;
    } else {
      y = Cross(x1, y1, x2, y2, right), x = right;
    }
    if (c == c1)
      x1 = x, y1 = y;
    else
      x2 = x, y2 = y;
  }
  return false;
}

// Midpoint line along the major axis, both ends included.
void PlotLine(BMAP* bmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
  const int32_t bpp = LSI_BytesPerPixel(bmap);
  const int32_t dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
  const int32_t sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
  int32_t error = dx - dy;
  for (;;) {
    if (Inside(bmap, x1, y1)) LSI_StorePixel(LSI_PixelAt(bmap, x1, y1), bpp, colour);
    if (x1 == x2 && y1 == y2) return;
    const int32_t twice = 2 * error;
    if (twice > -dy) error -= dy, x1 += sx;
    if (twice < dx) error += dx, y1 += sy;
  }
}

}  // namespace

void LS_FillRect(BMAP* bmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
  Box box;
  if (!bmap || !ClipBox(bmap, x1, y1, x2, y2, &box)) return;
  colour = Replicate(colour, bmap->Depth);
  // An unlocked surface is filled by the display; a locked one (its
  // pixels in use by the caller) and a memory bitmap directly.
  if (LSI_IsSurfaceBmap(bmap) && bmap->LockCount == 0) {
    FillRect(bmap, box.x1, box.y1, box.x2, box.y2, colour);
    return;
  }
  LS_LockBmap(bmap);
  if (bmap->Start) FillMemory(bmap, box, colour);
  LS_UnlockBmap(bmap);
}

void LS_ClearBmap(BMAP* bmap) {
  if (bmap) LS_FillRect(bmap, 0, 0, bmap->SizeX - 1, bmap->SizeY - 1, 0);
}

void LS_DrawBox(BMAP* bmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour, int32_t flags) {
  if (!bmap) return;
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  auto edge = [&](int32_t a1, int32_t b1, int32_t a2, int32_t b2) {
    if (flags & LS_BOX_INVERTED)
      InvertRect(bmap, a1, b1, a2, b2);
    else
      LS_FillRect(bmap, a1, b1, a2, b2, colour);
  };
  const bool filled = flags & LS_BOX_FILLED, rounded = flags & LS_BOX_ROUNDED;
  if (filled && rounded) {
    edge(x1 + 3, y1, x2 - 3, y1);
    edge(x1 + 1, y1 + 1, x2 - 1, y1 + 1);
    edge(x1, y1 + 2, x2, y2 - 2);
    edge(x1 + 1, y2 - 1, x2 - 1, y2 - 1);
    edge(x1 + 3, y2, x2 - 3, y2);
  } else if (filled) {
    edge(x1, y1, x2, y2);
  } else if (rounded) {
    edge(x1 + 3, y1, x2 - 3, y1);
    edge(x1 + 3, y2, x2 - 3, y2);
    edge(x1, y1 + 2, x1, y2 - 2);
    edge(x2, y1 + 2, x2, y2 - 2);
    edge(x1 + 1, y1 + 1, x1 + 2, y1 + 1);
    edge(x2 - 2, y1 + 1, x2 - 1, y1 + 1);
    edge(x1 + 1, y2 - 1, x1 + 2, y2 - 1);
    edge(x2 - 2, y2 - 1, x2 - 1, y2 - 1);
  } else {
    edge(x1, y1, x2, y1);
    edge(x1, y2, x2, y2);
    edge(x1, y1, x1, y2);
    edge(x2, y1, x2, y2);
  }
}

void LS_DrawLine(BMAP* bmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
  if (!bmap) return;
  if (x1 == x2 || y1 == y2) {
    LS_FillRect(bmap, x1, y1, x2, y2, colour);
    return;
  }
  int64_t a1 = x1, b1 = y1, a2 = x2, b2 = y2;
  if (!ClipLine(bmap, a1, b1, a2, b2)) return;
  LS_LockBmap(bmap);
  if (bmap->Start)
    PlotLine(bmap, static_cast<int32_t>(a1), static_cast<int32_t>(b1), static_cast<int32_t>(a2),
             static_cast<int32_t>(b2), colour);
  LS_UnlockBmap(bmap);
}

uint32_t LS_GetPixel(BMAP* bmap, int32_t x, int32_t y) {
  if (!bmap || !Inside(bmap, x, y)) return 0;
  uint32_t value = 0;
  LS_LockBmap(bmap);
  if (bmap->Start) value = LSI_LoadPixel(LSI_PixelAt(bmap, x, y), LSI_BytesPerPixel(bmap));
  LS_UnlockBmap(bmap);
  return value;
}

void LS_PutPixel8(BMAP* bmap, int32_t x, int32_t y, uint32_t colour) {
  if (!bmap || bmap->Depth != 8 || !Inside(bmap, x, y)) return;
  LS_LockBmap(bmap);
  if (bmap->Start) *LSI_PixelAt(bmap, x, y) = static_cast<uint8_t>(colour);
  LS_UnlockBmap(bmap);
}
