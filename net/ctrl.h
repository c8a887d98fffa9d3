// The game controller, run on the machine that created the session: the
// player table, the game type and maximum, the game state of a
// CONTROLLEDRACE, the stored vehicle setups, the liveness of players, the
// finishing list and the best-time records. Its record, TCTRL, is in
// net/types.h, since each machine record of netlink/ls_net.h holds one.
#pragma once
#include <cstddef>
#include <cstdint>

#include "net/types.h"

// The current machine's controller.
TCTRL& CTRL_State();

void CTRL_Init();
void CTRL_Free();
// To one player (target points at its id) or, with NET_TOALL as the
// target's value, to each present player in table order.
int32_t CTRL_SendMessage(uint32_t count, const uint32_t* target, const void* message, uint32_t length);
// The ServerSystem, ServerMessage and SendFailure callbacks; the second
// handler takes the types the first passes on (9, 13, 14, 16 and any above
// 23).
void CTRL_HandleSystemMessage(uint32_t player, uint32_t kind);
void CTRL_HandleMessage(uint32_t sender, const void* message, uint32_t length);
void CTRL_HandleOtherMessage(uint32_t sender, const void* message, uint32_t length);
void CTRL_SendFailure(uint32_t sequence, uint32_t recipient);

// The race's car places: the orders a newcomer may be given.
int32_t CTRL_CarPlaces();
// Enters a newcomer and sends its order, without waiting: the pump
// follows the delivery (CTRL_FollowPlayerOrders).
void CTRL_AddPlayer(uint32_t id);
// Each newcomer's order: delivered, or after 60000 ms or a failure sent
// again, and after the third failure the player is deleted. A newcomer
// not logged in CTRL_LOGINWAITMS after its order arrived is deleted.
void CTRL_FollowPlayerOrders();
void DelPlayer(uint32_t id);
CTRL_PLAYER* GetPlayerById(uint32_t id);
int32_t GetPlayerOrderbyId(uint32_t id);
int32_t CTRL_CountPlayers();
// A record is present when logged in or pending.
bool CTRL_IsPresent(const CTRL_PLAYER& p);
void CTRL_NotifyPlayerGone(int32_t order);
void CTRL_ChangeMaxPlayers(uint32_t id);
void CTRL_DropSilentPlayers();
// Messages to all: the sequence, or -2 at the first failure; 1 when sent.
int32_t CTRL_SendShortToAll(int32_t type, int32_t param1, int32_t param2);

// The host's race (net/ctrl_hostrace.cpp). Why the player of that order
// may not say READY2PLAY or PLAYING (the state asked) now, or null; a
// PLAYING taken may start the race. After a state change taken, where the
// player stands in the race. Whether a race runs that closes the game to
// joiners: a seated player is in it. Why a race result of the player
// cannot be entered, or null (why: room for the reason's words).
const char* CTRL_StateRefusal(int32_t order, int32_t state);
void CTRL_FollowRace(int32_t order, int32_t old, int32_t state);
bool CTRL_RaceOn();
// The controller launched a CONTROLLEDRACE (message 20): its racers may
// start it, and the last race's seats are gone.
void CTRL_LaunchRace();
// Reads what the host's race file says of the game type's races: their
// laps, by the race's own reader, and the length of the line it names (a
// host without a race of its own knows no other). What it cannot read is
// said on the console.
void CTRL_ReadRaceFile(int32_t gameType);
const char* CTRL_ResultRefusal(int32_t order, uint32_t lap, uint32_t race, char* why, size_t size);

// Game state and race control.
void CTRL_SetGameState(int32_t state);
int32_t CTRL_StartNewRaceNow();
int32_t CTRL_LaunchNewRace();
int32_t CTRL_EnterPracticeMode();
int32_t CTRL_EndOfRace();
void CTRL_SendBestTime();

// Records.
void CTRL_LoadRecords();
// Writes the records to the records file through a temporary file renamed
// over it: 1, or 0 (the file as it was) on failure.
int32_t CTRL_WriteRecords();
// Writes the records when they changed, then forgets them.
void CTRL_FreeRecords();
// The best record's race time, or CTRL_NOTIME without a record table.
uint32_t CTRL_BestRaceTime();
void CTRL_UpdateRecords(uint32_t bestLap, uint32_t raceTime, const char* name);
void CTRL_AddFinisher(uint32_t bestLap, uint32_t raceTime, const char* name);
void CTRL_ClearFinishers();
void CTRL_PrintRecords();
// The player table, the stored setups and the game information.
void CTRL_PrintInfo();
const char* CTRL_GetGameStateName(int32_t state);
const char* CTRL_GetBestTimeText();
const char* CTRL_GetRaceBestTimeText();
