// The game's network pump, called by the race frame, the waits, the
// console and file loading; on the controller's machine it also follows
// the newcomers' orders and drops silent players. A file of its own, so
// that tests which fake it link without it.
#include "net/ctrl.h"
#include "net/net.h"
#include "net/netgame.h"
#include "netlink/ls_net.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/error.h"

void NET_UpdateEvent() {
  if (SB_Var.XState == XSTATE_NONET || SB_Var.SessionLost) return;
  if (LS_BmapLockCount) {
    LS_Error(23, "Cannot UpdateEvent while bmap locked");
    return;
  }
  LS_NetUpdateEvent();
  NET_FlushNotices();
  if (!SB_Var.IsController || SB_Var.XState == XSTATE_NONET) return;
  // Followed here, never waited for: the race frame runs this pump.
  CTRL_FollowPlayerOrders();
  if (SB_Var.IsController && SB_Var.XState != XSTATE_NONET) CTRL_DropSilentPlayers();
}
