// A peer on the local network through the game's transport, for tests and
// for trying two machines by hand: hosts a session or finds and joins one,
// then prints what arrives, one line each, and answers "ping" with "pong".
//   netpeer host SESSION PLAYER [SECONDS]
//   netpeer join PLAYER [SECONDS]
// Lines: "HOSTING <discovery port>", "FOUND <session>", "JOINED <id>",
// "ARRIVED <id> <name>", "LEFT <id>", "MESSAGE <from> <to> <text>",
// "PONG <from>", "ERROR <what>".
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "netlink/lsys_net.h"
#include "platform/netplay/netplay.h"
#include "system/error.h"

namespace {

using Clock = std::chrono::steady_clock;

bool Before(Clock::time_point end) { return Clock::now() < end; }

int Fail(const char* what) {
  std::printf("ERROR %s\n", what);
  return 1;
}

// Finds a session by broadcast (or the host list) and joins it.
bool Join(const char* player, Clock::time_point end) {
  while (Before(end)) {
    LSYS_NetEnumerateSessions(
        [](const char* name, int32_t) {
          std::printf("FOUND %s\n", name);
          return 1;
        },
        0);
    if (LSYS_NetCurrent()->NbSessions > 0) {
      if (LSYS_NetJoinSession(player, 0) != 1) return false;
      LSYS_NetEnumeratePlayers(nullptr);  // learns the controller
      std::printf("JOINED %u\n", LSYS_NetCurrent()->Config->LocalPlayerId);
      const uint32_t* all = reinterpret_cast<const uint32_t*>(uintptr_t{0x7FFFFFFF});
      LSYS_NetSend(LSYS_NetCurrent()->Config->LocalPlayerId, 0, all, "ping", 4);
      return true;
    }
  }
  return false;
}

// Prints everything that arrives until the end; answers pings.
void Pump(Clock::time_point end) {
  char buf[1100];
  while (Before(end)) {
    uint32_t to = 0, from = 0, size = sizeof buf - 1;
    const int32_t kind = LSYS_NetReceive(&to, &from, buf, &size);
    if (kind == 0) {
      usleep(5000);
      continue;
    }
    if (kind == 1 && size == 1) std::printf("ARRIVED %u %s\n", from, buf);
    if (kind == 1 && size == 2) std::printf("LEFT %u\n", from);
    if (kind != 2) continue;
    buf[size] = 0;
    std::printf("MESSAGE %u %u %s\n", from, to, buf);
    if (std::strcmp(buf, "ping") == 0) LSYS_NetSend(to, 1, &from, "pong", 4);
    if (std::strcmp(buf, "pong") == 0) std::printf("PONG %u\n", from);
  }
}

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IOLBF, 0);
  const bool host = argc >= 4 && std::strcmp(argv[1], "host") == 0;
  const bool join = argc >= 3 && std::strcmp(argv[1], "join") == 0;
  if (!host && !join) {
    std::fprintf(stderr, "usage: netpeer host SESSION PLAYER [SECONDS] | netpeer join PLAYER [SECONDS]\n");
    return 2;
  }
  const int secondsAt = host ? 4 : 3;
  const char* seconds = argc > secondsAt ? argv[secondsAt] : "60";
  const auto end = Clock::now() + std::chrono::seconds(std::atoi(seconds));
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  static LS_NETCONFIG config;
  config.Size = sizeof config;
  config.LocalPlayerId = 0xFFFFFFFF;
  config.MaxPlayers = 32;
  LSYS_NetEnumerateProviders(nullptr);
  if (LSYS_NetOpen(&config) != 1) return Fail("open");
  if (host) {
    if (LSYS_NetCreateSession(32, argv[2], argv[3]) != 1) return Fail("create");
    std::printf("HOSTING %u\n", plat::netplay::DiscoveryPort(LSYS_NetCurrent()->Object));
  } else if (!Join(argv[2], end)) {
    return Fail("join");
  }
  Pump(end);
  LSYS_NetClose();
  return 0;
}
