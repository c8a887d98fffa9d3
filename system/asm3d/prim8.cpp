// The 8-bit primitives of a drawing window: pixel, divide-once line and the
// outlines of triangles and quadrangles.
#include <cstddef>
#include <cstdlib>
#include <utility>

#include "system/asm3d/zidade3d.h"

namespace {

// Runs a pixel step `count` times: an odd one first, then a pair, then
// groups of four.
template <typename Step>
inline void Repeat(uint32_t count, Step step) {
  if (count & 1) step();
  if (count & 2) {
    step();
    step();
  }
  for (count >>= 2; count; --count) {
    step();
    step();
    step();
    step();
  }
}

// The per-pixel step of a line, 16 bits of fraction in the top half of a
// 32-bit value, so that its carry out of the accumulator is the move along
// the minor axis.
uint32_t Step(uint32_t minor, uint32_t major) {
  return static_cast<uint32_t>((static_cast<uint64_t>(minor) << 16) / major) << 16;
}
}  // namespace

void WI_PLOT8(const _WINDOW* window, int32_t x, int32_t y, uint32_t colour) {
  window->W_ADDRESS[static_cast<ptrdiff_t>(y) * window->W_BMAP->ByteLen + x] = static_cast<uint8_t>(colour);
}

// A divide-once line drawn downwards: one division, then one add per pixel
// whose carry moves the pixel along the minor axis. The accumulator starts
// at one half so the steps round to the nearest pixel. Pixels are reached
// by offsets from the first, so nothing points past the bitmap after the
// last one.
void WI_LINE8(const _WINDOW* window, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
  if (static_cast<uint32_t>(y1) >= static_cast<uint32_t>(y2)) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  const ptrdiff_t pitch = window->W_BMAP->ByteLen;
  uint8_t* const pixels = window->W_ADDRESS + static_cast<ptrdiff_t>(y1) * pitch + x1;
  const uint8_t c = static_cast<uint8_t>(colour);
  const uint32_t dy = static_cast<uint32_t>(y2) - static_cast<uint32_t>(y1);
  const int64_t signedDx = static_cast<int64_t>(x2) - x1;
  const uint32_t dx = static_cast<uint32_t>(std::llabs(signedDx));
  const ptrdiff_t across = signedDx < 0 ? -1 : 1;
  ptrdiff_t at = 0;
  uint32_t fraction = 0x80000000u;

  if (dx == dy) {
    Repeat(dx + 1, [&] {
      pixels[at] = c;
      at += pitch + across;
    });
  } else if (dx < dy && across > 0) {
    const uint32_t step = Step(dx, dy);
    Repeat(dy + 1, [&] {
      pixels[at] = c;
      const uint32_t sum = fraction + step;
      at += pitch + (sum < fraction);  // the carry moves one pixel right
      fraction = sum;
    });
  } else if (dx < dy) {
    const uint32_t step = Step(dx, dy);
    Repeat(dy + 1, [&] {
      pixels[at] = c;
      const uint32_t borrow = fraction < step;  // the borrow moves one pixel left
      fraction -= step;
      at += pitch - borrow;
    });
  } else {
    const uint32_t step = Step(dy, dx);
    Repeat(dx + 1, [&] {
      pixels[at] = c;
      const uint32_t sum = fraction + step;
      at += across + (-static_cast<ptrdiff_t>(sum < fraction) & pitch);  // the carry moves one line down
      fraction = sum;
    });
  }
}

void WI_TRIANGLE8(const _WINDOW* window, const _TGRAPH* face, const _TGRAPHV* vertices) {
  LSI_DrawOutline(window, vertices, 3, face->G_COLOR, WI_LINE8);
}

void WI_QUADRANGLE8(const _WINDOW* window, const _TGRAPH* face, const _TGRAPHV* vertices) {
  LSI_DrawOutline(window, vertices, 4, face->G_COLOR, WI_LINE8);
}
