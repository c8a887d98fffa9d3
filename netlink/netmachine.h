// The network part of the game's global record, one copy per machine: a
// machine record keeps it while another machine is selected, with the
// player side's wait state NET_Side.
#pragma once
#include <cstdint>

#include "net/types.h"

// The selected machine's player side: what the waits poll, and what the
// message handlers keep.
extern TNETSIDE NET_Side;

struct TNETMACHINEVARS {
  XSTATE XState;
  int32_t XSubState;
  int32_t NetConnected;
  int32_t NetSlots;
  int32_t NetMaxPlayers;
  int32_t NetGameMode;
  CTRL_PLAYER NetPlayers[NET_MAXPLAYERS];
  int32_t NetBestTime;
  int32_t SessionLost;
  uint32_t NetPlayerId;
  int32_t NetPlayerOrder;
  int32_t IsController;
  int32_t NetProtocol;
  int32_t NetJoinRefused;
  int32_t NetControllerMax;
  int32_t GameMode;
  int32_t DrivenCar;
  int32_t WatchedCar;
  TNETSIDE Side;
};

// A machine with no network: state 1, no provider, no car.
void NET_ResetMachineVars(TNETMACHINEVARS* vars);
// From the global record into vars, and back.
void NET_SaveMachineVars(TNETMACHINEVARS* vars);
void NET_LoadMachineVars(const TNETMACHINEVARS* vars);
