// The local player's order, which the controller gave: its car index. A
// file of its own, so that tests which fake it link without it.
#include "netlink/netlink.h"
#include "shell/sbvar.h"

int32_t NET_GetMyPlayerOrder() { return SB_Var.NetPlayerOrder; }
