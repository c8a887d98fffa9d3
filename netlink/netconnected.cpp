// Whether a session is open, and whether the controller accepted this
// player in it.
#include "netlink/netlink.h"
#include "shell/sbvar.h"

int32_t NET_IsConnected() { return SB_Var.XState != XSTATE_NONET && SB_Var.NetConnected ? 1 : 0; }

int32_t NET_IsSessionOpen() { return SB_Var.XState >= XSTATE_CONNECTED ? 1 : 0; }
