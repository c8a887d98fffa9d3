// The brake lights: the two lamp areas of a car's lamp texture show the
// lit or the unlit lamp images of the same texture as the car's BrakeOn
// byte changes, in the texture bitmap or in the card texture's texels.
#include "scenery/brakelights.h"

#include "engine3d/object.h"
#include "engine3d/texcache.h"
#include "scenery/framefx.h"
#include "scenery/texcopy.h"
#include "shell/gamedraw.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"

namespace {

// SB_Var.GlassLayout's words.
enum : int32_t { kLampTexture = 0, kUnlitA = 2, kLitA = 4, kUnlitB = 6, kLitB = 8, kAreaA = 10, kAreaB = 12, kSize = 14 };

// One image copied onto its area, within the lamp texture.
struct LampCopy {
  int32_t fromX, fromY, toX, toY;
};

}  // namespace

TCAR* SB_WindShieldCar(int32_t index) {
  if (index < 0 || index >= SB_MAXCARS || index >= SB_Var.NbCars || !SB_Var.KnownPrototype) return nullptr;
  TCAR* car = SB_Var.Cars[index];
  if (!car || !car->Object || !SB_Hooks.IsCarInGame || !SB_Hooks.IsCarInGame(index)) return nullptr;
  return car;
}

MLIB* SB_CarLibrary(const TCAR* car) {
  return car && car->Object && car->Object->Materials ? car->Object->Materials->Library : nullptr;
}

__attribute__((weak)) void SB_ResetBrakeLights() {
  for (int32_t& seen : SB_Var.BrakeLightsSeen) seen = -1;
}

__attribute__((weak)) void SB_UpdateBrakeLights(TSOFTSCENE* scene, int32_t index) {
  TCAR* car = SB_WindShieldCar(index);
  if (!car) return;
  const int32_t brake = static_cast<int8_t>(car->BrakeOn);
  if (brake == SB_Var.BrakeLightsSeen[index]) return;
  SB_Var.BrakeLightsSeen[index] = brake;
  MLIB* library = SB_CarLibrary(car);
  const int32_t* g = SB_Var.GlassLayout;
  if (!library || g[kLampTexture] < 0 || static_cast<uint32_t>(g[kLampTexture]) >= library->NbTextures) return;
  const MLIBTEXTURE& texture = library->Textures[g[kLampTexture]];
  const int32_t s = car->Object->HalvedCoords ? 1 : 0;
  const int32_t a = brake ? kLitA : kUnlitA, b = brake ? kLitB : kUnlitB;
  const LampCopy copies[2] = {{g[a] >> s, g[a + 1] >> s, g[kAreaA] >> s, g[kAreaA + 1] >> s},
                              {g[b] >> s, g[b + 1] >> s, g[kAreaB] >> s, g[kAreaB + 1] >> s}};
  const int32_t w = g[kSize] >> s, h = g[kSize + 1] >> s;
  if (w < 1 || h < 1) return;
  if (SB_Var.Renderer == SB_RENDERER_PVR) {
    const int32_t slot = texture.CardTexture;
    if (!SB_CardTexels(slot).Pixels) return;
    for (const LampCopy& c : copies)
      SB_TwiddledBlit(slot, slot, c.fromX, c.fromY, c.fromX + w - 1, c.fromY + h - 1, c.toX, c.toY);
    POWER_MarkTextureUsed(scene, slot);
    return;
  }
  if (!texture.Bitmap) return;
  for (const LampCopy& c : copies)
    SB_Bitmove(texture.Bitmap, texture.Bitmap, c.fromX, c.fromY, c.fromX + w - 1, c.fromY + h - 1, c.toX, c.toY);
}
