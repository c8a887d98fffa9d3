// The player side of a network game: the local player's network state,
// opening and closing the network, creating or joining a game and the
// decoding of every game message the controller and the other players
// send. What the waits poll (TNETSIDE, in net/types.h) is kept per
// machine: NET_Side is in netlink/netmachine.h.
#pragma once
#include <cstdint>

#include "net/types.h"
#include "netlink/netmachine.h"
#include "netlink/netnotice.h"

// Low 16 bits of a message's type, as a signed value.
int32_t NET_MessageType(int32_t type);
// The 12-byte header, written and read field by field.
void NET_PutHeader(uint8_t* at, int32_t type, int32_t param1, int32_t param2);
XNETMSG NET_GetHeader(const uint8_t* at);
// The 16-byte player record of messages 2 and 8; the name word goes as 0
// and is read as 0.
void NET_PutPlayer(uint8_t* at, const CTRL_PLAYER& player);
CTRL_PLAYER NET_GetPlayer(const uint8_t* at);
// A text of a message: from at to its zero or the end, cut to
// XNET_MAXNAME characters, into out (XNET_MAXNAME + 1 bytes).
void NET_GetText(const uint8_t* at, int32_t available, char* out);
// A new race (the state goes to 4): the end of the race and the
// player-order mismatch are reported once again, and the refused car
// states counted afresh.
void NET_ResetRaceNotices();
// The driven car's record, or null.
struct TCAR;
TCAR* NET_DrivenCar();
// The sub-state of the local player's slot, 0 without one.
int32_t NET_LocalSubState();
// A received message: its sender, header, type (low 16 bits) and body.
struct NETMSGVIEW {
  uint32_t sender;
  int32_t type;
  XNETMSG h;
  const uint8_t* body;  // behind the header
  int32_t bodyLength;
};
// Reads the header of a received message; false (the refusal logged for
// side) when it is shorter than a header.
bool NET_ReadMessage(const char* side, uint32_t sender, const void* message, uint32_t length,
                     NETMSGVIEW* out);
// Logs a message refused for its length, sender or values: at most once
// a second for each side, the refusals between counted.
void NET_LogRefused(const char* side, int32_t type, uint32_t length, uint32_t sender);
// Counts one refusal of a kind (what: "MESSAGES", "JOINS"...). True when
// its line is due now: the count of those before it, said as "[side][n
// MORE what REFUSED]", is then printed, and the caller prints its own.
bool NET_CountLine(TNETNOTICE* notice, const char* side, const char* what);
// Reports the counted refusals that are due (the pump calls it): every
// notice counted through NET_CountLine, said once its second has passed.
void NET_FlushNotices();
// Chat (message 14) taken from one member on one side ("READ", "CTRL") in
// a second; beyond it the messages are dropped, counted and said once a
// second.
constexpr int32_t NET_CHATPERSECOND = 5;
// Whether this message of the sender's is taken; the line of the dropped
// ones said when due.
bool NET_TakeChat(const char* side, uint32_t sender);
// Says the dropped chat counted a second or more ago (NET_FlushNotices
// calls it).
void NET_FlushChat();

// A short message to the controller, guaranteed; 1 when sent.
int32_t NET_SendShort(int32_t type, int32_t param1, int32_t param2);
// A message to the controller in the mode given; the sequence number, or
// -2.
int32_t NET_SendToController(const void* message, int32_t length, int32_t mode);

// Message 17 or 18 with the flag and the driven car's times and distance
// to every other player: the sequence number, or -2.
int32_t NET_SendProgress(int32_t type, int32_t flag);

// The PlayerMessage and PlayerSystem callbacks.
void NET_HandleMessage(uint32_t sender, const void* message, uint32_t length);
void NET_HandleSystemMessage(uint32_t player, uint32_t kind);
// The practice laps a network controller asks for (message 21): the game
// mode 0, the replay recording stopped, the race restarted, the in-car
// camera.
void SB_EnterPracticeMode();

// Opening and closing, choosing a provider.
int32_t NET_Open();
int32_t NET_Close();
int32_t NET_SetProtocol(int32_t provider);
// Creating, joining and leaving a game.
int32_t NET_CreateServer(const char* serverName, const char* playerName, int32_t gameType,
                         int32_t maxPlayers);
int32_t NET_JoinServer(const char* playerName, const char* serverName);
int32_t NET_LeaveServer();
int32_t NET_FindSessionId(const char* text);
int32_t NET_AskJoinGame();
int32_t NET_PrintGameInfo();
// Message 14 with the text to every other player.
int32_t NET_Broadcast(const char* text);
// Deletes from name every character but letters, digits, "-", "." and
// "_"; returns name.
char* NET_CheckPlayerName(char* name);
// The name of a game type, 15 characters; another type raises the fatal
// "[XNET]Unknown group description" and gives "".
const char* NET_GameTypeName(int32_t type);
// The game's pump between waits: pumps, then lets time pass (the
// program sleeps 1 ms; tests install a step that runs the other
// machines).
void NET_WaitStep();


using NETWAITSTEP = void (*)();
void NET_SetWaitStep(NETWAITSTEP step);  // null: back to the program's
// Pumps until *flag is set (1), the time-out passes or the network
// closes (0).
int32_t NET_WaitFor(const int32_t* flag, uint32_t timeoutMs);
