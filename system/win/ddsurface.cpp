// Surfaces of the display behind the bitmaps: creation, locks, copies,
// fills, colour keys, and restoring them when the display took them away.
#include "system/win/ddsurface.h"

#include "platform/display.h"
#include "system/error.h"
#include "system/graphic.h"
#include "system/lsvar.h"
#include "system/win/shell.h"

namespace {

// A surface still lost after this many restores is given up, so that a
// display that cannot restore never holds the program in a loop.
constexpr int kRestoreAttempts = 3;
constexpr int32_t kFramedStyle = 256;

bool IsFront(const BMAP* bmap) { return bmap->Kind == BMAP_FRONTSCREEN; }

plat::PixelFormat SurfaceFormat(const BMAP* bmap) {
  plat::PixelFormat format;
  format.bitsPerPixel = static_cast<uint32_t>(bmap->Depth);
  if (bmap->Format == BMAP_PAL8) {
    format.indexed = true;
    return format;
  }
  PIXELFORMAT masks;
  LS_GetPixelFormat(&masks, bmap->Format);
  format.redMask = masks.RedMask;
  format.greenMask = masks.GreenMask;
  format.blueMask = masks.BlueMask;
  format.alphaMask = masks.AlphaMask;
  return format;
}

int32_t CreateOffscreen(BMAP* bmap, bool systemMemory, plat::Surface** out) {
  plat::SurfaceRequest request;
  request.width = bmap->SizeX;
  request.height = bmap->SizeY;
  request.format = SurfaceFormat(bmap);
  request.systemMemory = systemMemory;
  return plat::CreateSurface(request, out);
}

// A screen bitmap takes the display's format and depth; its size is the
// surface's, or the window's client area in the framed style.
void TakeScreenShape(BMAP* bmap, plat::Surface* surface) {
  plat::SurfaceInfo info;
  plat::DescribeSurface(surface, &info);
  bmap->Surface = surface;
  bmap->SizeX = info.width;
  bmap->SizeY = info.height;
  if (IsFront(bmap) && LS_Var.Style == kFramedStyle) {
    const plat::ClientArea client = plat::GetWindowClient();
    bmap->SizeX = client.width;
    bmap->SizeY = client.height;
  }
  VIDEOCAPS caps{};
  LS_GetVideoModeCaps(&caps);
  bmap->Format = static_cast<int32_t>(caps.Format);
  bmap->Depth = static_cast<int32_t>(info.format.bitsPerPixel);
  bmap->ByteLen = bmap->Depth / 8 * bmap->SizeX;
}

int32_t CreateBackScreen(BMAP* bmap) {
  const BMAP* front = LS_Var.Screen;
  plat::Surface* surface = nullptr;
  if (!front || !front->Surface || plat::GetBackBuffer(front->Surface, &surface) != plat::kDisplayOk) {
    LS_Error(8, " : Init Double Buffer DDRAW Failed");
    return 0;
  }
  TakeScreenShape(bmap, surface);
  bmap->Kind = plat::IsInSystemMemory(surface) ? BMAP_SYSMEM : BMAP_VIDEOMEM;
  return 1;
}

// After a surface answered "lost": the screens and the bitmaps concerned
// are restored (an off-screen surface is not among the screens).
void RestoreAfterLoss(BMAP* a, BMAP* b) {
  LSYS_RestoreScreens();
  LSYS_RestoreBmap(a);
  if (b) LSYS_RestoreBmap(b);
}

plat::Rect Inclusive(int32_t x1, int32_t y1, int32_t x2, int32_t y2) { return {x1, y1, x2 + 1, y2 + 1}; }

void MoveByWindow(const BMAP* bmap, plat::Rect* rect) {
  if (!IsFront(bmap)) return;
  int32_t dx, dy;
  LSYS_GetWindowOffset(&dx, &dy);
  rect->left += dx;
  rect->right += dx;
  rect->top += dy;
  rect->bottom += dy;
}

int32_t CopyOnce(BMAP* source, BMAP* destination, const plat::Rect& from, const plat::Rect& to,
                 int32_t mode) {
  const uint32_t flags = (mode & LS_BLIT_TRANSPARENT) ? plat::kBlitSourceKey : 0;
  const bool fast = LS_Var.Style == 0 && !plat::IsInSystemMemory(source->Surface) &&
                    !plat::IsInSystemMemory(destination->Surface) && !(mode & LS_BLIT_NOFAST);
  if (fast) return plat::BlitFast(destination->Surface, to.left, to.top, source->Surface, from, flags);
  return plat::Blit(destination->Surface, to, source->Surface, from, flags);
}

// Gives a surface that came back in another display mode a new one.
int32_t Recreate(BMAP* bmap) {
  LSYS_FreeBmapSurface(bmap);
  if (bmap == LS_Var.BackScreen) bmap->Kind = BMAP_BACKSCREEN;
  if (!LSI_CreateBmapSurface(bmap)) return 0;
  // A bitmap locked across the loss keeps pixels to write to.
  if (bmap->LockCount > 0 && LSYS_LockSurface(bmap) != plat::kDisplayOk) bmap->Start = nullptr;
  LS_ClearBmap(bmap);
  return 1;
}

}  // namespace

int32_t LSI_CreateBmapSurface(BMAP* bmap) {
  int32_t made = 0;
  switch (bmap->Kind) {
    case BMAP_FRONTSCREEN:
    case BMAP_BACKSCREEN: made = LSYS_CreateScreenBmap(bmap); break;
    case BMAP_VIDEOMEM: made = InitVideoBmap(bmap); break;
    case BMAP_SYSMEM: made = LSYS_InitSysMemBmap(bmap); break;
    default: break;
  }
  // The key makes transparent copies between surfaces skip colour 0.
  if (made) LSYS_SetColorKey(bmap, 0);
  return made;
}

int32_t InitVideoBmap(BMAP* bmap) {
  plat::Surface* surface = nullptr;
  const int32_t result = CreateOffscreen(bmap, false, &surface);
  if (result == plat::kDisplayOk) {
    bmap->Surface = surface;
    return 1;
  }
  if (result == plat::kDisplayOutOfVideoMemory || result == plat::kDisplayInvalidPixelFormat ||
      result == plat::kDisplayNoHardware) {
    bmap->Kind = BMAP_SYSMEM;
    return LSYS_InitSysMemBmap(bmap);
  }
  LS_Error(8, " : InitVideoBmap (%s)", LSYS_GetDDrawErrorText(result));
  return 0;
}

int32_t LSYS_InitSysMemBmap(BMAP* bmap) {
  plat::Surface* surface = nullptr;
  if (CreateOffscreen(bmap, true, &surface) != plat::kDisplayOk) {
    LS_Error(8, " : Init DDRAW System Bmap");
    return 0;
  }
  bmap->Surface = surface;
  return 1;
}

int32_t LSYS_CreateScreenBmap(BMAP* bmap) {
  if (bmap->Kind == BMAP_BACKSCREEN) return CreateBackScreen(bmap);
  plat::SurfaceRequest request;
  request.primary = true;
  request.backBuffers = !LSI_Var.Debug && LS_Var.ScreenMode > 1 ? LS_Var.ScreenMode - 1 : 0;
  plat::Surface* surface = nullptr;
  if (plat::CreateSurface(request, &surface) != plat::kDisplayOk) {
    LS_Error(8, " : Init DDRAW Screen");
    return 0;
  }
  if (LS_Var.Style == kFramedStyle) plat::AttachWindowClipper(surface);
  TakeScreenShape(bmap, surface);
  return 1;
}

void LSYS_FreeBmapSurface(BMAP* bmap) {
  if (!bmap->Surface) return;
  const int32_t result = plat::ReleaseSurface(bmap->Surface);
  bmap->Surface = nullptr;
  bmap->Start = nullptr;
  if (result != plat::kDisplayOk)
    LS_Error(8, ": Cannot release DDRAW BMAP (%X = %s)", static_cast<unsigned>(result),
             LSYS_GetDDrawErrorText(result));
}

int32_t LSYS_LockSurface(BMAP* bmap) {
  uint8_t* pixels = nullptr;
  int32_t pitch = 0;
  const int32_t result = plat::LockSurface(bmap->Surface, &pixels, &pitch);
  if (result == plat::kDisplayOk) {
    bmap->Start = pixels;
    bmap->ByteLen = pitch;
  }
  return result;
}

int32_t LSYS_LockBmap(BMAP* bmap) {
  if (IsFront(bmap) && LS_Var.Style != 0) {
    LS_Error(8, "Can't Lock Screen in \n STYLE_SINGLEWINDOW or STYLE_MDI");
    return 0;
  }
  int32_t result = LSYS_LockSurface(bmap);
  for (int attempt = 0; result == plat::kDisplaySurfaceLost && attempt < kRestoreAttempts; ++attempt) {
    RestoreAfterLoss(bmap, nullptr);
    result = LSYS_LockSurface(bmap);
  }
  if (result == plat::kDisplayOk) return 1;
  bmap->Start = nullptr;
  LS_Error(8, " : LockRect DDRAW Bmap");
  return 0;
}

void LSYS_UnlockBmap(BMAP* bmap) {
  plat::UnlockSurface(bmap->Surface);
  bmap->Start = nullptr;
}

int32_t Bitmove256(BMAP* source, BMAP* destination, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x,
                   int32_t y, int32_t mode) {
  if (!LSI_IsSurfaceBmap(source) || !LSI_IsSurfaceBmap(destination)) return 0;
  // The display cannot copy from or to a locked surface; any lock, not
  // only a single one, would make it answer "busy" for ever.
  if (source->LockCount != 0) {
    LS_Error(8, "Source DDRAW BMAP Locked");
    return 1;
  }
  if (destination->LockCount != 0) {
    LS_Error(8, "Destination DDRAW BMAP Locked");
    return 1;
  }
  plat::Rect from = Inclusive(x1, y1, x2, y2);
  plat::Rect to = Inclusive(x, y, x + (x2 - x1), y + (y2 - y1));
  MoveByWindow(source, &from);
  MoveByWindow(destination, &to);
  int restores = 0;
  for (;;) {
    const int32_t result = CopyOnce(source, destination, from, to, mode);
    if (result == plat::kDisplayOk) return 1;
    if (result == plat::kDisplaySurfaceBusy) {
      LSYS_PumpMessages();
      continue;
    }
    if (result == plat::kDisplaySurfaceLost && restores++ < kRestoreAttempts) {
      RestoreAfterLoss(source, destination);
      continue;
    }
    LS_Error(8, " : Bitmove256 (%s)", LSYS_GetDDrawErrorText(result));
    return 1;
  }
}

void FillRect(BMAP* bmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
  plat::Rect rect = Inclusive(x1, y1, x2, y2);
  MoveByWindow(bmap, &rect);
  int32_t result = plat::FillSurface(bmap->Surface, rect, colour);
  for (int attempt = 0; result == plat::kDisplaySurfaceLost && attempt < kRestoreAttempts; ++attempt) {
    RestoreAfterLoss(bmap, nullptr);
    result = plat::FillSurface(bmap->Surface, rect, colour);
  }
  if (result != plat::kDisplayOk) LS_Error(8, " : FillRect (%s)", LSYS_GetDDrawErrorText(result));
}

void LSYS_SetColorKey(BMAP* bmap, uint32_t colour) {
  if (bmap && bmap->Surface) plat::SetSourceColorKey(bmap->Surface, colour, colour);
}

int32_t LSYS_RestoreBmap(BMAP* bmap) {
  if (!LSI_IsSurfaceBmap(bmap) || !bmap->Surface) return 1;
  if (plat::IsSurfaceLost(bmap->Surface) != plat::kDisplaySurfaceLost) return 1;
  const int32_t result = plat::RestoreSurface(bmap->Surface);
  if (result == plat::kDisplayWrongMode) {
    if (!Recreate(bmap)) return 0;
  } else if (result != plat::kDisplayOk) {
    LS_Error(8, ": Cannot restore surface (%s)", LSYS_GetDDrawErrorText(result));
    return 0;
  }
  if (bmap->RestoreProc) bmap->RestoreProc(bmap);
  return 1;
}

void LSYS_RestoreScreens() {
  BMAP* front = LS_Var.Screen;
  if (LS_Var.ScreenMode != 1 && front && front->Surface &&
      plat::IsSurfaceLost(front->Surface) == plat::kDisplaySurfaceLost &&
      plat::RestoreSurface(front->Surface) != plat::kDisplayOk)
    return;
  if (front && front->RestoreProc) front->RestoreProc(front);
  LSYS_RestoreBmap(LS_Var.Screen);
  LSYS_RestoreBmap(LS_Var.BackScreen);
  LSYS_PumpMessages();
}

void LSYS_GetWindowOffset(int32_t* x, int32_t* y) {
  int32_t dx = 0, dy = 0;
  if (LS_Var.Style == kFramedStyle) {
    const plat::ClientArea client = plat::GetWindowClient();
    dx = client.x;
    dy = client.y;
  }
  if (x) *x = dx;
  if (y) *y = dy;
}

void LSYS_FlipToGdi() {
  if (LS_Var.ScreenMode != 1) plat::FlipToGdiSurface();
}
