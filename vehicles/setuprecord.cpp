// The vehicle setup's stored record, as the setup file and network message
// 9 carry it, and the check a setup from a file or a peer passes. A file
// of its own, so that the network reaches it without the setup file.
#include <cmath>
#include <cstddef>
#include <cstring>

#include "vehicles/bytes.h"
#include "vehicles/setups.h"
#include "vehicles/types.h"

namespace {

static_assert(sizeof(TVEHICLESETUP) == SB_SETUPRECORDSIZE, "the record is the setup's bytes");
static_assert(offsetof(TVEHICLESETUP, VDelta) == 8 && offsetof(TVEHICLESETUP, SetupNumber) == 23,
              "the stored field offsets");
static_assert(offsetof(TSTICKER, Texture) == 23 && offsetof(TSTICKER, X) == 24 && offsetof(TSTICKER, Y) == 26,
              "the stored sticker offsets");

float SaneDelta(float v, float low) {
  if (!std::isfinite(v)) return 0.0f;
  return v < low ? low : v > 255.0f ? 255.0f : v;
}

}  // namespace

void SB_PackVehicleSetup(const TVEHICLESETUP& s, uint8_t* r) {
  SB_PutFloat(r + 0, s.HDelta);
  SB_PutFloat(r + 4, s.SDelta);
  SB_PutFloat(r + 8, s.VDelta);
  std::memcpy(r + 12, s.Name, sizeof s.Name);
  r[20] = s.Dither;
  r[21] = s.Changed;
  r[22] = s.NbStickers;
  r[23] = static_cast<uint8_t>(s.SetupNumber);
  for (int32_t k = 0; k < SB_NBSTICKERS; ++k) {
    const TSTICKER& t = s.Stickers[k];
    uint8_t* at = r + 24 + 28 * k;
    std::memcpy(at, t.Name, sizeof t.Name);
    at[23] = static_cast<uint8_t>(t.Texture);
    at[24] = static_cast<uint8_t>(t.X), at[25] = static_cast<uint8_t>(t.X >> 8);
    at[26] = static_cast<uint8_t>(t.Y), at[27] = static_cast<uint8_t>(t.Y >> 8);
  }
  std::memcpy(r + 360, s.PrototypeName, sizeof s.PrototypeName);
}

void SB_UnpackVehicleSetup(const uint8_t* r, TVEHICLESETUP* s) {
  s->HDelta = SB_GetFloat(r + 0);
  s->SDelta = SB_GetFloat(r + 4);
  s->VDelta = SB_GetFloat(r + 8);
  std::memcpy(s->Name, r + 12, sizeof s->Name);
  s->Dither = r[20];
  s->Changed = r[21];
  s->NbStickers = r[22];
  s->SetupNumber = static_cast<int8_t>(r[23]);
  for (int32_t k = 0; k < SB_NBSTICKERS; ++k) {
    TSTICKER& t = s->Stickers[k];
    const uint8_t* at = r + 24 + 28 * k;
    std::memcpy(t.Name, at, sizeof t.Name);
    t.Texture = static_cast<int8_t>(at[23]);
    t.X = static_cast<int16_t>(at[24] | at[25] << 8);
    t.Y = static_cast<int16_t>(at[26] | at[27] << 8);
  }
  std::memcpy(s->PrototypeName, r + 360, sizeof s->PrototypeName);
}

void SB_SanitizeVehicleSetup(TVEHICLESETUP* s) {
  if (!s) return;
  if (s->NbStickers > SB_NBSTICKERS) s->NbStickers = SB_NBSTICKERS;
  s->Name[sizeof s->Name - 1] = 0;
  s->PrototypeName[sizeof s->PrototypeName - 1] = 0;
  for (TSTICKER& t : s->Stickers) t.Name[sizeof t.Name - 1] = 0;
  s->HDelta = SaneDelta(s->HDelta, 0.0f);
  s->SDelta = SaneDelta(s->SDelta, -255.0f);
  s->VDelta = SaneDelta(s->VDelta, -255.0f);
}
