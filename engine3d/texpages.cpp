// The software path's texture pages: one record per distinct picture with
// its size from the PCX header, packed first fit by decreasing area into
// 256 x 256 pages whose pixels share one block aligned on 64 KB, and the
// release of the pages and their mip levels.
#include "engine3d/texpages.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "engine3d/sort.h"
#include "engine3d/videotable.h"
#include "shell/console.h"
#include "shell/gamepicture.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/file.h"
#include "system/heap.h"

namespace {

constexpr int32_t kNameChars = 8;  // characters of a texture name that name its picture
constexpr uint32_t kPageBlockAlign = 65536;
constexpr int32_t kPageSlack = 256;  // the heap's room beyond its block

// Rectangles that overlap, corners inclusive.
bool Overlap(int32_t x, int32_t y, int32_t w, int32_t h, const TEXTTRI& r) {
  return x + w - 1 >= r.X && x <= r.X + r.Width - 1 && r.Y <= y + h - 1 && y <= r.Y + r.Height - 1;
}

}  // namespace

int32_t SB_PowerOfTwoIndex(int32_t n) {
  for (int32_t k = 8; k >= 1; --k)
    if (n == 1 << k) return k;
  return 0;
}

int32_t SB_TextureBytes() {
  const TVIDEOMODE* mode = SB_GetSelectedVideoMode();
  const int32_t depth = mode && mode->TextureDepth ? mode->TextureDepth : mode ? mode->Depth : 8;
  return depth >= 8 && depth <= 32 ? depth / 8 : 1;
}

int32_t SB_TextureNameCount() {
  return SB_Var.NbTextures < 0 ? 0 : SB_Var.NbTextures > SB_MAXTEXTURES ? SB_MAXTEXTURES : SB_Var.NbTextures;
}

bool SB_TextureFileName(const char* name, char* out) {
  char stem[kNameChars + 1] = {};
  if (name) std::memcpy(stem, name, strnlen(name, kNameChars));
  const int32_t length = std::snprintf(out, SB_TEXTTRINAMESIZE, "txt>%.*s%s.pcx",
                                       static_cast<int>(sizeof SB_Var.TexturePath), SB_Var.TexturePath, stem);
  LS_StrUpper(out);
  return length >= 0 && length < SB_TEXTTRINAMESIZE;
}

TEXTTRI* SB_FindTextTri(const char* fileName) {
  for (int32_t i = 0; i < SB_Var.NbTextTri && i < SB_MAXTEXTTRI; ++i)
    if (std::strncmp(SB_Var.TextTri[i].Name, fileName, SB_TEXTTRINAMESIZE) == 0) return &SB_Var.TextTri[i];
  return nullptr;
}

void SB_ReadTextureSizes() {
  SB_Var.NbTextTri = 0;
  const int32_t names = SB_TextureNameCount();
  for (int32_t i = 0; i < names && SB_Var.NbTextTri < SB_MAXTEXTTRI; ++i) {
    char file[SB_TEXTTRINAMESIZE];
    const bool named = SB_TextureFileName(SB_Var.TextureNames[i], file);
    if (SB_FindTextTri(file)) continue;
    TEXTTRI& r = SB_Var.TextTri[SB_Var.NbTextTri];
    std::memset(&r, 0, sizeof r);
    std::memcpy(r.Name, file, sizeof r.Name);
    int32_t width = 0, height = 0;
    if (!named || !LS_FileExists(file)) {
      SB_ConsolePrintf("Pcx not found %s !!!", file);
    } else if (SB_GetPcxSize(file, &width, &height) && width >= 1 && height >= 1 &&
               width <= SB_TEXTUREPAGESIDE && height <= SB_TEXTUREPAGESIDE) {
      r.Found = 1;
    }
    r.Width = r.Found ? width : SB_PLACEHOLDERSIDE;
    r.Height = r.Found ? height : SB_PLACEHOLDERSIDE;
    r.Area = r.Width * r.Height;
    SB_Var.TextTriOrder[SB_Var.NbTextTri++] = &r;
  }
}

int32_t SB_TextureRectFits(int32_t x, int32_t y, int32_t w, int32_t h, int32_t page, int32_t placed) {
  if (x + w - 1 >= SB_TEXTUREPAGESIDE || y + h - 1 >= SB_TEXTUREPAGESIDE) return 0;
  for (int32_t j = 0; j < placed; ++j) {
    const TEXTTRI& r = *SB_Var.TextTriOrder[j];
    if (r.Page == page && Overlap(x, y, w, h, r)) return 0;
  }
  return 1;
}

void SB_PackTextures() {
  SB_Var.NbTexturePages = 0;
  for (int32_t i = 0; i < SB_Var.NbTextTri; ++i) {
    TEXTTRI& r = *SB_Var.TextTriOrder[i];
    bool placed = false;
    // Right of, below, then diagonally past each rectangle placed before.
    for (int32_t pass = 0; pass < 3 && !placed; ++pass)
      for (int32_t j = 0; j < i && !placed; ++j) {
        const TEXTTRI& q = *SB_Var.TextTriOrder[j];
        const int32_t x = pass == 1 ? q.X : q.X + q.Width;
        const int32_t y = pass == 0 ? q.Y : q.Y + q.Height;
        if (SB_TextureRectFits(x, y, r.Width, r.Height, q.Page, i)) {
          r.X = x, r.Y = y, r.Page = q.Page;
          placed = true;
        }
      }
    if (!placed) {
      r.X = r.Y = 0;
      r.Page = SB_Var.NbTexturePages++;
    }
  }
}

int32_t SB_AllocTexturePages() {
  const uint32_t bytes =
      static_cast<uint32_t>(SB_Var.NbTexturePages + 1) * SB_TextureBytes() * kPageBlockAlign;
  const HHEAP heap = LS_GetHeap(bytes + kPageSlack);
  if (!heap) return 0;
  auto* block = static_cast<uint8_t*>(LS_GetMemHeap(heap, bytes));
  if (!block) {
    LS_ReleaseHeap(heap);
    return 0;
  }
  SB_Var.TextureHeap = heap;
  const uintptr_t address = reinterpret_cast<uintptr_t>(block);
  SB_Var.TexturePageCursor = block + ((kPageBlockAlign - address % kPageBlockAlign) % kPageBlockAlign);
  SB_Var.TextureMemory += static_cast<int32_t>(bytes);
  return 1;
}

void SB_LoadTexturePages() {
  if (SB_Var.TextureHeap) SB_FreeTextures();  // the pages of a map loaded before
  SB_ConsolePrintf("Preparing textures loading...");
  SB_ReadTextureSizes();
  E3D_SortByKey(reinterpret_cast<void**>(SB_Var.TextTriOrder), SB_Var.NbTextTri);
  SB_PackTextures();
  if (SB_AllocTexturePages()) {
    SB_LoadTexturesTga();
    SB_ResampleTextures();
  } else {
    SB_ConsolePrintf("Not enough memory for %ld texture pages !!!", static_cast<long>(SB_Var.NbTexturePages));
    SB_Var.NbTexturePages = 0;
  }
  SB_ConsolePrintf("Memory used for textures %ldkb...", static_cast<long>(SB_Var.TextureMemory / 1024));
}

void SB_FreeTextureHandles() {
  for (int32_t level = 0; level < SB_NBMIPLEVELS; ++level) {
    if (SB_Var.MipHeaps[level]) LS_ReleaseHeap(SB_Var.MipHeaps[level]);
    SB_Var.MipHeaps[level] = 0;
    std::memset(SB_Var.MipPages[level], 0, sizeof SB_Var.MipPages[level]);
  }
}

void SB_FreeTextures() {
  if (!SB_Var.TextureHeap) return;
  LS_ReleaseHeap(SB_Var.TextureHeap);
  SB_Var.TextureHeap = 0;
  SB_Var.TexturePageCursor = nullptr;
  // Each page gets a small block of its own to free, as its pixels were
  // the shared block's.
  for (int32_t p = 0; p < SB_Var.NbTexturePages; ++p) {
    BMAP*& page = SB_Var.TexturePages[p];
    if (!page) continue;
    page->Start = static_cast<uint8_t*>(SB_GetMem(16, "sb text"));
    SB_UnregisterMem(page->Start);
    SB_FreeBmap(page);
    page = nullptr;
  }
  SB_Var.NbTexturePages = 0;
  SB_FreeTextureHandles();
  for (TTEXTUREPLACE& place : SB_Var.TexturePlaces) {
    place.Texels = place.Page = nullptr;
    for (uint8_t*& texels : place.MipTexels) texels = nullptr;
  }
  std::memset(SB_Var.EditTexturePlaces, 0, sizeof SB_Var.EditTexturePlaces);
  SB_ConsolePrintf("Textures released");
}
