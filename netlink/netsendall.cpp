// A game message to every other player of the session, in the mode given.
// A file of its own, so that tests which fake it link without LS_Net.
#include "netlink/ls_net.h"
#include "netlink/netlink.h"

int32_t NET_SendToAll(const void* message, int32_t length, int32_t mode) {
  if (length < 0) return -2;
  const auto* all = reinterpret_cast<const uint32_t*>(uintptr_t{NET_TOALL});
  return LS_NetPlayerSendMessage(0, all, message, static_cast<uint32_t>(length), mode);
}
