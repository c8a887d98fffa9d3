// The controller's player table: players arriving and leaving, their
// orders, the sends to one or to all, the maximum players and the drop
// of silent players.
#include "net/ctrl.h"

#include <cstdio>
#include <cstring>

#include "net/netgame.h"
#include "net/netplayer.h"
#include "netlink/ls_net.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "system/input.h"

namespace {

constexpr uint32_t kOrderWaitMs = 60000;
constexpr int32_t kOrderTries = 3;
constexpr uint32_t kCheckEveryMs = 10000;
constexpr uint32_t kSilentMs = 60000;
// A joining tool's player, never entered in the table.
constexpr const char* kInfoPlayer = "__INFO__";

TCTRL& C() { return CTRL_State(); }
uint32_t ServerId() { return LS_NetCurrent()->Config.ControllerId; }

// Sends a newcomer its order, one try more. The send's sequence is kept
// for the pump to follow; a refused send is a failed try.
void SendOrder(int32_t order) {
  TCTRL& c = C();
  uint8_t m[XNETMSG_HEADERSIZE];
  NET_PutHeader(m, CTRL_PLAYERORDER, order, static_cast<int32_t>(CTRL_BestRaceTime()));
  const uint32_t id = c.Players[order].Id;
  ++c.OrderTries[order];
  c.OrderPending[order] = 1;
  c.OrderSentAt[order] = LS_GetTime();
  c.OrderSequence[order] = LS_NetServerSendMessage(1, &id, m, sizeof m);
}

// Where one newcomer's order stands: 1 delivered, 0 still travelling, -1
// failed (refused, given up, or not delivered in time).
int32_t OrderState(int32_t order) {
  const TCTRL& c = C();
  const int32_t sequence = c.OrderSequence[order];
  if (sequence == -2) return -1;
  if (NETI_IsDelivered(static_cast<uint32_t>(sequence))) return 1;
  if (NETI_IsFailed(static_cast<uint32_t>(sequence))) return -1;
  return LS_GetTime() - c.OrderSentAt[order] >= kOrderWaitMs ? -1 : 0;
}

void FollowOrder(int32_t order) {
  TCTRL& c = C();
  const int32_t state = OrderState(order);
  if (state == 0) return;
  const uint32_t id = c.Players[order].Id;
  if (state > 0) {
    c.OrderPending[order] = 0;
    c.LoginWaitFrom[order] = LS_GetTime();
    SB_ConsolePrintf("[CTRL][CTRL_PLAYERORDER (%s,%ld)...\n]", c.Names[order], static_cast<long>(id));
    return;
  }
  SB_ConsolePrintf("[CTRL][CTRL_PLAYERORDER 2 %ld has failed]", static_cast<long>(id));
  // The line may have pumped: the player may have left meanwhile.
  if (!c.Running || !c.OrderPending[order] || c.Players[order].Id != id || !CTRL_IsPresent(c.Players[order])) return;
  if (c.OrderTries[order] < kOrderTries) return SendOrder(order);
  c.OrderPending[order] = 0;
  SB_ConsolePrintf("[CTRL][UNABLE 2 send CTRL_PLAYERORDER 2 %ld]", static_cast<long>(id));
  if (c.Running && c.Players[order].Id == id && CTRL_IsPresent(c.Players[order])) DelPlayer(id);
}

// Whether the player is in the session now. Not by its name: the
// transport still names a player that has just left.
bool InSession(uint32_t id) {
  static uint32_t wanted;
  static bool found;
  wanted = id;
  found = false;
  LS_NetEnumeratePlayers([](uint32_t, const char*, uint32_t p) {
    found = found || p == wanted;
    return int32_t{1};
  });
  return found;
}

// A newcomer not logged in CTRL_LOGINWAITMS after its order arrived, or
// after it arrived when its order never does, gives its car place back,
// with a line: a copy that died, never acknowledges or never asks must
// not hold a place an honest joiner could race in.
void DropPlayersNotLoggedIn() {
  TCTRL& c = C();
  const uint32_t now = LS_GetTime();
  for (int32_t i = 0; i < NET_MAXPLAYERS && c.Running; ++i) {
    const CTRL_PLAYER& p = c.Players[i];
    if (!CTRL_IsPresent(p) || p.InUse || now - c.LoginWaitFrom[i] < CTRL_LOGINWAITMS) continue;
    const uint32_t id = p.Id;
    SB_ConsolePrintf("[CTRL][PLAYER %s ID:%ld NOT LOGGED IN WITHIN %lu s: ITS CAR PLACE IS FREED]", c.Names[i],
                     static_cast<long>(id), static_cast<unsigned long>(CTRL_LOGINWAITMS / 1000));
    DelPlayer(id);
  }
}

// What is left of a machine's wait at `now`: 0 for a free row or one
// that is over.
int32_t WaitLeft(const TCTRLREJOIN& w, uint32_t now) {
  const int32_t left = static_cast<int32_t>(w.Until - now);
  return w.Address && left > 0 ? left : 0;
}

// Until when a machine waits for a car place, or 0: its player gave one
// back without asking to log in a moment ago.
uint32_t RejoinWait(uint32_t address) {
  if (!address) return 0;
  const uint32_t now = LS_GetTime();
  for (const TCTRLREJOIN& w : C().RejoinWaits)
    if (w.Address == address && WaitLeft(w, now) > 0) return w.Until;
  return 0;
}

// The newcomer of that order leaves or is dropped: a member's player that
// held a car place without ever asking to log in makes its machine wait
// CTRL_REJOINWAITMS for the next, so that re-creating it at once cannot
// hold the place again. One row per machine; when all are taken, the one
// whose wait ends first makes room.
void NoteRejoinWait(int32_t order) {
  TCTRL& c = C();
  const CTRL_PLAYER& p = c.Players[order];
  const uint32_t address = c.Address[order];
  if (p.InUse || c.AskedLogin[order] || !address) return;
  const uint32_t now = LS_GetTime();
  TCTRLREJOIN* row = &c.RejoinWaits[0];
  for (TCTRLREJOIN& w : c.RejoinWaits) {
    if (w.Address == address) {
      row = &w;
      break;
    }
    if (WaitLeft(w, now) < WaitLeft(*row, now)) row = &w;
  }
  *row = {address, now + CTRL_REJOINWAITMS};
}

// Message 5 telling a newcomer that it gets no car place, with the seconds
// its machine still waits (0: the game is full).
void SendNoPlace(uint32_t id, int32_t waitS) {
  uint8_t m[XNETMSG_HEADERSIZE];
  NET_PutHeader(m, CTRL_PLAYERORDER, CTRL_NOPLACE, waitS);
  if (C().Running) LS_NetServerSendMessage(1, &id, m, sizeof m);
}

}  // namespace

int32_t CTRL_CarPlaces() {
  // Before the game type is set (the host's own player arriving) only the
  // car table bounds the orders.
  if (C().GameType < CTRL_FREERACE) return SB_MAXCARS;
  return SB_Var.NetSlots < 1 ? 1 : (SB_Var.NetSlots > SB_MAXCARS ? SB_MAXCARS : SB_Var.NetSlots);
}

bool CTRL_IsPresent(const CTRL_PLAYER& p) { return p.InUse || p.Pending; }

void CTRL_Init() {
  TCTRL& c = C();
  std::memset(&c, 0, sizeof c);
  CTRL_LoadRecords();
  SB_Var.NetControllerMax = 0;
  c.Running = 1;
}

void CTRL_Free() {
  TCTRL& c = C();
  CTRL_FreeRecords();
  std::memset(&c, 0, sizeof c);
}

int32_t CTRL_SendMessage(uint32_t count, const uint32_t* target, const void* message, uint32_t length) {
  if (reinterpret_cast<uintptr_t>(target) != NET_TOALL) {
    if (!target) return -2;
    return LS_NetServerSendMessage(count ? 1 : 0, target, message, length);
  }
  // Each player separately, on past a failure: one peer whose messages
  // cannot go (its window full, given up) must not cost the others theirs.
  int32_t tried = 0, failed = 0;
  for (const CTRL_PLAYER& p : C().Players) {
    if (!CTRL_IsPresent(p)) continue;
    const uint32_t id = p.Id;
    ++tried;
    if (LS_NetServerSendMessage(1, &id, message, length) == -2) ++failed;
  }
  return tried > 0 && failed == tried ? -2 : 1;
}

int32_t CTRL_SendShortToAll(int32_t type, int32_t param1, int32_t param2) {
  uint8_t m[XNETMSG_HEADERSIZE];
  NET_PutHeader(m, type, param1, param2);
  return CTRL_SendMessage(0, reinterpret_cast<const uint32_t*>(uintptr_t{NET_TOALL}), m, sizeof m);
}

void CTRL_SendFailure(uint32_t sequence, uint32_t recipient) {
  SB_ConsolePrintf("[CTRL][SEND FAILURE CALLBACK... %d %d]", static_cast<int>(sequence),
                   static_cast<int>(recipient));
}

CTRL_PLAYER* GetPlayerById(uint32_t id) {
  for (CTRL_PLAYER& p : C().Players)
    if (CTRL_IsPresent(p) && p.Id == id) return &p;
  SB_ConsolePrintf("[CTRL][GetPlayerById: Unknown player ID[%ld] ]\n", static_cast<long>(id));
  return nullptr;
}

int32_t GetPlayerOrderbyId(uint32_t id) {
  for (int32_t i = 0; i < NET_MAXPLAYERS; ++i)
    if (CTRL_IsPresent(C().Players[i]) && C().Players[i].Id == id) return i;
  SB_ConsolePrintf("[CTRL][GetPlayerOrderbyId: Unknown player ID[%ld] \n]", static_cast<long>(id));
  return -1;
}

int32_t CTRL_CountPlayers() {
  int32_t n = 0;
  for (const CTRL_PLAYER& p : C().Players) n += p.InUse ? 1 : 0;
  return n;
}

void CTRL_AddPlayer(uint32_t id) {
  TCTRL& c = C();
  // Orders are car indices: only the race's car places are given (a car
  // beyond them is no car of the race).
  int32_t order = -1;
  const int32_t places = CTRL_CarPlaces();
  for (int32_t i = 0; i < places && order < 0; ++i)
    if (!CTRL_IsPresent(c.Players[i])) order = i;
  const uint32_t address = LS_NetGetPlayerAddress(id);
  const uint32_t waitUntil = RejoinWait(address);
  if (order < 0 || waitUntil) {
    // Said on the host, at most once a second; the newcomer is told at
    // once, rather than waiting for an order that never comes.
    const char* name = LS_NetGetPlayerName(id);
    const int32_t waitS = waitUntil ? static_cast<int32_t>((waitUntil - LS_GetTime() + 999) / 1000) : 0;
    if (NET_CountLine(&c.NoPlace, "CTRL", "JOINS")) {
      if (waitUntil)
        SB_ConsolePrintf("[CTRL][NO CAR PLACE FOR %s ID:%ld FOR %lu s: ITS MACHINE GAVE ONE BACK WITHOUT LOGGING IN]",
                         name ? name : "", static_cast<long>(id), static_cast<unsigned long>(waitS));
      else
        SB_ConsolePrintf("[CTRL][NO FREE CAR PLACE FOR %s ID:%ld: JOIN REFUSED]", name ? name : "",
                         static_cast<long>(id));
    }
    SendNoPlace(id, waitS);
    return;
  }
  CTRL_PLAYER& p = c.Players[order];
  p = CTRL_PLAYER{};
  p.Pending = 1;
  p.Id = id;
  p.XState = XSTATE_CONNECTED;
  p.SubState = XSUBSTATE_PLAYING;
  c.Setups[order].Changed = 0;
  c.RaceResult[order] = CTRL_NOTRACING;
  c.Address[order] = address;
  c.AskedLogin[order] = 0;
  c.LoginWaitFrom[order] = LS_GetTime();  // before any line: a line may pump
  // Heard on arrival, so that the next liveness check keeps it.
  c.LastHeard[order] = LS_GetTime();
  const char* name = LS_NetGetPlayerName(id);
  std::snprintf(c.Names[order], sizeof c.Names[order], "%s", name ? name : "");
  SB_ConsolePrintf("[CTRL][ADDPLAYER %s ID:%ld]", c.Names[order], static_cast<long>(id));
  c.OrderTries[order] = 0;
  // The line may have pumped, and the newcomer left meanwhile.
  if (c.Running && p.Id == id && CTRL_IsPresent(p)) SendOrder(order);
}

void CTRL_FollowPlayerOrders() {
  TCTRL& c = C();
  if (!c.Running || c.InFollow) return;
  c.InFollow = 1;
  for (int32_t i = 0; i < NET_MAXPLAYERS && c.Running; ++i) {
    if (!c.OrderPending[i]) continue;
    if (!CTRL_IsPresent(c.Players[i])) {
      c.OrderPending[i] = 0;  // it left before its order arrived
      continue;
    }
    FollowOrder(i);
  }
  DropPlayersNotLoggedIn();
  c.InFollow = 0;
}

namespace {

// Message 8 to all that the player of that order, its record as it now
// stands, is gone; nothing without a name.
void NotifyGone(int32_t order, const CTRL_PLAYER& p, const char* name) {
  if (!name[0]) {
    SB_ConsolePrintf("[CTRL] Cannot notify quit");
    return;
  }
  uint8_t m[XNET_UPDATEMSGSIZE + XNET_MAXNAME + 1];
  NET_PutHeader(m, CTRL_UPDATENETPLAYER, order, 1);
  NET_PutPlayer(m + XNETMSG_HEADERSIZE, p);
  const size_t n = strnlen(name, XNET_MAXNAME);
  std::memcpy(m + XNET_UPDATEMSGSIZE, name, n);
  m[XNET_UPDATEMSGSIZE + n] = 0;
  const auto* all = reinterpret_cast<const uint32_t*>(uintptr_t{NET_TOALL});
  if (CTRL_SendMessage(0, all, m, static_cast<uint32_t>(XNET_UPDATEMSGSIZE + n + 1)) == -2)
    SB_ConsolePrintf("[CTRL][UNABLE 2 NOTIFY that player ID %ld is history...\n]", static_cast<long>(p.Id));
  else
    SB_ConsolePrintf("[CTRL][NOTIFYING that player ID %ld is history...\n]", static_cast<long>(p.Id));
}

}  // namespace

void CTRL_NotifyPlayerGone(int32_t order) {
  TCTRL& c = C();
  NotifyGone(order, c.Players[order], c.Names[order]);
}

void DelPlayer(uint32_t id) {
  TCTRL& c = C();
  int32_t order = -1;
  for (int32_t i = 0; i < NET_MAXPLAYERS && order < 0; ++i)
    if (CTRL_IsPresent(c.Players[i]) && c.Players[i].Id == id) order = i;
  if (order < 0) {
    SB_ConsolePrintf("[CTRL][DelPlayer: Unknown player ID:%ld]", static_cast<long>(id));
    return;
  }
  // The place is freed before any line: a line may pump, and a newcomer
  // arriving meanwhile must find it free, and keep its name.
  CTRL_PLAYER& p = c.Players[order];
  char name[XNET_MAXNAME + 1];
  std::snprintf(name, sizeof name, "%s", c.Names[order]);
  const bool logged = p.InUse != 0;
  NoteRejoinWait(order);
  p.InUse = p.XState = p.Pending = 0;
  c.OrderPending[order] = 0;
  c.Setups[order].Changed = 0;
  c.RaceResult[order] = CTRL_NOTRACING;
  if (logged && c.Logged > 0) --c.Logged;
  const CTRL_PLAYER gone = p;
  c.Names[order][0] = 0;
  SB_ConsolePrintf("[CTRL][DELPLAYER %s ID:%ld]", name, static_cast<long>(id));
  NotifyGone(order, gone, name);
}

void CTRL_HandleSystemMessage(uint32_t player, uint32_t kind) {
  if (!C().Running) return;
  if (kind == 1) {
    // A copy: the printing below may pump, and another arrival's lookup
    // would overwrite the session's name buffer.
    const char* looked = LS_NetGetPlayerName(player);
    char name[XNET_MAXNAME + 1];
    std::snprintf(name, sizeof name, "%s", looked ? looked : "");
    SB_ConsolePrintf("[SYS CRTL][ADD PLAYER]");
    SB_ConsolePrintf("[SYS CTRL][PLAYER '%s' of ID:%ld has arrived...]", name, static_cast<long>(player));
    // A player who left while the lines pumped is not added, where its
    // order would be tried three times for nothing.
    if (player != ServerId() && looked && std::strcmp(name, kInfoPlayer) != 0 && InSession(player))
      CTRL_AddPlayer(player);
  } else if (kind == 2) {
    // Deleted before the lines: they may pump, and a newcomer arriving
    // meanwhile must find the place free.
    if (player != ServerId()) DelPlayer(player);
    SB_ConsolePrintf("[SYS CTRL][DELETE PLAYER]");
    SB_ConsolePrintf("[SYS CTRL][PLAYER of ID:%ld is history...]", static_cast<long>(player));
  }
}

void CTRL_ChangeMaxPlayers(uint32_t id) {
  const CTRL_PLAYER* p = GetPlayerById(id);
  if (!p || !p->InUse) return;
  SB_ConsolePrintf("[CTRL][MAXPLAYER--... %ld ]", static_cast<long>(id));
  if (SB_Var.NetControllerMax > 0) --SB_Var.NetControllerMax;
  SB_ConsolePrintf("[CTRL][CTRL_CHANGEMAXNETPLAYER]");
  CTRL_SendShortToAll(CTRL_CHANGEMAXNETPLAYER, SB_Var.NetControllerMax, 0);
}

void CTRL_DropSilentPlayers() {
  TCTRL& c = C();
  if (!c.Running || c.InCheck) return;
  if (c.GameType == CTRL_CONTROLLEDRACE && c.GameState != CTRL_NORACE) return;
  const uint32_t now = LS_GetTime();
  if (now - c.LastCheck <= kCheckEveryMs) return;
  if (c.GameType < CTRL_FREERACE || c.GameType > CTRL_MULTIRACE) return;
  c.InCheck = 1;
  CTRL_SendShortToAll(CTRL_PRESENCEQUERY, 0, 0);
  for (int32_t i = 0; i < NET_MAXPLAYERS; ++i) {
    const CTRL_PLAYER& p = c.Players[i];
    // A newcomer whose order is still followed cannot answer yet: the
    // follow-up drops it if the order never arrives.
    if (!CTRL_IsPresent(p) || c.OrderPending[i] || p.XState < XSTATE_CONNECTED || now - c.LastHeard[i] <= kSilentMs)
      continue;
    const uint32_t id = p.Id;
    SB_ConsolePrintf("[CTRL][DELETING NOT-RECEIVING PLAYER:%s ID:%ld]\n", c.Names[i], static_cast<long>(id));
    CTRL_ChangeMaxPlayers(id);
    DelPlayer(id);
  }
  c.LastCheck = LS_GetTime();
  c.InCheck = 0;
}

void CTRL_PrintInfo() {
  static const char* const kSubNames[] = {"UNDEF", "PLAYING", "WATCHING"};
  TCTRL& c = C();
  SB_ConsolePrintf("*********** G AME CONTROLLER INFORMATIONS *********");
  SB_ConsolePrintf("| Player Name:    |  I D     |   Main State    | Type        |");
  SB_ConsolePrintf("|------------------------------------------------------------|");
  for (int32_t i = 0; i < NET_MAXPLAYERS; ++i) {
    const CTRL_PLAYER& p = c.Players[i];
    if (!p.InUse) continue;
    SB_ConsolePrintf("|%16s | %8ld | %16s | %16s|", c.Names[i], static_cast<long>(p.Id),
                     p.XState < NET_NBXSTATENAMES ? NET_XStateNames[p.XState] : "",
                     p.SubState <= XSUBSTATE_WATCHING ? kSubNames[p.SubState] : "");
  }
  SB_ConsolePrintf("|------------------------------------------------|");
  for (int32_t i = 0; i < SB_MAXCARS; ++i)
    if (c.Setups[i].Changed) SB_ConsolePrintf("COLOR from player #%ld", static_cast<long>(i));
  SB_ConsolePrintf("|------------------------------------------------|");
  NET_PrintGameInfo();
}
