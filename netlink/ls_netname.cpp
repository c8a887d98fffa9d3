// A player's short name through LS_Net. A file of its own, so that tests
// which fake it (the race rules) link without the rest of LS_Net.
#include "netlink/ls_net.h"
#include "system/bmap.h"

const char* LS_NetGetPlayerName(uint32_t playerId) {
  if (LSI_RefuseWhileLocked("LS_NetGetPlayerName") || !LS_NetCurrent()->Config.IsOpen) return nullptr;
  return LSYS_NetGetPlayerName(playerId);
}
