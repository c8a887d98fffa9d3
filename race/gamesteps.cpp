// The step lists of the game modes and what the rest of the game asks of
// them: the current step, whether the race has started or runs, whether it
// may end or restart, the network waits, the countdown sounds and the
// attract replay.
#include <iterator>

#include "net/netplayer.h"
#include "race/racerules.h"
#include "race/sequencer.h"
#include "race/session.h"
#include "shell/sbsound.h"
#include "shell/sbvar.h"
#include "vehicles/vehicles.h"

namespace {

constexpr TGAMESTEP kTraining[] = {0, 5, 6, 14, 15, 20};
constexpr TGAMESTEP kFreeRace[] = {0, 5, 6, 15, 20};
constexpr TGAMESTEP kRace[] = {0, 5, 6, 9, 7, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 20};
constexpr TGAMESTEP kControlledRace[] = {1, 0, 4, 5, 6, 7, 10, 11, 12, 13, 14, 15, 16, 17, 18, 20};
constexpr TGAMESTEP kOffline[] = {0, 5, 6, 8, 10, 11, 12, 14, 15, 16, 19, 20};
constexpr TGAMESTEP kStandalone[] = {0, 2, 3, 5, 6, 8, 10, 11, 12, 14, 15, 16, 20};
constexpr TGAMESTEP kDemo[] = {0, 15, 20};

constexpr int32_t kCountdownHertz = 11025;
constexpr const char* kAttractReplay = "SA0.REP";

bool SoloEndMode() { return SB_Var.GameMode == SB_OFFLINE || SB_Var.GameMode == SB_STANDALONE; }

// States of the in-use players, tested against [low, low + span]; with
// `leftCounts`, a player back in the waiting states (CONNECTED to
// WAIT4READY) passes too.
bool PlayersWithin(int64_t low, int64_t span, bool leftCounts, int32_t* inUse) {
  bool all = true;
  *inUse = 0;
  for (int32_t i = 0; i < SB_NetPlayerCount(); ++i) {
    const CTRL_PLAYER& player = SB_Var.NetPlayers[i];
    if (!player.InUse) continue;
    ++*inUse;
    const bool left = leftCounts && player.XState >= XSTATE_CONNECTED && player.XState <= XSTATE_WAIT4READY;
    if (!left && (player.XState < low || player.XState > low + span)) all = false;
  }
  return all;
}

}  // namespace

const TGAMESTEP* const SB_GameStepLists[8] = {kTraining,       kFreeRace, kRace,       kRace,
                                              kControlledRace, kOffline,  kStandalone, kDemo};

int32_t SB_SetGameModeSteps(int32_t mode) {
  if (mode < 0 || mode >= SB_NBGAMEMODES) return 0;
  SB_Var.GameSteps = SB_GameStepLists[mode];
  SB_ResetGameSteps();
  return 1;
}

void SB_ResetGameSteps() {
  SB_Var.StepEntered = 1;
  SB_Var.StepIndex = 0;
  SB_Var.StepTimer = 0;
  SB_Var.RaceOver = SB_Var.StepListEnd = SB_Var.Paused = 0;
}

TGAMESTEP SB_GetGameStep() { return SB_Var.GameSteps ? SB_Var.GameSteps[SB_Var.StepIndex] : SB_STEP_RACING; }

int32_t SB_IsRaceStarted() { return SB_GetGameStep() > 5 ? 1 : 0; }
int32_t SB_IsRaceRunning() { return SB_GetGameStep() < SB_STEP_RACING ? 1 : 0; }

int32_t SB_IsPreStartStep() {
  const TGAMESTEP step = SB_GetGameStep();
  return step == 4 || step == 5 ? 1 : 0;
}

TGAMESTEP SB_EndRace() {
  const TGAMESTEP step = SB_GetGameStep();
  if (!SB_Var.GameSteps) return step;
  const int32_t mode = SB_Var.GameMode;
  if (step == 15 && (mode == SB_TRAINING || SoloEndMode())) SB_Var.RaceOver = 1;
  if (step == 16 && SoloEndMode()) SB_Var.RaceOver = 1;
  if (step >= 18) SB_Var.RaceOver = 1;
  return step;
}

// The end menu, and with it F1, from the wait for the other players at the
// race's end on: leaving is the player's choice there as after it.
void SB_CheckStepListEnd() {
  if (!SB_Var.GameSteps) return;
  const TGAMESTEP step = SB_GetGameStep();
  if (step == 17 || step == 18 || (step == 16 && SoloEndMode())) SB_Var.StepListEnd = 1;
}

int32_t SB_CanRestart() {
  const TGAMESTEP step = SB_GetGameStep();
  if (step >= 15 && (SoloEndMode() || SB_Var.GameMode == SB_TRAINING)) return 1;
  return step == 16 || step >= 18 ? 1 : 0;
}

// Each in-use player at the local state or one beyond it. Once the local
// race has started, a player back in the waiting states has left this
// race, for the console or a later race's start, and will not come back
// to its end: it counts as there.
int32_t SB_NetAllAtState() {
  int32_t inUse = 0;
  return PlayersWithin(SB_Var.XState, 1, SB_Var.XState >= XSTATE_PLAYING, &inUse) ? 1 : 0;
}

int32_t SB_NetAllWithin(int32_t n) {
  int32_t inUse = 0;
  const bool all = PlayersWithin(SB_Var.XState, n, false, &inUse);
  return all && inUse >= SB_Var.NetMaxPlayers ? 1 : 0;
}

void SB_PlayCountdownSound(int32_t n) {
  if (n < 0 || n >= static_cast<int32_t>(std::size(SB_Var.CountdownSounds))) return;
  TSBSOUND* sound = SB_Var.CountdownSounds[n];
  SB_PlaySound(sound, kCountdownHertz, 1);
  SB_SetSoundVolume(sound, SB_SOUND_MAXVOLUME);
}

void SB_StartReplayRecord() {
  if (!SB_Var.UsingCars || SB_Var.AttractReplay) return;
  SB_Var.AttractReplay = 1;
  if (SB_IsValidCarIndex(SB_Var.DrivenCar)) {
    SB_LoadCarReplay(kAttractReplay, SB_Var.DrivenCar, 0);
    SB_FindDrivenCar();
  }
  SB_RestartRaceAfresh();
}

void SB_StopReplayRecord() {
  if (!SB_Var.UsingCars || !SB_Var.AttractReplay) return;
  SB_Var.AttractReplay = 0;
  SB_FreeAllCarReplays();
  SB_FindDrivenCar();
  SB_RestartRaceAfresh();
}
