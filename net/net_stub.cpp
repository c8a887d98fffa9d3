// Connected when a session is open and the controller accepted this
// player.
#include "net/net.h"
#include "net/netplayer.h"
#include "shell/sbvar.h"

int32_t NET_IsConnected() { return SB_Var.XState != XSTATE_NONET && SB_Var.NetConnected ? 1 : 0; }
