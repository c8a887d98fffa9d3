// The race's option overlay before the start: the "accelerate" and
// "choose" banners and the gearbox boxes, the chosen one pulsing, over a
// snapshot of the darkened scene; the darkening itself; and the HUD's box
// and radar textures of the accelerator path.
#include "engine3d/texcache.h"
#include "engine3d/types.h"
#include "frontend/media.h"
#include "frontend/menu.h"
#include "frontend/raceoverlay.h"
#include "platform/accel/types.h"
#include "race/types.h"
#include "scenery/effects.h"
#include "scenery/lensflare.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/file.h"
#include "system/heap.h"
#include "system/picture.h"
#include "vehicles/vehicles.h"

namespace {

constexpr int32_t kNbOptionPicts = 5;
constexpr int32_t kAutoBox = 0, kManualBox = 1, kAccelerate = 2, kChoose = 3;
constexpr int32_t kConfirmStep = 4, kGearboxStep = 5;
constexpr int32_t kWideOverlay = 800;
constexpr int32_t kFadeFrames = 3;
constexpr int32_t kPulseMs = 500;
constexpr double kPulseHigh = 1.5, kPulseLow = 1.0, kDimmed = 0.6;
constexpr uint32_t kBoxBit = 0x40000000;
constexpr int32_t kHudTextureClass = 3;

constexpr const char* kNames[kNbOptionPicts] = {"INTER>BMAPS>AUTOBOX.TGA", "INTER>BMAPS>MANUBOX.TGA",
                                                "COMDEX>ACCELERA.TGA", "COMDEX>CHOOSE.TGA",
                                                "COMDEX>ACCEPLAY.TGA"};
struct TPICTOFFSET {
  int32_t X, Y;  // (0, 0): centred
};
constexpr TPICTOFFSET SB_OptionPictOffsets[kNbOptionPicts] = {{100, 292}, {430, 292}, {0, 0}, {0, 0}, {0, 0}};

int32_t GameStep() { return SB_Hooks.GetGameStep ? SB_Hooks.GetGameStep() : -1; }

void FreeSlot(BMAP** slot) {
  if (*slot) SB_FreeBmap(*slot);
  *slot = nullptr;
}

void CopyWhole(BMAP* source, BMAP* destination) {
  LS_Bitmove(source, destination, 0, 0, source->SizeX - 1, source->SizeY - 1, 0, 0, LS_BLIT_OPAQUE);
}

BMAP* WorkBitmap(int32_t i, const BMAP* overlay) {
  BMAP*& work = SB_Var.OptionsWork[i];
  if (!work) {
    work = SB_CreateBmap(overlay->SizeX, overlay->SizeY, overlay->Depth, LS_DefaultHeap, "SB_DisplayGameOptions");
    if (work) work->Format = overlay->Format;
  }
  return work;
}

// A picture blended whole at (x, y).
void Blend(BMAP* picture, BMAP* target, int32_t x, int32_t y) {
  SB_BitmoveAlpha(picture, target, 0, 0, picture->SizeX - 1, picture->SizeY - 1, x, y);
}

// The blended pictures are 32-bit with alpha; any other is refused.
BMAP* LoadOptionPicture(const char* name) {
  BMAP* picture = LS_LoadTga(name, LS_DefaultHeap);
  if (picture && (picture->Depth != 32 || picture->Format != BMAP_ARGB8888)) {
    LS_FreeBmap(picture);
    picture = nullptr;
  }
  return picture;
}

// A HUD picture made a card texture: 32-bit with alpha, square, of a side
// the cache takes; anything else leaves the slot unset.
int32_t LoadHudTexture(const char* name, bool boxBit) {
  if (!LS_FileExists(name)) return 0;
  BMAP* picture = LoadOptionPicture(name);
  if (!picture) return 0;
  BMAP* texture = SB_ConvertBmapTo32(picture);
  if (!texture) return 0;
  const int32_t side = texture->SizeX;
  int32_t slot = 0;
  if (side == texture->SizeY && (side == 32 || side == 64 || side == 128 || side == 256)) {
    if (boxBit) {
      LS_LockBmap(texture);
      for (int32_t y = 0; y < texture->SizeY; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(texture->Start + static_cast<intptr_t>(y) * texture->ByteLen);
        for (int32_t x = 0; x < texture->SizeX; ++x) row[x] |= kBoxBit;
      }
      LS_UnlockBmap(texture);
    }
    slot = POWER_CreateCachedTexture(texture, SGL_MAP_4444, kHudTextureClass, 0);
  }
  SB_FreeBmap(texture);
  return slot;
}

}  // namespace

void SB_BitmoveAlpha(BMAP* source, BMAP* target, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x,
                     int32_t y) {
  LS_Bitmove(source, target, x1, y1, x2, y2, x, y, LS_BLIT_ALPHA);
}

__attribute__((weak)) void SB_LoadOptionPicts() {
  for (int32_t i = 0; i < kNbOptionPicts; ++i) {
    if (SB_Var.OptionPicts[i] || !LS_FileExists(kNames[i])) continue;
    SB_Var.OptionPicts[i] = LoadOptionPicture(kNames[i]);
    if (!SB_Var.OptionPicts[i]) LS_Message("Missing %s", kNames[i]);
  }
}

void SB_FreeOptionPicts() {
  for (BMAP*& picture : SB_Var.OptionPicts) {
    if (picture) LS_FreeBmap(picture);
    picture = nullptr;
  }
  FreeSlot(&SB_Var.OptionsWork[0]);
  FreeSlot(&SB_Var.OptionsWork[1]);
}

void SB_DrawOptionPict(BMAP* target, int32_t index, int32_t pulse) {
  if (!target || index < 0 || index >= kNbOptionPicts) return;
  BMAP* picture = SB_Var.OptionPicts[index];
  if (!picture) return;
  TPICTOFFSET at = SB_OptionPictOffsets[index];
  if (target->SizeX == kWideOverlay) at = {at.X * 5 / 4, at.Y * 5 / 4};
  if (at.X == 0 && at.Y == 0) {
    Blend(picture, target, (target->SizeX - picture->SizeX) / 2, (target->SizeY - picture->SizeY) / 4);
    return;
  }
  BMAP* scaled = SB_CreateBmap(picture->SizeX, picture->SizeY, 32, LS_DefaultHeap, "tmp comdex pict");
  if (!scaled) return;
  scaled->Format = BMAP_ARGB8888;
  const double factor = !pulse ? kDimmed : (SB_Var.Time / kPulseMs) % 2 ? kPulseHigh : kPulseLow;
  BmapScaleBrightness(scaled, picture, factor);
  Blend(scaled, target, at.X, at.Y);
  SB_FreeBmap(scaled);
}

int32_t SB_GearboxBoxesShown() {
  return SB_Var.OptionsFade == kFadeFrames && GameStep() == kGearboxStep && !SB_Var.SessionLost ? 1 : 0;
}

__attribute__((weak)) void SB_DisplayGameOptions(BMAP* overlay) {
  if (!overlay || SB_Var.OptionsFade != kFadeFrames) return;
  const int32_t step = GameStep();
  const bool shown = !SB_Var.SessionLost;
  BMAP* first = SB_Var.OptionsWork[0];
  if (!first) {
    first = WorkBitmap(0, overlay);
    if (!first) return;
    CopyWhole(overlay, first);
    BMAP* banner = SB_Var.OptionPicts[kAccelerate];
    if (shown && step == kConfirmStep && banner)
      Blend(banner, first, (overlay->SizeX - banner->SizeX) / 2, (overlay->SizeY - banner->SizeY) / 2);
    if (shown && step == kGearboxStep) SB_DrawOptionPict(first, kChoose, 0);
  }
  BMAP* second = WorkBitmap(1, overlay);
  if (!second) return;
  CopyWhole(first, second);
  if (SB_GearboxBoxesShown()) {
    SB_DrawOptionPict(second, kAutoBox, SB_Var.AutomaticGears ? 1 : 0);
    SB_DrawOptionPict(second, kManualBox, SB_Var.AutomaticGears ? 0 : 1);
  }
  CopyWhole(second, overlay);
}

__attribute__((weak)) void SB_UpdateOptionsFade() {
  const int32_t step = GameStep();
  const bool darkened =
      step == kConfirmStep || step == kGearboxStep || (step == 0 && SB_Var.GameMode != SB_DEMO);
  if (SB_Var.Renderer != SB_RENDERER_PVR || !darkened) {
    SB_Var.OptionsFade = 0;
    return;
  }
  if (SB_Var.OptionsFade < kFadeFrames) ++SB_Var.OptionsFade;
  SB_SetLightTint(0.5f, 0.5f, 0.75f);
}

__attribute__((weak)) void POWER_LoadHudTextures() {
  if (SB_Var.Renderer != SB_RENDERER_PVR) return;
  SB_Var.HudBoxTexture = LoadHudTexture("MISCPICT>BOX.TGA", true);
  SB_Var.HudRadarTexture = LoadHudTexture("MISCPICT>RADAR.TGA", false);
}

__attribute__((weak)) void POWER_FreeHudTextures() {
  for (int32_t* slot : {&SB_Var.HudBoxTexture, &SB_Var.HudRadarTexture}) {
    if (*slot) POWER_RemoveCachedTexture(*slot);
    *slot = 0;
  }
}
