// Loading and freeing material libraries: the textures' pictures with their
// work bitmaps, the materials pointing into them, and material records by
// index.
#include "engine3d/material.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "shell/gamepicture.h"
#include "shell/owner.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/file.h"
#include "system/heap.h"
#include "system/util.h"

namespace {

constexpr int32_t kMagic = 32;
constexpr int32_t kHeader = 352;
constexpr int32_t kMaterial = 72;
constexpr int32_t kTextureTail = 20;  // the entry's words after its name
constexpr int32_t kMaxPicture = 256;  // a texture's page is 256 texels square
constexpr uint32_t kV11 = E3D_Tag("v1.1"), kV12 = E3D_Tag("v1.2"), kV13 = E3D_Tag("v1.3");

// Stored name bytes of a texture entry by version.
int32_t TextureNameBytes(uint32_t tag) { return tag == kV11 ? 13 : tag == kV12 ? 16 : E3D_TEXNAMELEN; }

bool Exists(const char* name) { return LS_FileExists(name) != 0; }

// Replaces the name by the object directory and its base name, when that
// fits in the buffer.
bool InObjectDirectory(char* name, size_t capacity) {
  char base[LS_PATHSIZE];
  std::snprintf(base, sizeof base, "%s", name);
  GetBaseFileName(base);
  char joined[LS_PATHSIZE];
  const int n = std::snprintf(joined, sizeof joined, "%s%s", E3D_ObjectLoader.Directory, base);
  if (n < 0 || static_cast<size_t>(n) >= capacity) return false;
  std::memcpy(name, joined, static_cast<size_t>(n) + 1);
  return true;
}

void ReadTextureEntry(const uint8_t* stored, int32_t nameBytes, MLIBTEXTURE* texture) {
  std::memcpy(texture->Name, stored, static_cast<size_t>(nameBytes));
  texture->Name[nameBytes] = 0;
  const uint8_t* tail = stored + nameBytes;
  texture->Width = static_cast<int32_t>(LS_ReadLELong(tail + 12));
  texture->Word272 = static_cast<int32_t>(LS_ReadLELong(tail + 16));
}

void ReadMaterial(const uint8_t* r, TMATERIAL* m) {
  auto word = [r](int32_t offset) { return static_cast<int32_t>(LS_ReadLELong(r + offset)); };
  m->CardTexture = word(4);
  for (int32_t i = 0; i < 3; ++i) m->Words12[i] = word(12 + 4 * i);
  m->Scale = static_cast<uint32_t>(word(24));
  m->Position = static_cast<uint32_t>(word(28));
  for (int32_t i = 0; i < 4; ++i) m->Words32[i] = word(32 + 4 * i);
  m->Place[0] = word(48);
  m->Place[1] = word(52);
  for (int32_t i = 0; i < 2; ++i) m->Words56[i] = word(56 + 4 * i);
  m->Flags = static_cast<uint32_t>(word(64));
  m->Texture = word(68);
}

// The entry's picture at 24 bits and its 8-bit work bitmap; an entry whose
// file is missing, of another kind or too large for a page keeps none.
void LoadTexturePicture(MLIBTEXTURE* texture) {
  texture->CardTexture = 0;
  texture->Bitmap = texture->Picture = nullptr;
  char* name = texture->Name;
  if (LS_GetLogicalPath(name, sizeof texture->Name) < 0) return;
  if (!Exists(name) && !InObjectDirectory(name, sizeof texture->Name)) return;
  const uint32_t extension = HasFileExtension(name);
  if (!Exists(name) || (extension != E3D_Tag(".TGA") && extension != E3D_Tag(".PCX"))) return;
  std::memcpy(name + std::strlen(name) - 4, ".TGA", 4);
  BMAP* picture = SB_LoadTga(name);
  if (!picture) {
    LS_Message("tga not found %s", name);
    LS_Error(0, "ITEMFILE ERROR");
    return;
  }
  if (picture->SizeX < 1 || picture->SizeX > kMaxPicture || picture->SizeY > kMaxPicture) {
    SB_FreeBmap(picture);
    return;
  }
  texture->Bitmap = SB_CreateBmap(kMaxPicture, picture->SizeY, 8, LS_DefaultHeap, "Load material");
  if (!texture->Bitmap) {
    SB_FreeBmap(picture);
    return;
  }
  texture->Picture = picture;
  texture->Width = picture->SizeX;
}

void AttachMaterial(const MLIB* library, TMATERIAL* m) {
  if ((m->Flags & MATERIAL_UNTEXTURED) || m->Texture < 0 ||
      static_cast<uint32_t>(m->Texture) >= library->NbTextures)
    return;
  const MLIBTEXTURE& texture = library->Textures[m->Texture];
  if (!texture.Picture) return;
  m->Bitmap = texture.Bitmap;
  m->CardTexture = texture.CardTexture;
  m->Pixels = texture.Bitmap->Start;
  const uint32_t su = kMaxPicture / static_cast<uint32_t>(texture.Picture->SizeX);
  const uint32_t sv = kMaxPicture / static_cast<uint32_t>(texture.Picture->SizeY);
  m->Scale = su << 16 | sv;
  m->Position = (static_cast<uint32_t>(m->Place[0]) << 16) + static_cast<uint32_t>(m->Place[1]);
}

// Steps 4 to 8: header, textures and materials, once the magic was read.
MLIB* ReadLibrary(int16_t file, int64_t size, uint32_t tag, const char* path) {
  uint8_t header[kHeader];
  if (LS_Read(file, header, kHeader) != kHeader) return nullptr;
  MLIB* library = static_cast<MLIB*>(SB_GetMem(sizeof(MLIB), "LoadMaterialLibrary"));
  if (!library) return nullptr;
  std::memcpy(library->Head, header, sizeof library->Head);
  std::snprintf(library->Name, sizeof library->Name, "%s", path);
  std::memcpy(library->Rest, header + 272, sizeof library->Rest);
  library->NbMaterials = LS_ReadLELong(header + 328);
  library->NbTextures = LS_ReadLELong(header + 332);
  std::memcpy(library->Words336, header + 336, sizeof library->Words336);

  const int32_t nameBytes = TextureNameBytes(tag);
  const int64_t entryBytes = nameBytes + kTextureTail;
  const int64_t materialBytes = tag == kV11 ? 0 : kMaterial;
  const int64_t need = entryBytes * library->NbTextures + materialBytes * library->NbMaterials;
  if (need > size - kMagic - kHeader || int64_t{library->NbMaterials} * sizeof(TMATERIAL) > INT32_MAX) {
    SB_Release(library);
    return nullptr;
  }
  bool read = true;
  if (library->NbTextures) {
    library->Textures = static_cast<MLIBTEXTURE*>(SB_GetMem(
        static_cast<int32_t>(library->NbTextures * sizeof(MLIBTEXTURE)), "LoadMaterialLibrary TEXTURES"));
    uint8_t stored[E3D_TEXNAMELEN + kTextureTail];
    for (uint32_t i = 0; read && i < library->NbTextures; ++i) {
      read = library->Textures && LS_Read(file, stored, static_cast<int32_t>(entryBytes)) == entryBytes;
      if (read) ReadTextureEntry(stored, nameBytes, &library->Textures[i]);
    }
    for (uint32_t i = 0; read && i < library->NbTextures; ++i) LoadTexturePicture(&library->Textures[i]);
  }
  if (read && library->NbMaterials) {
    library->Materials = static_cast<TMATERIAL*>(SB_GetMem(
        static_cast<int32_t>(library->NbMaterials * sizeof(TMATERIAL)), "LoadMaterialLibrary MATERIALS"));
    uint8_t stored[kMaterial];
    for (uint32_t i = 0; read && i < library->NbMaterials; ++i) {
      read = library->Materials && (tag == kV11 || LS_Read(file, stored, kMaterial) == kMaterial);
      if (read && tag != kV11) ReadMaterial(stored, &library->Materials[i]);
      if (read) AttachMaterial(library, &library->Materials[i]);
    }
  }
  if (read) return library;
  FreeMaterialLibrary(library);
  return nullptr;
}

// The version tag of an accepted magic, or 0.
uint32_t MagicTag(const uint8_t* magic) {
  const uint32_t tag = E3D_ForwardTag(LS_ReadLELong(magic + 7));
  const bool matr = std::memcmp(magic + 12, "MATR", 4) == 0 || std::memcmp(magic + 12, "RTAM", 4) == 0;
  return matr && (tag == kV11 || tag == kV12 || tag == kV13) ? tag : 0;
}

}  // namespace

MLIB* LoadMaterialLibrary(char* path, int32_t writable) {
  if (!path) return nullptr;
  char copy[E3D_MLIBNAMELEN];
  char* text = path;
  if (!writable) {
    std::snprintf(copy, sizeof copy, "%s", path);
    text = copy;
  }
  if (LS_GetLogicalPath(text, E3D_MLIBNAMELEN) < 0) return nullptr;
  if (!Exists(text) && (!InObjectDirectory(text, E3D_MLIBNAMELEN) || !Exists(text))) return nullptr;
  const int16_t file = LS_Open(text, LS_O_RDONLY | LS_O_BINARY);
  if (file < 0) return nullptr;
  const int64_t size = std::max<int32_t>(LS_Seek(file, 0, 2), 0);
  uint8_t magic[kMagic];
  MLIB* library = nullptr;
  if (LS_Seek(file, 0, 0) == 0 && LS_Read(file, magic, kMagic) == kMagic && MagicTag(magic))
    library = ReadLibrary(file, size, MagicTag(magic), text);
  LS_Close(file);
  return library;
}

void FreeMaterialLibrary(MLIB* library) {
  if (!library) return;
  for (uint32_t i = 0; library->Textures && i < library->NbTextures; ++i) {
    if (library->Textures[i].Bitmap) SB_FreeBmap(library->Textures[i].Bitmap);
    if (library->Textures[i].Picture) SB_FreeBmap(library->Textures[i].Picture);
  }
  if (library->Materials) SB_Release(library->Materials);
  if (library->Textures) SB_Release(library->Textures);
  SB_Release(library);
}

TMATERIAL* GetMaterial(MLIB* library, uint32_t index, int32_t** place) {
  if (!library || !library->Materials || index >= library->NbMaterials) return nullptr;
  TMATERIAL* material = &library->Materials[index];
  if (place) *place = material->Place;
  return material;
}

int32_t GetMaterialIndex(const MLIB* library, const TMATERIAL* material) {
  if (!library || !library->Materials || library->NbMaterials == 0) return -1;
  const uintptr_t first = reinterpret_cast<uintptr_t>(library->Materials);
  const uintptr_t at = reinterpret_cast<uintptr_t>(material);
  if (at < first || (at - first) % sizeof(TMATERIAL) ||
      (at - first) / sizeof(TMATERIAL) >= library->NbMaterials)
    return -1;
  return static_cast<int32_t>((at - first) / sizeof(TMATERIAL));
}

void GetBaseFileName(char* path) {
  if (!path) return;
  for (size_t i = std::strlen(path); i > 1; --i) {
    const char c = path[i - 1];
    if (c == '\\' || c == ':' || c == '>') {
      std::memmove(path, path + i, std::strlen(path + i) + 1);
      return;
    }
  }
}
