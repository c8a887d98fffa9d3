// The copy of the global record's network fields each machine keeps.
#include "netlink/netmachine.h"

#include <cstring>

#include "shell/sbvar.h"

namespace {

// The same list both ways: copies each field from one record to the other.
template <typename From, typename To>
void Copy(const From& f, To& t, const TNETSIDE& side, TNETSIDE& sideOut) {
  t.XState = f.XState;
  t.XSubState = f.XSubState;
  t.NetConnected = f.NetConnected;
  t.NetSlots = f.NetSlots;
  t.NetMaxPlayers = f.NetMaxPlayers;
  t.NetGameMode = f.NetGameMode;
  std::memcpy(t.NetPlayers, f.NetPlayers, sizeof t.NetPlayers);
  t.NetBestTime = f.NetBestTime;
  t.SessionLost = f.SessionLost;
  t.NetPlayerId = f.NetPlayerId;
  t.NetPlayerOrder = f.NetPlayerOrder;
  t.IsController = f.IsController;
  t.NetProtocol = f.NetProtocol;
  t.NetJoinRefused = f.NetJoinRefused;
  t.NetControllerMax = f.NetControllerMax;
  t.GameMode = f.GameMode;
  t.DrivenCar = f.DrivenCar;
  t.WatchedCar = f.WatchedCar;
  sideOut = side;
}

}  // namespace

TNETSIDE NET_Side{};

void NET_ResetMachineVars(TNETMACHINEVARS* vars) {
  std::memset(vars, 0, sizeof *vars);
  vars->XState = XSTATE_NONET;
  vars->NetProtocol = -1;
  vars->DrivenCar = -1;
  vars->WatchedCar = -1;
}

void NET_SaveMachineVars(TNETMACHINEVARS* vars) { Copy(SB_Var, *vars, NET_Side, vars->Side); }

void NET_LoadMachineVars(const TNETMACHINEVARS* vars) { Copy(*vars, SB_Var, vars->Side, NET_Side); }
