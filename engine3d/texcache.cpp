// The accelerator's texture cache: adding and removing slots, the scenes'
// marks, and the per-frame pass that creates what a frame needs on the
// card in priority order, evicting the least used when the card is full.
#include "engine3d/texcache.h"

#include <cstring>
#include <vector>

#include "platform/accel/sgl.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/error.h"

namespace {

constexpr int32_t kTexelBytes = 4;
constexpr uint32_t kUseCount = 0x7FFFFFFFu;

TEXTURECACHE& Slot(int32_t i) { return SB_Var.TextureCache[i]; }

bool OnCard(const TEXTURECACHE& t) { return t.Name >= 0; }

// Formats 1 and 4 carry their smaller levels.
bool HasLevels(int32_t format) { return format == SGL_MAP_555_LEVELS || format == SGL_MAP_4444_LEVELS; }

// The size code of a side: 0 for 32 .. 3 for 256, else -1.
int32_t SizeCode(int32_t side) {
  for (int32_t code = 0; code <= SGL_MAX_SIZE_CODE; ++code)
    if (side == SGL_MIN_MAP_SIDE << code) return code;
  return -1;
}

int32_t FirstFreeSlot() {
  for (int32_t i = 1; i < SB_MAXCACHETEXTURE; ++i)
    if (!Slot(i).InUse) return i;
  return 0;
}

// Deletes a victim's card texture; it stays in use, off the card.
void Evict(int32_t j, const char* failure) {
  TEXTURECACHE& v = Slot(j);
  if (!OnCard(v)) LS_Error(0, "Cache Algo failed");
  sgl_delete_texture(v.Name);
  int32_t first = 0;
  sgl_get_errors(&first, nullptr);
  if (first != 0) {
    LS_Message(failure, static_cast<long>(first), static_cast<long>(j), static_cast<long>(v.Name));
    LS_Error(0, "Cannot unload cache texture");
  }
  v.State = SB_CACHE_IDLE;
  v.Weight = 0;
  v.Name = -1;
}

// The created but unneeded slot of least weight (lowest index first), or 0.
int32_t IdleVictim(int32_t i) {
  int32_t best = 0;
  for (int32_t j = 1; j < SB_MAXCACHETEXTURE; ++j) {
    const TEXTURECACHE& t = Slot(j);
    if (j == i || !t.InUse || t.State != SB_CACHE_IDLE || !t.Map.Pixels || !OnCard(t)) continue;
    if (!best || t.Weight < Slot(best).Weight) best = j;
  }
  return best;
}

// For an indispensable texture: the needed class-3 slot of least weight,
// else the class-2 one, or 0.
int32_t NeededVictim(int32_t i) {
  int32_t best[4] = {};
  for (int32_t j = 1; j < SB_MAXCACHETEXTURE; ++j) {
    const TEXTURECACHE& t = Slot(j);
    if (j == i || !t.InUse || t.State != SB_CACHE_CREATED || !t.Map.Pixels) continue;
    if (t.Class != 2 && t.Class != 3) continue;
    if (!OnCard(t)) {
      LS_Error(0, "Cache Algo Failed 2");
      continue;
    }
    if (!best[t.Class] || t.Weight < Slot(best[t.Class]).Weight) best[t.Class] = j;
  }
  return best[3] ? best[3] : best[2];
}

// A name of 0 or more puts the slot on the card.
bool Created(TEXTURECACHE& t, int32_t name, int32_t reduced) {
  if (name < 0) return false;
  t.Name = name;
  t.State = SB_CACHE_CREATED;
  t.CreatedReduced = reduced;
  SB_Var.CacheCreatedMemory += t.Size;
  return true;
}

// Creates one needed slot, evicting as the class allows.
void CreateNeeded(int32_t i, int32_t textureClass) {
  TEXTURECACHE& t = Slot(i);
  for (;;) {
    const int32_t name = sgl_create_texture(0, 0, 0, 0, &t.Map, 0);
    if (Created(t, name, 0)) return;
    if (name != SGL_ERR_TEXTURE_MEMORY_FULL) {
      LS_Message("error: %ld", static_cast<long>(name));
      LS_Error(0, "Unknown error in cache texture");
    }
    sgl_get_errors(nullptr, nullptr);
    if (const int32_t victim = IdleVictim(i)) {
      Evict(victim, "delete failed %ld (ilow:%ld name:%ld)");
      continue;
    }
    if (textureClass == SB_CACHE_INDISPENSABLE) {
      SB_Var.CacheStatus = SB_CACHESTATUS_EVICTED_NEEDED;
      if (const int32_t victim = NeededVictim(i)) {
        Evict(victim, "delete failed %ld (ilow:%ld name:%ld)");
        continue;
      }
      SB_Var.CacheStatus = SB_CACHESTATUS_INDISPENSABLE_LOST;
      return;
    }
    // One level smaller, when the map has levels to spare.
    if (t.HasLevels && t.Map.Id[3] != 0) {
      SGLMAP smaller = t.Map;
      --smaller.Id[3];
      if (Created(t, sgl_create_texture(0, 0, 0, 0, &smaller, 0), 1)) return;
      sgl_get_errors(nullptr, nullptr);
    }
    SB_Var.CacheStatus = SB_CACHESTATUS_LOST;
    return;
  }
}

// Uploads the texels of the slots the scene marked changed.
void UploadChanged(const TSOFTSCENE* scene) {
  for (int32_t i = 1; i < SB_MAXCACHETEXTURE; ++i) {
    TEXTURECACHE& t = Slot(i);
    if (!(scene->TextureUses[i] & SB_TEXTURE_CHANGED) || !OnCard(t)) continue;
    sgl_set_texture(t.Name, 0, 0, &t.Map, 0);
    int32_t first = 0, second = 0;
    sgl_get_errors(&first, &second);
    if (first != 0) {
      LS_Message("Update texture failed failed (%ld %ld) name:%ld", static_cast<long>(first),
                 static_cast<long>(second), static_cast<long>(t.Name));
      LS_Error(0, "Update Texture Failed");
    }
  }
}

// The frame's end: every slot counted and made idle.
void CountSlots() {
  for (int32_t i = 1; i < SB_MAXCACHETEXTURE; ++i) {
    TEXTURECACHE& t = Slot(i);
    if (!t.InUse) continue;
    if (t.State == SB_CACHE_NEEDED) {
      t.Weight = 0;
      t.Name = -1;
      ++SB_Var.CacheLostCount;
      SB_Var.CacheLostMemory += t.Size;
    } else if (t.State == SB_CACHE_IDLE) {
      if (OnCard(t)) SB_Var.CacheIdleMemory += t.Size;
      ++t.Weight;
    } else {
      ++SB_Var.CacheUsedCount;
      SB_Var.CacheUsedMemory += t.Size;
    }
    t.State = SB_CACHE_IDLE;
  }
}

}  // namespace

int32_t POWER_InitTextureCache() {
  for (int32_t i = 1; i < SB_MAXCACHETEXTURE; ++i) {
    Slot(i).InUse = 0;
    Slot(i).Name = -1;
  }
  return 1;
}

int32_t POWER_CreateCachedTexture(BMAP* bitmap, int32_t format, int32_t textureClass, uint32_t flags) {
  if (!bitmap || (bitmap->Format != BMAP_ABGR8888 && bitmap->Format != BMAP_XBGR8888)) {
    LS_Message("Bad Texture format");
    return 0;
  }
  const int32_t i = FirstFreeSlot();
  if (!i) {
    LS_Error(0, "PWR : Too many textures !");
    return 0;
  }
  if (bitmap->SizeX != bitmap->SizeY) {
    LS_Error(0, "PWR : Cannot create non-squared cached texture !");
    return 0;
  }
  if (bitmap->Depth != 32) {
    LS_Error(0, "PWR : Cached texture must be 32bit depth");
    return 0;
  }
  const int32_t side = bitmap->SizeX, code = SizeCode(side);
  if (code < 0) {
    LS_Message("PWR: unsupported texture size");
    return 0;
  }
  // The library reads the texels row after row with no gap between rows.
  std::vector<uint8_t> packed;
  void* texels = bitmap->Start;
  if (bitmap->ByteLen != side * kTexelBytes) {
    packed.resize(static_cast<size_t>(side) * side * kTexelBytes);
    for (int32_t y = 0; y < side; ++y)
      std::memcpy(&packed[static_cast<size_t>(y) * side * kTexelBytes],
                  bitmap->Start + static_cast<ptrdiff_t>(y) * bitmap->ByteLen, static_cast<size_t>(side) * kTexelBytes);
    texels = packed.data();
  }
  const SGLMAP source{{'I', 'M', 'A', 'P'}, side, side, texels};
  TEXTURECACHE& t = Slot(i);
  if (sgl_preprocess_texture(format, code, 0, 0, &source, 0, &t.Map) < 0) {
    sgl_get_errors(nullptr, nullptr);
    t.Map = SGLMAP{};
    LS_Error(0, "PWR: cannot preprocess_texture");
    return 0;
  }
  t.Name = -1;
  t.InUse = 1;
  t.Weight = 0;
  t.State = SB_CACHE_IDLE;
  t.Size = sgl_texture_size(&t.Map);
  t.Class = textureClass;
  t.Flags = flags;
  t.HasLevels = HasLevels(format) ? 1 : 0;
  t.CreatedReduced = 0;
  return i;
}

// Weak, so that the vehicles tests' recording fakes link.
__attribute__((weak)) int32_t POWER_RemoveCachedTexture(int32_t index) {
  if (index < 0 || index >= SB_MAXCACHETEXTURE) {
    LS_Message("Remove with illegal index %ld", static_cast<long>(index));
    return 1;
  }
  TEXTURECACHE& t = Slot(index);
  if (index == 0 || !t.InUse || !t.Map.Pixels) return 1;
  if (OnCard(t)) {
    sgl_delete_texture(t.Name);
    int32_t first = 0;
    sgl_get_errors(&first, nullptr);
    if (first != 0)
      LS_Message("delete failed %ld (index:%ld value:%ld)", static_cast<long>(first), static_cast<long>(index),
                 static_cast<long>(t.Name));
  }
  // A bank's texels belong to the bank's heap or a kept block.
  if (!(t.Flags & SB_TEXFLAG_BANK)) sgl_free_pixels(&t.Map);
  t.InUse = 0;
  t.Name = -1;
  t.Weight = 0;
  return 1;
}

int32_t POWER_MarkTextureUsed(TSOFTSCENE* scene, int32_t index) {
  if (!scene || index < 1 || index >= SB_MAXCACHETEXTURE || !Slot(index).InUse) return 0;
  scene->TextureUses[index] |= SB_TEXTURE_CHANGED;
  return 1;
}

void POWER_UpdateTextureCache(TSOFTSCENE* scene) {
  SB_Var.CacheStatus = SB_CACHESTATUS_OK;
  SB_Var.CacheLostCount = SB_Var.CacheLostMemory = SB_Var.CacheCreatedMemory = 0;
  SB_Var.CacheUsedCount = SB_Var.CacheUsedMemory = SB_Var.CacheIdleMemory = 0;
  if (!scene) return;
  UploadChanged(scene);
  for (int32_t i = 1; i < SB_MAXCACHETEXTURE; ++i) {
    TEXTURECACHE& t = Slot(i);
    const uint32_t uses = scene->TextureUses[i] & kUseCount;
    if (!t.InUse || uses == 0) continue;
    t.Weight = uses;
    t.State = OnCard(t) ? SB_CACHE_CREATED : SB_CACHE_NEEDED;
  }
  for (int32_t k = 1; k <= 3; ++k)
    if (!POWER_CacheAlgo(k)) break;
  CountSlots();
}

int32_t POWER_CacheAlgo(int32_t textureClass) {
  for (int32_t i = 1; i < SB_MAXCACHETEXTURE; ++i) {
    const TEXTURECACHE& t = Slot(i);
    if (t.InUse && t.State == SB_CACHE_NEEDED && t.Class == textureClass && t.Map.Pixels)
      CreateNeeded(i, textureClass);
  }
  return 1;
}
