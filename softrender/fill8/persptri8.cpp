// The 8-bit perspective triangle filler: 1/z, u/z and v/z set up as
// planes over the triangle from its three corners, the two edges built,
// and the rows left to the span routine, once or in two parts.
#include <algorithm>
#include <cmath>

#include "engine3d/types.h"
#include "softrender/asm/perspspan8.h"
#include "softrender/fillcore.h"
#include "softrender/softrender.h"
#include "system/asm3d/zidade3d.h"
#include "system/bmap.h"
#include "system/error.h"

namespace {

struct Corner {
  int32_t x, y;
  float f[3];  // 1/z, u/z, v/z
};

struct Planes {
  float dx[3], dy[3];
};

// The edge from upper to lower; with `carry` its 1/z, u/z and v/z go on
// from where the rows before left them.
void Build(TPERSPEDGE& e, const Corner& upper, const Corner& lower, const Planes& g, bool carry) {
  e.Dx = lower.x - upper.x, e.Dy = lower.y - upper.y;
  e.XStep = e.Dx * 65536 / e.Dy;
  // From the corner's pixel centre, as the other fillers' edges: rounded
  // alike, the triangles meet their polygons without a gap.
  e.X = upper.x * 65536 + 0x8000;
  if (!carry) e.W = upper.f[0], e.UW = upper.f[1], e.VW = upper.f[2];
  const float t = static_cast<float>(e.Dx) / static_cast<float>(e.Dy);
  e.StepW = t * g.dx[0] + g.dy[0], e.StepUW = t * g.dx[1] + g.dy[1], e.StepVW = t * g.dx[2] + g.dy[2];
}

// The two first edges, refused with the guard's message when one has no
// height (the sort keeps ordinary triangles from it).
bool BuildPair(TPERSPEDGE& left, const Corner& l0, const Corner& l1, TPERSPEDGE& right, const Corner& r0,
               const Corner& r1, const Planes& g) {
  if (l1.y == l0.y) return LS_Message("PB1 pleft->height=0"), false;
  if (r1.y == r0.y) return LS_Message("PB2 pleft->height=0"), false;
  Build(left, l0, l1, g, false), Build(right, r0, r1, g, false);
  return true;
}

}  // namespace

bool E3D_PerspTriTooThin(float doubledArea) { return std::fabs(doubledArea) < 0.00001f; }

void E3D_PerspTri8(int32_t k, _WINDOW* window, uint8_t* texture, TSOFTVERTEX* a, TSOFTVERTEX* b, TSOFTVERTEX* c,
                   int32_t transparent) {
  if (!window || !window->W_ADDRESS || !window->W_BMAP || !texture || !a || !b || !c) return;
  Corner v[3];
  const TSOFTVERTEX* in[3] = {a, b, c};
  for (int32_t i = 0; i < 3; ++i) {
    if (!E3D_CornerInView(in[i]->X, in[i]->Y, window->W_WIDTH, window->W_HEIGHT)) return;
    const float w = 1.0f / static_cast<float>(in[i]->CamZ);
    v[i] = {in[i]->X, in[i]->Y, {w, static_cast<float>(in[i]->U) * w, static_cast<float>(in[i]->V) * w}};
  }
  std::stable_sort(v, v + 3, [](const Corner& p, const Corner& q) { return p.y < q.y; });
  const Corner &t = v[0], &m = v[1], &bt = v[2];
  if (t.y == bt.y) return;
  const auto h1 = static_cast<float>(bt.y - t.y), h2 = static_cast<float>(m.y - t.y);
  const auto w1 = static_cast<float>(m.x - t.x), w2 = static_cast<float>(bt.x - t.x);
  const float area = h1 * w1 - h2 * w2;
  if (E3D_PerspTriTooThin(area)) return;
  Planes g;
  for (int32_t i = 0; i < 3; ++i) {
    const float fm = m.f[i] - t.f[i], fb = bt.f[i] - t.f[i];
    g.dx[i] = (h1 * fm - h2 * fb) / area;
    g.dy[i] = -(w2 * fm - w1 * fb) / area;
  }
  const int32_t pitch = window->W_BMAP->ByteLen;
  E3D_PerspSpanPitch = pitch;
  E3D_PerspSpanTexture = texture;
  E3D_PerspSpanLine = window->W_ADDRESS + static_cast<intptr_t>(t.y) * pitch;
  E3D_PerspSpanStepW = 16.0f * g.dx[0], E3D_PerspSpanStepU = 16.0f * g.dx[1], E3D_PerspSpanStepV = 16.0f * g.dx[2];
  E3D_PerspSpanWidth = window->W_WIDTH;
  const uint32_t mask = E3D_WrapMaskTable[E3D_ClampSizeIndex(k)];
  void (*const span)(uint32_t, int32_t, TPERSPEDGE*, TPERSPEDGE*) = transparent ? E3D_PerspSpanTransp8 : E3D_PerspSpan8;
  TPERSPEDGE left{}, right{};
  if (m.y == t.y) {
    // Flat top: both edges run to the bottom corner.
    const Corner &l = m.x <= t.x ? m : t, &r = m.x <= t.x ? t : m;
    if (BuildPair(left, l, bt, right, r, bt, g)) span(mask, left.Dy, &left, &right);
    return;
  }
  if (m.y == bt.y) {
    // Flat bottom: both edges start at the top corner.
    const Corner &l = m.x < bt.x ? m : bt, &r = m.x < bt.x ? bt : m;
    if (BuildPair(left, t, l, right, t, r, g)) span(mask, left.Dy, &left, &right);
    return;
  }
  TPERSPEDGE toMiddle{}, toBottom{};
  if (!BuildPair(toMiddle, t, m, toBottom, t, bt, g)) return;
  const bool swap = toBottom.Dx * toMiddle.Dy - toBottom.Dy * toMiddle.Dx < 0;
  TPERSPEDGE* l = swap ? &toBottom : &toMiddle;
  TPERSPEDGE* r = swap ? &toMiddle : &toBottom;
  span(mask, toMiddle.Dy, l, r);
  Build(toMiddle, m, bt, g, true);
  span(mask, toMiddle.Dy, l, r);
}
