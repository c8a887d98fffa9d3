// The affine triangle set-up that the 8- and 16-bit affine fillers share:
// the corners sorted, the two edges from the top corner walked down with
// x in 16.16 and the packed u, v of the left edge, one horizontal step for
// the whole triangle, and each row handed to the filler's span writer,
// which copies the texels at either depth.
#pragma once
#include <cstdint>
#include <cstring>

#include "engine3d/types.h"
#include "softrender/fillcore.h"
#include "system/asm3d/zidade3d.h"
#include "system/bmap.h"

namespace e3d_affine {

// The slope dx / dy in 16.16, truncated; short edges read the table.
inline int32_t Slope(int32_t dx, int32_t dy) {
  if (dx >= 0 && dx < 64 && dy < 64) return static_cast<int32_t>(_L3_LINEDIVIDETABLE[dx][dy]);
  if (dx < 0 && dx > -64 && dy < 64) return -static_cast<int32_t>(_L3_LINEDIVIDETABLE[-dx][dy]);
  return dx * 65536 / dy;
}

// a - b and a + b x n as 32-bit registers compute them, wrapping.
inline int32_t Sub(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }
inline int32_t MulAdd(int32_t a, int32_t b, int32_t n) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b) * static_cast<uint32_t>(n));
}

struct Edge {
  int32_t x, slope;    // 16.16, x half a pixel on so that its whole part rounds
  int32_t u, v, du, dv;  // at the upper corner, and per row
  uint32_t packed, step;
  int32_t height;

  Edge(const TSOFTVERTEX& upper, const TSOFTVERTEX& lower) {
    height = lower.Y - upper.Y;
    const int32_t dy = height > 0 ? height : 1;
    slope = Slope(lower.X - upper.X, dy);
    x = upper.X * 65536 + 32768;
    u = upper.U, v = upper.V;
    du = Sub(lower.U, u), dv = Sub(lower.V, v);
    if (dy > 1) du /= dy, dv /= dy;
    packed = E3D_Pack(u, v), step = E3D_Pack(du, dv);
  }
};

// (b - a) x 256 / width, as the 32-bit registers give it.
inline int32_t PerPixel(int32_t a, int32_t b, int32_t width) {
  return static_cast<int32_t>(static_cast<uint32_t>(Sub(b, a)) * 256u) / width;
}
// (b - a) / (xb - xa), or 0 when the two share an x.
inline int32_t PerPixelBetween(int32_t a, int32_t b, int32_t xa, int32_t xb) {
  return xa == xb ? 0 : static_cast<int32_t>(static_cast<int64_t>(Sub(b, a)) / (xb - xa));
}

template <class Row>
struct Rows {
  Row& row;
  int32_t y;
  uint32_t across;
  // n rows between the two edges: pixels left x .. right x - 1.
  void Draw(Edge& left, Edge& right, int32_t n) {
    for (; n > 0; --n, ++y) {
      const int32_t xl = left.x >> 16, xr = right.x >> 16;
      if (xr > xl) row(y, xl, xr, left.packed, across);
      left.packed += left.step, left.x += left.slope, right.x += right.slope;
    }
  }
};

}  // namespace e3d_affine

// Walks the triangle a, b, c (any order, any winding) and calls
// row(y, x0, x1, packed, step) for each row with pixels x0 .. x1 - 1,
// packed being the u, v of pixel x0 and step the packed change per pixel.
// Rows run from the top corner's to the bottom corner's, the latter
// excluded. Nothing when the corners share a row or one lies outside the
// width x height view.
template <class Row>
void E3D_AffineTriangle(const TSOFTVERTEX& a, const TSOFTVERTEX& b, const TSOFTVERTEX& c, int32_t width,
                        int32_t height, Row&& row) {
  using namespace e3d_affine;
  const TSOFTVERTEX* v[3] = {&a, &b, &c};
  for (const TSOFTVERTEX* p : v)
    if (!E3D_CornerInView(p->X, p->Y, width, height)) return;
  int32_t top = 0;
  for (int32_t i = 1; i < 3; ++i)
    if (v[i]->Y < v[top]->Y) top = i;
  const int32_t o1 = (top + 1) % 3, o2 = (top + 2) % 3;
  if (v[o1]->Y == v[top]->Y && v[o2]->Y == v[top]->Y) return;
  Rows<Row> rows{row, v[top]->Y, 0};
  if (v[o1]->Y == v[top]->Y || v[o2]->Y == v[top]->Y) {
    // Flat top: the edges run from the two top corners to the bottom one.
    const int32_t other = v[o1]->Y == v[top]->Y ? o1 : o2, bottom = 3 - top - other;
    const TSOFTVERTEX& tl = v[top]->X <= v[other]->X ? *v[top] : *v[other];
    const TSOFTVERTEX& tr = &tl == v[top] ? *v[other] : *v[top];
    Edge left(tl, *v[bottom]), right(tr, *v[bottom]);
    rows.across = E3D_Pack(PerPixelBetween(tl.U, tr.U, tl.X, tr.X), PerPixelBetween(tl.V, tr.V, tl.X, tr.X));
    rows.Draw(left, right, left.height);
    return;
  }
  const TSOFTVERTEX& t = *v[top];
  const int32_t pi = top != 0 ? 0 : (v[1]->Y < v[2]->Y ? 1 : 2);
  const TSOFTVERTEX& p = *v[pi];
  const TSOFTVERTEX& q = *v[3 - top - pi];
  Edge tp(t, p), tq(t, q);
  const bool pLeft = tp.slope <= tq.slope;
  Edge& left = pLeft ? tp : tq;
  Edge& right = pLeft ? tq : tp;
  const TSOFTVERTEX& l = pLeft ? p : q;
  const TSOFTVERTEX& r = pLeft ? q : p;
  if (left.height == right.height) {
    rows.across = E3D_Pack(PerPixelBetween(l.U, r.U, l.X, r.X), PerPixelBetween(l.V, r.V, l.X, r.X));
    rows.Draw(left, right, left.height);
  } else if (left.height > right.height) {
    // The middle corner r is on the right: the long left edge at its row.
    const int32_t h = right.height;
    const int32_t x = left.x + left.slope * h, u = MulAdd(left.u, left.du, h), vm = MulAdd(left.v, left.dv, h);
    const auto w = static_cast<int32_t>(static_cast<uint32_t>(r.X * 65536 + 32768 - x) >> 8);
    if (w != 0) rows.across = E3D_Pack(PerPixel(u, r.U, w), PerPixel(vm, r.V, w));
    rows.Draw(left, right, h);
    Edge rest(r, l);
    rows.Draw(left, rest, left.height - h);
  } else {
    // The middle corner l is on the left: the long right edge at its row.
    const int32_t h = left.height;
    const int32_t x = right.x + right.slope * h, u = MulAdd(right.u, right.du, h), vm = MulAdd(right.v, right.dv, h);
    const auto w = static_cast<int32_t>(static_cast<uint32_t>(x - (l.X * 65536 + 32768)) >> 8);
    if (w != 0) rows.across = E3D_Pack(PerPixel(l.U, u, w), PerPixel(l.V, vm, w));
    rows.Draw(left, right, h);
    Edge rest(l, r);
    rows.Draw(rest, right, right.height - h);
  }
}

namespace e3d_affine {

template <class Texel, bool kTransparent>
void Fill(const _WINDOW& window, const uint8_t* texels, uint32_t mask, const TSOFTVERTEX& a, const TSOFTVERTEX& b,
          const TSOFTVERTEX& c) {
  uint8_t* const first = window.W_ADDRESS;
  const int32_t pitch = window.W_BMAP->ByteLen;
  E3D_AffineTriangle(a, b, c, window.W_WIDTH, window.W_HEIGHT,
                     [=](int32_t y, int32_t x0, int32_t x1, uint32_t packed, uint32_t step) {
                       uint8_t* pixel = first + static_cast<intptr_t>(y) * pitch + sizeof(Texel) * x0;
                       for (int32_t n = x1 - x0; n > 0; --n, pixel += sizeof(Texel), packed += step) {
                         Texel texel;
                         std::memcpy(&texel, texels + sizeof(Texel) * (E3D_TexelOffset(packed) & mask), sizeof texel);
                         if (!kTransparent || texel) std::memcpy(pixel, &texel, sizeof texel);
                       }
                     });
}

}  // namespace e3d_affine

// The affine triangle filler at the depth of Texel (uint8_t or uint16_t),
// which is both the page's texel and the view's pixel, copied unchanged
// and read without alignment: the texture of size index k wraps inside
// its sides; with transparent set, texel 0 leaves its pixel.
template <class Texel>
void E3D_AffineFill(int32_t k, _WINDOW* window, const uint8_t* texture, const TSOFTVERTEX* a, const TSOFTVERTEX* b,
                    const TSOFTVERTEX* c, int32_t transparent) {
  if (!window || !window->W_ADDRESS || !window->W_BMAP || !texture || !a || !b || !c) return;
  const uint32_t mask = E3D_WrapMaskTable[E3D_ClampSizeIndex(k)];
  if (transparent)
    e3d_affine::Fill<Texel, true>(*window, texture, mask, *a, *b, *c);
  else
    e3d_affine::Fill<Texel, false>(*window, texture, mask, *a, *b, *c);
}
