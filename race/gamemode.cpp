// Game modes and their settings, player names and the mapping from racing
// players to car indices.
#include <cstdio>

#include "net/net.h"
#include "net/netplayer.h"
#include "race/raceframe.h"
#include "race/racerules.h"
#include "race/sequencer.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "vehicles/vehicles.h"

namespace {

bool IsGameMode(int32_t mode) { return mode >= 0 && mode < SB_NBGAMEMODES; }

// The driven player's network record, or null.
const CTRL_PLAYER* DrivenPlayer() {
  const int32_t order = SB_Var.DrivenCar;
  return SB_IsValidCarIndex(order) ? &SB_Var.NetPlayers[order] : nullptr;
}

bool InDrivenGroup(const CTRL_PLAYER& player, const CTRL_PLAYER& driven) {
  return player.InUse && player.Group == driven.Group;
}

}  // namespace

TCAR* SB_CarRecord(int32_t index) { return SB_IsValidCarIndex(index) ? SB_Var.Cars[index] : nullptr; }

TCAR* SB_DrivenCarRecord() { return SB_CarRecord(SB_Var.DrivenCar); }

int32_t SB_NetPlayerCount() {
  if (SB_Var.NetSlots < 0) return 0;
  return SB_Var.NetSlots < NET_MAXPLAYERS ? SB_Var.NetSlots : NET_MAXPLAYERS;
}

int32_t SB_SetGameMode(int32_t mode) {
  if (!IsGameMode(mode)) return SB_Var.GameMode;
  SB_Var.GameMode = mode;
  SB_SetGameModeSteps(mode);
  SB_Var.GridStart =
      mode == SB_FREERACE || mode == SB_OFFLINE || mode == SB_STANDALONE || mode == SB_DEMO ? 1 : 0;
  return mode;
}

// The session's game mode is only taken over: its step list and grid were
// chosen when the session's game information arrived. A mode outside the
// known ones (it comes off the wire) leaves the current one.
void SB_InitGameMode() {
  if (NET_IsConnected()) {
    if (IsGameMode(SB_Var.NetGameMode)) SB_Var.GameMode = SB_Var.NetGameMode;
    SB_Var.SessionCounters[0] = SB_Var.SessionCounters[1] = 0;
    SB_ClearScoreTab();
  }
  SB_ApplyGameModeSettings();
}

void SB_ApplyGameModeSettings() {
  const int32_t mode = SB_Var.GameMode;
  if (!IsGameMode(mode)) {
    SB_Var.DayNightOn = 1;
  } else {
    const bool multi = mode == SB_MULTIRACE;
    SB_Var.CurStartSlots = &SB_Var.StartSlots[multi ? 1 : 0];
    SB_Var.MultiView = multi ? 1 : 0;
    SB_Var.TimeLimitOn = mode != SB_TRAINING && mode != SB_FREERACE && mode != SB_DEMO ? 1 : 0;
    SB_Var.DayNightOn = mode != SB_TRAINING ? 1 : 0;
  }
  if (SB_Var.NoTimeLimit) SB_Var.TimeLimitOn = 0;
}

const char* SB_GetPlayerName(int32_t i) {
  static char number[16];
  if (!NET_IsConnected()) {
    std::snprintf(number, sizeof number, "%ld", static_cast<long>(i));
    return number;
  }
  const char* name = nullptr;
  if (i >= 0 && i < NET_MAXPLAYERS) name = LS_NetGetPlayerName(SB_Var.NetPlayers[i].Id);
  if (name) return name;
  if (i >= 0 && i < SB_NetPlayerCount()) return SB_Var.PlayerNames[i];
  return "UNKNOWN";
}

void SB_SetDefaultPlayerNames() {
  if (!NET_IsConnected()) return;
  const int32_t count = SB_NetPlayerCount();
  for (int32_t i = 0; i < count && i < SB_MAXPLAYERNAMES; ++i) {
    const CTRL_PLAYER& player = SB_Var.NetPlayers[i];
    if (!player.InUse) continue;
    const char* name = LS_NetGetPlayerName(player.Id);
    char* entry = SB_Var.PlayerNames[i];
    if (name)
      std::snprintf(entry, SB_PLAYERNAMESIZE, "%s", name);
    else
      std::snprintf(entry, SB_PLAYERNAMESIZE, "Player %ld", static_cast<long>(i));
  }
}

int32_t SB_GetNbRacingCars() {
  if (SB_Var.GameMode == SB_TRAINING) {
    if (SB_Var.XState == XSTATE_NONET) return SB_Var.NbCars;
    // The driven car, whatever its state, and every other car in the game.
    const bool driven = SB_IsValidCarIndex(SB_Var.DrivenCar);
    int32_t count = driven ? 1 : 0;
    for (int32_t i = 0; i < SB_Var.NbCars && i < SB_MAXCARS; ++i)
      if (!(driven && i == SB_Var.DrivenCar) && SB_IsCarInGame(i)) ++count;
    return count;
  }
  if (SB_Var.GameMode == SB_MULTIRACE) {
    const CTRL_PLAYER* driven = DrivenPlayer();
    if (driven) {
      int32_t count = 0;
      for (int32_t i = 0; i < SB_NetPlayerCount(); ++i)
        if (InDrivenGroup(SB_Var.NetPlayers[i], *driven)) ++count;
      return count;
    }
  }
  return SB_Var.NbCars;
}

int32_t SB_GetIndPlayerCarIndex(int32_t i) {
  if (SB_Var.GameMode != SB_MULTIRACE || !SB_IsValidCarIndex(SB_Var.DrivenCar)) return i;
  const CTRL_PLAYER* driven = DrivenPlayer();
  int32_t seen = 0;
  for (int32_t order = 0; driven && order < SB_NetPlayerCount(); ++order) {
    if (!InDrivenGroup(SB_Var.NetPlayers[order], *driven)) continue;
    if (seen++ == i) return order;
  }
  LS_Message("SB_GetIndPlayerCarIndex(%ld) ERROR", static_cast<long>(i));
  return i;
}
