// Car definition text files: the local setups written as one definition
// each (SAVETEXTCARS) and definitions read from a keyed text file and
// spread over the setups (LOADTEXTCARS). Counts, texts and numbers read
// from the file are bounded before they are used.
#include "vehicles/cardefs.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "shell/console.h"
#include "shell/gamefile.h"
#include "shell/keyfile.h"
#include "shell/owner.h"
#include "vehicles/setups.h"

TCARDEFINITION** SB_CarDefinitions = nullptr;
int32_t SB_NbCarDefinitions = 0;

namespace {

constexpr double kToFile = 1.0 / 255.0;

double Bounded(double v, double low) {
  if (!std::isfinite(v)) return 0.0;
  return v < low ? low : v > 255.0 ? 255.0 : v;
}

// Makes the array of n empty slots; false when refused.
bool NewDefinitions(int32_t n) {
  SB_FreeTCARDEFINITIONs();
  const int32_t bytes = n * static_cast<int32_t>(sizeof(TCARDEFINITION*));
  SB_CarDefinitions = static_cast<TCARDEFINITION**>(SB_GetMem(bytes, "SB_ReadTCARDEFINITION"));
  return SB_CarDefinitions != nullptr;
}

// Up to 12 stickers, each a whole "STICKER:" line; the first that is not
// found ends them and leaves the search where it was.
void ReadStickers(TKEYFILE* file, TCARDEFINITION* d, int32_t count) {
  for (int32_t k = 0; k < count && k < SB_NBSTICKERS; ++k) {
    char* const before = file->Position;
    int32_t x = 0, y = 0, texture = 0;
    TSTICKER sticker{};
    if (SB_ScanKeyFile(file, 0, "STICKER: %l,%l,%l,%s", {&x, &y, &texture, sticker.Name}) != 4) {
      file->Position = before;
      return;
    }
    sticker.X = static_cast<int16_t>(x);
    sticker.Y = static_cast<int16_t>(y);
    sticker.Texture = static_cast<int8_t>(texture);
    if (!SB_AddStickerToTCARDEFINITION(d, sticker)) return;
  }
}

TCARDEFINITION* ReadDefinition(TKEYFILE* file) {
  TCARDEFINITION* d = SB_GetTCARDEFINITION();
  if (!d) return nullptr;
  SB_ScanKeyFile(file, 0, "HDELTA: %f", {&d->HDelta});
  SB_ScanKeyFile(file, 0, "SDELTA: %f", {&d->SDelta});
  SB_ScanKeyFile(file, 0, "VDELTA: %f", {&d->VDelta});
  d->HDelta = Bounded(d->HDelta * 255.0, 0.0);
  d->SDelta = Bounded(d->SDelta * 255.0, -255.0);
  d->VDelta = Bounded(d->VDelta * 255.0, -255.0);
  int32_t stickers = 0;
  SB_ScanKeyFile(file, 0, "NBSTICKERS: %l", {&stickers});
  ReadStickers(file, d, stickers);
  SB_ScanKeyFile(file, 0, "PROTOTYPE: %s", {d->Prototype});
  return d;
}

// Appends formatted text to the file; false once a write falls short.
bool Put(int32_t handle, const char* format, auto... values) {
  char line[160];
  const int n = std::snprintf(line, sizeof line, format, values...);
  const int32_t length = n < 0                               ? 0
                         : n < static_cast<int>(sizeof line) ? n
                                                             : static_cast<int>(sizeof line) - 1;
  return SB_WriteFile(handle, line, length) == length;
}

void WriteDefinition(int32_t h, const TCARDEFINITION& d) {
  Put(h, "HDELTA: %lf\r\n", d.HDelta);
  Put(h, "SDELTA: %lf\r\n", d.SDelta);
  Put(h, "VDELTA: %lf\r\n", d.VDelta);
  Put(h, "NBSTICKERS: %ld\r\n", static_cast<long>(d.NbStickers));
  for (int32_t k = 0; k < d.NbStickers; ++k) {
    const TSTICKER& s = *d.Stickers[k];
    Put(h, "STICKER: %ld,%ld,%ld,%s\r\n", static_cast<long>(s.X), static_cast<long>(s.Y),
        static_cast<long>(s.Texture), s.Name);
  }
  Put(h, "PROTOTYPE: %s\r\n", d.Prototype);
}

}  // namespace

TCARDEFINITION* SB_GetTCARDEFINITION() {
  auto* d = static_cast<TCARDEFINITION*>(SB_GetMem(sizeof(TCARDEFINITION), "SB_GetTCARDEFINITION"));
  if (d) std::memcpy(d->Name, "NAME", 5);
  return d;
}

int32_t SB_AddStickerToTCARDEFINITION(TCARDEFINITION* d, const TSTICKER& sticker) {
  if (!d) return 0;
  const char* tag = "SB_AddStickerToTCARDEFINITION";
  const int32_t bytes = (d->NbStickers + 1) * static_cast<int32_t>(sizeof(TSTICKER*));
  auto* array = static_cast<TSTICKER**>(SB_GetMem(bytes, tag));
  auto* copy = static_cast<TSTICKER*>(SB_GetMem(sizeof(TSTICKER), tag));
  if (!array || !copy) {
    if (array) SB_Release(array);
    if (copy) SB_Release(copy);
    return 0;
  }
  *copy = sticker;
  copy->Name[sizeof copy->Name - 1] = 0;
  if (d->Stickers) {
    std::memcpy(array, d->Stickers, d->NbStickers * sizeof(TSTICKER*));
    SB_Release(d->Stickers);
  }
  array[d->NbStickers++] = copy;
  d->Stickers = array;
  return 1;
}

void SB_FreeTCARDEFINITION(TCARDEFINITION* d) {
  if (!d) return;
  for (int32_t k = 0; k < d->NbStickers; ++k) SB_Release(d->Stickers[k]);
  if (d->Stickers) SB_Release(d->Stickers);
  SB_Release(d);
}

void SB_FreeTCARDEFINITIONs() {
  for (int32_t i = 0; SB_CarDefinitions && i < SB_NbCarDefinitions; ++i)
    SB_FreeTCARDEFINITION(SB_CarDefinitions[i]);
  if (SB_CarDefinitions) SB_Release(SB_CarDefinitions);
  SB_CarDefinitions = nullptr;
  SB_NbCarDefinitions = 0;
}

int32_t SB_ReadTCARDEFINITION(const char* name) {
  SB_FreeTCARDEFINITIONs();
  TKEYFILE* file = SB_OpenKeyFile(name);
  if (!file || !file->Start) {
    SB_ConsolePrintf("Car def file %s not found !!!", name);
    SB_CloseKeyFile(file);
    return 0;
  }
  SB_ConsolePrintf("Loading car definition file %s...", name);
  int32_t count = 0;
  SB_ScanKeyFile(file, 1, "CARDEFINITIONS: %l", {&count});
  if (count < 1 || !NewDefinitions(count < SB_MAXCARDEFINITIONS ? count : SB_MAXCARDEFINITIONS)) {
    SB_ConsolePrintf("Error in file, minimum 1 car !!!");
    SB_CloseKeyFile(file);
    return 0;
  }
  for (int32_t i = 0; i < count && i < SB_MAXCARDEFINITIONS; ++i) {
    TCARDEFINITION* d = ReadDefinition(file);
    if (!d) break;
    SB_CarDefinitions[SB_NbCarDefinitions++] = d;
  }
  SB_CloseKeyFile(file);
  return SB_NbCarDefinitions > 0 ? 1 : 0;
}

int32_t SB_ApplyTCARDEFINITIONs(TVEHICLESETUP* setups) {
  if (!setups || SB_NbCarDefinitions < 1) return 0;
  for (int32_t i = 0; i < SB_NBLOCALSETUPS; ++i) {
    const TCARDEFINITION& d = *SB_CarDefinitions[i % SB_NbCarDefinitions];
    TVEHICLESETUP& s = setups[i];
    s.HDelta = static_cast<float>(d.HDelta);
    s.SDelta = static_cast<float>(d.SDelta);
    s.VDelta = static_cast<float>(d.VDelta);
    s.NbStickers = static_cast<uint8_t>(d.NbStickers < SB_NBSTICKERS ? d.NbStickers : SB_NBSTICKERS);
    for (int32_t k = 0; k < s.NbStickers; ++k) s.Stickers[k] = *d.Stickers[k];
    std::memcpy(s.PrototypeName, d.Prototype, sizeof s.PrototypeName);
    s.PrototypeName[sizeof s.PrototypeName - 1] = 0;
  }
  return 1;
}

void SB_BuildTCARDEFINITIONs(TVEHICLESETUP* setups) {
  if (!setups || !NewDefinitions(SB_NBLOCALSETUPS)) return;
  for (int32_t i = 0; i < SB_NBLOCALSETUPS; ++i) {
    TCARDEFINITION* d = SB_GetTCARDEFINITION();
    if (!d) return;
    SB_CarDefinitions[SB_NbCarDefinitions++] = d;
    const TVEHICLESETUP& s = setups[i];
    d->HDelta = Bounded(s.HDelta, 0.0) * kToFile;
    d->SDelta = Bounded(s.SDelta, -255.0) * kToFile;
    d->VDelta = Bounded(s.VDelta, -255.0) * kToFile;
    for (int32_t k = 0; k < s.NbStickers && k < SB_NBSTICKERS; ++k)
      if (!SB_AddStickerToTCARDEFINITION(d, s.Stickers[k])) break;
    std::snprintf(d->Prototype, sizeof d->Prototype, "%.*s", static_cast<int>(sizeof d->Prototype - 1),
                  s.PrototypeName);
  }
}

int32_t SB_WriteTCARDEFINITION(const char* name) {
  SB_ConsolePrintf("Saving car definition file %s...", name);
  const SB_KeepFileErrors keep;  // a file that cannot be made is skipped without an error
  const int32_t h = SB_OpenFile(name, SB_OPEN_CREATE);
  if (!h) return 0;
  Put(h, "CARDEFINITIONS: %ld\r\n", static_cast<long>(SB_NbCarDefinitions));
  Put(h, "\r\n");
  for (int32_t i = 0; i < SB_NbCarDefinitions; ++i) {
    if (i > 0) Put(h, "\r\n");
    WriteDefinition(h, *SB_CarDefinitions[i]);
  }
  SB_CloseFile(h);
  return 1;
}
