// Sends the local car's vehicle setup to the controller, which keeps it
// for late joiners, then to every other logged player.
#include "net/netgame.h"
#include "net/netplayer.h"
#include "netlink/ls_net.h"
#include "platform/clock.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "system/input.h"
#include "vehicles/setups.h"

namespace {

// The controller's acknowledgement: at most this long, so that a lost
// controller cannot hold the race set-up for ever.
constexpr uint32_t kDeliveryWaitMs = 30000;

void WaitDelivered(int32_t sequence) {
  const uint32_t start = LS_GetTime();
  for (uint32_t pass = 0; pass <= kDeliveryWaitMs + 1000; ++pass) {
    if (NETI_IsDelivered(static_cast<uint32_t>(sequence)) || NETI_IsFailed(static_cast<uint32_t>(sequence)) ||
        SB_Var.XState == XSTATE_NONET)
      return;
    if (LS_GetTime() - start >= kDeliveryWaitMs) return;
    NET_WaitStep();
  }
}

}  // namespace

void NET_SendVehicleSetup(int32_t order, const TVEHICLESETUP* setup) {
  if (SB_Var.XState <= XSTATE_NONET || !setup) return;
  SB_ConsolePrintf("[SEND][SENDVEHICLESETUP %ld", static_cast<long>(order));
  uint8_t m[XNET_SETUPMSGSIZE];
  NET_PutHeader(m, CTRL_VEHICLESETUP, order, 1);
  SB_PackVehicleSetup(*setup, m + XNETMSG_HEADERSIZE);
  const int32_t sequence = NET_SendToController(m, sizeof m, NET_GUARANTEED);
  if (sequence != -2) WaitDelivered(sequence);
  for (int32_t i = 0; i < SB_Var.NetSlots && i < NET_MAXPLAYERS; ++i) {
    if (i == SB_Var.NetPlayerOrder || !SB_Var.NetPlayers[i].InUse) continue;
    const uint32_t id = SB_Var.NetPlayers[i].Id;
    LS_NetPlayerSendMessage(1, &id, m, sizeof m, NET_GUARANTEED);
  }
}
