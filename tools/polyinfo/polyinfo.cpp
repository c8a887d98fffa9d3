// The polygon inspector: while F11 is held in an accelerated race with the
// developer display or the editors on, the race stops on the frame just
// drawn; the polygon under the mouse is outlined and its render data
// printed, until the right button or Q.
#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>

#include "engine3d/types.h"
#include "platform/accel/types.h"
#include "shell/gameclock.h"
#include "shell/gamedraw.h"
#include "shell/gameevent.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "system/asm3d/zidade3d.h"
#include "system/bmap.h"
#include "system/font.h"
#include "system/graphic.h"
#include "system/input.h"
#include "system/heap.h"
#include "system/lsvar.h"
#include "system/picture.h"
#include "tools/editors.h"
#include "tools/polyinfo/polyinfo.h"

namespace {

constexpr int32_t kF11 = 122, kQ = 81;
constexpr int32_t kRightButton = 2;
constexpr uint32_t kOutline = 0xFFFF;
constexpr int32_t kRendererPvr = 3;
constexpr const char* kCursorFile = "interfac>cursor.tga";

struct TINSPECTOR {
  BMAP* Cursor;
  BMAP* Save;
  int32_t PrevX, PrevY;  // -1: no cursor drawn
  const TSGLPOLY* Shown;
};

// The key is read last: outside the inspector's conditions a race frame
// reads no key for it.
bool Active() {
  return SB_Var.Renderer == kRendererPvr && (SB_Var.DrawDevInfo || SB_Var.EditorMode) && SB_KeyDown(kF11);
}

const TTEXTUREPLACE* PlaceOf(const TSGLPOLY* p) {
  return p->TextureIndex < SB_MAXTEXTURES ? &SB_Var.TexturePlaces[p->TextureIndex] : nullptr;
}

const TEXTURECACHE* CacheOf(int64_t slot) {
  return slot >= 0 && slot < SB_MAXCACHETEXTURE ? &SB_Var.TextureCache[slot] : nullptr;
}

void Copy(BMAP* from, BMAP* to) {
  if (from && to) SB_Bitmove(from, to, 0, 0, from->SizeX - 1, from->SizeY - 1, 0, 0);
}

void Outline(const TSGLPOLY* p) {
  _WINDOW w{};
  LS_LockBmap(LS_Var.Screen);  // a surface's pixels have an address only while locked
  LS_InitWindowFull(LS_Var.Screen, &w, 0);
  const int32_t n = p->NbVertices;
  for (int32_t i = 0; i < n; ++i) {
    const TSGLVERTEX &a = p->Vertices[i], &b = p->Vertices[(i + 1) % n];
    int32_t x1, y1, x2, y2;
    if (SB_ScreenPixel(a.X, &x1) && SB_ScreenPixel(a.Y, &y1) && SB_ScreenPixel(b.X, &x2) && SB_ScreenPixel(b.Y, &y2))
      LS_WinLine(&w, SB_Var.ScreenWindow.W_POSX + x1, SB_Var.ScreenWindow.W_POSY + y1,
                 SB_Var.ScreenWindow.W_POSX + x2, SB_Var.ScreenWindow.W_POSY + y2, kOutline);
  }
  LS_UnlockBmap(LS_Var.Screen);
}

void Print(const char* text, int32_t x, int32_t y) { LS_DrawString(LS_Var.SysFont, LS_Var.Screen, text, x, y, 0); }

void Describe(const TSGLPOLY* p) {
  char line[256];
  SB_PolygonTitle(p, line, sizeof line);
  Print(line, 10, 10);
  for (int32_t i = 0; i < p->NbVertices; ++i) {
    const TSGLVERTEX& v = p->Vertices[i];
    const TSGLCLIP c = p->Clip ? p->Clip[i] : TSGLCLIP{};
    const int32_t y = 20 + 30 * i;
    std::snprintf(line, sizeof line, "%ld: x:%f y:%f z:%f u:%f v:%f", static_cast<long>(i), c.X, c.Y, c.Z, v.U, v.V);
    Print(line, 10, y);
    std::snprintf(line, sizeof line, "   xs:%f ys:%f zs:%f iz:%f", v.X, v.Y, v.Depth, v.InvW);
    Print(line, 10, y + 10);
    std::snprintf(line, sizeof line, "   sp:%X co:%X", v.Specular, v.Colour);
    Print(line, 10, y + 20);
    int32_t sx, sy;
    std::snprintf(line, sizeof line, "%ld", static_cast<long>(i));
    if (SB_ScreenPixel(v.X, &sx) && SB_ScreenPixel(v.Y, &sy))
      Print(line, SB_Var.ScreenWindow.W_POSX + sx, SB_Var.ScreenWindow.W_POSY + sy);
  }
}

bool LoadCursor(TINSPECTOR* s) {
  BMAP* picture = LS_LoadTga(kCursorFile, LS_DefaultHeap);
  if (!picture || !LS_Var.Screen) {
    if (picture) LS_FreeBmap(picture);
    return false;
  }
  const int32_t depth = LS_Var.Screen->Depth;
  s->Cursor = LS_CreateBmap(picture->SizeX, picture->SizeY, depth, BMAP_VIDEOMEM);
  s->Save = LS_CreateBmap(picture->SizeX, picture->SizeY, depth, BMAP_VIDEOMEM);
  if (s->Cursor) SB_Bitmove(picture, s->Cursor, 0, 0, picture->SizeX - 1, picture->SizeY - 1, 0, 0);
  LS_FreeBmap(picture);
  return s->Cursor && s->Save;
}

// One pass; false when the user leaves.
bool Pass(TSOFTSCENE* scene, TINSPECTOR* s) {
  SB_UpdateEvent();
  LS_WaitVbl();
  if (SB_Hooks.ScreenShot) SB_Hooks.ScreenShot(LS_Var.Screen);
  int32_t x = 0, y = 0, buttons = 0;
  LS_GetMouse(&x, &y, &buttons);
  if ((buttons & kRightButton) || LS_KeyDown(kQ) || !LSYS_KeyMayCome()) return false;
  BMAP* screen = LS_Var.Screen;
  const int32_t w = s->Cursor->SizeX, h = s->Cursor->SizeY;
  if (s->PrevX >= 0) SB_Bitmove(s->Save, screen, 0, 0, w - 1, h - 1, s->PrevX, s->PrevY);
  // Unsigned offsets: left of or above the window is far away, no pick.
  const uint32_t dx = static_cast<uint32_t>(x) - static_cast<uint32_t>(SB_Var.ScreenWindow.W_POSX);
  const uint32_t dy = static_cast<uint32_t>(y) - static_cast<uint32_t>(SB_Var.ScreenWindow.W_POSY);
  const TSGLPOLY* p = SB_PickPolygon(scene, dx, dy);
  if (p != s->Shown) {
    Copy(SB_Var.TextScreen, screen);
    s->Shown = p;
    if (p) {
      Outline(p);
      if (p->Kind != 1 && p->Kind != 3 && p->Kind != 7) {
        s->Shown = nullptr;
        s->PrevX = s->PrevY = -1;
        return true;
      }
      Describe(p);
    }
  }
  SB_Bitmove(screen, s->Save, x, y, x + w - 1, y + h - 1, 0, 0);
  SB_BitmoveTransparent(s->Cursor, screen, 0, 0, w - 1, h - 1, x, y);
  s->PrevX = x;
  s->PrevY = y;
  return true;
}

}  // namespace

bool SB_ScreenPixel(float v, int32_t* pixel) {
  if (!std::isfinite(v)) return false;
  *pixel = static_cast<int32_t>(std::trunc(std::clamp(v, -32768.0f, 32767.0f)));
  return true;
}

void SB_PolygonTitle(const TSGLPOLY* p, char* text, int32_t size) {
  const TTEXTUREPLACE* place = PlaceOf(p);
  // The texture slot: the polygon's own for kind 7, else its material's
  // page; none without a material in the table.
  const int64_t slot = p->Kind == 7 ? int64_t{p->Texture} : place ? place->PageNumber : -1;
  char name[SB_TEXTURENAMESIZE + 1] = "";
  if (p->Kind != 7 && place) {
    for (int32_t i = 0; i < 15 && i < SB_TEXTURENAMESIZE; ++i) {
      const char c = SB_Var.TextureNames[p->TextureIndex][i];
      name[i] = c ? c : ' ';
      name[i + 1] = 0;
    }
  }
  const TEXTURECACHE* named = CacheOf(slot);
  const TEXTURECACHE* flagged = CacheOf(place ? place->PageNumber : -1);
  const bool placed = place && p->Kind != 7;
  std::snprintf(text, static_cast<size_t>(size), "T%ld NP%ld (TI%ld [%s] l%ld sgl:%X X%3d Y%3d F%X T:%ld)",
                static_cast<long>(p->Kind), static_cast<long>(p->NbVertices),
                static_cast<long>(slot >= 0 || place ? slot : 0), name,
                static_cast<long>(place ? static_cast<int8_t>(place->Three) : 0),
                static_cast<unsigned>(named ? named->Name : 0), placed ? static_cast<int>(place->X) : 0,
                placed ? static_cast<int>(place->Y) : 0, flagged ? flagged->Flags : 0u,
                static_cast<long>(place ? static_cast<int8_t>(place->Variant) : 0));
}

void SB_InspectPolygons(TSOFTSCENE* scene) {
  if (!Active()) return;
  Copy(SB_Var.TextScreen, LS_Var.Screen);
  TINSPECTOR s{nullptr, nullptr, -1, -1, nullptr};
  if (LoadCursor(&s)) {
    LS_SetMouseLimits(0, 0, LS_Var.Screen->SizeX, LS_Var.Screen->SizeY);
    LS_SetMousePos(0, 0);
    while (Pass(scene, &s)) {
    }
  }
  if (s.Cursor) LS_FreeBmap(s.Cursor);
  if (s.Save) LS_FreeBmap(s.Save);
  SB_ResetClock();
}
