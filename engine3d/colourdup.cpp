// An object's own copy of a material library at the screen's depth: the
// textures become empty bitmaps that the vehicle and scenery code fill.
#include <cstring>

#include "engine3d/object.h"
#include "engine3d/palette3d.h"
#include "shell/owner.h"
#include "system/heap.h"

namespace {

constexpr const char* kOwner = "SB_DupMaterialLibraryFrom16to256";
constexpr const char* kBitmapOwner = "Careditor 17";
constexpr int32_t kBitmapWidth = 256;

// Everything the copy takes, released together when a step is refused.
struct Copy {
  MLIBENTRY* entry = nullptr;
  MLIB* library = nullptr;
  TMATERIAL* materials = nullptr;
  MLIBTEXTURE* textures = nullptr;

  void Release() {
    if (textures && library)
      for (uint32_t i = 0; i < library->NbTextures; ++i)
        if (textures[i].Bitmap) SB_FreeBmap(textures[i].Bitmap);
    for (void* block : {static_cast<void*>(textures), static_cast<void*>(materials),
                        static_cast<void*>(library), static_cast<void*>(entry)})
      if (block) SB_Release(block);
  }
};

template <typename Record>
Record* Duplicate(const Record* from, uint32_t count) {
  if (!from || count == 0) return nullptr;
  const uint64_t bytes = uint64_t{count} * sizeof(Record);
  if (bytes > INT32_MAX) return nullptr;
  auto* to = static_cast<Record*>(SB_GetMem(static_cast<int32_t>(bytes), kOwner));
  if (to) std::memcpy(static_cast<void*>(to), from, bytes);
  return to;
}

// The copied texture entries lose their original's picture, bitmap and
// card texture at once: the copy owns none of them, so that a refused
// copy frees only what it made.
MLIBTEXTURE* DuplicateTextures(const MLIB& from) {
  MLIBTEXTURE* textures = Duplicate(from.Textures, from.NbTextures);
  for (uint32_t i = 0; textures && i < from.NbTextures; ++i) {
    textures[i].Bitmap = textures[i].Picture = nullptr;
    textures[i].CardTexture = 0;
  }
  return textures;
}

// The texture entries' empty bitmaps; false when one is refused.
bool MakeBitmaps(const MLIB& from, MLIBTEXTURE* textures, int32_t depth, int32_t format) {
  for (uint32_t i = 0; i < from.NbTextures; ++i) {
    MLIBTEXTURE& t = textures[i];
    const BMAP* picture = from.Textures[i].Picture;
    if (!picture) continue;
    t.Bitmap = SB_CreateBmap(kBitmapWidth, picture->SizeY, depth, LS_DefaultHeap, kBitmapOwner);
    if (!t.Bitmap) return false;
    t.Bitmap->Texture = 0;
    t.Bitmap->Format = format;
  }
  return true;
}

// Points the textured materials at their texture's new bitmap.
void AttachMaterials(MLIB& library) {
  for (uint32_t i = 0; i < library.NbMaterials; ++i) {
    TMATERIAL& m = library.Materials[i];
    if (m.Flags & MATERIAL_UNTEXTURED) continue;
    const bool known = m.Texture >= 0 && static_cast<uint32_t>(m.Texture) < library.NbTextures;
    const MLIBTEXTURE* t = known ? &library.Textures[m.Texture] : nullptr;
    m.Bitmap = t ? t->Bitmap : nullptr;
    m.Pixels = m.Bitmap ? m.Bitmap->Start : nullptr;
    m.CardTexture = t ? t->CardTexture : 0;
  }
}

}  // namespace

MLIBENTRY* SB_DupMaterialLibraryFrom16to256(MLIBENTRY* old, int32_t depth, int32_t format) {
  if (!old || !old->Library) return nullptr;
  const MLIB& from = *old->Library;
  Copy copy;
  copy.entry = Duplicate(old, 1);
  copy.library = Duplicate(&from, 1);
  copy.materials = Duplicate(from.Materials, from.NbMaterials);
  copy.textures = DuplicateTextures(from);
  const bool copied = copy.entry && copy.library &&
                      (copy.materials || !from.Materials || !from.NbMaterials) &&
                      (copy.textures || !from.Textures || !from.NbTextures);
  if (!copied) {
    copy.Release();
    return nullptr;
  }
  copy.library->Materials = copy.materials;
  copy.library->Textures = copy.textures;
  if (copy.textures && !MakeBitmaps(from, copy.textures, depth, format)) {
    copy.Release();
    return nullptr;
  }
  AttachMaterials(*copy.library);

  // The copy joins the list of loaded libraries with links of its own, so
  // that its release unlinks it rather than its original's neighbours.
  MLIBENTRY* entry = copy.entry;
  entry->Library = copy.library;
  entry->RefCount = 1;
  entry->Prev = entry->Next = nullptr;
  MLIBENTRY** end = &E3D_MlibEntries;
  while (*end) {
    entry->Prev = *end;
    end = &(*end)->Next;
  }
  *end = entry;
  --old->RefCount;
  return entry;
}
