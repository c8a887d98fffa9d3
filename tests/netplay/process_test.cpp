// A member in another process over 127.0.0.1: killed with SIGKILL, its
// player is destroyed for the host within a second.
#include <gtest/gtest.h>

#include "netlink/lsys_net.h"
#include "tests/netplay/child.h"
#include "tests/netplay/netplay_fixture.h"

namespace {

namespace np = plat::netplay;
using ztest::Got;

class NetplayProcess : public ztest::NetplayTest {};

TEST_F(NetplayProcess, KilledMemberIsDestroyedWithinASecond) {
  // A session of the game's own application, which the child looks for.
  const np::Guid game = ztest::ServiceGuid(LSYS_NetBuiltinAppGuid);
  np::Instance* h = Host("S", 0, &game);
  uint32_t server = 0;
  ASSERT_EQ(np::CreatePlayer(h, "SERVER", "SERVER", &server), np::kOk);
  ztest::Child kid;
  ASSERT_TRUE(kid.Start({ZENTROVA_NETPEER, "join", "Kid", "20"},
                        {"ZENTROVA_NET_PORT=0", "ZENTROVA_NET_HOSTS=127.0.0.1:" + std::to_string(np::DiscoveryPort(h))}));
  // The host pumps while the child finds and joins it.
  ASSERT_TRUE(kid.WaitLine("JOINED", 10000, nullptr, true)) << kid.Output();
  ASSERT_TRUE(kid.Output().find("JOINED ") != std::string::npos);
  const uint32_t id = static_cast<uint32_t>(std::stoul(kid.Output().substr(kid.Output().find("JOINED ") + 7)));
  char name[256];
  ASSERT_EQ(np::GetPlayerName(h, id, name, nullptr), np::kOk);
  EXPECT_STREQ(name, "Kid");
  Drain(h);
  kid.Kill();
  EXPECT_GE(WaitEvent(h, np::kSysDestroyPlayer, id, 1000), 0);
}

}  // namespace
