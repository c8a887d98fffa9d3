// The sun's lens flare on the accelerator: its 32-bit pictures made card
// textures, the sprites placed along the line from the sun through the
// view's centre with their alphas, their texture marks and their quads.
#include "scenery/lensflare.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine3d/powercache.h"
#include "engine3d/texcache.h"
#include "platform/accel/sgl.h"
#include "scenery/effects.h"
#include "scenery/framefx.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/file.h"
#include "system/picture.h"

namespace {

constexpr const char* kOwner = "Bmap de la lens flare";
constexpr double kSpread = 1.4;     // the line runs on past the centre
constexpr double kGlowHalf = 50.0;  // element 0 is placed by its centre
constexpr double kAlphaReach = 600.0;

// The sprites as set up for a race: size, texture, colour, factor.
constexpr TLENSFLARE kElements[SB_NBFLAREELEMENTS] = {
    {0, 0, 100, 100, 0, 0x80FFFFE0, 0.0}, {0, 0, 32, 32, 1, 0xF0FFFFFF, 0.12},
    {0, 0, 32, 32, 2, 0xF0E0E0E0, 0.29},  {0, 0, 32, 32, 3, 0x80E0E0FF, 0.36},
    {0, 0, 40, 40, 4, 0x80FFF0F0, 0.6},   {0, 0, 20, 20, 5, 0x80FFF0F0, 0.65},
    {0, 0, 32, 32, 6, 0x80FFF0F0, 0.85},  {0, 0, 44, 44, 7, 0x80E0E0FF, 1.0},
    {0, 0, 90, 90, 8, 0xB0E0FFE0, 1.2},   {0, 0, 20, 20, 2, 0xC080FF80, 0.42}};

TFLARESTATE g_flare{{},
                    {kElements[0], kElements[1], kElements[2], kElements[3], kElements[4], kElements[5],
                     kElements[6], kElements[7], kElements[8], kElements[9]},
                    0.0,
                    0};

// The flare picture of the index as a card texture: only a 32-bit picture
// with alpha, its alpha made the card's transparency; the slot or 0.
int32_t LoadFlareTexture(int32_t index) {
  char name[32];
  if (index == 0)
    std::snprintf(name, sizeof name, "miscpict>lens1.TGA");
  else
    std::snprintf(name, sizeof name, "miscpict>flare0%ld1.TGA", static_cast<long>(index));
  if (!LS_FileExists(name)) return 0;
  BMAP* picture = LS_LoadTga(name, 0);
  if (!picture) return 0;
  if (picture->Format != BMAP_ARGB8888) {
    LS_FreeBmap(picture);
    return 0;
  }
  BMAP* bitmap = SB_ConvertBmapTo32(picture);
  if (!bitmap) return 0;
  SB_InvertAlpha32(bitmap);
  const int32_t slot = POWER_CreateCachedTexture(bitmap, SGL_MAP_4444, 3, 0);
  SB_FreeBmap(bitmap);
  return slot;
}

void PlaceElements(float sx, float sy, double dx, double dy) {
  TLENSFLARE* e = g_flare.Elements;
  e[0].X = static_cast<float>(static_cast<int32_t>(e[0].Factor * dx) + sx - kGlowHalf);
  e[0].Y = static_cast<float>(static_cast<int32_t>(e[0].Factor * dy) + sy - kGlowHalf);
  for (int32_t i = 1; i < SB_NBFLAREELEMENTS; ++i) {
    e[i].X = static_cast<float>(static_cast<int32_t>(e[i].Factor * dx) - e[i].Width / 2 + sx);
    e[i].Y = static_cast<float>(static_cast<int32_t>(e[i].Factor * dy) - e[i].Height / 2 + sy);
  }
}

void SetAlpha(TLENSFLARE& e, uint32_t alpha) { e.Colour = alpha << 24 | (e.Colour & 0xFFFFFFu); }

// Each sprite the more opaque the farther from the glow; the glow itself
// the more opaque the farther the sun is from the view's centre.
void SetAlphas(double dx, double dy) {
  TLENSFLARE* e = g_flare.Elements;
  for (int32_t i = 0; i < SB_NBFLAREELEMENTS; ++i) {
    const double d = std::hypot(double{e[i].X} - e[0].X, double{e[i].Y} - e[0].Y);
    SetAlpha(e[i], static_cast<uint32_t>(std::min(255, static_cast<int32_t>(d / kAlphaReach * 128 + 128))));
  }
  const double r = std::sqrt((dx - 320) * (dx - 320) + (dy - 200) * (dy - 200)) / 377;
  SetAlpha(e[0], static_cast<uint32_t>(std::min(r * r * 0.5 * 256, 255.0)));
}

void DrawElement(int32_t i) {
  const TLENSFLARE& e = g_flare.Elements[i];
  const double v = g_flare.Visibility;
  double f = v;
  if (v < 0.5) f = i == 0 ? (v - 0.25) * 2 : (v - 0.4) * 5;
  if (f < 0.1) return;
  const int32_t name = POWER_SlotName(g_flare.Textures[e.Texture]);
  if (name < 0) return;
  const float z = i == 0 ? 1.28f : static_cast<float>((30 - i) * 0.01);
  const float w = i == 0 ? 0.78125f : 1.0f / z;
  float x0 = e.X, y0 = e.Y, x1 = e.X + e.Width, y1 = e.Y + e.Height;
  if (i == 0 || f != 1.0) {
    const double cx = e.X + (i == 0 ? kGlowHalf : e.Width / 2),
                 cy = e.Y + (i == 0 ? kGlowHalf : e.Height / 2);
    const double hw = e.Width * f / 2, hh = e.Height * f / 2;
    x0 = static_cast<float>(cx - hw), x1 = static_cast<float>(cx + hw);
    y0 = static_cast<float>(cy - hh), y1 = static_cast<float>(cy + hh);
  }
  const TSGLVERTEX quad[4] = {{x0, y0, z, w, e.Colour, 0, 0, 0},
                              {x1, y0, z, w, e.Colour, 0, 1, 0},
                              {x1, y1, z, w, e.Colour, 0, 1, 1},
                              {x0, y1, z, w, e.Colour, 0, 0, 1}};
  static const uint32_t kQuad[1][4] = {{0, 1, 2, 3}};
  SGLCONTEXT& c = SB_Var.SglContext;
  c.TextureName = name;
  c.SortDepth = static_cast<float>(1000 + 10 * i);
  const uint32_t fog = c.FogOn;
  c.FogOn = 0;
  sgltri_quads(&c, 1, kQuad, quad);
  c.FogOn = fog;
}

}  // namespace

TFLARESTATE& SB_FlareState() { return g_flare; }

BMAP* SB_ConvertBmapTo32(BMAP* picture) {
  if (!picture) return nullptr;
  BMAP* out = SB_CreateBmap(picture->SizeX, picture->SizeY, 32, 0, kOwner);
  if (out) {
    out->Format = BMAP_ABGR8888;
    if (picture->Format == BMAP_ARGB8888 && picture->Start) {
      for (int32_t y = 0; y < picture->SizeY; ++y) {
        const auto* in =
            reinterpret_cast<const uint32_t*>(picture->Start + static_cast<size_t>(y) * picture->ByteLen);
        auto* row = reinterpret_cast<uint32_t*>(out->Start + static_cast<size_t>(y) * out->ByteLen);
        for (int32_t x = 0; x < picture->SizeX; ++x) {
          const uint32_t p = in[x];
          row[x] = (p & 0xFF00FF00u) | (p >> 16 & 0xFFu) | (p & 0xFFu) << 16;
        }
      }
    } else {
      LS_Bitmove(picture, out, 0, 0, picture->SizeX - 1, picture->SizeY - 1, 0, 0, LS_BLIT_OPAQUE);
    }
  }
  SB_FreeBmap(picture);
  return out;
}

void SB_InvertAlpha32(BMAP* bitmap) {
  if (!bitmap || !bitmap->Start) return;
  for (int32_t y = 0; y < bitmap->SizeY; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(bitmap->Start + static_cast<size_t>(y) * bitmap->ByteLen);
    for (int32_t x = 0; x < bitmap->SizeX; ++x) row[x] ^= 0xFF000000u;
  }
}

__attribute__((weak)) void SB_InitLensFlare() {
  if (SB_Var.Renderer != SB_RENDERER_PVR) return;
  for (int32_t i = 0; i < SB_NBFLARETEXTURES; ++i) g_flare.Textures[i] = LoadFlareTexture(i);
  for (int32_t i = 0; i < SB_NBFLAREELEMENTS; ++i) g_flare.Elements[i] = kElements[i];
  g_flare.Visibility = 0.0;
  g_flare.Shown = 0;
}

__attribute__((weak)) void SB_DisposeLensFlare() {
  if (SB_Var.Renderer != SB_RENDERER_PVR) return;
  for (int32_t& slot : g_flare.Textures) {
    if (slot) POWER_RemoveCachedTexture(slot);
    slot = 0;
  }
  g_flare.Shown = 0;
}

__attribute__((weak)) void SB_UpdateLensFlare() {
  if (SB_Var.Renderer != SB_RENDERER_PVR) return;
  float sx = 0, sy = 0;
  if (!SB_ProjectSun(&sx, &sy)) {
    g_flare.Shown = 0;
    return;
  }
  g_flare.Shown = 1;
  const double dx = (SB_Var.ScreenWindow.W_WIDTH / 2 - sx) * kSpread;
  const double dy = (SB_Var.ScreenWindow.W_HEIGHT / 2 - sy) * kSpread;
  PlaceElements(sx, sy, dx, dy);
  g_flare.Visibility = 0.0;
  if (SB_Var.DayFactor > 0.01)
    g_flare.Visibility =
        std::min(SB_SunVisibility(static_cast<int32_t>(sx), static_cast<int32_t>(sy)), SB_Var.DayFactor);
  SetAlphas(dx, dy);
}

__attribute__((weak)) void SB_MarkLensFlareTextures(TSOFTSCENE* scene) {
  if (!scene || !g_flare.Shown) return;
  for (const TLENSFLARE& e : g_flare.Elements) {
    const int32_t slot = g_flare.Textures[e.Texture];
    if (slot > 0 && slot < SB_NBTEXTURESLOTS) ++scene->TextureUses[slot];
  }
}

__attribute__((weak)) void SB_DrawLensFlare(TSOFTSCENE*) {
  if (SB_Var.Renderer != SB_RENDERER_PVR || !g_flare.Shown || g_flare.Visibility < 0.01 || SB_Var.StarsOn)
    return;
  for (int32_t i = 0; i < SB_NBFLAREELEMENTS; ++i) DrawElement(i);
}
