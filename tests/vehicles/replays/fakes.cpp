// Recording fakes in place of the network layer's stubs: what is sent to
// all players, and the player order from the controller.
#include <string>

#include "net/net.h"
#include "tests/vehicles/replays/replay_fixture.h"

int32_t NET_SendToAll(const void* message, int32_t length, int32_t mode) {
  ztest::g_sent.push_back(std::to_string(mode) + ":" + std::string(static_cast<const char*>(message), length));
  return 1;
}
int32_t NET_GetMyPlayerOrder() { return ztest::g_playerOrder; }
