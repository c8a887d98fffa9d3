// A line clipped to a drawing window, drawn through the window's line
// primitive.
#include <algorithm>

#include "system/asm3d/zidade3d.h"

namespace {

// The end points in 64 bits: the crossing products of far-off ends, such
// as (y1 - y2) x x1, do not fit in 32.
struct Segment {
  int64_t x1, y1, x2, y2;
};

bool OutsideX(const Segment& s, int64_t w) { return (s.x1 < 0 && s.x2 < 0) || (s.x1 >= w && s.x2 >= w); }
bool OutsideY(const Segment& s, int64_t h) { return (s.y1 < 0 && s.y2 < 0) || (s.y1 >= h && s.y2 >= h); }

// Cuts the segment at x = 0 and x = w - 1. Each crossing lies between the
// two ends, so every value stays within the range of the original ones.
void ClipX(Segment& s, int64_t w) {
  if (s.x1 < 0) {
    s.y1 += (s.y1 - s.y2) * s.x1 / (s.x2 - s.x1);
    s.x1 = 0;
  }
  if (s.x2 >= w) {
    s.y2 = s.y1 + (w - 1 - s.x1) * (s.y2 - s.y1) / (s.x2 - s.x1);
    s.x2 = w - 1;
  }
  if (s.x2 < 0) {
    s.y2 = s.y1 + (s.y1 - s.y2) * s.x1 / (s.x2 - s.x1);
    s.x2 = 0;
  }
  if (s.x1 >= w) {
    s.y1 += (w - 1 - s.x1) * (s.y2 - s.y1) / (s.x2 - s.x1);
    s.x1 = w - 1;
  }
}

// The same cuts at y = 0 and y = h - 1.
void ClipY(Segment& s, int64_t h) {
  if (s.y1 < 0) {
    s.x1 += (s.x1 - s.x2) * s.y1 / (s.y2 - s.y1);
    s.y1 = 0;
  }
  if (s.y2 >= h) {
    s.x2 = s.x1 + (h - 1 - s.y1) * (s.x2 - s.x1) / (s.y2 - s.y1);
    s.y2 = h - 1;
  }
  if (s.y2 < 0) {
    s.x2 = s.x1 + (s.x1 - s.x2) * s.y1 / (s.y2 - s.y1);
    s.y2 = 0;
  }
  if (s.y1 >= h) {
    s.x1 += (h - 1 - s.y1) * (s.x2 - s.x1) / (s.y2 - s.y1);
    s.y1 = h - 1;
  }
}

}  // namespace

void LS_WinLine(_WINDOW* window, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
  if (!window || !window->W_ADDRESS || !window->W_PRIMITIVE) return;
  const int64_t w = window->W_WIDTH, h = window->W_HEIGHT;
  if (w <= 0 || h <= 0) return;
  Segment s{x1, y1, x2, y2};
  // Lines wholly outside go before the clamping below, which would
  // otherwise pull a horizontal or vertical one onto the border.
  if (OutsideX(s, w) || OutsideY(s, h)) return;
  if (s.y1 == s.y2 || s.x1 == s.x2) {
    s.x1 = std::clamp<int64_t>(s.x1, 0, w - 1);
    s.x2 = std::clamp<int64_t>(s.x2, 0, w - 1);
    s.y1 = std::clamp<int64_t>(s.y1, 0, h - 1);
    s.y2 = std::clamp<int64_t>(s.y2, 0, h - 1);
  }
  ClipX(s, w);
  if (OutsideY(s, h)) return;
  ClipY(s, h);
  window->W_PRIMITIVE->Line(window, static_cast<int32_t>(s.x1), static_cast<int32_t>(s.y1),
                            static_cast<int32_t>(s.x2), static_cast<int32_t>(s.y2), colour);
}
