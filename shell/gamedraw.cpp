// Blits, boxes and the clipped line of the game.
#include "shell/gamedraw.h"

#include <cmath>

#include "shell/hooks.h"
#include "system/asm3d/zidade3d.h"

void SB_Bitmove(BMAP* source, BMAP* destination, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x,
                int32_t y) {
  LS_Bitmove(source, destination, x1, y1, x2, y2, x, y, LS_BLIT_OPAQUE);
}

void SB_BitmoveTransparent(BMAP* source, BMAP* destination, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                           int32_t x, int32_t y) {
  LS_Bitmove(source, destination, x1, y1, x2, y2, x, y, LS_BLIT_TRANSPARENT);
}

void SB_BitmoveFloyd(BMAP* source, BMAP* destination, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                     int32_t x, int32_t y) {
  if (source && destination && source->Depth == 24 && destination->Depth == 8 && destination->Palette) {
    if (SB_Hooks.FloydBmap24to8)
      SB_Hooks.FloydBmap24to8(source, destination, 0, 0, source->SizeX - 1, source->SizeY - 1, 0, 0);
    return;
  }
  SB_Bitmove(source, destination, x1, y1, x2, y2, x, y);
}

void SB_DrawBox(BMAP* bmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour, int32_t flags) {
  LS_DrawBox(bmap, x1, y1, x2, y2, colour, flags);
}

void SB_FillRect(BMAP* bmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
  LS_FillRect(bmap, x1, y1, x2, y2, colour);
}

void SB_ClearBmap(BMAP* bmap) { LS_ClearBmap(bmap); }

int32_t SB_LineIntercept(int32_t a0, int32_t b0, int32_t a1, int32_t b1, int32_t a) {
  if (a1 == a0) return b0;
  const double along = (static_cast<double>(a) - a0) / (static_cast<double>(a1) - a0);
  const double value = b0 + std::trunc(along * (static_cast<double>(b1) - b0));
  if (value <= INT32_MIN) return INT32_MIN;
  if (value >= INT32_MAX) return INT32_MAX;
  return static_cast<int32_t>(value);
}

namespace {

constexpr uint32_t kAllFaceTypes = 0xF;

struct Point {
  int32_t x, y;
};

// Cuts the segment where it crosses the line "coordinate = edge", moving
// the end that lies beyond it (beyond: below the edge when low is set,
// above it otherwise). Coordinates are (along, across) of each point.
void CutAt(Point& p, Point& q, int32_t edge, bool low, bool vertical) {
  int32_t& pa = vertical ? p.x : p.y;
  int32_t& pb = vertical ? p.y : p.x;
  int32_t& qa = vertical ? q.x : q.y;
  int32_t& qb = vertical ? q.y : q.x;
  const bool pOut = low ? pa < edge : pa > edge;
  const bool qOut = low ? qa < edge : qa > edge;
  if (pOut == qOut) return;
  const int32_t across = SB_LineIntercept(pa, pb, qa, qb, edge);
  if (pOut) {
    pa = edge;
    pb = across;
  } else {
    qa = edge;
    qb = across;
  }
}

bool Inside(const Point& p, int32_t xmax, int32_t ymax) {
  return p.x >= 0 && p.x <= xmax && p.y >= 0 && p.y <= ymax;
}

}  // namespace

bool SB_ClipLine(int32_t xmax, int32_t ymax, int32_t* x0, int32_t* y0, int32_t* x1, int32_t* y1) {
  Point p{*x0, *y0}, q{*x1, *y1};
  CutAt(p, q, 0, true, true);
  CutAt(p, q, xmax, false, true);
  CutAt(p, q, 0, true, false);
  CutAt(p, q, ymax, false, false);
  *x0 = p.x, *y0 = p.y, *x1 = q.x, *y1 = q.y;
  return Inside(p, xmax, ymax) && Inside(q, xmax, ymax);
}

void SB_DrawLine(BMAP* bmap, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) {
  if (!bmap) return;
  Point p{x0, y0}, q{x1, y1};
  if (!SB_ClipLine(bmap->SizeX - 1, bmap->SizeY - 1, &p.x, &p.y, &q.x, &q.y)) return;
  // The window's line primitive draws without clipping of its own.
  _WINDOW window;
  LS_InitWindowFull(bmap, &window, kAllFaceTypes);
  LS_LockWindow(&window);
  if (window.W_ADDRESS) window.W_PRIMITIVE->Line(&window, p.x, p.y, q.x, q.y, colour);
  LS_UnlockWindow(&window);
}
