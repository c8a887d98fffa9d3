// No network layer yet: never connected, nothing to pump, and no race or
// network word but "CLOSENET", which has nothing to close. Calls are noted
// for tests.
#include <cstring>

#include "net/net.h"
#include "net/net_stub.h"

NET_STUBLOG& NET_StubLog() {
  static NET_STUBLOG log;
  return log;
}

int32_t NET_IsConnected() { return 0; }

void NET_UpdateEvent() {
  NET_STUBLOG& log = NET_StubLog();
  ++log.Updates;
  if (log.OnUpdate) log.OnUpdate();
}

int32_t SB_NetConsoleCommand(const char* first, const char* second, const char* third, const char* fourth,
                             const char* rest, const char* keyword) {
  NET_STUBLOG& log = NET_StubLog();
  ++log.Commands;
  const char* words[6] = {first, second, third, fourth, rest, keyword};
  for (int i = 0; i < 6; ++i) log.Words[i] = words[i] ? words[i] : "";
  return keyword && std::strcmp(keyword, "CLOSENET") == 0 ? 1 : 0;
}
