// The software frame rasteriser: the draw list built, the band above the
// panorama filled, each entry handed to the filler of its kind with the
// window locked, far to near; then, while L or N is held, the entries'
// outlines over the view.
#include "shell/gamedraw.h"
#include "shell/gameevent.h"
#include "shell/gamepicture.h"
#include "shell/sbvar.h"
#include "softrender/drawlist.h"
#include "softrender/softrender.h"
#include "system/bmap.h"
#include "system/palette.h"

namespace {

constexpr int32_t kKeyL = 76, kKeyN = 78;

TSOFTVERTEX* Corner(const TSOFTSCENE* scene, uint32_t index) {
  return static_cast<TSOFTVERTEX*>(scene->Vertices) + index;
}

void Fill(_WINDOW* window, const TSOFTSCENE* scene, const TSOFTDRAW& e) {
  uint8_t* texture = E3D_SoftTextureBase(scene, e.Texture);
  if (!texture) return;
  const auto size = static_cast<int32_t>(static_cast<int8_t>(e.SizeIndex));
  if (e.Kind == 5 || e.Kind == 6) {
    TSOFTPERSP& p = static_cast<TSOFTPERSP*>(SB_Var.TriBuffers[1])[e.Fill];
    const SB_POLYFILLERPROC filler = e.Kind == 5 ? SB_Var.PerspOpaqueFiller : SB_Var.PerspTranspFiller;
    if (filler) filler(size, Corner(scene, p.FirstVertex), p.NbVertices, texture, window->W_ADDRESS, &p.Origin, p.Matrix);
    return;
  }
  const SB_TRIFILLERPROC filler = e.Kind == 1 || e.Kind == 3 ? SB_Var.AffineTriFiller
                                  : e.Kind == 9 || e.Kind == 10 ? SB_Var.PerspTriFiller
                                                                : nullptr;
  if (!filler) return;
  const TSOFTTRI& t = static_cast<const TSOFTTRI*>(SB_Var.TriBuffers[0])[e.Fill];
  filler(size, window, texture, Corner(scene, t.Corner[0]), Corner(scene, t.Corner[1]), Corner(scene, t.Corner[2]),
         e.Kind == 3 || e.Kind == 10);
}

// The palette colour nearest to (r, g, b), as the view's pixels hold it:
// the index at 8 bits, the entry converted to 5-5-5 or 5-6-5 at 16.
uint32_t OutlineColour(const _WINDOW* window, int32_t r, int32_t g, int32_t b) {
  const int32_t index = SB_FindNearestColor(SB_Var.Pal3d, r, g, b);
  const BMAP* bmap = window->W_BMAP;
  if (!bmap || bmap->Depth != 16) return static_cast<uint32_t>(index);
  if (SB_Var.Pal3d) {
    const LS_RGB& c = SB_Var.Pal3d->Entry[index];
    r = c.Red, g = c.Green, b = c.Blue;
  }
  const auto red = static_cast<uint32_t>(r >> 1), green = static_cast<uint32_t>(g), blue = static_cast<uint32_t>(b >> 1);
  if (bmap->Format & (BMAP_RGB565 | BMAP_BGR565)) return red << 11 | green << 5 | blue;
  return red << 10 | (green >> 1) << 5 | blue;
}

void Polyline(_WINDOW* window, TSOFTVERTEX* const* corners, int32_t n, uint32_t colour) {
  for (int32_t i = 0; i < n; ++i) {
    const TSOFTVERTEX* a = corners[i];
    const TSOFTVERTEX* b = corners[i + 1 == n ? 0 : i + 1];
    LS_WinLine(window, a->X, a->Y, b->X, b->Y, colour);
  }
}

// The edges of an entry of kinds 1 to 6, 9 and 10; other kinds have none.
void Outline(_WINDOW* window, const TSOFTSCENE* scene, const TSOFTDRAW& e, uint32_t colour) {
  TSOFTVERTEX* corners[16];
  int32_t n = 0;
  if (e.Kind == 5 || e.Kind == 6) {
    const TSOFTPERSP& p = static_cast<const TSOFTPERSP*>(SB_Var.TriBuffers[1])[e.Fill];
    for (n = 0; n < p.NbVertices && n < 16; ++n) corners[n] = Corner(scene, p.FirstVertex + static_cast<uint32_t>(n));
  } else if ((e.Kind >= 1 && e.Kind <= 4) || e.Kind == 9 || e.Kind == 10) {
    const TSOFTTRI& t = static_cast<const TSOFTTRI*>(SB_Var.TriBuffers[0])[e.Fill];
    for (n = 0; n < 3; ++n) corners[n] = Corner(scene, t.Corner[n]);
  }
  Polyline(window, corners, n, colour);
}

// L: every entry in cyan. N: letter M's entries blue, letter C's cyan.
void DrawOutlines(_WINDOW* window, const TSOFTSCENE* scene, bool all) {
  const uint32_t cyan = OutlineColour(window, 0, 63, 63), blue = OutlineColour(window, 0, 0, 63);
  LS_LockWindow(window);
  const auto* draws = static_cast<const TSOFTDRAW*>(SB_Var.TriBuffers[2]);
  for (int32_t i = 0; window->W_ADDRESS && i < E3D_SoftDraws.NbDraws; ++i) {
    const TSOFTDRAW& e = draws[i];
    if (all) Outline(window, scene, e, cyan);
    if (!all && e.OutlineA) Outline(window, scene, e, blue);
    if (!all && e.OutlineB) Outline(window, scene, e, cyan);
  }
  LS_UnlockWindow(window);
}

}  // namespace

// Weak, so that the frame's tests can record the call in its place.
__attribute__((weak)) void SB_FillAbovePanorama() {
  const _WINDOW& w = SB_Var.ScreenWindow;
  if (!SB_Var.TextScreen || SB_Var.BackgroundFillLimit < w.W_POSY || w.W_WIDTH <= 0 || w.W_HEIGHT <= 0) return;
  const int32_t bottom = w.W_POSY + w.W_HEIGHT - 1;
  const int32_t limit = SB_Var.BackgroundFillLimit < bottom ? SB_Var.BackgroundFillLimit : bottom;
  SB_FillRect(SB_Var.TextScreen, w.W_POSX, w.W_POSY, w.W_POSX + w.W_WIDTH - 1, limit, SB_Var.BackgroundFill);
}

// Weak, so that the race tests can record the call in its place.
__attribute__((weak)) void E3D_SoftDrawScene(_WINDOW* window, TSOFTSCENE* scene) {
  if (!window || !scene) return;
  // The band above the panorama is the frame's own, whatever the view
  // holds: a view without polygons still gets it, or the band keeps the
  // pixels of an earlier frame.
  if (!scene->FirstPolygon || scene->NbPolygons <= 0) {
    SB_FillAbovePanorama();
    return;
  }
  E3D_SoftBuildDrawList(window, scene);
  SB_Var.NbPolysDrawn = E3D_SoftDraws.NbDraws;
  SB_FillAbovePanorama();
  LS_LockWindow(window);
  if (window->W_ADDRESS && window->W_BMAP) {
    E3D_FillPitch = window->W_BMAP->ByteLen;
    E3D_FillWidth = window->W_WIDTH, E3D_FillHeight = window->W_HEIGHT;
    const auto* draws = static_cast<const TSOFTDRAW*>(SB_Var.TriBuffers[2]);
    for (int32_t i = 0; i < E3D_SoftDraws.NbDraws; ++i) Fill(window, scene, draws[i]);
  }
  LS_UnlockWindow(window);
  if (SB_KeyDown(kKeyL)) DrawOutlines(window, scene, true);
  if (SB_KeyDown(kKeyN)) DrawOutlines(window, scene, false);
}
