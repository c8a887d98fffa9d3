// The player side's sends: short messages to the controller, race
// progress, texts to all, and the check of a player's name.
#include <cstring>

#include "net/net.h"
#include "net/netgame.h"
#include "net/netplayer.h"
#include "netlink/ls_net.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "vehicles/bytes.h"

namespace {

bool NameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_';
}

}  // namespace

int32_t NET_SendToController(const void* message, int32_t length, int32_t mode) {
  if (length < 0) return -2;
  const auto* controller = reinterpret_cast<const uint32_t*>(uintptr_t{NET_TOCONTROLLER});
  return LS_NetPlayerSendMessage(0, controller, message, static_cast<uint32_t>(length), mode);
}

int32_t NET_SendShort(int32_t type, int32_t param1, int32_t param2) {
  uint8_t m[XNETMSG_HEADERSIZE];
  NET_PutHeader(m, type, param1, param2);
  return NET_SendToController(m, sizeof m, NET_GUARANTEED) == -2 ? 0 : 1;
}

int32_t NET_SendProgress(int32_t type, int32_t flag) {
  const TCAR* car = NET_DrivenCar();
  uint32_t lap = SB_NOTIME, race = SB_NOTIME, distance = 0;
  if (car) {
    const bool done = car->Laps >= SB_Var.NbLaps && !(car->OutOfTime && !car->Finished);
    if (done) {
      lap = static_cast<uint32_t>(SB_Var.LocalBestLap);
      race = static_cast<uint32_t>(SB_Var.LocalRaceTime);
    }
    const double d = car->Distance;
    distance = d > -2147483648.0 && d < 2147483647.0 ? static_cast<uint32_t>(static_cast<int32_t>(d)) : 0;
  }
  uint8_t m[XNET_PROGRESSMSGSIZE];
  NET_PutHeader(m, type, SB_Var.NetPlayerOrder, flag);
  SB_PutLong(m + 12, lap);
  SB_PutLong(m + 16, race);
  SB_PutLong(m + 20, distance);
  return NET_SendToAll(m, sizeof m, NET_GUARANTEED);
}

int32_t NET_Broadcast(const char* text) {
  if (SB_Var.XState < XSTATE_NONET || !text) return 0;
  uint8_t m[XNETMSG_HEADERSIZE + XNET_MAXNAME + 1];
  NET_PutHeader(m, XNET_TEXT, 0, 0);
  const size_t n = strnlen(text, XNET_MAXNAME);
  std::memcpy(m + XNETMSG_HEADERSIZE, text, n);
  m[XNETMSG_HEADERSIZE + n] = 0;
  const int32_t sent = NET_SendToAll(m, static_cast<int32_t>(XNETMSG_HEADERSIZE + n + 1), NET_PLAIN);
  SB_ConsolePrintf(sent == -2 ? "[XNET]Broadcast failed." : "[XNET]Message sent.");
  return sent == -2 ? 0 : 1;
}

char* NET_CheckPlayerName(char* name) {
  if (!name) return name;
  char* out = name;
  for (const char* in = name; *in; ++in) {
    if (NameChar(*in)) *out++ = *in;
  }
  *out = 0;
  return name;
}
