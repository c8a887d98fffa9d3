// The game message's header, player record and texts, read and written
// field by field, and the log line of a refused message.
#include <cstring>

#include "net/ctrl.h"
#include "net/netgame.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "vehicles/bytes.h"

int32_t NET_MessageType(int32_t type) { return static_cast<int16_t>(static_cast<uint32_t>(type) & 0xFFFF); }

void NET_PutHeader(uint8_t* at, int32_t type, int32_t param1, int32_t param2) {
  SB_PutLong(at, static_cast<uint32_t>(type));
  SB_PutLong(at + 4, static_cast<uint32_t>(param1));
  SB_PutLong(at + 8, static_cast<uint32_t>(param2));
}

XNETMSG NET_GetHeader(const uint8_t* at) {
  return {static_cast<int32_t>(SB_GetLong(at)), static_cast<int32_t>(SB_GetLong(at + 4)),
          static_cast<int32_t>(SB_GetLong(at + 8))};
}

void NET_PutPlayer(uint8_t* at, const CTRL_PLAYER& p) {
  std::memset(at, 0, CTRL_PLAYERSIZE);
  SB_PutLong(at, p.Id);
  at[4] = p.InUse;
  at[5] = p.XState;
  at[7] = p.SubState;
  at[9] = p.Pending;
}

CTRL_PLAYER NET_GetPlayer(const uint8_t* at) {
  CTRL_PLAYER p{};
  p.Id = SB_GetLong(at);
  p.InUse = at[4];
  p.XState = at[5];
  p.SubState = at[7];
  p.Pending = at[9];
  return p;
}

void NET_GetText(const uint8_t* at, int32_t available, char* out) {
  int32_t n = 0;
  while (n < available && n < XNET_MAXNAME && at[n]) {
    out[n] = static_cast<char>(at[n]);
    ++n;
  }
  out[n] = 0;
}

TCAR* NET_DrivenCar() {
  const int32_t i = SB_Var.DrivenCar;
  return i >= 0 && i < SB_MAXCARS ? SB_Var.Cars[i] : nullptr;
}

int32_t NET_LocalSubState() {
  const int32_t o = SB_Var.NetPlayerOrder;
  return o >= 0 && o < NET_MAXPLAYERS ? SB_Var.NetPlayers[o].SubState : 0;
}

namespace {

TNETNOTICE& Refusals(const char* side) {
  return std::strcmp(side, "CTRL") == 0 ? NET_Side.RefusedCtrl : NET_Side.RefusedRead;
}

void More(const char* side, uint32_t count, const char* what) {
  SB_ConsolePrintf("[%s][%lu MORE %s REFUSED]", side, static_cast<unsigned long>(count), what);
}

}  // namespace

bool NET_CountLine(TNETNOTICE* notice, const char* side, const char* what) {
  uint32_t count = 0;
  if (!NET_CountNotice(notice, &count)) return false;
  if (count > 1) More(side, count - 1, what);
  return true;
}

void NET_LogRefused(const char* side, int32_t type, uint32_t length, uint32_t sender) {
  if (!NET_CountLine(&Refusals(side), side, "MESSAGES")) return;
  SB_ConsolePrintf("[%s][REFUSED type:%ld length:%lu from:%lu]", side, static_cast<long>(type),
                   static_cast<unsigned long>(length), static_cast<unsigned long>(sender));
}

void NET_FlushNotices() {
  TCTRL& c = CTRL_State();
  const struct {
    TNETNOTICE* notice;
    const char* side;
    const char* what;
  } counted[] = {{&NET_Side.RefusedRead, "READ", "MESSAGES"},
                 {&NET_Side.RefusedCtrl, "CTRL", "MESSAGES"},
                 {&NET_Side.RefusedCars, "READ", "CAR STATES"},
                 {&c.NoPlace, "CTRL", "JOINS"},
                 {&c.RefusedResults, "CTRL", "RACE RESULTS"},
                 {&c.RefusedStates, "CTRL", "STATE CHANGES"}};
  for (const auto& k : counted) {
    uint32_t count = 0;
    if (NET_NoticeDue(k.notice, &count)) More(k.side, count, k.what);
  }
  NET_FlushChat();
}

bool NET_ReadMessage(const char* side, uint32_t sender, const void* message, uint32_t length,
                     NETMSGVIEW* out) {
  if (!message || length < XNETMSG_HEADERSIZE) {
    NET_LogRefused(side, -1, length, sender);
    return false;
  }
  out->sender = sender;
  out->h = NET_GetHeader(static_cast<const uint8_t*>(message));
  out->type = NET_MessageType(out->h.Type);
  out->body = static_cast<const uint8_t*>(message) + XNETMSG_HEADERSIZE;
  out->bodyLength = static_cast<int32_t>(length > 0x7FFFFFF ? 0x7FFFFFF : length) - XNETMSG_HEADERSIZE;
  return true;
}
