// Lap and race timing: the race clock, lap changes and best laps, the time
// limit with its extensions, time-outs and finishes.
#include <algorithm>
#include <cstdio>

#include "net/net.h"
#include "net/netplayer.h"
#include "race/hud.h"
#include "race/racerules.h"
#include "race/sequencer.h"
#include "race/session.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "vehicles/vehicles.h"

namespace {

int32_t AddSaturated(int32_t a, int64_t b) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{a} + b, INT32_MIN, INT32_MAX));
}

bool RemainingTimeRuns() { return SB_Var.GameMode != SB_TRAINING && SB_Var.GameMode != SB_STANDALONE; }

// Only a lap from one crossing of the line to the next can be the best,
// whatever the circuit's length. The start never is one: a grid past the
// line makes its first lap change as the clock starts (a lap of 0 ms),
// and the lap from the grid, behind the line or past it, ends at the
// first crossing. The sectors count a lap only once the car has passed
// through each of them in order, and a lap taken back over the line is
// counted no second time, so a crossing always ends a whole lap.
void CountLap(TCAR* car, bool crossing) {
  SB_Var.NewBestLap = 0;
  const int32_t lap = car->LapTime;
  if (SB_Var.LapFromLine && (car->BestLap == 0 || lap < car->BestLap)) {
    car->BestLap = lap;
    SB_Var.NewBestLap = 1;
  }
  SB_Var.LapFromLine = crossing ? 1 : 0;
  SB_Var.LineLapTime = lap;
  car->LastLapChange = car->Laps;
  car->LapTime = 0;
  SB_LapCompletedHook();
}

// The race time and the best lap, as the console keeps them.
void SayFinish(const TCAR* car) {
  char best[48] = "no best lap";
  if (car->BestLap != 0)
    std::snprintf(best, sizeof best, "best lap %s (%ld ms)", SB_FormatTime(car->BestLap, 2),
                  static_cast<long>(car->BestLap));
  SB_ConsolePrintf("Race finished: place %ld, race time %s (%ld ms), %s", static_cast<long>(car->Place),
                   SB_FormatTime(car->RaceTime, 2), static_cast<long>(car->RaceTime), best);
}

void TimeOut(TCAR* car) {
  // The console tells how the race ended, as it does for a finish.
  SB_ConsolePrintf("Race over, out of time: place %ld, distance run %.0f m", static_cast<long>(car->Place),
                   std::max(0.0, car->Distance - SB_Var.RaceStartDistance));
  car->OutOfTime = 1;
  SB_Var.EndTime = SB_Var.Time;
  car->RaceTime = SB_NOTIME;
  NET_SendRaceProgress(18, 1);
  SB_AddTimeOut(car, SB_Var.DrivenCar);
}

// The first entry the car has reached gives its extension once, then waits
// for the next lap. False when no entry was reached. Without a centre line
// (its file missing, corrupt or refused) no distance is measured: no entry
// is passed, and the race's time runs out.
bool PassTimeExtend(TCAR* car) {
  if (SB_Var.NbBsplinePoints <= 0) return false;
  for (int32_t i = 0; i < SB_NBTIMEEXTENDS; ++i) {
    TTIMEEXTEND& entry = SB_Var.TimeExtends[i];
    if (!(entry.StartDistance <= car->Distance)) continue;  // nor a distance that is no number
    car->RemainingTime = AddSaturated(car->RemainingTime, entry.Extension);
    entry.StartDistance += SB_Var.NbBsplinePoints;
    SB_Var.CheckpointNumber = i;
    SB_Var.CheckpointClock = SB_Var.RaceClock;
    SB_Var.CheckpointLapTime = car->LapTime;
    return true;
  }
  return false;
}

void Finish(TCAR* car) {
  SB_Var.EndTime = SB_Var.Time;
  SB_Var.FinalRaceTime = car->RaceTime;
  SB_Var.FinalPlace = car->Place;
  const int32_t record = SB_Var.NetBestTime;
  SB_Var.RecordFlag = car->Place == 1 && record != 0 && record != SB_NOTIME && record > car->RaceTime ? 1 : 0;
  car->Laps = SB_Var.NbLaps;
  // The console keeps the result after the race has left the screen.
  SayFinish(car);
  SB_AddToScoreTab(car, SB_Var.DrivenCar, 1);
  if (NET_IsConnected()) NET_SendRaceProgress(17, 1);
}

}  // namespace

namespace {

// What the HUD shows of the driven car and what every car's timing holds
// when its race starts.
void ClearTiming() {
  SB_Var.NewBestLap = 0;
  SB_Var.LapFromLine = 0;
  SB_Var.LineLapTime = 0;
  SB_Var.CheckpointNumber = -1;
  SB_Var.CheckpointClock = 0;
  SB_Var.CheckpointLapTime = 0;
  for (int32_t i = 0; i < SB_Var.NbCars && i < SB_MAXCARS; ++i) {
    TCAR* car = SB_Var.Cars[i];
    if (!car) continue;
    car->OutOfTime = 0;
    car->Finished = 0;
    car->RemainingTime = SB_Var.StartingTime;
    car->LapTime = 0;
    car->LastLapChange = -1;  // the start crossing counts as a lap change
    car->BestLap = 0;
  }
}

}  // namespace

// (The finish's own values, its time, place and record, are read only
// while the car is finished.)
void SB_ResetRaceTiming() {
  SB_Var.RaceClockStart = -1;
  SB_Var.RaceClock = 0;
  ClearTiming();
}

void SB_RestartRaceAfresh() {
  SB_RestartRace();
  SB_RaceTeardown();
  SB_ResetRaceTiming();
}

void SB_StartRaceClock() {
  SB_Var.RaceClockStart = SB_Var.RaceClock;
  ClearTiming();
  if (const TCAR* driven = SB_DrivenCarRecord()) SB_Var.RaceStartDistance = driven->Distance;
  SB_ClearHudMessages();
  if (SB_Var.TimeLimitOn)
    for (TTIMEEXTEND& entry : SB_Var.TimeExtends) entry.EndDistance = entry.StartDistance + 100.0;
  for (TSCORE& score : scoreTab) score.Used = 0;
}

void SB_UpdateLapCounters() {
  if (SB_Var.NbCars <= 0 || !SB_Var.UsingCars) return;
  switch (SB_Var.GameMode) {
    case SB_FREERACE:
    case SB_RACE:
    case SB_MULTIRACE:
    case SB_CONTROLLEDRACE:
    case SB_STANDALONE: SB_UpdatePlayerLap(); break;
    case SB_OFFLINE:
      for (int32_t i = 0; i < SB_Var.NbCars && i < SB_MAXCARS; ++i) SB_UpdateCarLaps(i);
      break;
    default: break;
  }
}

void SB_UpdatePlayerLap() {
  if (SB_GetGameStep() < SB_STEP_RACING) return;
  TCAR* car = SB_DrivenCarRecord();
  if (!car || car->OutOfTime || car->Finished) return;
  const bool starting = SB_Var.RaceClockStart == -1;
  if (starting) SB_StartRaceClock();
  car->RaceTime = AddSaturated(SB_Var.RaceClock, -int64_t{SB_Var.RaceClockStart});
  if (car->Laps > car->LastLapChange) CountLap(car, !starting);
  car->LapTime = AddSaturated(car->LapTime, SB_Var.FrameTime);
  if (!SB_Var.TimeLimitOn) return;
  SB_Var.RaceClock = AddSaturated(SB_Var.RaceClock, SB_Var.FrameTime);
  if (RemainingTimeRuns()) car->RemainingTime = AddSaturated(car->RemainingTime, -int64_t{SB_Var.FrameTime});
  if (car->RemainingTime < 0 && car->Speed < 1.0) {
    TimeOut(car);
    return;
  }
  if (!PassTimeExtend(car)) return;
  if (RemainingTimeRuns() && car->Laps == SB_Var.NbLaps) Finish(car);
}

void SB_UpdateCarLaps(int32_t index) {
  if (index == SB_Var.DrivenCar) {
    SB_UpdatePlayerLap();
    return;
  }
  TCAR* car = SB_CarRecord(index);
  if (!car || car->Finished || car->Laps != SB_Var.NbLaps) return;
  if (car->Distance > static_cast<double>(SB_Var.NbLaps) * SB_Var.NbBsplinePoints)
    SB_AddToScoreTab(car, index, 1);
}
