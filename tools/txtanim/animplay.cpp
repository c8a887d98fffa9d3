// Texture-animation playback: start, stop, pause, and the per-frame pass
// that copies the steps' rectangles between texture pages or rotates a
// scroll rectangle (drawing previews into the editor's screen while it
// runs); and the per-texture lists of the animations writing into each.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine3d/texpages.h"
#include "shell/gamedraw.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/font.h"
#include "system/lsvar.h"
#include "tools/editors.h"
#include "tools/txtanim/txtanim.h"

namespace {

constexpr int32_t kPreviewX = 100, kPreviewY = 50;

int32_t gNbLists = 0;  // entries of the built list array

// The page bitmap texture i lies on, or null (no such texture, no page,
// or the accelerated path, which keeps no page bitmaps).
BMAP* PageOf(int32_t texture) {
  if (texture < 0 || texture >= SB_TextureNameCount()) return nullptr;
  const int32_t page = SB_SoftTexturePlaces()[texture].PageNumber;
  if (page < 0 || page >= SB_Var.NbTexturePages || page >= SB_MAXTEXTTRI) return nullptr;
  BMAP* bmap = SB_Var.TexturePages[page];
  return bmap && bmap->Start ? bmap : nullptr;
}

bool InPage(const BMAP* page, int32_t x, int32_t y, int32_t w, int32_t h) {
  return w > 0 && h > 0 && x >= 0 && y >= 0 && x + w <= page->SizeX && y + h <= page->SizeY;
}

// The step is due when its time has run out; now is the clock then.
bool Due(const TTXTANIM& anim, const TTXTANIMSTEP& step, uint32_t* now) {
  *now = SB_Var.Time;
  const int32_t elapsed = static_cast<int32_t>(SB_Var.Time - step.StartTime);
  return elapsed > step.Delay * anim.Rate;
}

void PreviewFrame(bool clear) {
  SB_TxtAnimFrame(kPreviewX - 3, kPreviewY - 3, 358, 308);
  if (clear && SB_TxtAnimUi.Screen) LS_FillRect(SB_TxtAnimUi.Screen, 100, 50, 354, 304, SB_TxtAnimUi.Line);
}

void PreviewCopy(BMAP* page, int32_t x, int32_t y, int32_t w, int32_t h, int32_t atX, int32_t atY) {
  if (page && SB_TxtAnimUi.Screen && w > 0 && h > 0)
    LS_Bitmove(page, SB_TxtAnimUi.Screen, x, y, x + w - 1, y + h - 1, atX + kPreviewX, atY + kPreviewY,
               LS_BLIT_OPAQUE);
}

void DrawCopyPreview(const TTXTANIM& anim, const TTXTANIMSTEP& s) {
  const bool defined = (s.SrcFlags & TXA_SRCDEFINED) && (s.DstFlags & TXA_DSTDEFINED);
  if (!defined) {
    if (SB_TxtAnimUi.Screen) {
      LS_FillRect(SB_TxtAnimUi.Screen, 100, 50, 354, 304, SB_TxtAnimUi.Line);
      LS_DrawString(LS_Var.SysFont, SB_TxtAnimUi.Screen, "UNDEFINED...", 160, 110, LS_BLIT_TRANSPARENT);
    }
    return;
  }
  PreviewFrame(false);
  if (&s == &anim.Steps[0]) {
    PreviewFrame(true);
    if (s.DstTexture >= 0 && s.DstTexture < SB_TextureNameCount()) {
      const TTEXTUREPLACE& p = SB_SoftTexturePlaces()[s.DstTexture];
      PreviewCopy(PageOf(s.DstTexture), p.X, p.Y, p.Width, p.Height, p.X, p.Y);
    }
  }
  PreviewCopy(PageOf(s.SrcTexture), s.SrcX, s.SrcY, s.SrcW, s.SrcH, s.DstX, s.DstY);
}

void CopyStep(TTXTANIM& anim) {
  if (anim.NbSteps <= 0 || anim.CurStep < 0 || anim.CurStep >= anim.NbSteps) {
    anim.Flags |= TXA_ENDED;
    return;
  }
  TTXTANIMSTEP& s = anim.Steps[anim.CurStep];
  uint32_t now = 0;
  if (!Due(anim, s, &now)) return;
  const bool defined = (s.SrcFlags & TXA_SRCDEFINED) && (s.DstFlags & TXA_DSTDEFINED);
  if (SB_Var.TxtAnimEditing) {
    DrawCopyPreview(anim, s);
  } else if (defined) {
    BMAP* from = PageOf(s.SrcTexture);
    BMAP* to = PageOf(s.DstTexture);
    if (from && to) SB_Bitmove(from, to, s.SrcX, s.SrcY, s.SrcX + s.SrcW - 1, s.SrcY + s.SrcH - 1, s.DstX, s.DstY);
  }
  const bool loop = anim.Flags & TXA_LOOP;
  int32_t next = anim.CurStep + ((anim.Flags & TXA_FORWARD) ? 1 : -1);
  if (next < 0 || next >= anim.NbSteps) {
    if (!loop) {
      anim.Flags |= TXA_ENDED;
      return;
    }
    next = next < 0 ? anim.NbSteps - 1 : 0;
  }
  anim.CurStep = static_cast<int8_t>(next);
  anim.Steps[next].StartTime = now;
}

// Reverses rows a .. b - 1 of a rectangle, whole rows swapped.
void ReverseRows(uint8_t* at, int32_t pitch, int32_t rowBytes, int32_t a, int32_t b) {
  for (--b; a < b; ++a, --b) std::swap_ranges(at + a * pitch, at + a * pitch + rowBytes, at + b * pitch);
}

// Rotates the rectangle up by n rows (down when n is negative), in place
// and without scratch: three reversals.
void RotateRows(uint8_t* at, int32_t pitch, int32_t rowBytes, int32_t h, int32_t n) {
  n = ((n % h) + h) % h;
  if (n == 0) return;
  ReverseRows(at, pitch, rowBytes, 0, n);
  ReverseRows(at, pitch, rowBytes, n, h);
  ReverseRows(at, pitch, rowBytes, 0, h);
}

// Rotates every row left by n texels (right when n is negative).
void RotateTexels(uint8_t* at, int32_t pitch, int32_t bytes, int32_t w, int32_t h, int32_t n) {
  n = ((n % w) + w) % w;
  if (n == 0) return;
  for (int32_t r = 0; r < h; ++r) std::rotate(at + r * pitch, at + r * pitch + n * bytes, at + r * pitch + w * bytes);
}

int32_t Opposite(int32_t kind) {
  switch (kind) {
    case TXA_KIND_TOP: return TXA_KIND_BOTTOM;
    case TXA_KIND_BOTTOM: return TXA_KIND_TOP;
    case TXA_KIND_LEFT: return TXA_KIND_RIGHT;
    case TXA_KIND_RIGHT: return TXA_KIND_LEFT;
    case TXA_KIND_TOPLEFT: return TXA_KIND_BOTRIGHT;
    case TXA_KIND_BOTRIGHT: return TXA_KIND_TOPLEFT;
    case TXA_KIND_TOPRIGHT: return TXA_KIND_BOTLEFT;
    case TXA_KIND_BOTLEFT: return TXA_KIND_TOPRIGHT;
    default: return kind;
  }
}

// Rows up (+1) or down (-1), and texels left (+1) or right (-1), of each
// scroll direction.
void Moves(int32_t kind, int32_t* rows, int32_t* texels) {
  const bool up = kind == TXA_KIND_TOP || kind == TXA_KIND_TOPLEFT || kind == TXA_KIND_TOPRIGHT;
  const bool down = kind == TXA_KIND_BOTTOM || kind == TXA_KIND_BOTLEFT || kind == TXA_KIND_BOTRIGHT;
  const bool left = kind == TXA_KIND_LEFT || kind == TXA_KIND_TOPLEFT || kind == TXA_KIND_BOTLEFT;
  const bool right = kind == TXA_KIND_RIGHT || kind == TXA_KIND_TOPRIGHT || kind == TXA_KIND_BOTRIGHT;
  *rows = up ? 1 : down ? -1 : 0;
  *texels = left ? 1 : right ? -1 : 0;
}

void ScrollStep(TTXTANIM& anim) {
  if (anim.NbSteps <= 0) {
    anim.Flags |= TXA_ENDED;
    return;
  }
  TTXTANIMSTEP& s = anim.Steps[0];
  uint32_t now = 0;
  if (!Due(anim, s, &now)) return;
  BMAP* page = PageOf(s.DstTexture);
  const bool placed = (s.DstFlags & TXA_DSTDEFINED) && page && InPage(page, s.DstX, s.DstY, s.DstW, s.DstH);
  if (SB_Var.TxtAnimEditing && placed) {
    PreviewFrame(true);
    PreviewCopy(page, s.DstX, s.DstY, s.DstW, s.DstH, s.DstX, s.DstY);
  }
  int32_t kind = static_cast<int32_t>((anim.Flags & TXA_KINDMASK) >> TXA_KINDSHIFT);
  if (!(anim.Flags & TXA_FORWARD)) kind = Opposite(kind);
  if (kind < TXA_KIND_TOP || kind > TXA_KIND_BOTRIGHT) {
    anim.Flags |= TXA_ENDED;
  } else if (placed) {
    const int32_t n = s.SrcX & 0xFF, bytes = page->Depth > 8 ? page->Depth / 8 : 1;
    uint8_t* at = page->Start + s.DstY * page->ByteLen + s.DstX * bytes;
    int32_t rows = 0, texels = 0;
    Moves(kind, &rows, &texels);
    if (rows) RotateRows(at, page->ByteLen, s.DstW * bytes, s.DstH, rows * n);
    if (texels) RotateTexels(at, page->ByteLen, bytes, s.DstW, s.DstH, texels * n);
  }
  s.StartTime = now;
  anim.CurStep = 0;
  if (!(anim.Flags & (TXA_LOOP | TXA_PINGPONG))) anim.Flags |= TXA_ENDED;
}

TTXTANIM* AnimAt(int32_t i) {
  const TTXTANIMSET* set = SB_Var.TxtAnimSet;
  return set && set->Anims && i >= 0 && i < set->NbAnims ? &set->Anims[i] : nullptr;
}

// The animations whose first step writes into texture i, or null.
TPAGEANIMLIST* NewList(int32_t i, const char* owner) {
  const TTXTANIMSET* set = SB_Var.TxtAnimSet;
  if (!set || !set->Anims) return nullptr;
  int32_t count = 0;
  auto writes = [i](const TTXTANIM& a) {
    return a.NbSteps > 0 && a.Steps && (a.Steps[0].DstFlags & TXA_DSTDEFINED) && a.Steps[0].DstTexture == i;
  };
  for (int32_t k = 0; k < set->NbAnims; ++k) count += writes(set->Anims[k]) ? 1 : 0;
  if (count == 0) return nullptr;
  auto* list = static_cast<TPAGEANIMLIST*>(SB_GetMem(sizeof(TPAGEANIMLIST), owner));
  auto* anims = static_cast<TTXTANIM**>(SB_GetMem(static_cast<int32_t>(sizeof(TTXTANIM*)) * count, owner));
  if (!list || !anims) {
    if (list) SB_Release(list);
    if (anims) SB_Release(anims);
    return nullptr;
  }
  for (int32_t k = 0; k < set->NbAnims; ++k)
    if (writes(set->Anims[k])) anims[list->NbAnims++] = &set->Anims[k];
  list->Anims = anims;
  return list;
}

void FreeList(TPAGEANIMLIST* list) {
  if (!list) return;
  if (list->Anims) SB_Release(list->Anims);
  SB_Release(list);
}

}  // namespace

void SB_TxtAnimStartAll() {
  if (TTXTANIMSET* set = SB_Var.TxtAnimSet) {
    for (int32_t i = 0; set->Anims && i < set->NbAnims; ++i) {
      TTXTANIM& a = set->Anims[i];
      a.Flags &= ~(TXA_PLAYING | TXA_ENDED);
      a.CurStep = 0;
      if ((a.Flags & TXA_SCROLL) && a.NbSteps > 0 && a.Steps[0].SrcX == 0) a.Steps[0].SrcX = 1;
    }
  }
  SB_TxtAnimEndPageLists();
  SB_Var.PageAnimLists = SB_BuildPageList();
}

void SB_TxtAnimPlay(int32_t i) {
  TTXTANIM* a = AnimAt(i);
  if (!a || (a->Flags & TXA_PLAYING) || a->NbSteps <= 0 || !a->Steps) return;
  SB_TxtAnimSavePreview();
  a->Flags = (a->Flags & ~(TXA_ENDED | TXA_PAUSED)) | TXA_PLAYING;
  a->CurStep = 0;
  a->Steps[0].StartTime = SB_Var.Time;
}

void SB_TxtAnimStop(int32_t i) {
  TTXTANIM* a = AnimAt(i);
  if (!a) return;
  a->Flags &= ~(TXA_PLAYING | TXA_ENDED | TXA_PAUSED);
  a->CurStep = 0;
  SB_TxtAnimRestorePreview();
}

void SB_TxtAnimPause(int32_t i) {
  TTXTANIM* a = AnimAt(i);
  if (!a) return;
  if (a->Flags & TXA_PAUSED) {
    SB_TxtAnimResume(i);
    return;
  }
  a->Flags = (a->Flags | TXA_PAUSED) & ~TXA_PLAYING;
}

void SB_TxtAnimResume(int32_t i) {
  TTXTANIM* a = AnimAt(i);
  if (a && (a->Flags & TXA_PAUSED)) a->Flags = (a->Flags | TXA_PLAYING) & ~TXA_PAUSED;
}

int32_t SB_TxtAnimIsPlaying() {
  const TTXTANIMSET* set = SB_Var.TxtAnimSet;
  for (int32_t i = 0; set && set->Anims && i < set->NbAnims; ++i)
    if (set->Anims[i].Flags & TXA_PLAYING) return 1;
  return 0;
}

void SB_TxtAnimUpdate() {
  const TTXTANIMSET* set = SB_Var.TxtAnimSet;
  for (int32_t i = 0; set && set->Anims && i < set->NbAnims; ++i) {
    TTXTANIM& a = set->Anims[i];
    if (!(a.Flags & TXA_PLAYING)) continue;
    if (a.Flags & TXA_SCROLL)
      ScrollStep(a);
    else
      CopyStep(a);
    if (a.Flags & TXA_ENDED) {
      a.Flags &= ~(TXA_PLAYING | TXA_ENDED);
      SB_TxtAnimRestorePreview();
    }
  }
}

TPAGEANIMLIST** SB_BuildPageList() {
  const int32_t n = SB_TextureNameCount();
  auto** lists = static_cast<TPAGEANIMLIST**>(
      SB_GetMem(static_cast<int32_t>(sizeof(TPAGEANIMLIST*)) * n, "SB_BuildPageList"));
  gNbLists = lists ? n : 0;
  for (int32_t i = 0; i < gNbLists; ++i) lists[i] = SB_FillPage(i);
  return lists;
}

TPAGEANIMLIST* SB_FillPage(int32_t i) {
  if (BMAP* page = PageOf(i)) {
    char number[16];
    std::snprintf(number, sizeof number, "%ld", static_cast<long>(SB_SoftTexturePlaces()[i].PageNumber));
    LS_DrawString(LS_Var.SysFont, page, number, 0, 0, LS_BLIT_OPAQUE);
  }
  return NewList(i, "SB_FillPage");
}

TPAGEANIMLIST* SB_UpdatePage(TPAGEANIMLIST** lists, int32_t i) {
  // Without animations the old list would point into a freed array, so it
  // goes too.
  FreeList(lists && i >= 0 && i < gNbLists ? lists[i] : nullptr);
  return NewList(i, "SB_UpdatePage");
}

void SB_UpdatePageList(TPAGEANIMLIST** lists) {
  for (int32_t i = 0; lists && i < gNbLists; ++i) lists[i] = SB_UpdatePage(lists, i);
}

void SB_FreePageList(TPAGEANIMLIST** lists) {
  if (!lists) return;
  for (int32_t i = 0; i < gNbLists; ++i) FreeList(lists[i]);
  SB_Release(lists);
  gNbLists = 0;
}

void SB_TxtAnimEndPageLists() {
  SB_FreePageList(SB_Var.PageAnimLists);
  SB_Var.PageAnimLists = nullptr;
}

// The view is not used: the lists are the same for every view. Weak, so
// that the race tests' recording fake takes its place.
__attribute__((weak)) void SB_ResetPageAnims(TSOFTSCENE*) {
  for (int32_t i = 0; SB_Var.PageAnimLists && i < gNbLists; ++i)
    if (SB_Var.PageAnimLists[i]) SB_Var.PageAnimLists[i]->FrameWord = 0;
}
