// Releasing the list the network console words leave.
#include "net/net.h"
#include "net/netconsolelist.h"
#include "shell/owner.h"

void NET_FreeConsoleList() {
  if (NET_ENUMENTRY* list = NET_TakeConsoleList()) SB_Release(list);
}
