// Gap tables: when each car first passed each checkpoint of each lap, by
// the driven car's race time, and from them the time gaps to the cars just
// ahead of and behind the driven car.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "race/raceframe.h"
#include "race/racerules.h"
#include "shell/console.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/heap.h"
#include "vehicles/vehicles.h"

int32_t* SB_Gaps[SB_MAXCARS];

namespace {

// The largest table the game's allocator can give.
constexpr int64_t kMaxTableBytes = INT32_MAX;

bool GapsWanted() { return SB_Var.UsingCars && SB_Var.GameMode != SB_FREERACE && SB_Var.GameMode != SB_DEMO; }

int32_t TableCars() { return std::clamp(SB_Var.NbCars, 0, SB_MAXCARS); }

int64_t CellsPerTable() { return int64_t{SB_Var.GapCheckpoints} * SB_Var.GapLaps; }

void ClearCarGaps() {
  for (int32_t i = 0; i < TableCars(); ++i) {
    if (!SB_Var.Cars[i]) continue;
    SB_Var.Cars[i]->GapAhead = -1.0;
    SB_Var.Cars[i]->GapBehind = -1.0;
  }
}

void ClearCells() {
  for (int32_t* table : SB_Gaps)
    if (table) std::fill(table, table + CellsPerTable(), -1);
}

void FreeTables() {
  for (int32_t*& table : SB_Gaps) {
    if (table) SB_Release(table);
    table = nullptr;
  }
  SB_Var.GapCheckpoints = SB_Var.GapLaps = 0;
}

// The cell of a car's lap and checkpoint, or null outside its table.
int32_t* Cell(int32_t car, int32_t lap, int32_t checkpoint) {
  if (car < 0 || car >= SB_MAXCARS || !SB_Gaps[car]) return nullptr;
  if (lap < 0 || lap >= SB_Var.GapLaps || lap >= SB_Var.MaxLaps) return nullptr;
  if (checkpoint < 0 || checkpoint >= SB_Var.GapCheckpoints) return nullptr;
  return &SB_Gaps[car][int64_t{lap} * SB_Var.GapCheckpoints + checkpoint];
}

// The checkpoint a car is at on its lap; -1 without a centre line or for a
// distance below 0.
int32_t Checkpoint(const TCAR* car) {
  const int32_t length = SB_Var.NbBsplinePoints;
  if (length <= 0 || !(car->Distance >= 0.0)) return -1;
  return static_cast<int32_t>(std::fmod(car->Distance, length) / SB_GAPSTEP);
}

// |a - b| in ms when both cells are set, else -1.
double Gap(const int32_t* a, const int32_t* b) {
  if (!a || !b || *a == -1 || *b == -1) return -1.0;
  return static_cast<double>(std::llabs(int64_t{*a} - *b));
}

// Every racing car in the game (in OFFLINE every car) notes the driven
// car's race time at the first passing of its checkpoint.
void RecordPassings(int32_t raceTime, bool everyCar) {
  const int32_t racing = everyCar ? TableCars() : SB_GetNbRacingCars();
  for (int32_t i = 0; i < racing; ++i) {
    const int32_t index = everyCar ? i : SB_GetIndPlayerCarIndex(i);
    const TCAR* car = everyCar || SB_IsCarInGame(index) ? SB_CarRecord(index) : nullptr;
    if (!car) continue;
    int32_t* cell = Cell(index, car->Laps, Checkpoint(car));
    if (cell && *cell == -1) *cell = raceTime;
  }
}

// The racing car in the game at that place, other than the driven car and
// past the start; -1 when none.
int32_t CarAtPlace(int64_t place) {
  const int32_t racing = SB_GetNbRacingCars();
  for (int32_t i = 0; i < racing; ++i) {
    const int32_t index = SB_GetIndPlayerCarIndex(i);
    if (index == SB_Var.DrivenCar || !SB_IsCarInGame(index)) continue;
    const TCAR* car = SB_CarRecord(index);
    if (car && car->Place == place && car->Distance > 0.0) return index;
  }
  return -1;
}

void FindAhead(TCAR* driven, bool byPlace) {
  const int32_t ahead = CarAtPlace(int64_t{driven->Place} - 1);
  if (ahead < 0) return;
  const int32_t c = Checkpoint(driven);
  const double gap = Gap(Cell(ahead, driven->Laps, c), Cell(SB_Var.DrivenCar, driven->Laps, c));
  if (gap >= 0.0) driven->GapAhead = gap;
  SB_Var.AheadIndex = byPlace ? driven->Place - 1 : ahead;
}

void FindBehind(TCAR* driven, bool byPlace) {
  if (SB_CountActiveCars() <= driven->Place) return;
  const int32_t behind = CarAtPlace(int64_t{driven->Place} + 1);
  if (behind < 0) return;
  const TCAR* car = SB_CarRecord(behind);
  const int32_t c = Checkpoint(car);
  const double gap = Gap(Cell(behind, car->Laps, c), Cell(SB_Var.DrivenCar, car->Laps, c));
  if (gap >= 0.0) driven->GapBehind = gap;
  SB_Var.BehindIndex = byPlace ? driven->Place + 1 : behind;
}

}  // namespace

void SB_AllocGaps() {
  if (!GapsWanted()) return;
  FreeTables();
  ClearCarGaps();
  const int64_t checkpoints = (int64_t{SB_Var.NbBsplinePoints} + SB_GAPSTEP) / SB_GAPSTEP;
  const int64_t cells = checkpoints * SB_Var.MaxLaps;
  const int64_t bytes = TableCars() * cells * 4;
  SB_ConsolePrintf("Memory used for GAPS :%ld Bytes", static_cast<long>(bytes));
  if (checkpoints <= 0 || cells <= 0 || cells * 4 > kMaxTableBytes) return;
  // A heap that cannot hold them with room to spare races without gaps,
  // rather than ending the program at a failed allocation.
  if (bytes > int64_t{LSI_GetHeapMaxFree(LSI_GetHeapOf(LS_DefaultHeap))} / 2) {
    SB_ConsolePrintf("No room for GAPS: the race shows no gaps");
    return;
  }
  SB_Var.GapCheckpoints = static_cast<int32_t>(checkpoints);
  SB_Var.GapLaps = SB_Var.MaxLaps;
  for (int32_t i = 0; i < TableCars(); ++i)
    SB_Gaps[i] = static_cast<int32_t*>(SB_GetMem(static_cast<int32_t>(cells * 4), "SB_Gaps[i]"));
  ClearCells();
}

void SB_ResetGaps() {
  if (!GapsWanted()) return;
  ClearCarGaps();
  ClearCells();
}

void SB_FreeGaps() { FreeTables(); }

void SB_UpdateGaps() {
  TCAR* driven = SB_Var.UsingCars ? SB_DrivenCarRecord() : nullptr;
  if (!driven) return;
  SB_Var.AheadIndex = SB_Var.BehindIndex = 0;
  const int32_t mode = SB_Var.GameMode;
  if (mode != SB_RACE && mode != SB_CONTROLLEDRACE && mode != SB_OFFLINE) return;
  const bool byPlace = mode == SB_OFFLINE;
  RecordPassings(driven->RaceTime, byPlace);
  FindAhead(driven, byPlace);
  FindBehind(driven, byPlace);
}
