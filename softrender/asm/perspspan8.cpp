// The 8-bit perspective span routine: per row, u and v exact at the first
// pixel and at every 16th, stepped linearly between.
#include "softrender/asm/perspspan8.h"

#include "softrender/fillcore.h"

uint8_t* E3D_PerspSpanLine;
int32_t E3D_PerspSpanPitch;
const uint8_t* E3D_PerspSpanTexture;
float E3D_PerspSpanStepW, E3D_PerspSpanStepU, E3D_PerspSpanStepV;
int32_t E3D_PerspSpanWidth;

namespace {

// 1/z, u/z and v/z walked 16 pixels at a time: u = (u/z) / (1/z).
struct Points {
  float w, uw, vw;
  void operator()(int32_t& u, int32_t& v) {
    const double q = 1.0 / w;
    u = E3D_SaturateToInt32(uw * q), v = E3D_SaturateToInt32(vw * q);
    w += E3D_PerspSpanStepW, uw += E3D_PerspSpanStepU, vw += E3D_PerspSpanStepV;
  }
};

template <bool kTransparent>
void Row(uint32_t mask, const TPERSPEDGE& left, int32_t pixels, uint8_t* span) {
  const uint8_t* texels = E3D_PerspSpanTexture;
  // The edge's values hold where the edge crosses the row, up to half a
  // pixel from the first pixel: taken to that pixel, so that the texels of
  // two triangles meet along their common edge.
  const float shift = static_cast<float>((left.X >> 16) - (left.X - 0x8000) / 65536.0) / 16.0f;
  Points points{left.W + shift * E3D_PerspSpanStepW, left.UW + shift * E3D_PerspSpanStepU,
                left.VW + shift * E3D_PerspSpanStepV};
  int32_t u, v;
  points(u, v);
  auto write = [=](int32_t i, uint32_t packed) {
    const uint8_t texel = texels[E3D_TexelOffset(packed) & mask];
    if (!kTransparent || texel) span[i] = texel;
  };
  // A row never passes the view's last column (a bad corner could take
  // it into the next row); its pixels keep the positions of the whole row.
  const int32_t limit = E3D_PerspSpanWidth - (left.X >> 16);
  if (pixels <= limit)
    E3D_StepSpan<true>(pixels, u, v, points, write);
  else
    E3D_StepSpan<true>(pixels, u, v, points, [=](int32_t i, uint32_t packed) {
      if (i < limit) write(i, packed);
    });
}

template <bool kTransparent>
void Rows(uint32_t mask, int32_t lines, TPERSPEDGE* left, TPERSPEDGE* right) {
  uint8_t* line = E3D_PerspSpanLine;
  for (; lines > 0; --lines) {
    const int32_t x0 = left->X >> 16, pixels = (right->X >> 16) - x0;
    if (pixels > 0 && x0 >= 0 && x0 < E3D_PerspSpanWidth) Row<kTransparent>(mask, *left, pixels, line + x0);
    right->X += right->XStep, left->X += left->XStep;
    left->W += left->StepW, left->UW += left->StepUW, left->VW += left->StepVW;
    line += E3D_PerspSpanPitch;
  }
  E3D_PerspSpanLine = line;
}

}  // namespace

void E3D_PerspSpan8(uint32_t mask, int32_t lines, TPERSPEDGE* left, TPERSPEDGE* right) {
  Rows<false>(mask, lines, left, right);
}

void E3D_PerspSpanTransp8(uint32_t mask, int32_t lines, TPERSPEDGE* left, TPERSPEDGE* right) {
  Rows<true>(mask, lines, left, right);
}
