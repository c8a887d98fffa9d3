// The decor objects' textures, made again for each race's renderer (at the
// video mode's depth for the software renderers) and taken off the
// accelerator's card at its end. Their drawing is the race scene's
// (racescene/objdisplay.cpp).
#include "engine3d/object.h"
#include "engine3d/powertextures.h"
#include "engine3d/texcache.h"
#include "scenery/decorobjects.h"
#include "scenery/effects.h"
#include "shell/gamedraw.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/heap.h"

namespace {

constexpr int32_t kCardSide = 256;
constexpr const char* kBitmapOwner = "Load material";

// The entry's library when it has textures, else null.
MLIB* TexturedLibrary(const TDECOROBJ* entry) {
  if (!entry || !entry->Object || !entry->Object->Materials) return nullptr;
  MLIB* library = entry->Object->Materials->Library;
  return library && library->NbTextures > 0 && library->Textures ? library : nullptr;
}

// One card texture of the texture through the work bitmap; its slot is
// recorded in the entry (for the materials) and in the texture bitmap (for
// the race's end). A slot made before is given back first, so that a
// second remap does not leave the first one's slot taken.
void MakeCardTexture(MLIBTEXTURE& texture, BMAP* work) {
  BMAP* bitmap = texture.Bitmap;
  if (bitmap->Texture) POWER_RemoveCachedTexture(bitmap->Texture);
  SB_Bitmove(bitmap, work, 0, 0, bitmap->SizeX - 1, bitmap->SizeY - 1, 0, 0);
  const int32_t slot = POWER_CreateTextureFromBmap(work, kCardSide, 0, 2, 0);
  texture.CardTexture = slot;
  bitmap->Texture = slot;
}

// The depth and pixel format of the texture bitmaps: the software
// renderers' fillers read them at the video mode's, as the cars' own; on
// the card they are only the card textures' source and keep the loader's
// 8 bits. Format 0 leaves the library's default for the depth.
void BitmapFormat(int32_t* depth, int32_t* format) {
  const int32_t index = SB_Var.VideoModeIndex;
  const bool valid = index >= 0 && index < SB_NBVIDEOMODES;
  const bool card = SB_Var.Renderer == SB_RENDERER_PVR;
  *depth = card || !valid ? 8 : SB_Var.VideoModes[index].Depth;
  *format = card || !valid ? 0 : SB_Var.VideoModes[index].TextureFormat;
}

// The texture's bitmap made again at the depth and format wanted (as wide
// and as high as before, empty), its materials pointed at it; the old one
// is kept when the new one is refused.
void MatchBitmap(MLIB& library, MLIBTEXTURE& texture, int32_t depth, int32_t format) {
  BMAP* old = texture.Bitmap;
  if (old->Depth == depth && (format == 0 || old->Format == format)) return;
  BMAP* bitmap = SB_CreateBmap(old->SizeX, old->SizeY, depth, LS_DefaultHeap, kBitmapOwner);
  if (!bitmap) return;
  if (format) bitmap->Format = format;
  for (uint32_t m = 0; library.Materials && m < library.NbMaterials; ++m) {
    TMATERIAL& material = library.Materials[m];
    if (material.Bitmap != old) continue;
    material.Bitmap = bitmap;
    material.Pixels = bitmap->Start;
  }
  if (old->Texture) POWER_RemoveCachedTexture(old->Texture);
  old->Texture = 0;
  SB_FreeBmap(old);
  texture.Bitmap = bitmap;
}

}  // namespace

__attribute__((weak)) void SB_DynRemapObject(TDECOROBJ* entry) {
  if (!entry || !entry->Object || !entry->Object->Materials || !entry->Object->Materials->Library) return;
  BMAP* work = SB_CreateBmap(kCardSide, kCardSide, 24, LS_DefaultHeap, "SB_DynRemapObject");
  MLIB* library = TexturedLibrary(entry);
  if (!library) {
    if (work) SB_FreeBmap(work);
    return;
  }
  const bool card = SB_Var.Renderer == SB_RENDERER_PVR && work;
  int32_t depth, format;
  BitmapFormat(&depth, &format);
  for (uint32_t t = 0; t < library->NbTextures; ++t) {
    MLIBTEXTURE& texture = library->Textures[t];
    if (!texture.Bitmap) continue;
    MatchBitmap(*library, texture, depth, format);
    texture.Bitmap->Palette = SB_Var.Pal3d;
    if (texture.Picture)
      SB_Bitmove(texture.Picture, texture.Bitmap, 0, 0, texture.Picture->SizeX - 1, texture.Picture->SizeY - 1, 0, 0);
    if (card) MakeCardTexture(texture, work);
  }
  if (card) {
    for (uint32_t m = 0; library->Materials && m < library->NbMaterials; ++m) {
      TMATERIAL& material = library->Materials[m];
      if (material.Flags & MATERIAL_UNTEXTURED) continue;
      if (material.Texture >= 0 && static_cast<uint32_t>(material.Texture) < library->NbTextures)
        material.CardTexture = library->Textures[material.Texture].CardTexture;
    }
  }
  if (work) SB_FreeBmap(work);
}

// Whatever table is loaded is remapped and freed, also with the switch
// off: its objects are still drawn, and stale card slots would show other
// textures.
__attribute__((weak)) void SB_RemapDecorObjects() {
  if (!SB_Var.DecorObjects) return;
  for (int32_t i = 0; i < SB_Var.NbDecorObjects; ++i) SB_DynRemapObject(&SB_Var.DecorObjects[i]);
}

// The slot of each texture bitmap is cleared with it: the library refuses
// to free a bitmap that still names a card texture.
void SB_FreeDecorCardTextures(TDECOROBJ* entry) {
  MLIB* library = TexturedLibrary(entry);
  if (!library) return;
  for (uint32_t t = 0; t < library->NbTextures; ++t) {
    BMAP* bitmap = library->Textures[t].Bitmap;
    if (!bitmap || !bitmap->Texture) continue;
    POWER_RemoveCachedTexture(bitmap->Texture);
    bitmap->Texture = 0;
  }
}

__attribute__((weak)) void SB_FreeObjectsExtraTextures() {
  if (SB_Var.Renderer != SB_RENDERER_PVR || !SB_Var.DecorObjects) return;
  for (int32_t i = 0; i < SB_Var.NbDecorObjects; ++i) SB_FreeDecorCardTextures(&SB_Var.DecorObjects[i]);
}
