// The replay file "Car replay file V1.01": the driven car's recording
// saved, a file loaded onto a car (cars that load the same replay share
// one record table), and the cars' replays freed.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "shell/console.h"
#include "shell/gamefile.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "vehicles/bytes.h"
#include "vehicles/devenv.h"
#include "vehicles/replays.h"
#include "vehicles/vehicles.h"

namespace {

constexpr char kSignature[] = "Car replay file V1.01";
constexpr int32_t kSignatureBytes = 22;  // the text and its zero
static_assert(sizeof kSignature == kSignatureBytes, "the signature and its zero");
constexpr const char* kHeaderOwner = "Replay for a car";
constexpr const char* kTableOwner = "SB_AllocMaxReplayTab";

// The cars whose playback replay uses this record table.
int32_t TableUsers(const TREPLAYREC* records) {
  if (!records) return 1;
  return static_cast<int32_t>(std::count_if(std::begin(SB_Var.CarReplays), std::end(SB_Var.CarReplays),
                                            [&](const TREPLAY* r) { return r && r->Records == records; }));
}

// Frees slot i's replay, and its table unless another car uses it; a
// replay that a load replaces goes without a word.
void FreeSlot(int32_t index, bool report = true) {
  TREPLAY* replay = SB_Var.CarReplays[index];
  if (!replay) return;
  if (report) SB_ConsolePrintf("Free car replay %i...", static_cast<int>(index));
  if (TableUsers(replay->Records) < 2) {
    if (report) SB_ConsolePrintf("Free car replay record %i...", static_cast<int>(index));
    if (replay->Records) SB_Release(replay->Records);
  }
  SB_Release(replay);
  SB_Var.CarReplays[index] = nullptr;
}

void ListReplays() {
  for (int32_t i = 0; i < SB_Var.NbCars && i < SB_MAXCARS; ++i) {
    const TREPLAY* replay = SB_Var.CarReplays[i];
    if (replay)
      SB_ConsolePrintf("Car %ld: +%ld %s", static_cast<long>(i), static_cast<long>(replay->StartTime), replay->Name);
    else
      SB_ConsolePrintf("Car %ld: no replay", static_cast<long>(i));
  }
}

// A table of the file's records; null when it cannot be had.
TREPLAYREC* ReadRecords(const uint8_t* at, int32_t count) {
  if (count < 1) return nullptr;
  auto* records = static_cast<TREPLAYREC*>(SB_GetMem(count * SB_REPLAYRECSIZE, kTableOwner));
  if (!records) return nullptr;
  for (int32_t i = 0; i < count; ++i) SB_ReadReplayRec(at + static_cast<size_t>(i) * SB_REPLAYRECSIZE, &records[i]);
  return records;
}

// Another car's table of the same file with the same records, or null.
TREPLAYREC* SameReplay(const char* name, const TREPLAYREC* records, int32_t count, int32_t except) {
  for (int32_t i = 0; i < SB_MAXCARS; ++i) {
    const TREPLAY* other = SB_Var.CarReplays[i];
    if (i == except || !other || std::strcmp(other->Name, name) != 0 || other->LoadedCount != count) continue;
    if (count == 0 || std::memcmp(other->Records, records, static_cast<size_t>(count) * sizeof(TREPLAYREC)) == 0)
      return other->Records;
  }
  return nullptr;
}

// A checked file: its car index and record count, or false with the
// reason printed.
bool CheckFile(const uint8_t* bytes, int32_t size, uint32_t* car, int32_t* count) {
  if (size < SB_REPLAYFILEHEAD || std::memcmp(bytes, kSignature, kSignatureBytes) != 0) {
    SB_ConsolePrintf("Old replay format !!!");
    return false;
  }
  *car = SB_GetLong(bytes + SB_REPLAYHEADERSIZE);
  const uint32_t n = SB_GetLong(bytes + SB_REPLAYHEADERSIZE + 4);
  if (n > static_cast<uint32_t>(size - SB_REPLAYFILEHEAD) / SB_REPLAYRECSIZE) {
    SB_ConsolePrintf("Old replay format !!!");
    return false;
  }
  *count = static_cast<int32_t>(n);
  return true;
}

// The car a loaded file goes on: a valid argument, else the file's own.
int32_t TargetCar(int32_t argument, uint32_t fileCar) {
  if (SB_IsValidCarIndex(argument)) return argument;
  if (fileCar > static_cast<uint32_t>(SB_MAXCARS)) return -1;
  const int32_t car = static_cast<int32_t>(fileCar);
  return SB_IsValidCarIndex(car) ? car : -1;
}

// Puts the file's records on the car; false when nothing could be had.
bool Attach(const char* name, const uint8_t* records, int32_t count, int32_t car, int32_t start) {
  TREPLAYREC* table = ReadRecords(records, count);
  if (count > 0 && !table) return false;
  TREPLAY* replay = static_cast<TREPLAY*>(SB_GetMem(sizeof(TREPLAY), kHeaderOwner));
  if (!replay) {
    if (table) SB_Release(table);
    return false;
  }
  FreeSlot(car, false);
  std::snprintf(replay->Name, sizeof replay->Name, "%s", name);
  replay->LoadedCount = count;
  if (TREPLAYREC* shared = SameReplay(replay->Name, table, count, car)) {
    SB_ConsolePrintf("Same replay found (optimizing memory) ...");
    SB_Release(table);
    table = shared;
  }
  replay->Records = table;
  replay->StartTime = start;
  SB_Var.CarReplays[car] = replay;
  return true;
}

}  // namespace

__attribute__((weak)) int32_t SB_SaveCarReplay(const char* name) {
  if (!name) return 0;
  // The car recorded: the driven one, or the one shown from its replay
  // when none is driven.
  const int32_t car = SB_IsValidCarIndex(SB_Var.DrivenCar) ? SB_Var.DrivenCar : SB_Var.ReplayCar;
  const TREPLAY* replay = SB_Var.LocalReplay;
  const int32_t count = replay && replay->Records ? std::clamp(replay->RecordCount, 0, SB_MAXREPLAYRECORDS) : 0;
  if (!SB_IsValidCarIndex(car) || count == 0) {
    SB_ConsolePrintf("No replay recorded !!!");
    return 0;
  }
  std::vector<uint8_t> file(SB_REPLAYFILEHEAD + static_cast<size_t>(count) * SB_REPLAYRECSIZE, 0);
  std::memcpy(file.data(), kSignature, kSignatureBytes);
  SB_PutLong(file.data() + SB_REPLAYHEADERSIZE, static_cast<uint32_t>(car));
  SB_PutLong(file.data() + SB_REPLAYHEADERSIZE + 4, static_cast<uint32_t>(count));
  for (int32_t i = 0; i < count; ++i)
    SB_WriteReplayRec(replay->Records[i], file.data() + SB_REPLAYFILEHEAD + static_cast<size_t>(i) * SB_REPLAYRECSIZE);
  int32_t written = -1;
  {
    SB_KeepFileErrors keep;
    if (const int32_t handle = SB_OpenFile(name, SB_OPEN_CREATE)) {
      written = SB_WriteFile(handle, file.data(), static_cast<int32_t>(file.size()));
      SB_CloseFile(handle);
    }
  }
  if (written != static_cast<int32_t>(file.size())) {
    SB_ConsolePrintf("Internal error... cannot create file...");
    return 0;
  }
  SB_ConsolePrintf("Saved matrix replay %s of the car %ld...", name, static_cast<long>(car));
  return 1;
}

__attribute__((weak)) int32_t SB_LoadCarReplay(const char* name, int32_t car, int32_t start) {
  if (!name) name = "";
  void* data = nullptr;
  int32_t size;
  {
    SB_KeepFileErrors keep;
    size = SB_LoadWholeFile(name, &data);
  }
  int32_t loaded = 0;
  uint32_t fileCar = 0;
  int32_t count = 0;
  if (size < 0) {
    SB_ConsolePrintf("File %s not found !!!", name);
  } else if (CheckFile(static_cast<const uint8_t*>(data), size, &fileCar, &count)) {
    const int32_t target = TargetCar(car, fileCar);
    if (target >= 0)
      loaded = Attach(name, static_cast<const uint8_t*>(data) + SB_REPLAYFILEHEAD, count, target, start) ? 1 : 0;
  }
  if (data) SB_Release(data);
  ListReplays();
  return loaded;
}

void SB_FreeCarReplay(int32_t index) {
  if (index < 0 || index >= SB_Var.NbCars || index >= SB_MAXCARS) return;
  FreeSlot(index);
}

__attribute__((weak)) void SB_FreeAllCarReplays() {
  for (int32_t i = 0; i < SB_MAXCARS; ++i) FreeSlot(i);
}
