// Drawing windows over bitmaps: set-up, locking, the primitive tables by
// depth and the dispatch of triangles and quadrangles by face type.
#include <cstddef>

#include "system/asm3d/zidade3d.h"
#include "system/error.h"

namespace {

// A table whose null face types hold LS_NullPrimitive and every other
// type the given outline routine.
constexpr LS_PRIMITIVES MakeTable(LS_PLOTPROC plot, LS_LINEPROC line, LS_FACEPROC triangle,
                                  LS_FACEPROC quadrangle) {
  LS_PRIMITIVES table{plot, line, {}, {}};
  for (int32_t type = 0; type < LS_NBFACETYPES; ++type) {
    const bool null = (LS_NULLFACETYPES >> type) & 1;
    table.Triangle[type] = null ? LS_NullPrimitive : triangle;
    table.Quadrangle[type] = null ? LS_NullPrimitive : quadrangle;
  }
  return table;
}

constexpr LS_PRIMITIVES MakeEmptyTable() {
  LS_PRIMITIVES table{LS_NoPrimitive, LS_NoPrimitive, {}, {}};
  for (int32_t type = 0; type < LS_NBFACETYPES; ++type)
    table.Triangle[type] = table.Quadrangle[type] = LS_NoPrimitive;
  return table;
}

const LS_PRIMITIVES* TableOfDepth(const BMAP* bmap) {
  if (!bmap) return &LSI_NoPrimitives;
  if (bmap->Depth == 8) return &LSI_Primitives8;
  if (bmap->Depth == 16) return &LSI_Primitives16;
  return &LSI_NoPrimitives;
}

// The window's first pixel, or null while the bitmap has no pixel address.
uint8_t* WindowAddress(const _WINDOW* window) {
  const BMAP* bmap = window->W_BMAP;
  if (!bmap || !bmap->Start) return nullptr;
  return bmap->Start + static_cast<ptrdiff_t>(window->W_POSY) * bmap->ByteLen +
         static_cast<ptrdiff_t>(window->W_POSX) * ((bmap->Depth + 1) >> 3);
}

bool CanDraw(const _WINDOW* window) { return window && window->W_ADDRESS && window->W_PRIMITIVE; }

uint32_t SlotType(const _WINDOW* window, int32_t type) {
  return static_cast<uint32_t>(type) & window->W_DETAIL & (LS_NBFACETYPES - 1);
}

void SetVertex(_TPOINT3DV* vertex, int32_t x, int32_t y, int32_t light, int32_t depth) {
  vertex->P_XG = x;
  vertex->P_YG = y;
  vertex->P_LUM = light;
  vertex->P_RESERVED1[2] = depth;
}

}  // namespace

constinit const LS_PRIMITIVES LSI_Primitives8 = MakeTable(WI_PLOT8, WI_LINE8, WI_TRIANGLE8, WI_QUADRANGLE8);
constinit const LS_PRIMITIVES LSI_Primitives16 =
    MakeTable(LS_Plot16, LS_Line16, LS_Triangle16, LS_Quadrangle16);
constinit const LS_PRIMITIVES LSI_NoPrimitives = MakeEmptyTable();

void LS_InitWindow(BMAP* bmap, _WINDOW* window, uint32_t detail, int32_t x, int32_t y, int32_t width,
                   int32_t height) {
  if (!window) return;
  window->W_BMAP = bmap;
  window->W_PRIMITIVE = TableOfDepth(bmap);
  window->W_DETAIL = detail;
  window->W_WIDTH = width;
  window->W_HEIGHT = height;
  window->W_POSX = x;
  window->W_POSY = y;
  window->W_RESERVED = 0;
  window->W_ADDRESS = WindowAddress(window);
}

void LS_InitWindowFull(BMAP* bmap, _WINDOW* window, uint32_t detail) {
  LS_InitWindow(bmap, window, detail, 0, 0, bmap ? bmap->SizeX : 0, bmap ? bmap->SizeY : 0);
}

void LS_LockWindow(_WINDOW* window) {
  if (!window) return;
  LS_LockBmap(window->W_BMAP);
  window->W_ADDRESS = WindowAddress(window);
}

// Unlocking a bitmap cannot fail, so the result is always 1.
int32_t LS_UnlockWindow(_WINDOW* window) {
  if (!window) return 1;
  LS_UnlockBmap(window->W_BMAP);
  window->W_ADDRESS = nullptr;
  return 1;
}

void LS_WinTriangle(_WINDOW* window, int32_t type, const _TRIANGLE* t) {
  if (!CanDraw(window) || !t) return;
  _TGRAPH face{};
  face.G_TEXTURE = t->T_TEXT;
  face.G_COLOR = t->T_COLOR;
  face.G_TRANSPARENCE = 0;
  face.G_LUM = t->T_LUMINOSITE;
  face.G_OFFTEXTX1 = t->T_XT1;
  face.G_OFFTEXTY1 = t->T_YT1;
  face.G_OFFTEXTX2 = t->T_XT2;
  face.G_OFFTEXTY2 = t->T_YT2;
  face.G_OFFTEXTX3 = t->T_XT3;
  face.G_OFFTEXTY3 = t->T_YT3;
  _TPOINT3DV points[3]{};
  SetVertex(&points[0], t->T_X1, t->T_Y1, t->T_CLR1, t->T_Z1);
  SetVertex(&points[1], t->T_X2, t->T_Y2, t->T_CLR2, t->T_Z2);
  SetVertex(&points[2], t->T_X3, t->T_Y3, t->T_CLR3, t->T_Z3);
  const _TGRAPHV vertices{&points[0], &points[1], &points[2], nullptr};
  window->W_PRIMITIVE->Triangle[SlotType(window, type)](window, &face, &vertices);
}

void LS_WinQuadrangle(_WINDOW* window, int32_t type, const _QUADRANGLE* q) {
  if (!CanDraw(window) || !q) return;
  _TGRAPH face{};
  face.G_TEXTURE = q->Q_TEXT;
  face.G_COLOR = q->Q_COLOR;
  face.G_TRANSPARENCE = 0;
  face.G_LUM = q->Q_LUMINOSITE;
  face.G_OFFTEXTX1 = q->Q_XT1;
  face.G_OFFTEXTY1 = q->Q_YT1;
  face.G_OFFTEXTX2 = q->Q_XT2;
  face.G_OFFTEXTY2 = q->Q_YT2;
  face.G_OFFTEXTX3 = q->Q_XT3;
  face.G_OFFTEXTY3 = q->Q_YT3;
  face.G_OFFTEXTX4 = q->Q_XT4;
  face.G_OFFTEXTY4 = q->Q_YT4;
  _TPOINT3DV points[4]{};
  SetVertex(&points[0], q->Q_X1, q->Q_Y1, q->Q_CLR1, q->Q_Z1);
  SetVertex(&points[1], q->Q_X2, q->Q_Y2, q->Q_CLR2, q->Q_Z2);
  SetVertex(&points[2], q->Q_X3, q->Q_Y3, q->Q_CLR3, q->Q_Z3);
  SetVertex(&points[3], q->Q_X4, q->Q_Y4, q->Q_CLR4, q->Q_Z4);
  const _TGRAPHV vertices{&points[0], &points[1], &points[2], &points[3]};
  window->W_PRIMITIVE->Quadrangle[SlotType(window, type)](window, &face, &vertices);
}

void LSI_DrawOutline(const _WINDOW* window, const _TGRAPHV* vertices, int32_t count, uint32_t colour,
                     LS_LINEPROC line) {
  const _TPOINT3DV* points[4] = {vertices->V_PT1, vertices->V_PT2, vertices->V_PT3, vertices->V_PT4};
  for (int32_t i = 1; i <= count; ++i) {
    const _TPOINT3DV* from = points[i % count];
    const _TPOINT3DV* to = points[i - 1];
    line(window, from->P_XG, from->P_YG, to->P_XG, to->P_YG, colour);
  }
}

void LS_NoPrimitive(const _WINDOW*, int32_t, int32_t, uint32_t) {}
void LS_NoPrimitive(const _WINDOW*, int32_t, int32_t, int32_t, int32_t, uint32_t) {}
void LS_NoPrimitive(const _WINDOW*, const _TGRAPH*, const _TGRAPHV*) {}

void LS_NullPrimitive(const _WINDOW*, const _TGRAPH*, const _TGRAPHV*) {
  LS_Error(0, "ZIDADE3D NULL POINTER ERROR.");
  LS_Exit(-1);
}
