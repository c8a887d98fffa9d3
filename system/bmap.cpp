// Bitmaps: pixel formats, creation and freeing, and the lock discipline.
#include "system/bmap.h"

#include <cstring>

#include "system/error.h"
#include "system/heap.h"
#include "system/lsvar.h"
#include "system/win/ddsurface.h"

namespace {

struct FormatRow {
  int32_t Code;
  uint32_t Bits, Red, Green, Blue, Alpha;
};

constexpr FormatRow kFormats[] = {
    {BMAP_PAL8, 8, 0, 0, 0, 0},
    {BMAP_RGB555, 16, 0x7C00, 0x03E0, 0x001F, 0},
    {BMAP_ARGB1555, 16, 0x7C00, 0x03E0, 0x001F, 0x8000},
    {BMAP_RGB565, 16, 0xF800, 0x07E0, 0x001F, 0},
    {BMAP_RGB888, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0},
    {BMAP_ARGB8888, 32, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000},
    {BMAP_XRGB8888, 32, 0xFF0000, 0x00FF00, 0x0000FF, 0},
    {BMAP_BGR555, 16, 0x001F, 0x03E0, 0x7C00, 0},
    {BMAP_ABGR1555, 16, 0x001F, 0x03E0, 0x7C00, 0x8000},
    {BMAP_BGR565, 16, 0x001F, 0x07E0, 0xF800, 0},
    {BMAP_BGR888, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0},
    {BMAP_ABGR8888, 32, 0x0000FF, 0x00FF00, 0xFF0000, 0xFF000000},
    {BMAP_XBGR8888, 32, 0x0000FF, 0x00FF00, 0xFF0000, 0},
};

// Shift and width of a contiguous mask; both 0 for no mask.
void Measure(uint32_t mask, uint32_t* shift, uint32_t* bits) {
  *shift = *bits = 0;
  if (!mask) return;
  while (!(mask & 1)) mask >>= 1, ++*shift;
  while (mask & 1) mask >>= 1, ++*bits;
}

int32_t FormatOfDepth(int32_t depth) {
  switch (depth) {
    case 8: return BMAP_PAL8;
    case 16: return BMAP_RGB555;
    case 24: return BMAP_RGB888;
    case 32: return BMAP_XRGB8888;
    default: return 0;
  }
}

bool IsSurfaceKind(uintptr_t kind) {
  return kind == BMAP_FRONTSCREEN || kind == BMAP_BACKSCREEN || kind == BMAP_VIDEOMEM || kind == BMAP_SYSMEM;
}

// Pixels of a memory bitmap, from the heap its kind names.
bool AllocatePixels(BMAP* bmap, HHEAP heap) {
  const uint64_t size =
      static_cast<uint64_t>(static_cast<uint32_t>(bmap->ByteLen)) * static_cast<uint64_t>(bmap->SizeY);
  // A request beyond the heap's range is left to the heap to refuse.
  const uint32_t request = size > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(size);
  bmap->Start = static_cast<uint8_t*>(LS_GetMemHeap(heap, request));
  bmap->LockCount = 1;
  return bmap->Start != nullptr;
}

}  // namespace

void LS_GetPixelFormat(PIXELFORMAT* format, int32_t code) {
  if (!format) return;
  std::memset(format, 0, sizeof *format);
  for (const FormatRow& row : kFormats) {
    if (row.Code != code) continue;
    format->BitsPerPixel = row.Bits;
    format->RedMask = row.Red;
    format->GreenMask = row.Green;
    format->BlueMask = row.Blue;
    format->AlphaMask = row.Alpha;
    Measure(row.Red, &format->RedShift, &format->RedBits);
    Measure(row.Green, &format->GreenShift, &format->GreenBits);
    Measure(row.Blue, &format->BlueShift, &format->BlueBits);
    Measure(row.Alpha, &format->AlphaShift, &format->AlphaBits);
    return;
  }
  LS_Error(8, "Unrecognized BMAP Format : %d", code);
}

bool LSI_IsSurfaceBmap(const BMAP* bmap) { return bmap && IsSurfaceKind(bmap->Kind); }

namespace {

BMAP* CreateBmap(int32_t width, int32_t height, int32_t depth, uintptr_t kind, bool clear) {
  // Everything is checked before anything is taken, so a refusal leaves
  // no record behind and no count raised.
  const int32_t format = FormatOfDepth(depth);
  if (!format) {
    LS_Error(8, "Invalid Depth");
    return nullptr;
  }
  if (width < 1 || height < 1) return nullptr;
  const HHEAP heap = kind > 8 ? kind : LS_DefaultHeap;
  BMAP* bmap = static_cast<BMAP*>(LS_GetMemHeap(heap, sizeof(BMAP)));
  if (!bmap) return nullptr;
  if (LSI_Var.Debug && kind == BMAP_VIDEOMEM) kind = BMAP_SYSMEM;

  std::memset(bmap, 0, sizeof *bmap);
  bmap->SizeX = width;
  bmap->SizeY = height;
  bmap->Depth = depth;
  bmap->Kind = kind;
  const uint64_t byteLen = static_cast<uint64_t>(depth / 8) * static_cast<uint64_t>(width);
  bmap->ByteLen = byteLen > INT32_MAX ? INT32_MAX : static_cast<int32_t>(byteLen);
  bmap->Format = format;
  if (LS_Var.Screen && LS_Var.Screen->Depth == depth) bmap->Format = LS_Var.Screen->Format;

  const bool made = IsSurfaceKind(kind) ? LSI_CreateBmapSurface(bmap) != 0 : AllocatePixels(bmap, heap);
  if (!made) {
    LS_Release(bmap);
    return nullptr;
  }
  if (clear || IsSurfaceKind(bmap->Kind)) LS_ClearBmap(bmap);
  ++LSI_Var.NbBmap;
  return bmap;
}

}  // namespace

BMAP* LS_CreateBmap(int32_t width, int32_t height, int32_t depth, uintptr_t kind) {
  return CreateBmap(width, height, depth, kind, true);
}

BMAP* LSI_CreateBmapUncleared(int32_t width, int32_t height, int32_t depth, uintptr_t kind) {
  return CreateBmap(width, height, depth, kind, false);
}

void LS_FreeBmap(BMAP* bmap) {
  if (!bmap) return;
  if (bmap->Texture) {
    LS_Error(6, "Use LS_FreeTexture to free Textures !");
    return;
  }
  // Locks still held on it go with it, so that the guard does not stay
  // shut for the rest of the run.
  if (bmap->Kind <= 8) LS_BmapLockCount -= bmap->LockCount - (IsSurfaceKind(bmap->Kind) ? 0 : 1);
  if (IsSurfaceKind(bmap->Kind))
    LSYS_FreeBmapSurface(bmap);
  else
    LS_Release(bmap->Start);
  --LSI_Var.NbBmap;
  LS_Release(bmap);
}

void LS_SetBmapRestoreProc(BMAP* bmap, BMAPRESTOREPROC proc) {
  if (bmap) bmap->RestoreProc = proc;
}

void LS_LockBmap(BMAP* bmap) {
  if (!bmap || bmap->Kind > 8) return;
  // Only surfaces ever stand at 0; a lock that fails changes nothing.
  if (bmap->LockCount == 0 && !LSYS_LockBmap(bmap)) return;
  ++bmap->LockCount;
  ++LS_BmapLockCount;
}

void LS_UnlockBmap(BMAP* bmap) {
  if (!bmap || bmap->Kind > 8 || bmap->LockCount == 0) return;
  if (bmap->LockCount == 1) {
    // A memory bitmap's own lock is permanent: it has no surface to give
    // back and its pixels must stay reachable.
    if (!IsSurfaceKind(bmap->Kind)) return;
    LSYS_UnlockBmap(bmap);
  }
  --bmap->LockCount;
  --LS_BmapLockCount;
}
