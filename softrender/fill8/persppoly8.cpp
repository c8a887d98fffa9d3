// The 8-bit perspective polygon fillers: the polygon's edges scanned and
// its gradients set up, then the member of the size index fills each row
// with one division at the span's first pixel and one per 16 pixels.
#include "softrender/fill8/persppoly8.h"

#include <utility>

#include "softrender/fillcore.h"
#include "softrender/softrender.h"

namespace {

// Member k: the rows of the polygon, each from the smaller to the larger
// of its two edge entries, the larger excluded. Only a span's first pixel
// is exact; the 16th of each run is stepped like the others.
template <int32_t kSize, bool kTransparent>
void FillMember(const E3D_PERSPPOLY& poly) {
  constexpr uint32_t mask = E3D_WrapMask(kSize);
  float d = poly.Base[0], u = poly.Base[1], v = poly.Base[2];
  uint8_t* line = poly.Line;
  const uint8_t* texels = poly.Texture;
  for (int32_t y = poly.Top; y < poly.Bottom; ++y) {
    const int32_t a = E3D_LeftEdge[y], b = E3D_RightEdge[y];
    const int32_t x0 = a < b ? a : b, x1 = a < b ? b : a;
    if (x1 > x0) {
      const auto x = static_cast<float>(x0);
      E3D_PERSPPOINTS points{&poly, d + x * poly.PerPixel[0], u + x * poly.PerPixel[1], v + x * poly.PerPixel[2]};
      int32_t ue, ve;
      points(ue, ve);
      uint8_t* span = line + x0;
      E3D_StepSpan<false>(x1 - x0, ue, ve, points, [span, texels](int32_t i, uint32_t packed) {
        const uint8_t texel = texels[E3D_TexelOffset(packed) & mask];
        if (!kTransparent || texel) span[i] = texel;
      });
    }
    d += poly.PerRow[0], u += poly.PerRow[1], v += poly.PerRow[2];
    line += poly.Pitch;
  }
}

template <bool kTransparent, size_t... k>
constexpr E3D_PERSPFAMILY8 Family(std::index_sequence<k...>) {
  return {{&FillMember<static_cast<int32_t>(k), kTransparent>...}, 16.0f};
}

void Fill(const E3D_PERSPFAMILY8& family, int32_t k, TSOFTVERTEX* corners, int32_t n, uint8_t* texture,
          uint8_t* firstPixel, TSOFTORIGIN* origin, float* matrix) {
  E3D_PERSPPOLY poly;
  if (E3D_SetUpPerspPoly(corners, n, texture, firstPixel, origin, matrix, &poly))
    family.Member[E3D_ClampSizeIndex(k)](poly);
}

}  // namespace

const E3D_PERSPFAMILY8 E3D_PerspOpaque8Table = Family<false>(std::make_index_sequence<64>());
const E3D_PERSPFAMILY8 E3D_PerspTransp8Table = Family<true>(std::make_index_sequence<64>());

void E3D_PerspPolyOpaque8(int32_t k, TSOFTVERTEX* corners, int32_t n, uint8_t* texture, uint8_t* firstPixel,
                          TSOFTORIGIN* origin, float* matrix) {
  Fill(E3D_PerspOpaque8Table, k, corners, n, texture, firstPixel, origin, matrix);
}

void E3D_PerspPolyTransp8(int32_t k, TSOFTVERTEX* corners, int32_t n, uint8_t* texture, uint8_t* firstPixel,
                          TSOFTORIGIN* origin, float* matrix) {
  Fill(E3D_PerspTransp8Table, k, corners, n, texture, firstPixel, origin, matrix);
}
