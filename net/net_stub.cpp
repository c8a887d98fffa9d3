// No network layer yet: connected only when a session has been opened and
// the controller accepted this player, which nothing does so far; nothing
// to pump, no list fetched, and no race or network word but "CLOSENET",
// which has nothing to close. Weak, so that tests can put recording fakes
// in their place.
#include <cstring>

#include "net/net.h"
#include "net/netplayer.h"
#include "shell/sbvar.h"

int32_t NET_IsConnected() { return SB_Var.XState != XSTATE_NONET && SB_Var.NetConnected ? 1 : 0; }

__attribute__((weak)) void NET_UpdateEvent() {}

__attribute__((weak)) int32_t SB_NetConsoleCommand(const char*, const char*, const char*, const char*,
                                                   const char*, const char* keyword) {
  return keyword && std::strcmp(keyword, "CLOSENET") == 0 ? 1 : 0;
}

__attribute__((weak)) void NET_FreeConsoleList() {}
