// The vehicle setups: the nine local ones with their defaults and their
// binary file, the stored record, the check a setup from a file or a peer
// passes, and the per-car copies a race takes from them.
#include "vehicles/setups.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "net/net.h"
#include "net/netplayer.h"
#include "shell/console.h"
#include "shell/gamefile.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/file.h"
#include "vehicles/bytes.h"
#include "vehicles/devenv.h"
#include "vehicles/types.h"
#include "vehicles/vehicles.h"

namespace {

constexpr char kSignature[] = "Vehicle binary file V1.06";
constexpr int32_t kSignatureBytes = 26;  // the text and its zero
constexpr int32_t kHeaderBytes = 256;
constexpr int32_t kFileHead = kHeaderBytes + 12;  // header, count twice, record size
static_assert(sizeof kSignature == kSignatureBytes, "the signature and its zero");
static_assert(sizeof(TVEHICLESETUP) == SB_SETUPRECORDSIZE, "the record is the setup's bytes");
static_assert(offsetof(TVEHICLESETUP, VDelta) == 8 && offsetof(TVEHICLESETUP, SetupNumber) == 23,
              "the stored field offsets");
static_assert(offsetof(TSTICKER, Texture) == 23 && offsetof(TSTICKER, X) == 24 && offsetof(TSTICKER, Y) == 26,
              "the stored sticker offsets");

// Room for the selection tools that list more setups than the file holds.
TVEHICLESETUP g_setups[SB_MAXCARS];

TVEHICLESETUP* LocalSetups() {
  SB_Var.VehicleSetups = g_setups;
  return g_setups;
}

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

void SB_InitVehicleSetups() {
  TVEHICLESETUP* setups = LocalSetups();
  for (int32_t i = 0; i < SB_NBLOCALSETUPS; ++i) {
    TVEHICLESETUP& s = setups[i];
    s.HDelta = s.SDelta = s.VDelta = 0.0f;
    std::memset(s.Name, 0, sizeof s.Name);
    std::memcpy(s.Name, "TRAMB", 5);
    s.Dither = 1;
    s.Changed = 0;
    s.NbStickers = 0;
    std::memset(s.PrototypeName, 0, sizeof s.PrototypeName);
  }
}

int32_t SB_SaveVehicleSetups(const char* name) {
  char path[LS_PATHSIZE];
  if (!name) {
    char dir[LS_PATHSIZE];
    if (!LSYS_GetSystemDir(dir, sizeof dir)) return 0;
    std::snprintf(path, sizeof path, "%.*s>nrcar.cfg", static_cast<int>(sizeof path - 11), dir);
    name = path;
  }
  SB_ConsolePrintf("Saving cars configuration %s...", name);
  static uint8_t file[kFileHead + SB_NBLOCALSETUPS * SB_SETUPRECORDSIZE];
  std::memset(file, 0, sizeof file);
  std::memcpy(file, kSignature, kSignatureBytes);
  SB_PutLong(file + kHeaderBytes, SB_NBLOCALSETUPS);
  SB_PutLong(file + kHeaderBytes + 4, SB_NBLOCALSETUPS);
  SB_PutLong(file + kHeaderBytes + 8, SB_SETUPRECORDSIZE);
  const TVEHICLESETUP* setups = LocalSetups();
  for (int32_t i = 0; i < SB_NBLOCALSETUPS; ++i)
    SB_PackVehicleSetup(setups[i], file + kFileHead + i * SB_SETUPRECORDSIZE);
  const SB_KeepFileErrors keep;  // a file that cannot be made is skipped without an error
  const int32_t handle = SB_OpenFile(name, SB_OPEN_CREATE);
  if (!handle) return 0;
  const int32_t written = SB_WriteFile(handle, file, sizeof file);
  SB_CloseFile(handle);
  return written == static_cast<int32_t>(sizeof file) ? 1 : 0;
}

// Whole records only, at most nine, and none past the end of the file: a
// record cut short, or one of no bytes, ends the reading.
int32_t SB_LoadVehicleSetups(const char* name) {
  void* data = nullptr;
  const int32_t size = SB_LoadWholeFile(name, &data);
  const auto* bytes = static_cast<const uint8_t*>(data);
  if (size < kHeaderBytes || std::memcmp(bytes, kSignature, kSignatureBytes) != 0) {
    if (data) SB_Release(data);
    return 0;
  }
  SB_ConsolePrintf("Loading cars configuration %s...", name);
  TVEHICLESETUP* setups = LocalSetups();
  if (size >= kFileHead) {
    const uint32_t count = SB_GetLong(bytes + kHeaderBytes + 4);
    const uint64_t recordSize = SB_GetLong(bytes + kHeaderBytes + 8);
    uint64_t at = kFileHead;
    for (uint32_t i = 0; i < count && i < SB_NBLOCALSETUPS && recordSize > 0; ++i) {
      if (at + recordSize > static_cast<uint64_t>(size)) break;
      uint8_t record[SB_SETUPRECORDSIZE];
      SB_PackVehicleSetup(setups[i], record);
      std::memcpy(record, bytes + at, recordSize < sizeof record ? recordSize : sizeof record);
      SB_UnpackVehicleSetup(record, &setups[i]);
      SB_SanitizeVehicleSetup(&setups[i]);
      at += recordSize;
    }
  }
  SB_Release(data);
  return 1;
}

void SB_SetSelectedSetup(int32_t n) {
  SB_Var.SelectedSetup = n;
  SB_Var.SetupScroll = SB_Var.SetupScrollTarget = -n;
  SB_Var.SetupScrollPos = -n * 10.0;
}

int32_t SB_GetSelectedSetup() { return SB_Var.SelectedSetup; }
