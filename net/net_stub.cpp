// No network layer yet: connected only when a session has been opened and
// the controller accepted this player, which nothing does so far.
#include "net/net.h"

#include "net/netplayer.h"
#include "shell/sbvar.h"

int32_t NET_IsConnected() { return SB_Var.XState != XSTATE_NONET && SB_Var.NetConnected ? 1 : 0; }
