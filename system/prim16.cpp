// The 16-bit primitives of a drawing window: pixel, Bresenham line and the
// outlines of triangles and quadrangles.
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "system/asm3d/zidade3d.h"

namespace {

void Store16(uint8_t* base, ptrdiff_t offset, uint16_t value) { std::memcpy(base + offset, &value, 2); }

// A line from (x, y) with `major` steps along one axis, moving `minorStep`
// bytes along the other whenever the error term is at least 0.
void Bresenham(uint8_t* base, ptrdiff_t offset, ptrdiff_t majorStep, ptrdiff_t minorStep, int64_t major,
               int64_t minor, uint16_t colour) {
  int64_t error = 2 * minor - major;
  for (int64_t i = 0; i <= major; ++i) {
    Store16(base, offset, colour);
    offset += majorStep;
    if (error >= 0) {
      offset += minorStep;
      error += 2 * (minor - major);
    } else {
      error += 2 * minor;
    }
  }
}
}  // namespace

void LS_Plot16(const _WINDOW* window, int32_t x, int32_t y, uint32_t colour) {
  Store16(window->W_ADDRESS,
          static_cast<ptrdiff_t>(y) * window->W_BMAP->ByteLen + 2 * static_cast<ptrdiff_t>(x),
          static_cast<uint16_t>(colour));
}

// Drawn from the end with the smaller y (the smaller x on a horizontal
// line), so a line and its reverse set the same pixels.
void LS_Line16(const _WINDOW* window, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
  if (y1 > y2 || (y1 == y2 && x1 > x2)) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  const ptrdiff_t pitch = window->W_BMAP->ByteLen;
  const int64_t dx = static_cast<int64_t>(x2) - x1, dy = static_cast<int64_t>(y2) - y1;
  const ptrdiff_t across = dx < 0 ? -2 : 2;
  const ptrdiff_t start = static_cast<ptrdiff_t>(y1) * pitch + 2 * static_cast<ptrdiff_t>(x1);
  const uint16_t c = static_cast<uint16_t>(colour);
  if (std::llabs(dx) >= dy)
    Bresenham(window->W_ADDRESS, start, across, pitch, std::llabs(dx), dy, c);
  else
    Bresenham(window->W_ADDRESS, start, pitch, across, dy, std::llabs(dx), c);
}

void LS_Triangle16(const _WINDOW* window, const _TGRAPH* face, const _TGRAPHV* vertices) {
  LSI_DrawOutline(window, vertices, 3, face->G_COLOR, LS_Line16);
}

void LS_Quadrangle16(const _WINDOW* window, const _TGRAPH* face, const _TGRAPHV* vertices) {
  LSI_DrawOutline(window, vertices, 4, face->G_COLOR, LS_Line16);
}
