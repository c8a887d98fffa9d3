// The finishing list: classified cars by place, unclassified ones from the
// bottom up.
#include <cstdio>
#include <cstring>

#include "net/net.h"
#include "race/racerules.h"
#include "shell/sbvar.h"

TSCORE scoreTab[SB_MAXSCORES];

namespace {

// From place - 1 upward; an index outside the table when none is free.
int64_t FirstFreeFromPlace(const TCAR* car) {
  int64_t i = int64_t{car->Place} - 1;
  while (i >= 0 && i < SB_MAXSCORES && scoreTab[i].Used) ++i;
  return i;
}

// From the last entry downward; entry 0 when the table is full.
int64_t FirstFreeFromBottom() {
  for (int64_t i = SB_MAXSCORES - 1; i >= 0; --i)
    if (!scoreTab[i].Used) return i;
  return 0;
}

const char* EntryName(int32_t playerId) {
  const char* name = nullptr;
  if (NET_IsConnected())
    name = SB_GetPlayerName(playerId);
  else if (playerId >= 0 && playerId < SB_MAXPLAYERNAMES)
    name = SB_Var.PlayerNames[playerId];
  return name && name[0] ? name : "Unknown Player";
}

void Enter(int64_t index, const TCAR* car, int32_t playerId, double notClassified) {
  if (index < 0 || index >= SB_MAXSCORES) return;
  TSCORE& entry = scoreTab[index];
  std::snprintf(entry.Name, sizeof entry.Name, "%s", EntryName(playerId));
  entry.RaceTime = car->RaceTime;
  entry.BestLap = car->BestLap;
  entry.NotClassified = notClassified;
  entry.Used = 1;
  entry.Shown = 0;
  entry.Id = playerId;
}

void KeepForHud(const TCAR* car) {
  if (car != SB_DrivenCarRecord()) return;
  SB_Var.LocalBestLap = car->BestLap;
  SB_Var.LocalRaceTime = car->RaceTime;
}

}  // namespace

void SB_AddToScoreTab(TCAR* car, int32_t playerId, int32_t classified) {
  if (!car) return;
  car->OutOfTime = 1;
  car->Finished = 1;
  KeepForHud(car);
  if (classified)
    Enter(FirstFreeFromPlace(car), car, playerId, 0.0);
  else
    Enter(FirstFreeFromBottom(), car, playerId, 1.0);
}

void SB_AddTimeOut(TCAR* car, int32_t playerId) {
  if (!car) return;
  KeepForHud(car);
  Enter(FirstFreeFromPlace(car), car, playerId, 1.0);
}

void SB_ClearScoreTab() {
  const int32_t count = SB_NetPlayerCount();
  for (int32_t i = 0; i < count; ++i) scoreTab[i].Used = 0;
}

void SB_ResetRaceTables() {
  std::memset(scoreTab, 0, sizeof scoreTab);
  std::memset(SB_Gaps, 0, sizeof SB_Gaps);  // their heap goes with the library
}
