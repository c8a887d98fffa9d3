// Creating, joining and leaving a game: the session, the controller's
// answers waited for, the question whether this player may join, and the
// game information printed.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "net/ctrl.h"
#include "net/netgame.h"
#include "net/netplayer.h"
#include "netlink/ls_net.h"
#include "netlink/netenum.h"
#include "shell/console.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbvar.h"

namespace {

constexpr uint32_t kAnswerWaitMs = 45000;
constexpr uint32_t kQuestionWaitMs = 30000;
constexpr uint32_t kSessionsWaitMs = 1000;

using Name = char[XNET_MAXNAME + 1];

void Break() {
  if (SB_Hooks.BreakBatch) SB_Hooks.BreakBatch();
}

int32_t Fail(const char* text) {
  SB_ConsolePrintf("%s", text);
  Break();
  return 0;
}

// A copy of a name, cut to 255 characters, with the characters a name may
// not hold deleted; false when nothing is left.
bool CleanName(const char* name, Name out) {
  std::snprintf(out, sizeof(Name), "%s", name);
  return NET_CheckPlayerName(out)[0] != 0;
}

// Out of the session, back to an open network.
void Retreat() {
  LS_NetLeaveSession();
  SB_Var.XState = XSTATE_NETINITED;
  SB_Var.NetConnected = 0;
  if (SB_Var.IsController) CTRL_Free();
  SB_Var.IsController = 0;
}

uint32_t LocalId() { return LS_NetCurrent()->Config.LocalPlayerId; }

}  // namespace

int32_t NET_CreateServer(const char* serverName, const char* playerName, int32_t gameType,
                         int32_t maxPlayers) {
  Name server, player;
  if ((playerName && !CleanName(playerName, player)) || !serverName || !CleanName(serverName, server))
    return Fail("Invalid Player Name...");
  if (SB_Var.XState < XSTATE_NETINITED) return Fail("No Network...");
  if (SB_Var.XState > XSTATE_NETINITED)
    return Fail(playerName ? "Player already logged to a game..." : "Server already launched...");
  CTRL_Init();
  SB_Var.IsController = 1;
  if (LS_NetCreateSession(NET_MAXPLAYERS, server, playerName ? player : nullptr) != 1) {
    CTRL_Free();
    SB_Var.IsController = 0;
    Break();
    SB_ConsolePrintf("Unable to create server '%s'...", server);
    return 0;
  }
  if (!playerName) {
    // A dedicated server has no player to report its state.
    SB_Var.XState = XSTATE_CONNECTED;
    SB_ConsolePrintf("Server '%s'successfully launched...", server);
    uint8_t m[XNETMSG_HEADERSIZE];
    NET_PutHeader(m, CTRL_SETGAMETYPE, gameType, maxPlayers);
    CTRL_HandleMessage(LocalId(), m, sizeof m);
    return 1;
  }
  NET_SetControllerStatus(XSTATE_CONNECTED, 0);
  SB_Var.NetPlayerId = LocalId();
  SB_ConsolePrintf("Server '%s'successfully created with player %s ID[%ld]...", server, player,
                   static_cast<long>(SB_Var.NetPlayerId));
  NET_Side.AnswerReceived = 0;
  if (!NET_SendShort(CTRL_SETGAMETYPE, gameType, maxPlayers)) {
    SB_Var.IsController = 0;
    return Fail("But Unable to set game parameters...");
  }
  NET_WaitFor(&NET_Side.AnswerReceived, kAnswerWaitMs);
  if (!NET_AskJoinGame()) return 0;
  SB_ConsolePrintf("[XNET][Player logged to game");
  NET_PrintGameInfo();
  return 1;
}

int32_t NET_JoinServer(const char* playerName, const char* serverName) {
  SB_Var.NetJoinRefused = 0;
  if (!playerName || !serverName) return Fail("Not logged to game...");
  Name player, server;
  if (!CleanName(playerName, player) || !CleanName(serverName, server)) return Fail("Invalid Player Name...");
  if (SB_Var.XState >= XSTATE_CONNECTED) {
    SB_ConsolePrintf("You are already connected to a game");
    return 0;
  }
  const int32_t index = NET_FindSessionId(server);
  if (index < 0) {
    SB_ConsolePrintf("Unknown server %s", server);
    Break();
    return 0;
  }
  NET_Side.AnswerReceived = NET_Side.OrderReceived = NET_Side.GameFull = NET_Side.NoPlaceWaitS = 0;
  if (LS_NetJoinSession(player, index) != 1) {
    SB_ConsolePrintf("Connection to game %s failed", server);
    Break();
    return 0;
  }
  if (!NET_WaitFor(&NET_Side.OrderReceived, kAnswerWaitMs)) {
    Fail("[XNET][XNET_PlayerOrderUpdated1 not received...]");
    Retreat();
    return 0;
  }
  if (NET_Side.GameFull) {
    if (NET_Side.NoPlaceWaitS > 0)
      SB_ConsolePrintf("No car place in game %s for %ld s: this machine gave one back without logging in", server,
                       static_cast<long>(NET_Side.NoPlaceWaitS));
    else
      SB_ConsolePrintf("Game %s is full: no free car place", server);
    Break();
    Retreat();
    SB_Var.NetJoinRefused = 2;
    return 0;
  }
  NET_Side.UpdateReceived = 0;
  NET_SetControllerStatus(XSTATE_CONNECTED, 0);
  SB_Var.NetPlayerId = LocalId();
  SB_ConsolePrintf("[XNET][Wait CTRL ANSWER]");
  if (!NET_WaitFor(&NET_Side.UpdateReceived, kAnswerWaitMs)) {
    Fail("[XNET][XNET_PlayerOrderUpdated2 not received...]");
    Retreat();
    return 0;
  }
  SB_ConsolePrintf("[XNET][CTRL ANSWER RECEIVED...]");
  if (NET_AskJoinGame()) {
    SB_ConsolePrintf("Player %s logged with ID[%ld]...", player, static_cast<long>(SB_Var.NetPlayerId));
    NET_PrintGameInfo();
    return 1;
  }
  SB_ConsolePrintf("player %s Not allowed to log game id:%ld...", player,
                   static_cast<long>(SB_Var.NetPlayerId));
  Retreat();
  Break();
  SB_Var.NetJoinRefused = 1;
  return 0;
}

int32_t NET_LeaveServer() {
  if (SB_Var.XState < XSTATE_CONNECTED) return Fail("No server");
  SB_ConsolePrintf("Deconnected from game !!!");
  Retreat();
  return 1;
}

int32_t NET_FindSessionId(const char* text) {
  if (!text) return -1;
  int32_t count = 0;
  NET_ENUMENTRY* list = NET_GetSessions(&count, kSessionsWaitMs);
  int32_t found = -1;
  for (int32_t i = 0; i < count && found < 0; ++i)
    if (std::strcmp(list[i].Name, text) == 0) found = static_cast<int32_t>(list[i].Id);
  if (found < 0 && std::isdigit(static_cast<unsigned char>(text[0]))) {
    const long n = std::strtol(text, nullptr, 10);
    for (int32_t i = 0; i < count && found < 0; ++i)
      if (static_cast<long>(list[i].Id) == n) found = static_cast<int32_t>(n);
  }
  if (list) SB_Release(list);
  return found;
}

int32_t NET_AskJoinGame() {
  if (SB_Var.XState != XSTATE_CONNECTED) {
    SB_ConsolePrintf("You are not connected !");
    return 0;
  }
  SB_ConsolePrintf("[XNET][JOIN GAME QUESTION]");
  NET_Side.AnswerReceived = 0;
  const bool sent = NET_SendShort(CTRL_CANILOGMYSELF, SB_Var.NetPlayerOrder, 0) != 0;
  if (sent && NET_WaitFor(&NET_Side.AnswerReceived, kQuestionWaitMs) && NET_Side.LastAnswer.Param1) {
    SB_ConsolePrintf("[XNET][You can join the game...");
    SB_Var.NetConnected = 1;
    return 1;
  }
  SB_Var.NetConnected = 0;
  // Why, where the controller said so.
  const int32_t why = sent && NET_Side.AnswerReceived ? NET_Side.LastAnswer.Param2 : 0;
  if (why == CTRL_REFUSEDFULL) SB_ConsolePrintf("[XNET][The game is full: every car place is taken]");
  if (why == CTRL_REFUSEDRACING) SB_ConsolePrintf("[XNET][A race is under way: join after it]");
  return Fail("[XNET][You cannot join the game...");
}

int32_t NET_PrintGameInfo() {
  if (SB_Var.XState != XSTATE_CONNECTED) {
    SB_ConsolePrintf("You are not connected !");
    return 0;
  }
  NET_Side.GameInfoReceived = 0;
  if (!NET_SendShort(CTRL_GETGAMEINFO, 0, 0) || !NET_WaitFor(&NET_Side.GameInfoReceived, kQuestionWaitMs))
    return Fail("[XNET]No Game Infos");
  SB_ConsolePrintf("[XNET][Race Mode: %s]", NET_GameTypeName(SB_Var.NetGameMode));
  for (int32_t i = 0; i < SB_Var.NetSlots && i < NET_MAXPLAYERS; ++i) {
    const CTRL_PLAYER& p = SB_Var.NetPlayers[i];
    if (!p.InUse) continue;
    const char* name = LS_NetGetPlayerName(p.Id);
    SB_ConsolePrintf("[XNET]Player:%s ID:%ld State:%ld", name ? name : "", static_cast<long>(p.Id),
                     static_cast<long>(p.XState));
  }
  return 1;
}
