// What every textured filler shares, at 8 and 16 bits: the wrap masks,
// the size-index rule, the saturating float-to-integer conversion, the
// packed u/v arithmetic, the view bounds a polygon must keep to, the
// polygon edge walk into the two edge tables, and the span of exact
// points every 16 pixels with linear steps between.
#pragma once
#include <cmath>
#include <cstdint>

struct TSOFTVERTEX;

// Rows of the largest view, and so of the edge tables.
constexpr int32_t E3D_MAXFILLROWS = 600;

// The mask that wraps a texel offset ((v << 8) | u) inside the texture of
// size index k: its width is 256 >> (k >> 3), its height 256 >> (k & 7).
constexpr uint32_t E3D_WrapMask(int32_t k) { return (0xFFu >> (k & 7)) << 8 | 0xFFu >> (k >> 3 & 7); }
extern const uint32_t (&E3D_WrapMaskTable)[64];
// The x where an edge crosses each row: edges running down the screen in
// corner order go into the left table, the others into the right.
extern uint16_t E3D_LeftEdge[E3D_MAXFILLROWS];
extern uint16_t E3D_RightEdge[E3D_MAXFILLROWS];

// A size index outside 0..63 (placement records hold larger selectors
// for sides that are no power of two) is taken as 63, the 2 x 2 texture.
constexpr int32_t E3D_ClampSizeIndex(int32_t k) { return static_cast<uint32_t>(k) < 64 ? k : 63; }

// Truncates toward zero; NaN and values outside the 32-bit range give
// INT32_MIN, the integer a masked x87 conversion gave, without the
// undefined behaviour of a plain cast.
inline int32_t E3D_SaturateToInt32(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return INT32_MIN;
  return static_cast<int32_t>(value);
}

// u in the high half, v in the low half: one addition steps both, and a
// carry out of v passes into u.
constexpr uint32_t E3D_Pack(int32_t u, int32_t v) {
  return static_cast<uint32_t>(u) << 16 | (static_cast<uint32_t>(v) & 0xFFFF);
}
// The texel offset of a packed position: the whole parts of u (column)
// and v (row).
constexpr uint32_t E3D_TexelOffset(uint32_t packed) { return (packed >> 24 & 0xFF) | (packed >> 8 & 0xFF) << 8; }
// The per-pixel step from a to b over 16 pixels, packed; the differences
// wrap as 32-bit integers do.
constexpr uint32_t E3D_PackedStep16(int32_t ua, int32_t va, int32_t ub, int32_t vb) {
  const auto du = static_cast<int32_t>(static_cast<uint32_t>(ub) - static_cast<uint32_t>(ua)) >> 4;
  const auto dv = static_cast<int32_t>(static_cast<uint32_t>(vb) - static_cast<uint32_t>(va)) >> 4;
  return E3D_Pack(du, dv);
}

// Whether a corner lies where the fillers may draw: 0..width and
// 0..height, 600 rows at most; x = width and y = height, where the screen
// clip leaves corners, are inside (spans and rows end before them).
inline bool E3D_CornerInView(int32_t x, int32_t y, int32_t width, int32_t height) {
  const int32_t rows = height < E3D_MAXFILLROWS ? height : E3D_MAXFILLROWS;
  return x >= 0 && x <= width && y >= 0 && y <= rows;
}

// Scans the polygon's n corners (only screen x and y are read) into the
// edge tables: each edge covers the rows from its upper corner's to its
// lower corner's, the latter excluded, with x rounded half up. Sets the
// first row and the row past the last; false when there is nothing to
// draw: fewer than three corners, a corner outside the view, or no height.
bool E3D_ScanPolygonEdges(const TSOFTVERTEX* corners, int32_t n, int32_t width, int32_t height, int32_t* top,
                          int32_t* bottom);

// One span of count pixels from an exact first position: the rest follow
// in blocks of 16 toward exact positions that next() gives one per block
// (the point 16 pixels past the block's start), stepped linearly between.
// The last block stops short of its end point. With kExactBlockEnd a full
// block's 16th pixel takes the exact position, otherwise the stepped one.
// put(i, packed) draws pixel i of the span.
template <bool kExactBlockEnd, class Next, class Put>
inline void E3D_StepSpan(int32_t count, int32_t ua, int32_t va, Next&& next, Put&& put) {
  put(0, E3D_Pack(ua, va));
  int32_t left = count - 1, i = 1;
  if (left <= 0) return;
  int32_t ub, vb;
  next(ub, vb);
  while (left > 16) {
    const uint32_t start = E3D_Pack(ua, va), step = E3D_PackedStep16(ua, va, ub, vb);
    for (uint32_t j = 1; j < 16; ++j) put(i++, start + j * step);
    put(i++, kExactBlockEnd ? E3D_Pack(ub, vb) : start + 16 * step);
    ua = ub, va = vb, left -= 16;
    next(ub, vb);
  }
  const uint32_t start = E3D_Pack(ua, va), step = E3D_PackedStep16(ua, va, ub, vb);
  for (uint32_t j = 1; j <= static_cast<uint32_t>(left); ++j) put(i++, start + j * step);
}

// A perspective polygon ready for its family's span routine: its rows,
// the address of the first row's pixel 0, the texels, the u and v
// offsets, the denominator and the u and v numerators at x = 0 of the
// first row, their change per pixel and per row.
struct E3D_PERSPPOLY {
  int32_t Top, Bottom;  // rows Top .. Bottom - 1
  uint8_t* Line;
  int32_t Pitch;
  const uint8_t* Texture;
  float UOffset, VOffset;
  float Base[3];  // D, U, V
  float PerPixel[3];
  float PerRow[3];
};

// A family of 64 span routines, member k filling every row of a polygon
// with the wrap mask of size index k, and the block length, the pixels
// between two divisions, that follows the table.
template <class Poly>
struct E3D_PERSPFAMILY {
  void (*Member[64])(const Poly& poly);
  float BlockLength;
};

// Scans the polygon's edges in the view of E3D_FillWidth x E3D_FillHeight
// and sets up its rows and gradients from the origin block and matrix
// (row 0 the denominator, rows 1 and 2 the u and v numerators, each dotted
// with the ray (-focal, x - centre x, y - centre y)). False when nothing
// is to be drawn.
struct TSOFTORIGIN;
bool E3D_SetUpPerspPoly(const TSOFTVERTEX* corners, int32_t n, const uint8_t* texture, uint8_t* firstPixel,
                        const TSOFTORIGIN* origin, const float* matrix, E3D_PERSPPOLY* poly);

// The exact position at pixel x of row y of the polygon, walked 16 pixels
// at a time: one division per point.
struct E3D_PERSPPOINTS {
  E3D_PERSPPOLY const* poly;
  float d, u, v;
  void operator()(int32_t& ue, int32_t& ve) {
    const double scale = 65536.0 / d;
    ue = E3D_SaturateToInt32(u * scale - poly->UOffset);
    ve = E3D_SaturateToInt32(v * scale - poly->VOffset);
    d += 16.0f * poly->PerPixel[0], u += 16.0f * poly->PerPixel[1], v += 16.0f * poly->PerPixel[2];
  }
};
