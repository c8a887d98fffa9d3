// The network players as the race sees them: the local network state, the
// session's player records, and the calls the race makes to report its
// progress to the game controller.
#pragma once
#include <cstdint>

#include "net/types.h"

// The states' names in log lines, by state; entry 0 is empty.
constexpr int32_t NET_NBXSTATENAMES = 11;
extern const char* const NET_XStateNames[NET_NBXSTATENAMES];

// Reports the new network state to the controller and waits for its echo;
// non-zero on success.
int32_t NET_SetControllerStatus(XSTATE state, int32_t subState);
// Race progress of the driven car: 17 finished, 18 out of time (value 1) or
// back in time (value 0), 0 the end of the race.
int32_t NET_SendRaceProgress(int32_t message, int32_t value);
// The session's name of a player, or null.
const char* LS_NetGetPlayerName(uint32_t playerId);
// Asks the controller for every player's vehicle setup and waits up to
// 30000 ms for one: 1 when one came.
int32_t NET_RequestVehicleSetups();
// Sends the local car's vehicle setup (message 9) to the controller, waits
// for its acknowledgement (30000 ms at most), then sends it to the other
// players.
struct TVEHICLESETUP;
void NET_SendVehicleSetup(int32_t order, const TVEHICLESETUP* setup);
