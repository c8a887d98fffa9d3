// The start lights (the lit lamps of "DEPART3" copied onto "DEPART", the
// unlit ones put back) and the road lights, whose lit lamp moves along
// four places every 100 ms on the accelerator; both put back as the map
// drew them when the race ends.
#include <algorithm>

#include "engine3d/texcache.h"
#include "scenery/effects.h"
#include "scenery/framefx.h"
#include "scenery/panels.h"
#include "scenery/paneltexels.h"
#include "scenery/texcopy.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/heap.h"

namespace {

constexpr uint32_t kUseCount = ~SB_TEXTURE_CHANGED;
constexpr int32_t kRoadStep = 100;  // ms between moves
constexpr int32_t kRoadPlaces[4][2] = {{2, 1}, {37, 1}, {75, 1}, {110, 1}};
constexpr int32_t kRoadBlock = 16;

// A lamp rectangle, corners inclusive, relative to the textures' origins.
struct Lamps {
  int32_t x1, y1, x2, y2;
};
constexpr Lamps kCountdownCard = {5, 6, 122, 35}, kGoCard = {5, 35, 124, 60};
constexpr Lamps kCountdownSoft = {5, 6, 121, 34}, kGoSoft = {5, 35, 123, 59};
// The lamp page the rectangles are drawn for: the card's copy of the lamps.
constexpr int32_t kLampWidth = 128, kLampHeight = 64;

bool Card() { return SB_Var.Renderer == SB_RENDERER_PVR; }

}  // namespace

// A software page holds the lamp picture at its own size, larger than the
// card's copy (the data tree's is 256 x 128 where the card's is 128 x 64):
// the rectangles grow with it, so that the same lamps light in both paths.
void SB_ScaleLampRect(int32_t width, int32_t height, int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2) {
  const int32_t sx = std::max(1, width / kLampWidth), sy = std::max(1, height / kLampHeight);
  *x1 *= sx, *y1 *= sy;
  *x2 = (*x2 + 1) * sx - 1, *y2 = (*y2 + 1) * sy - 1;
}

namespace {

Lamps Scaled(Lamps r, const TPANELTARGET& t) {
  SB_ScaleLampRect(t.Width, t.Height, &r.x1, &r.y1, &r.x2, &r.y2);
  return r;
}

// The lamps of "DEPART3" onto "DEPART" inside both cards' textures.
void CopyCardLamps(const Lamps& r) {
  TPANELSTATE& s = SB_Var.Panels;
  TPANELTARGET on, off;
  if (!s.LampsOn.Present || !s.LampsOff.Present || !SB_PanelTarget(s.LampsOn.Texture, &on) ||
      !SB_PanelTarget(s.LampsOff.Texture, &off))
    return;
  const int32_t x2 = std::min({r.x2, on.Width - 1, off.Width - 1}), y2 = std::min({r.y2, on.Height - 1, off.Height - 1});
  if (x2 >= r.x1 && y2 >= r.y1)
    SB_TwiddledBlit(static_cast<int32_t>(s.LampsOn.PageNumber), static_cast<int32_t>(s.LampsOff.PageNumber),
                    on.X + r.x1, on.Y + r.y1, on.X + x2, on.Y + y2, off.X + r.x1, off.Y + r.y1);
  s.LampsChanged = 1;
}

// In software, at 8 or 16 bits: the lit lamps copied in, or (countdown
// lamps only) the saved unlit ones put back, in the rectangle grown with
// the page.
void CopySoftwareLamps(const Lamps& lamps, bool lit) {
  TPANELSTATE& s = SB_Var.Panels;
  TPANELTARGET on, off;
  if (!s.LampsOff.Present || !SB_PanelTarget(s.LampsOff.Texture, &off)) return;
  const bool fromSaver = !lit;
  if (fromSaver ? !s.SaverFilled || !s.trafficLightsSaver : !s.LampsOn.Present || !SB_PanelTarget(s.LampsOn.Texture, &on))
    return;
  const Lamps r = Scaled(lamps, off);
  const int32_t columns = r.x2 - r.x1 + 1;
  if (fromSaver && int64_t{columns} * (r.y2 - r.y1 + 1) * off.Bytes > s.SaverSize) return;
  for (int32_t y = r.y1; y <= r.y2 && y < off.Height; ++y)
    for (int32_t x = r.x1; x <= r.x2 && x < off.Width; ++x) {
      uint32_t texel;
      if (fromSaver) {
        const uint8_t* k = s.trafficLightsSaver + ((y - r.y1) * columns + (x - r.x1)) * off.Bytes;
        texel = off.Bytes == 1 ? k[0] : static_cast<uint32_t>(k[0] | k[1] << 8);
      } else {
        if (x >= on.Width || y >= on.Height) continue;
        texel = SB_GetPanelTexel(on, x, y);
      }
      SB_PutPanelTexel(off, x, y, texel);
    }
  SB_RefreshPanelLevels(s.LampsOff.Texture, r.x1, r.y1, columns, r.y2 - r.y1 + 1);
}

// The road light's two blocks of this phase and the next exchange texels.
void SwapBlocks(const TPANELPAGE& light, int32_t phase) {
  TPANELTARGET t;
  if (!SB_PanelTarget(light.Texture, &t)) return;
  const int32_t s = light.Width == 64 ? 1 : 0, side = kRoadBlock >> s;
  const int32_t* a = kRoadPlaces[phase & 3];
  const int32_t* b = kRoadPlaces[(phase + 1) & 3];
  for (int32_t y = a[1] >> s; y < (a[1] + kRoadBlock) >> s && y < t.Height; ++y)
    for (int32_t c = 0; c < side; ++c) {
      const int32_t xa = (a[0] >> s) + c, xb = (b[0] >> s) + c;
      if (xa >= t.Width || xb >= t.Width) continue;
      const uint32_t ta = SB_GetPanelTexel(t, xa, y);
      SB_PutPanelTexel(t, xa, y, SB_GetPanelTexel(t, xb, y));
      SB_PutPanelTexel(t, xb, y, ta);
    }
}

// The area a race writes into: every lamp of "DEPART" (the card's and the
// software's rectangles together, grown with a software page), the four
// blocks of a road light.
struct Area {
  int32_t x, y, w, h;
};
constexpr Lamps kLampArea = {5, 6, 124, 60};
Area RoadArea(const TPANELPAGE& light) {
  const int32_t s = light.Width == 64 ? 1 : 0;
  const int32_t x = kRoadPlaces[0][0] >> s, y = kRoadPlaces[0][1] >> s;
  return {x, y, (kRoadPlaces[3][0] >> s) + (kRoadBlock >> s) - x, ((kRoadPlaces[0][1] + kRoadBlock) >> s) - y};
}

void Forget(TPANELDRAWN& d) {
  if (d.Texels) SB_Release(d.Texels);
  d = TPANELDRAWN{};
}

// The block a target's texels lie in.
const void* BlockOf(const TPANELTARGET& t) {
  return t.Card ? static_cast<const void*>(t.Card) : static_cast<const void*>(t.Texels);
}

// The lamps' area of the page: in software grown with it.
Area LampArea(const TPANELPAGE& page) {
  TPANELTARGET t;
  const Lamps r = !Card() && page.Present && SB_PanelTarget(page.Texture, &t) ? Scaled(kLampArea, t) : kLampArea;
  return {r.x1, r.y1, r.x2 - r.x1 + 1, r.y2 - r.y1 + 1};
}

void Keep(TPANELDRAWN& d, const TPANELPAGE& page, const Area& a) {
  Forget(d);
  TPANELTARGET t;
  if (!page.Present || !SB_PanelTarget(page.Texture, &t)) return;
  const int32_t w = std::min(a.w, t.Width - a.x), h = std::min(a.h, t.Height - a.y);
  if (w < 1 || h < 1) return;
  d.Texels = static_cast<uint16_t*>(SB_GetMem(static_cast<int32_t>(sizeof(uint16_t)) * w * h, "InitPanel"));
  if (!d.Texels) return;
  d.Block = BlockOf(t), d.Bytes = t.Bytes;
  d.X = a.x, d.Y = a.y, d.W = w, d.H = h;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) d.Texels[y * w + x] = static_cast<uint16_t>(SB_GetPanelTexel(t, a.x + x, a.y + y));
}

// Written back only into the texels they were taken from, in the same format.
void PutBack(TPANELDRAWN& d, const TPANELPAGE& page) {
  TPANELTARGET t;
  if (d.Texels && page.Present && SB_PanelTarget(page.Texture, &t) && BlockOf(t) == d.Block &&
      t.Bytes == d.Bytes && d.X + d.W <= t.Width && d.Y + d.H <= t.Height)
    for (int32_t y = 0; y < d.H; ++y)
      for (int32_t x = 0; x < d.W; ++x) SB_PutPanelTexel(t, d.X + x, d.Y + y, d.Texels[y * d.W + x]);
  Forget(d);
}

}  // namespace

void SB_KeepMapLamps() {
  TPANELSTATE& s = SB_Var.Panels;
  Keep(s.Drawn[0], s.LampsOff, LampArea(s.LampsOff));
  for (int32_t k = 0; k < 2; ++k) Keep(s.Drawn[1 + k], s.RoadLights[k], RoadArea(s.RoadLights[k]));
  // On the card the page may still hold the last race's lamps.
  if (Card() && s.Drawn[0].Texels) s.LampsChanged = 1;
}

void SB_PutBackMapLamps() {
  TPANELSTATE& s = SB_Var.Panels;
  PutBack(s.Drawn[0], s.LampsOff);
  for (int32_t k = 0; k < 2; ++k) PutBack(s.Drawn[1 + k], s.RoadLights[k]);
}

void SB_ForgetMapLamps() {
  for (TPANELDRAWN& d : SB_Var.Panels.Drawn) Forget(d);
}

__attribute__((weak)) void SB_SetCountdownLights(int32_t lit) {
  if (Card())
    CopyCardLamps(kCountdownCard);
  else
    CopySoftwareLamps(kCountdownSoft, lit != 0);
}

__attribute__((weak)) void SB_SetGoLights() {
  if (Card())
    CopyCardLamps(kGoCard);
  else
    CopySoftwareLamps(kGoSoft, true);
}

__attribute__((weak)) void SB_InitRoadLights() {
  TPANELSTATE& s = SB_Var.Panels;
  if (!s.RoadLights[0].Present && !s.RoadLights[1].Present) return;
  s.RoadPhase = 0;
  s.RoadClock = 0;
}

__attribute__((weak)) void SB_EndRoadLights() {}

__attribute__((weak)) void SB_MarkRoadLightTextures(TSOFTSCENE* view) {
  if (!Card()) return;
  for (TPANELPAGE& light : SB_Var.Panels.RoadLights) {
    const int32_t page = static_cast<int32_t>(light.PageNumber);
    light.Visible = view && page > 0 && page < SB_NBTEXTURESLOTS && (view->TextureUses[page] & kUseCount) != 0;
    if (light.Present && light.Visible && SB_CardTexels(page).Pixels) POWER_MarkTextureUsed(view, page);
  }
}

__attribute__((weak)) void SB_AnimateRoadLights(TSOFTSCENE*) {
  if (!Card()) return;
  TPANELSTATE& s = SB_Var.Panels;
  s.RoadClock += SB_Var.FrameTime;
  if (s.RoadClock <= kRoadStep) return;
  s.RoadClock = std::max(s.RoadClock - kRoadStep, 0);
  for (const TPANELPAGE& light : s.RoadLights)
    if (light.Present && light.Visible) SwapBlocks(light, s.RoadPhase);
  s.RoadPhase = (s.RoadPhase + 1) & 3;
}
