// What the scene submission reads of a texture-cache slot.
#include "engine3d/texcache.h"
#include "shell/sbvar.h"

int32_t POWER_SlotName(int32_t slot) {
  if (slot <= 0 || slot >= SB_MAXCACHETEXTURE || !SB_Var.TextureCache[slot].InUse) return -1;
  return SB_Var.TextureCache[slot].Name;
}

uint32_t POWER_SlotFlags(int32_t slot) {
  if (slot <= 0 || slot >= SB_MAXCACHETEXTURE || !SB_Var.TextureCache[slot].InUse) return 0;
  return SB_Var.TextureCache[slot].Flags;
}
