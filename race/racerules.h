// The rules of a race apart from its physics: game modes and their
// settings, the race parameters of "TXT>NETRACE.TXT", player names and the
// racing cars, lap and race timing with time extensions, the live ranking
// and catch-up factor, the gap tables, the finishing list and the texts the
// HUD shows for times and positions.
#pragma once
#include <cstdint>

#include "race/types.h"
#include "vehicles/types.h"

extern TSCORE scoreTab[SB_MAXSCORES];

extern int32_t* SB_Gaps[SB_MAXCARS];

// Game modes and their settings.
int32_t SB_SetGameMode(int32_t mode);
void SB_InitGameMode();
void SB_ApplyGameModeSettings();

// Players and racing cars.
const char* SB_GetPlayerName(int32_t i);
void SB_SetDefaultPlayerNames();
int32_t SB_GetNbRacingCars();
int32_t SB_GetIndPlayerCarIndex(int32_t i);

// Race parameters and timing.
void SB_ReadNetRace();
void SB_PreInitTimeExtends();
// SB_Var.NbLaps from the laps of the game mode's key (NLAPS in FREERACE
// and DEMO).
void SB_ChooseRaceLaps();
void SB_StartRaceClock();
// The race's timing as every race starts from it: no race clock yet,
// nothing finished or out of time, the starting time left, no lap, best
// lap, LAP TIME or checkpoint shown.
void SB_ResetRaceTiming();
// Every start of a race goes through here (the first race of a session,
// F2 after a finish, a time-out or mid-race, a network restart, the
// attract replay's start and stop): the cars back on their grid, the race
// state and the race's timing as at a first start.
void SB_RestartRaceAfresh();
void SB_UpdateLapCounters();
void SB_UpdatePlayerLap();
void SB_UpdateCarLaps(int32_t car);

// Ranking and gaps.
void SB_UpdateRanking();
void SB_AllocGaps();
void SB_ResetGaps();
void SB_FreeGaps();
void SB_UpdateGaps();

// The finishing list.
void SB_AddToScoreTab(TCAR* car, int32_t playerId, int32_t classified);
void SB_AddTimeOut(TCAR* car, int32_t playerId);
void SB_ClearScoreTab();

// HUD texts, each in a static buffer that the next call overwrites.
const char* SB_FormatTime(int32_t ms, int32_t style);
const char* SB_FormatPosition(int32_t i);
void SB_GetTextScreenSize(int32_t* width, int32_t* height, int32_t* top);

// The driven car's record, or null.
TCAR* SB_DrivenCarRecord();
// The record of a valid car index, or null.
TCAR* SB_CarRecord(int32_t index);
// Players of the network session, at most NET_MAXPLAYERS.
int32_t SB_NetPlayerCount();
// Empties the finishing list and forgets the gap tables (test fixtures).
void SB_ResetRaceTables();
