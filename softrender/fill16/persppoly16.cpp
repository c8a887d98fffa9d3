// The 16-bit perspective polygon fillers: the polygon's edges scanned and
// its gradients set up, then the member of the size index fills each row
// with one division at the span's first pixel and one per 16 pixels, each
// full block's 16th pixel taking the exact position.
#include "softrender/fill16/persppoly16.h"

#include <utility>

#include "softrender/softrender.h"

namespace {

// Member k: texels copied unchanged from the page of 16-bit texels (rows
// 512 bytes apart), wrapped inside the texture of size index k.
template <int32_t kSize, bool kTransparent>
void FillMember(const E3D_PERSPPOLY16& poly) {
  constexpr uint32_t mask = E3D_WrapMask(kSize);
  const uint8_t* texels = poly.Poly.Texture;
  E3D_PerspRows16(poly, [texels](int32_t x0, int32_t x1, E3D_PERSPPOINTS16 points, uint8_t* line) {
    int32_t ue, ve;
    points(ue, ve);
    uint8_t* span = line + 2 * static_cast<intptr_t>(x0);
    E3D_StepSpan<true>(x1 - x0, ue, ve, points, [span, texels](int32_t i, uint32_t packed) {
      const uint16_t texel = E3D_Load16(texels + 2 * (E3D_TexelOffset(packed) & mask));
      if (!kTransparent || texel) E3D_Store16(span + 2 * i, texel);
    });
  });
}

template <bool kTransparent, size_t... k>
constexpr E3D_PERSPFAMILY16 Family(std::index_sequence<k...>) {
  return {{&FillMember<static_cast<int32_t>(k), kTransparent>...}, 16.0f};
}

void Fill(const E3D_PERSPFAMILY16& family, int32_t k, TSOFTVERTEX* corners, int32_t n, uint8_t* texture,
          uint8_t* firstPixel, TSOFTORIGIN* origin, float* matrix) {
  E3D_PERSPPOLY16 poly;
  if (E3D_SetUpPerspPoly16(corners, n, texture, firstPixel, origin, matrix, family.BlockLength, &poly))
    family.Member[E3D_ClampSizeIndex(k)](poly);
}

}  // namespace

const E3D_PERSPFAMILY16 E3D_PerspOpaque16Table = Family<false>(std::make_index_sequence<64>());
const E3D_PERSPFAMILY16 E3D_PerspTransp16Table = Family<true>(std::make_index_sequence<64>());

bool E3D_SetUpPerspPoly16(const TSOFTVERTEX* corners, int32_t n, const uint8_t* texture, uint8_t* firstPixel,
                          const TSOFTORIGIN* origin, const float* matrix, float blockLength, E3D_PERSPPOLY16* poly) {
  if (!E3D_SetUpPerspPoly(corners, n, texture, firstPixel, origin, matrix, &poly->Poly)) return false;
  for (int32_t i = 0; i < 3; ++i) poly->PerBlock[i] = blockLength * poly->Poly.PerPixel[i];
  return true;
}

void E3D_PerspPolyOpaque16(int32_t k, TSOFTVERTEX* corners, int32_t n, uint8_t* texture, uint8_t* firstPixel,
                           TSOFTORIGIN* origin, float* matrix) {
  Fill(E3D_PerspOpaque16Table, k, corners, n, texture, firstPixel, origin, matrix);
}

void E3D_PerspPolyTransp16(int32_t k, TSOFTVERTEX* corners, int32_t n, uint8_t* texture, uint8_t* firstPixel,
                           TSOFTORIGIN* origin, float* matrix) {
  Fill(E3D_PerspTransp16Table, k, corners, n, texture, firstPixel, origin, matrix);
}
