// The rules of a race apart from its physics: game modes and their
// settings, the race parameters of "TXT>NETRACE.TXT", player names and the
// racing cars, lap and race timing with time extensions, the live ranking
// and catch-up factor, the gap tables, the finishing list and the texts the
// HUD shows for times and positions.
#pragma once
#include <cstdint>

#include "vehicles/car.h"

// Game modes (SB_Var.GameMode).
constexpr int32_t SB_TRAINING = 0;
constexpr int32_t SB_FREERACE = 1;
constexpr int32_t SB_RACE = 2;
constexpr int32_t SB_MULTIRACE = 3;
constexpr int32_t SB_CONTROLLEDRACE = 4;
constexpr int32_t SB_OFFLINE = 5;
constexpr int32_t SB_STANDALONE = 6;
constexpr int32_t SB_DEMO = 7;
constexpr int32_t SB_NBGAMEMODES = 8;

// A time that is no time: shown as blanks.
constexpr int32_t SB_NOTIME = 1000000000;

// Time extensions: entry 0 is the lap line, 1 to 3 the checkpoints.
constexpr int32_t SB_NBTIMEEXTENDS = 4;
struct TTIMEEXTEND {
  double StartDistance;  // centre-line metres; moves on by a track length when it fires
  double EndDistance;    // start + 100.0
  int32_t Extension;     // ms added to the remaining time
  int32_t Number;
};

// Player names read from the race parameters, by player order.
constexpr int32_t SB_MAXPLAYERNAMES = 32;
constexpr int32_t SB_PLAYERNAMESIZE = 64;

// The finishing list.
constexpr int32_t SB_MAXSCORES = 32;
constexpr int32_t SB_SCORENAMESIZE = 32;
struct TSCORE {
  int32_t Id;            // player order, which is the car index
  int32_t RaceTime;      // ms
  int32_t BestLap;       // ms
  double NotClassified;  // 0.0 finished, 1.0 out of time or out of the race
  char Name[SB_SCORENAMESIZE];
  int32_t Used;
  int32_t Shown;
};
extern TSCORE scoreTab[SB_MAXSCORES];

// Gap tables: per car, for each lap and checkpoint (every 50 centre-line
// points) the race time at which the car first passed it, -1 not yet.
constexpr int32_t SB_GAPSTEP = 50;
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
void SB_StartRaceClock();
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
