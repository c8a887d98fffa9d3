// The 16-bit perspective polygon families and the filler from 8-bit pages
// through a colour table: the polygon as their span routines take it, the
// exact points of a span at the precision those fillers keep, and the two
// tables of 64 span routines.
#pragma once
#include <cstdint>
#include <cstring>

#include "softrender/fillcore.h"

struct TSOFTVERTEX;
struct TSOFTORIGIN;

// A polygon of the 16-bit fillers: the shared set-up and the change of
// the denominator and the u and v numerators over one block of pixels
// (the block length times their change per pixel).
struct E3D_PERSPPOLY16 {
  E3D_PERSPPOLY Poly;
  float PerBlock[3];
};

// The exact positions along one span, a block of 16 pixels apart. The
// span's first two points take the denominator, the numerators and the
// quotient 65536 / D rounded to floats; from the third on they are carried
// in double. u and v are truncated toward zero.
struct E3D_PERSPPOINTS16 {
  const E3D_PERSPPOLY16* poly;
  double d, u, v;
  int32_t given = 0;

  // The span from pixel x of the row whose bases at x = 0 are d0, u0, v0.
  E3D_PERSPPOINTS16(const E3D_PERSPPOLY16& p, float d0, float u0, float v0, int32_t x)
      : poly(&p),
        d(static_cast<double>(p.Poly.PerPixel[0]) * x + d0),
        u(static_cast<double>(p.Poly.PerPixel[1]) * x + u0),
        v(static_cast<double>(p.Poly.PerPixel[2]) * x + v0) {}

  void operator()(int32_t& ue, int32_t& ve) {
    double scale;
    if (given < 2) {
      // Through memory: GCC 12 at -O2 drops the rounding of the plain
      // casts, and the builds would then draw differently.
      volatile float rounded[3] = {static_cast<float>(d), static_cast<float>(u), static_cast<float>(v)};
      d = rounded[0], u = rounded[1], v = rounded[2];
      scale = 65536.0f / rounded[0];
    } else {
      scale = 65536.0 / d;
    }
    ++given;
    ue = E3D_SaturateToInt32(u * scale - poly->Poly.UOffset);
    ve = E3D_SaturateToInt32(v * scale - poly->Poly.VOffset);
    d += poly->PerBlock[0], u += poly->PerBlock[1], v += poly->PerBlock[2];
  }
};

// Sets up the polygon as E3D_SetUpPerspPoly does, with blocks of
// blockLength pixels; false when nothing is to be drawn.
bool E3D_SetUpPerspPoly16(const TSOFTVERTEX* corners, int32_t n, const uint8_t* texture, uint8_t* firstPixel,
                          const TSOFTORIGIN* origin, const float* matrix, float blockLength, E3D_PERSPPOLY16* poly);

// Calls span(y, x0, x1, points, line) for each row of the polygon with a
// span of pixels x0 .. x1 - 1 (the smaller and the larger of the row's
// two edge entries), line being the address of the row's pixel 0 and
// points the span's exact positions from x0 on.
template <class Span>
void E3D_PerspRows16(const E3D_PERSPPOLY16& p, Span&& span) {
  float d = p.Poly.Base[0], u = p.Poly.Base[1], v = p.Poly.Base[2];
  uint8_t* line = p.Poly.Line;
  for (int32_t y = p.Poly.Top; y < p.Poly.Bottom; ++y) {
    const int32_t a = E3D_LeftEdge[y], b = E3D_RightEdge[y];
    const int32_t x0 = a < b ? a : b, x1 = a < b ? b : a;
    if (x1 > x0) span(x0, x1, E3D_PERSPPOINTS16(p, d, u, v, x0), line);
    d += p.Poly.PerRow[0], u += p.Poly.PerRow[1], v += p.Poly.PerRow[2];
    line += p.Poly.Pitch;
  }
}

// A 16-bit pixel or texel at any address: the stores the fillers make in
// pairs give the same pixels one at a time, with no alignment asked.
inline uint16_t E3D_Load16(const uint8_t* at) {
  uint16_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}
inline void E3D_Store16(uint8_t* at, uint16_t value) { std::memcpy(at, &value, sizeof value); }

// The two families; the entries form their block increments from the
// block length that follows each table.
using E3D_PERSPFAMILY16 = E3D_PERSPFAMILY<E3D_PERSPPOLY16>;
extern const E3D_PERSPFAMILY16 E3D_PerspOpaque16Table;  // writes every texel
extern const E3D_PERSPFAMILY16 E3D_PerspTransp16Table;  // leaves the pixel where the texel is 0

// Fills the polygon into a 16-bit view from a 256 x 256 page of 8-bit
// texels, each pixel being colours[texel]; the texel offset is ANDed with
// the low 16 bits of mask. Nothing in the game calls it.
void E3D_PerspPolyPal16(uint32_t mask, TSOFTVERTEX* vertices, int32_t count, uint8_t* page, const uint16_t* colours,
                        uint8_t* firstPixel, TSOFTORIGIN* origin, float* matrix);
