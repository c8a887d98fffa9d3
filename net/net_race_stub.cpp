// The race's calls into the network layer, until the network exists: no
// controller answers, no session knows a name and none sends setups. Weak, so that tests can
// put recording fakes in their place.
#include "net/netplayer.h"

__attribute__((weak)) int32_t NET_SetControllerStatus(XSTATE, int32_t) { return 0; }
__attribute__((weak)) int32_t NET_SendRaceProgress(int32_t, int32_t) { return 1; }
__attribute__((weak)) const char* LS_NetGetPlayerName(uint32_t) { return nullptr; }
__attribute__((weak)) void NET_RequestVehicleSetups() {}
