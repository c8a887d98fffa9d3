// The fillers' shared tables and the polygon edge walk.
#include "softrender/fillcore.h"

#include "engine3d/types.h"
#include "softrender/drawlist.h"
#include "softrender/softrender.h"

namespace {

struct WrapMasks {
  uint32_t Mask[64];
};

constexpr WrapMasks BuildWrapMasks() {
  WrapMasks table{};
  for (int32_t k = 0; k < 64; ++k) table.Mask[k] = E3D_WrapMask(k);
  return table;
}

constexpr WrapMasks kWrapMasks = BuildWrapMasks();

// One edge from (xt, yt) down to (xb, yb): x starts half a pixel on, so
// that the whole part rounds half up, and steps by the truncated slope.
void ScanEdge(uint16_t* table, int32_t xt, int32_t yt, int32_t xb, int32_t yb) {
  const int32_t slope = (xt - xb) * 65536 / (yb - yt);
  int32_t x = xt * 65536 + 0x8000;
  for (int32_t y = yt; y < yb; ++y, x -= slope) table[y] = static_cast<uint16_t>(x >> 16);
}

}  // namespace

const uint32_t (&E3D_WrapMaskTable)[64] = kWrapMasks.Mask;
uint16_t E3D_LeftEdge[E3D_MAXFILLROWS];
uint16_t E3D_RightEdge[E3D_MAXFILLROWS];

bool E3D_ScanPolygonEdges(const TSOFTVERTEX* corners, int32_t n, int32_t width, int32_t height, int32_t* top,
                          int32_t* bottom) {
  if (!corners || n < 3) return false;
  for (int32_t i = 0; i < n; ++i)
    if (!E3D_CornerInView(corners[i].X, corners[i].Y, width, height)) return false;
  int32_t first = 100000, last = 0;
  for (int32_t i = 0; i < n; ++i) {
    const TSOFTVERTEX& a = corners[i];
    const TSOFTVERTEX& b = corners[i + 1 == n ? 0 : i + 1];
    if (a.Y == b.Y) continue;
    const bool down = a.Y < b.Y;
    const TSOFTVERTEX& upper = down ? a : b;
    const TSOFTVERTEX& lower = down ? b : a;
    if (upper.Y < first) first = upper.Y;
    if (lower.Y > last) last = lower.Y;
    ScanEdge(down ? E3D_LeftEdge : E3D_RightEdge, upper.X, upper.Y, lower.X, lower.Y);
  }
  *top = first, *bottom = last;
  return last > first;
}

bool E3D_SetUpPerspPoly(const TSOFTVERTEX* corners, int32_t n, const uint8_t* texture, uint8_t* firstPixel,
                        const TSOFTORIGIN* origin, const float* matrix, E3D_PERSPPOLY* poly) {
  if (!texture || !firstPixel || !origin || !matrix) return false;
  if (!E3D_ScanPolygonEdges(corners, n, E3D_FillWidth, E3D_FillHeight, &poly->Top, &poly->Bottom)) return false;
  const auto top = static_cast<float>(poly->Top);
  for (int32_t row = 0; row < 3; ++row) {
    const float* m = matrix + 3 * row;
    poly->Base[row] = E3D_NegFocal * m[0] + E3D_NegCenterX * m[1] + (top + E3D_NegCenterY) * m[2];
    poly->PerPixel[row] = m[1];
    poly->PerRow[row] = m[2];
  }
  poly->Pitch = E3D_FillPitch;
  poly->Line = firstPixel + static_cast<intptr_t>(poly->Top) * poly->Pitch;
  poly->Texture = texture;
  poly->UOffset = origin->UOffset, poly->VOffset = origin->VOffset;
  return true;
}
