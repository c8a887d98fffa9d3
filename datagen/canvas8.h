// An 8-bit picture being drawn: clipped pixels, filled boxes, frames and
// lines in integers, so that every run writes the same bytes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "datagen/pcxwrite.h"

namespace datagen {

struct Canvas8 {
  Picture8 p;
  void Set(int x, int y, uint8_t c) {
    if (x >= 0 && y >= 0 && x < p.width && y < p.height) p.pixels[static_cast<size_t>(y * p.width + x)] = c;
  }
  void Fill(int x1, int y1, int x2, int y2, uint8_t c) {
    for (int y = y1; y <= y2; ++y)
      for (int x = x1; x <= x2; ++x) Set(x, y, c);
  }
  void Frame(int x1, int y1, int x2, int y2, uint8_t c) {
    Fill(x1, y1, x2, y1, c), Fill(x1, y2, x2, y2, c), Fill(x1, y1, x1, y2, c), Fill(x2, y1, x2, y2, c);
  }
  void Line(int x0, int y0, int x1, int y1, uint8_t c) {
    const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    for (int i = 0; i <= steps; ++i)
      Set(x0 + (steps ? (x1 - x0) * i / steps : 0), y0 + (steps ? (y1 - y0) * i / steps : 0), c);
  }
};

}  // namespace datagen
