// Bitmap animations: the two loaders (any base name in the default heap,
// the busy cursor in the interface heap), advancing by elapsed time, the
// opaque, transparent and centred draws, the covered boxes and the time
// step of the busy cursor.
#include "frontend/bmapanim.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "frontend/menuparts.h"
#include "shell/gameclock.h"
#include "shell/gamepicture.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/file.h"
#include "system/heap.h"
#include "system/picture.h"

namespace {

constexpr double kEditorPeriod = 0.1;
constexpr double kCursorPeriod = 0.02;
constexpr double kMaxTimeStep = 0.02;
constexpr double kMinTransparentPeriod = 0.0001;
constexpr int32_t kEmptyLow = 1000000, kEmptyHigh = -1000000;
const char* const kCursorFirst = ">INTER>BMAPS>roue0000.tga";
const char* const kCursorBase = ">INTER>BMAPS>roue00";

// Loads frame n of a series (n -1: the base name alone) as a 16-bit or
// editor-depth copy; null when the file is missing or unreadable.
using FRAMELOADER = BMAP* (*)(const char* base, int32_t n);

// Tries frames -1, 0, 1, ... into frames: the first three names are always
// tried, and from the fourth on the first missing one ends the series.
int32_t LoadSeries(const char* base, FRAMELOADER load, BMAP** frames) {
  int32_t count = 0;
  for (int32_t n = -1; count < SB_MAXANIMFRAMES; ++n) {
    BMAP* frame = load(base, n);
    if (frame) frames[count++] = frame;
    if (!frame && n >= 2) break;
  }
  return count;
}

BMAP* EditorFrame(const char* base, int32_t n) {
  char name[LS_PATHSIZE];
  const int written = n < 0 ? std::snprintf(name, sizeof name, "%s.TGA", base)
                            : std::snprintf(name, sizeof name, "%s%ld.TGA", base, static_cast<long>(n));
  if (written < 0 || static_cast<size_t>(written) >= sizeof name) return nullptr;
  BMAP* picture = SB_LoadTga(name);
  if (!picture) return nullptr;
  const int32_t depth = SB_Var.CarEditorDepth ? SB_Var.CarEditorDepth : 16;
  BMAP* frame = SB_CreateBmap(picture->SizeX, picture->SizeY, depth, LS_DefaultHeap, "CarEditor");
  if (frame) {
    frame->Palette = SB_Var.Pal3d;
    LS_Bitmove(picture, frame, 0, 0, picture->SizeX - 1, picture->SizeY - 1, 0, 0, LS_BLIT_OPAQUE);
  }
  SB_FreeBmap(picture);
  return frame;
}

BMAP* CursorFrame(const char* base, int32_t n) {
  char name[LS_PATHSIZE];
  const int written = n < 0    ? std::snprintf(name, sizeof name, "%s.TGA", base)
                      : n < 10 ? std::snprintf(name, sizeof name, "%s0%ld.TGA", base, static_cast<long>(n))
                               : std::snprintf(name, sizeof name, "%s%ld.TGA", base, static_cast<long>(n));
  if (written < 0 || static_cast<size_t>(written) >= sizeof name || !LS_FileExists(name)) return nullptr;
  BMAP* picture = LS_LoadTga(name, SB_Var.MenuHeap);
  if (!picture) return nullptr;
  BMAP* frame = SB_CreateBmap(picture->SizeX, picture->SizeY, 16, SB_Var.MenuHeap, "loadbmapanim");
  if (frame) LS_Bitmove(picture, frame, 0, 0, picture->SizeX - 1, picture->SizeY - 1, 0, 0, LS_BLIT_OPAQUE);
  LS_FreeBmap(picture);
  return frame;
}

BMAP* Current(BMAPANIM* anim) { return anim->NbFrames > 0 ? anim->Frames[anim->CurFrame] : nullptr; }

void Draw(BMAP* frame, BMAP* dst, int32_t x, int32_t y, int32_t mode) {
  if (frame && dst) LS_Bitmove(frame, dst, 0, 0, frame->SizeX - 1, frame->SizeY - 1, x, y, mode);
}

void Box(BMAPANIM* anim, int32_t x, int32_t y, bool centred, int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2) {
  int32_t a = kEmptyLow, b = kEmptyLow, c = kEmptyHigh, d = kEmptyHigh;
  for (int32_t i = 0; anim && i < anim->NbFrames; ++i) {
    const BMAP* f = anim->Frames[i];
    const int32_t left = centred ? x - f->SizeX / 2 : x, top = centred ? y - f->SizeY / 2 : y;
    a = std::min(a, left), b = std::min(b, top);
    c = std::max(c, left + f->SizeX - 1), d = std::max(d, top + f->SizeY - 1);
  }
  *x1 = a, *y1 = b, *x2 = c, *y2 = d;
}

// The record and its frame array from the loader's memory; without frames
// or memory, null (and the frames freed).
BMAPANIM* MakeAnim(BMAP** frames, int32_t count, double period, void* (*alloc)(uint32_t),
                   int32_t (*release)(void*)) {
  if (count == 0) return nullptr;
  auto* anim = static_cast<BMAPANIM*>(alloc(sizeof(BMAPANIM)));
  auto* array = static_cast<BMAP**>(alloc(static_cast<uint32_t>(sizeof(BMAP*)) * static_cast<uint32_t>(count)));
  if (!anim || !array) {
    for (int32_t i = 0; i < count; ++i) SB_FreeBmap(frames[i]);
    if (anim) release(anim);
    if (array) release(array);
    return nullptr;
  }
  std::copy(frames, frames + count, array);
  *anim = BMAPANIM{count, 0, 0.0, period, array};
  return anim;
}

}  // namespace

BMAPANIM* LoadBmapAnim(const char* base) {
  if (!base) return nullptr;
  BMAP* frames[SB_MAXANIMFRAMES];
  const int32_t count = LoadSeries(base, EditorFrame, frames);
  return MakeAnim(
      frames, count, kEditorPeriod, [](uint32_t size) { return SB_GetMem(static_cast<int32_t>(size), "LoadBmapAnim"); },
      SB_Release);
}

BMAPANIM* loadbmapanim() {
  if (!LS_FileExists(kCursorFirst)) return nullptr;
  BMAP* frames[SB_MAXANIMFRAMES];
  const int32_t count = LoadSeries(kCursorBase, CursorFrame, frames);
  return MakeAnim(
      frames, count, kCursorPeriod, [](uint32_t size) { return LS_GetMemHeap(SB_Var.MenuHeap, size); }, LS_Release);
}

void FreeBmapAnim(BMAPANIM* anim) {
  if (!anim) return;
  for (int32_t i = 0; i < anim->NbFrames; ++i) SB_FreeBmap(anim->Frames[i]);
  SB_Release(anim->Frames);
  SB_Release(anim);
}

void FreeBmapAnimSys(BMAPANIM* anim) {
  if (!anim) return;
  for (int32_t i = 0; i < anim->NbFrames; ++i) SB_FreeBmap(anim->Frames[i]);
  LS_Release(anim->Frames);
  LS_Release(anim);
}

void AdvanceBmapAnim(BMAPANIM* anim, double dt) {
  if (!anim || anim->NbFrames <= 0) return;
  anim->Time += dt;
  // A period of 0 or less would never stop stepping: the frame stays.
  if (anim->Period > 0.0)
    while (anim->Time >= anim->Period) {
      anim->Time -= anim->Period;
      anim->CurFrame += 1;
      if (anim->CurFrame >= anim->NbFrames) anim->CurFrame = 0;
    }
  anim->CurFrame %= anim->NbFrames;
}

void DrawBmapAnim(BMAPANIM* anim, BMAP* dst, int32_t x, int32_t y, double dt) {
  if (!anim) return;
  AdvanceBmapAnim(anim, dt);
  Draw(Current(anim), dst, x, y, LS_BLIT_OPAQUE);
}

void DrawBmapAnimTransparent(BMAPANIM* anim, BMAP* dst, int32_t x, int32_t y, double dt) {
  if (!anim) return;
  if (std::fabs(anim->Period) < kMinTransparentPeriod) LS_Error(0, "AniSpeed = %f", anim->Period);
  AdvanceBmapAnim(anim, dt);
  Draw(Current(anim), dst, x, y, LS_BLIT_TRANSPARENT);
}

void DrawBmapAnimCentred(BMAPANIM* anim, BMAP* dst, int32_t x, int32_t y, double dt) {
  if (!anim) return;
  AdvanceBmapAnim(anim, dt);
  DrawBmapCentred(Current(anim), dst, x, y);
}

void DrawBmapCentred(BMAP* bmap, BMAP* dst, int32_t x, int32_t y) {
  if (bmap) Draw(bmap, dst, x - bmap->SizeX / 2, y - bmap->SizeY / 2, LS_BLIT_OPAQUE);
}

void GetBmapAnimBox(BMAPANIM* anim, int32_t x, int32_t y, int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2) {
  Box(anim, x, y, false, x1, y1, x2, y2);
}

void GetBmapAnimBoxCentred(BMAPANIM* anim, int32_t x, int32_t y, int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2) {
  Box(anim, x, y, true, x1, y1, x2, y2);
}

double GetAnimTimeStep() {
  const uint32_t now = SB_GetTime();
  const double dt = static_cast<int32_t>(now - SB_Var.AnimTimeLast) * 0.001;
  SB_Var.AnimTimeLast = now;
  return std::fabs(dt) <= kMaxTimeStep ? dt : kMaxTimeStep;
}
