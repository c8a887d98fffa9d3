// The race-phase sequencer: each game mode owns a list of steps (set-up,
// option choice, countdown, racing, end of race, network waits) that
// SB_DoGameMode runs once per race frame, and the rest of the game asks
// which step is current.
#pragma once
#include <cstdint>

#include "race/types.h"

// The step list of each game mode, each ended by SB_STEP_END.
extern const TGAMESTEP* const SB_GameStepLists[8];

// Selects and rewinds the list of a mode; 0 for a mode outside 0..7.
int32_t SB_SetGameModeSteps(int32_t mode);
void SB_ResetGameSteps();
// Moves to the next step, wrapping at the end marker; 0 without a list.
int32_t SB_NextGameStep();
void SB_DoGameMode();

// The current step; 15 (racing) when no list is selected.
TGAMESTEP SB_GetGameStep();
int32_t SB_IsRaceStarted();   // past the gearbox choice (step above 5)
int32_t SB_IsRaceRunning();   // before the racing phase ends (step below 15)
int32_t SB_IsPreStartStep();  // step 4 or 5

// Lets the race end where the mode and step allow it; the current step.
TGAMESTEP SB_EndRace();
void SB_CheckStepListEnd();
int32_t SB_CanRestart();

// Network waits over the session's players.
int32_t SB_NetAllAtState();
int32_t SB_NetAllWithin(int32_t n);

void SB_PlayCountdownSound(int32_t n);
void SB_StartReplayRecord();
void SB_StopReplayRecord();
