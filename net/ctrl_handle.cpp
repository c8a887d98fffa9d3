// The controller's decoding of the messages players send it: each checked
// for its length, its sender and its values, then handled by its type.
#include <cstdio>
#include <cstring>

#include "net/ctrl.h"
#include "net/netgame.h"
#include "net/netplayer.h"
#include "netlink/ls_net.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "system/input.h"
#include "vehicles/bytes.h"
#include "vehicles/setups.h"

namespace {

using Msg = NETMSGVIEW;

// The sender of a game type set by a host without a player (SERVER).
constexpr uint32_t kNoPlayer = 0xFFFFFFFF;

TCTRL& C() { return CTRL_State(); }
const uint32_t* AllPlayers() { return reinterpret_cast<const uint32_t*>(uintptr_t{NET_TOALL}); }

const char* SessionName(uint32_t id) {
  const char* name = LS_NetGetPlayerName(id);
  return name ? name : "";
}

// The order of a sender with a record, without the unknown-id line.
int32_t OrderOf(uint32_t id) {
  for (int32_t i = 0; i < NET_MAXPLAYERS; ++i)
    if (CTRL_IsPresent(C().Players[i]) && C().Players[i].Id == id) return i;
  return -1;
}

void GameInfo(const Msg& m) {
  TCTRL& c = C();
  const int32_t n =
      SB_Var.NetSlots < 0 ? 0 : (SB_Var.NetSlots > NET_MAXPLAYERS ? NET_MAXPLAYERS : SB_Var.NetSlots);
  uint8_t out[16 + CTRL_PLAYERSIZE * NET_MAXPLAYERS];
  NET_PutHeader(out, CTRL_GAMEINFO, c.GameType, n);
  SB_PutLong(out + 12, static_cast<uint32_t>(SB_Var.NetControllerMax));
  SB_ConsolePrintf("[CTRL][GAMEINFO][Mode:%ld MaxPlayers:%ld]", static_cast<long>(c.GameType),
                   static_cast<long>(n));
  for (int32_t i = 0; i < n; ++i) {
    const CTRL_PLAYER& p = c.Players[i];
    NET_PutPlayer(out + 16 + CTRL_PLAYERSIZE * i, p);
    if (p.InUse)
      SB_ConsolePrintf("[CTRL][GAMEINFO][#%ld][ID:%ld][ST1:%ld][ST2:%ld]", static_cast<long>(i),
                       static_cast<long>(p.Id), static_cast<long>(p.XState), static_cast<long>(p.SubState));
  }
  if (CTRL_SendMessage(1, &m.sender, out, static_cast<uint32_t>(16 + CTRL_PLAYERSIZE * n)) == -2)
    SB_ConsolePrintf("[CTRL][CTRL_GETGAMEINFO LS_NETERR_SENDFAILED]");
  else
    SB_ConsolePrintf("[CTRL][CTRL_GETGAMEINFO sent to %s]", SessionName(m.sender));
}

void CanILogMyself(const Msg& m) {
  TCTRL& c = C();
  const int32_t order = OrderOf(m.sender);
  const bool already = order >= 0 && c.Players[order].InUse;
  if (order >= 0) c.AskedLogin[order] = 1;
  // A player already logged in keeps its place and is not counted again;
  // a newcomer takes any free car place of the game, the ones players that
  // left freed included, but waits while the host's race runs. A refusal
  // says why.
  const int32_t places = c.GameType >= CTRL_FREERACE ? CTRL_CarPlaces() : 0;
  const int32_t why = already ? 0 : (c.Logged >= places ? CTRL_REFUSEDFULL : (CTRL_RaceOn() ? CTRL_REFUSEDRACING : 0));
  const bool yes = why == 0;
  uint8_t out[XNETMSG_HEADERSIZE];
  NET_PutHeader(out, CTRL_ANSWER, yes ? 1 : 0, why);
  if (CTRL_SendMessage(1, &m.sender, out, sizeof out) == -2) {
    SB_ConsolePrintf("[CTRL][CTRL_CANILOGMYSELF LS_NETERR_SENDFAILED]");
    return;
  }
  if (!yes) {
    if (NET_CountLine(&c.NoPlace, "CTRL", "JOINS"))
      SB_ConsolePrintf("[CTRL][CTRL_CANILOGMYSELF Player %ld refused: %s]", static_cast<long>(m.sender),
                       why == CTRL_REFUSEDFULL ? "GAME FULL" : "RACE UNDER WAY");
    return;
  }
  if (order < 0 || already) return;
  c.Players[order].InUse = 1;
  ++c.Logged;
  SB_ConsolePrintf("[CTRL][CTRL_CANILOGMYSELF Player %ld logged]", static_cast<long>(m.sender));
  // A place a leaver freed is raced again: the start lines wait for the
  // newcomer too.
  if (c.Logged > SB_Var.NetControllerMax) {
    SB_Var.NetControllerMax = c.Logged;
    SB_ConsolePrintf("[CTRL][MAXPLAYER++... %ld ]", static_cast<long>(SB_Var.NetControllerMax));
    CTRL_SendShortToAll(CTRL_CHANGEMAXNETPLAYER, SB_Var.NetControllerMax, 0);
  }
}

int32_t LoggedInState(XSTATE state) {
  int32_t n = 0;
  for (const CTRL_PLAYER& p : C().Players) n += p.InUse && p.XState == state ? 1 : 0;
  return n;
}

void NewState(int32_t order, XSTATE state, uint8_t old, uint32_t sender) {
  TCTRL& c = C();
  const bool controlled = c.GameType == CTRL_CONTROLLEDRACE;
  switch (state) {
    case XSTATE_CONNECTED:
      // Only leaving a running race lowers the maximum: a normal finish
      // comes from state 10.
      if (old == XSTATE_PLAYING) CTRL_ChangeMaxPlayers(sender);
      c.Setups[order].Changed = 0;
      break;
    case XSTATE_WAIT4READY:
      if (controlled && LoggedInState(XSTATE_WAIT4READY) >= SB_Var.NetControllerMax)
        CTRL_SetGameState(CTRL_WAITOTHERS);
      break;
    case XSTATE_PLAYING:
      if (controlled) CTRL_SetGameState(CTRL_INPROGRESS);
      break;
    case XSTATE_ENDOFRACE:
      if (controlled && LoggedInState(XSTATE_PLAYING) == 0) CTRL_SetGameState(CTRL_COMPLETED);
      break;
    default: break;
  }
}

// Message 8 with the record of that order as it stands, to all or to one.
int32_t SendRecord(int32_t order, const uint32_t* to) {
  uint8_t out[XNET_UPDATEMSGSIZE];
  NET_PutHeader(out, CTRL_UPDATENETPLAYER, order, 0);
  NET_PutPlayer(out + XNETMSG_HEADERSIZE, C().Players[order]);
  return CTRL_SendMessage(1, to, out, sizeof out);
}

// A READY2PLAY or PLAYING outside the host's race changes nothing: a
// counted line, and the sender's record as it stands, which ends its wait
// for the echo.
void RefuseState(const Msg& m, int32_t order, const char* why) {
  TCTRL& c = C();
  if (NET_CountLine(&c.RefusedStates, "CTRL", "STATE CHANGES"))
    SB_ConsolePrintf("[CTRL][STATE %s OF %s ID:%lu REFUSED: %s]", NET_XStateNames[m.h.Param1], c.Names[order],
                     static_cast<unsigned long>(m.sender), why);
  // The line may have pumped, and the sender left meanwhile.
  if (c.Players[order].Id == m.sender && CTRL_IsPresent(c.Players[order])) SendRecord(order, &m.sender);
}

void SetPlayerStatus(const Msg& m) {
  TCTRL& c = C();
  const int32_t order = OrderOf(m.sender);
  c.LastHeard[order] = LS_GetTime();
  CTRL_PLAYER& p = c.Players[order];
  if (m.h.Param1 != 0) {
    if (const char* why = CTRL_StateRefusal(order, m.h.Param1)) return RefuseState(m, order, why);
    // A race's start says so, and the line may have pumped.
    if (p.Id != m.sender || !CTRL_IsPresent(p)) return;
    const uint8_t old = p.XState;
    CTRL_FollowRace(order, old, m.h.Param1);
    p.XState = static_cast<uint8_t>(m.h.Param1);
    NewState(order, static_cast<XSTATE>(m.h.Param1), old, m.sender);
  }
  // The record may have gone while the state change pumped.
  if (p.Id != m.sender || !CTRL_IsPresent(p)) return;
  p.SubState = static_cast<uint8_t>(m.h.Param2 & 0xFF);
  static const char* const kSubNames[] = {"UNDEF", "PLAYING", "WATCHING"};
  SB_ConsolePrintf("[Player %s states are (%s,%s)]\n", "-", NET_XStateNames[p.XState], kSubNames[p.SubState]);
  if (SendRecord(order, AllPlayers()) == -2) SB_ConsolePrintf("[CTRL][CTRL_SETPLAYERSTATUS LS_NETERR_SENDFAILED]");
}

void SetGameType(const Msg& m) {
  TCTRL& c = C();
  // First, as reading a file may pump.
  CTRL_ReadRaceFile(m.h.Param1);
  int32_t maxPlayers = m.h.Param2;
  if (maxPlayers < 1) maxPlayers = 1;
  if (maxPlayers > SB_MAXCARS) maxPlayers = SB_MAXCARS;
  c.GameType = m.h.Param1;
  SB_Var.NetControllerMax = SB_Var.NetSlots = maxPlayers;
  c.Logged = 0;
  for (CTRL_PLAYER& p : c.Players) p.InUse = 0;
  SB_ConsolePrintf("[CTRL][SETGAMETYPE %ld MAXPLAYERS:%ld", static_cast<long>(c.GameType),
                   static_cast<long>(maxPlayers));
  // The answer goes to the host's player; a game made without one (SERVER)
  // has nobody to tell.
  if (m.sender == kNoPlayer) return;
  uint8_t out[XNETMSG_HEADERSIZE];
  NET_PutHeader(out, CTRL_ANSWER, 1, 0);
  if (CTRL_SendMessage(1, &m.sender, out, sizeof out) == -2)
    SB_ConsolePrintf("[CTRL][SEND CTRL_SETGAMETYPE ACK FAILED]");
  else
    SB_ConsolePrintf("[CTRL][SEND CTRL_SETGAMETYPE ACK]");
}

void StoreSetup(const Msg& m) {
  TVEHICLESETUP& s = C().Setups[m.h.Param1];
  SB_UnpackVehicleSetup(m.body, &s);
  SB_SanitizeVehicleSetup(&s);
  s.Changed = 1;
  SB_ConsolePrintf("[CTRL][CTRL_VEHICLESETUP %ld STORED]\n", static_cast<long>(m.h.Param1));
}

void AllSetups(const Msg& m) {
  SB_ConsolePrintf("[CTRL][CTRL_ALLVEHICLESETUP params(%ld,%ld)]", 0L, 424L);
  bool sent = false;
  for (int32_t i = 0; i < SB_Var.NetSlots && i < NET_MAXPLAYERS; ++i) {
    if (!C().Setups[i].Changed) continue;
    uint8_t out[XNET_SETUPMSGSIZE];
    NET_PutHeader(out, CTRL_VEHICLESETUP, i, 1);
    SB_PackVehicleSetup(C().Setups[i], out + XNETMSG_HEADERSIZE);
    CTRL_SendMessage(1, &m.sender, out, sizeof out);
    sent = true;
  }
  if (sent) return;
  // Holding none, it answers all the same: a setup of no car (order -1,
  // Param2 0), which ends the asker's wait and paints nothing.
  uint8_t out[XNET_SETUPMSGSIZE] = {};
  NET_PutHeader(out, CTRL_VEHICLESETUP, CTRL_NOPLACE, 0);
  CTRL_SendMessage(1, &m.sender, out, sizeof out);
}

void Broadcast(const Msg& m) {
  if (!NET_TakeChat("CTRL", m.sender)) return;
  char text[XNET_MAXNAME + 1];
  NET_GetText(m.body, m.bodyLength, text);
  SB_ConsolePrintf("[CTRL]*** Broadcast Message from %s ***\n'%s'\n", SessionName(m.sender), text);
}

// A finish or time-out: a result with a time is entered in the records
// once it passes the checks; one refused is a counted line.
void Progress(const Msg& m) {
  if (m.h.Param2 == 0) return;
  const uint32_t lap = SB_GetLong(m.body), race = SB_GetLong(m.body + 4);
  TCTRL& c = C();
  const int32_t order = OrderOf(m.sender);
  char name[XNET_MAXNAME + 1];
  std::snprintf(name, sizeof name, "%s", SessionName(m.sender));
  if (race == 0 || race == CTRL_NOTIME) {
    // Without a time (out of time, the race ended) nothing is entered; the
    // first of a race is said, as the racer's result.
    if (c.RaceResult[order] != CTRL_RACING) return;
    c.RaceResult[order] = CTRL_RESULTIN;
    SB_ConsolePrintf("[CTRL][NAME:%s LAP:%ld RACE:%ld", name, static_cast<long>(lap), static_cast<long>(race));
    return;
  }
  char why[128];
  const char* refusal = CTRL_ResultRefusal(order, lap, race, why, sizeof why);
  // One result a race, even a refused one: a second try is no better.
  if (c.RaceResult[order] == CTRL_RACING) c.RaceResult[order] = CTRL_RESULTIN;
  if (refusal) {
    if (NET_CountLine(&c.RefusedResults, "CTRL", "RACE RESULTS"))
      SB_ConsolePrintf("[CTRL][RACE RESULT OF %s ID:%lu REFUSED: %s]", name, static_cast<unsigned long>(m.sender),
                       refusal);
    return;
  }
  SB_ConsolePrintf("[CTRL][NAME:%s LAP:%ld RACE:%ld", name, static_cast<long>(lap), static_cast<long>(race));
  CTRL_UpdateRecords(lap, race, name);
}

int32_t MinLength(int32_t type) {
  switch (type) {
    case CTRL_VEHICLESETUP: return XNET_SETUPMSGSIZE;
    case XNET_CARSTATE: return XNET_CARSTATEMSGSIZE;
    case XNET_RACEFINISHED:
    case XNET_OUTOFTIME: return XNET_PROGRESSMSGSIZE;
    default: return XNETMSG_HEADERSIZE;
  }
}

// Whether the order is that of a present player other than the sender.
bool OrderOfAnother(int32_t order, uint32_t sender) {
  return order >= 0 && order < NET_MAXPLAYERS && CTRL_IsPresent(C().Players[order]) &&
         C().Players[order].Id != sender;
}

bool Allowed(const Msg& m) {
  const int32_t order = OrderOf(m.sender);
  switch (m.type) {
    // Answered only to a player of the table: a stranger's requests cost
    // the controller nothing.
    case CTRL_GETGAMEINFO:
    case XNET_CARSTATE:
    case CTRL_PRESENCEACK: return order >= 0;
    // Never for another player's order.
    case CTRL_CANILOGMYSELF: return order >= 0 && !OrderOfAnother(m.h.Param1, m.sender);
    // Which READY2PLAY and PLAYING are taken is the host's race's to say.
    case CTRL_SETPLAYERSTATUS:
      return order >= 0 && m.h.Param1 >= 0 && m.h.Param1 <= static_cast<int32_t>(XSTATE_ENDOFRACE) &&
             (m.h.Param2 & 0xFF) <= XSUBSTATE_WATCHING;
    // A setup is stored only under its sender's own order.
    case CTRL_VEHICLESETUP: return order >= 0 && m.h.Param1 == order;
    // Only of the sender's own car.
    case XNET_RACEFINISHED:
    case XNET_OUTOFTIME: return order >= 0 && C().Players[order].InUse && m.h.Param1 == order;
    case CTRL_SETGAMETYPE:
      return m.sender == LS_NetCurrent()->Config.LocalPlayerId && m.h.Param1 >= CTRL_FREERACE &&
             m.h.Param1 <= CTRL_CONTROLLEDRACE;
    default: return true;
  }
}

// The types the first handler passes on to the second.
bool Other(int32_t type) {
  return type == CTRL_VEHICLESETUP || type == XNET_CARSTATE || type == XNET_TEXT || type == CTRL_PRESENCEACK ||
         type > 23;
}

// A received message read and checked for its length, sender and values;
// false (the refusal logged) when it is refused.
bool Read(uint32_t sender, const void* message, uint32_t length, Msg* m) {
  if (!C().Running || !NET_ReadMessage("CTRL", sender, message, length, m)) return false;
  if (m->bodyLength + XNETMSG_HEADERSIZE >= MinLength(m->type) && Allowed(*m)) return true;
  NET_LogRefused("CTRL", m->type, length, sender);
  return false;
}

}  // namespace

void CTRL_HandleMessage(uint32_t sender, const void* message, uint32_t length) {
  Msg m;
  if (!Read(sender, message, length, &m)) return;
  switch (m.type) {
    case CTRL_GETGAMEINFO: GameInfo(m); break;
    case CTRL_CANILOGMYSELF: CanILogMyself(m); break;
    case CTRL_SETPLAYERSTATUS: SetPlayerStatus(m); break;
    case CTRL_SETGAMETYPE: SetGameType(m); break;
    case CTRL_ALLVEHICLESETUP: AllSetups(m); break;
    case XNET_RACEFINISHED:
    case XNET_OUTOFTIME: Progress(m); break;
    default:
      if (Other(m.type)) CTRL_HandleOtherMessage(sender, message, length);
      break;
  }
}

void CTRL_HandleOtherMessage(uint32_t sender, const void* message, uint32_t length) {
  Msg m;
  if (!Read(sender, message, length, &m)) return;
  switch (m.type) {
    case CTRL_VEHICLESETUP: StoreSetup(m); break;
    case XNET_CARSTATE: C().LastHeard[OrderOf(m.sender)] = LS_GetTime(); break;
    case XNET_TEXT: Broadcast(m); break;
    case CTRL_PRESENCEACK: {
      const int32_t order = OrderOf(m.sender);
      SB_ConsolePrintf("[CTRL][CTRL_PRESENCEACK from %s]\n", C().Names[order]);
      C().LastHeard[order] = LS_GetTime();
      break;
    }
    default: break;
  }
}
