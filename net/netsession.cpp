// Opening and closing the network, choosing its provider, the session's
// arrivals and departures on the player side, and the game types' names.
#include <cstring>

#include "net/ctrl.h"
#include "net/netgame.h"
#include "netlink/ls_net.h"
#include "netlink/netenum.h"
#include "shell/console.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"

namespace {

int32_t Fail(const char* text) {
  SB_ConsolePrintf("%s", text);
  if (SB_Hooks.BreakBatch) SB_Hooks.BreakBatch();
  return 0;
}

const char* SessionName(uint32_t id) {
  const char* name = LS_NetGetPlayerName(id);
  return name ? name : "";
}

}  // namespace

int32_t NET_Open() {
  if (SB_Var.XState != XSTATE_NONET) {
    SB_ConsolePrintf("Network already inited...");
    return 1;
  }
  SB_Var.NetConnected = SB_Var.IsController = 0;
  LS_NETDRIVER driver{};
  LS_NetGetDriver(&driver);
  NET_Side.DriverKind = driver.Kind;
  NET_Side.DriverName = driver.Name;
  SB_ConsolePrintf("Net Driver is %s", driver.Name ? driver.Name : "");
  if (SB_Var.NetProtocol == -1) return Fail("No protocol defined...");
  LS_NETCONFIG c{};
  c.Size = sizeof c;
  c.LocalPlayerId = 0xFFFFFFFF;
  c.MaxPlayers = NET_MAXPLAYERS;
  c.Protocol = static_cast<uint32_t>(SB_Var.NetProtocol);
  c.SendFailure = CTRL_SendFailure;
  c.ServerMessage = CTRL_HandleMessage;
  c.ServerSystem = CTRL_HandleSystemMessage;
  c.PlayerSystem = NET_HandleSystemMessage;
  c.PlayerMessage = NET_HandleMessage;
  const int32_t result = LS_NetInit(&c);
  if (result != 1) {
    SB_ConsolePrintf("Failed while initing network... (Error:%lx)", static_cast<unsigned long>(result));
    if (SB_Hooks.BreakBatch) SB_Hooks.BreakBatch();
    return 0;
  }
  SB_Var.XState = XSTATE_NETINITED;
  SB_ConsolePrintf("Networked opened !");
  SB_Var.SessionLost = 0;
  return 1;
}

int32_t NET_Close() {
  if (SB_Var.IsController) CTRL_Free();
  if (LS_NetShutdown() != 1) SB_ConsolePrintf("LS_NetShutdown");
  SB_Var.XState = XSTATE_NONET;
  SB_Var.NetConnected = SB_Var.IsController = 0;
  SB_Var.NetPlayerId = 0;
  SB_ConsolePrintf("Networked closed !");
  return 1;
}

int32_t NET_SetProtocol(int32_t provider) {
  int32_t count = 0;
  NET_ENUMENTRY* list = NET_GetProtocols(&count);
  const NET_ENUMENTRY* found = nullptr;
  for (int32_t i = 0; i < count && !found; ++i)
    if (provider >= 0 && list[i].Id == static_cast<uint32_t>(provider)) found = &list[i];
  int32_t result = 0;
  if (found) {
    SB_ConsolePrintf("Protocol %s set", found->Name);
    SB_Var.NetProtocol = provider;
    result = 1;
  } else {
    SB_ConsolePrintf("Bad protocol...");
  }
  if (list) SB_Release(list);
  return result;
}

void NET_HandleSystemMessage(uint32_t player, uint32_t kind) {
  if (kind == 1)
    SB_ConsolePrintf("[SYS ][PLAYER '%s' of ID:%ld has arrived...]", SessionName(player),
                     static_cast<long>(player));
  if (kind != 2) return;
  SB_ConsolePrintf("[SYS ][PLAYER '%s' of ID:%ld is history...]", SessionName(player),
                   static_cast<long>(player));
  if (player != LS_NetCurrent()->Config.ControllerId) return;
  SB_ConsolePrintf("[SYS ][SESSION LOST...]");
  SB_Var.SessionLost = 1;
  NET_Close();
}

const char* NET_GameTypeName(int32_t type) {
  switch (type) {
    case CTRL_FREERACE: return "FREE-RACE      ";
    case CTRL_RACE: return "RACE           ";
    case CTRL_MULTIRACE: return "MULTI-RACE     ";
    case CTRL_CONTROLLEDRACE: return "CONTROLLED-RACE";
    default: LS_Error(0, "[XNET]Unknown group description"); return "";
  }
}
