// The vehicle setups: the nine local ones with their defaults and their
// binary file, and the per-car copies a race takes from them.
#include "vehicles/setups.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>

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

// Room for the selection tools that list more setups than the file holds.
TVEHICLESETUP g_setups[SB_MAXCARS];

TVEHICLESETUP* LocalSetups() {
  SB_Var.VehicleSetups = g_setups;
  return g_setups;
}

}  // namespace

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
