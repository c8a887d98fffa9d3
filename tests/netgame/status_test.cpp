// Changes of the local network state over a session on 127.0.0.1: the
// report to the controller, the wait for its echo, a failed report and a
// report never echoed.
#include <gtest/gtest.h>

#include "net/netgame.h"
#include "net/netplayer.h"
#include "platform/clock.h"
#include "shell/console.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "tests/netlink/lsnet_fixture.h"
#include "vehicles/bytes.h"

namespace {

namespace np = plat::netplay;

// What the stand-in controller received, and whether it echoes.
std::vector<std::pair<int32_t, int32_t>> g_reports;
bool g_echo = true;
int g_breaks = 0;

class NetStatus : public ztest::LsNetTest {
 protected:
  void SetUp() override {
    LsNetTest::SetUp();
    g_reports.clear();
    g_echo = true;
    g_breaks = 0;
    LS_NetSelect(&host_);
    ASSERT_EQ(LS_NetEnumerateProtocols(nullptr), 1);
    LS_NETCONFIG c = Config();
    c.PlayerMessage = NET_HandleMessage;
    c.ServerMessage = [](uint32_t, const void* m, uint32_t n) {
      const XNETMSG h = NET_GetHeader(static_cast<const uint8_t*>(m));
      if (n < 12 || h.Type != CTRL_SETPLAYERSTATUS) return;
      g_reports.push_back({h.Param1, h.Param2});
      if (!g_echo) return;
      CTRL_PLAYER p{};
      p.Id = SB_Var.NetPlayerId;
      p.InUse = 1;
      p.XState = static_cast<uint8_t>(h.Param1);
      p.SubState = static_cast<uint8_t>(h.Param2);
      uint8_t out[XNET_UPDATEMSGSIZE];
      NET_PutHeader(out, CTRL_UPDATENETPLAYER, 0, 0);
      NET_PutPlayer(out + 12, p);
      LS_NetServerSendMessage(0, ztest::kAll, out, sizeof out);
    };
    ASSERT_EQ(LS_NetInit(&c), 1);
    ASSERT_EQ(LS_NetCreateSession(32, "S", "Hugo"), 1);
    SB_Var.NetPlayerId = Hugo();
    SB_Var.NetPlayers[0].Id = Hugo();
    SB_Var.NetPlayerOrder = SB_Var.DrivenCar = 0;
    SB_Var.XState = XSTATE_CONNECTED;
    SB_Var.XSubState = 1;
    SB_Hooks.BreakBatch = [] { ++g_breaks; };
    NET_SetWaitStep([] {
      np::Settle();
      plat::SleepMs(100);
    });
  }
  void TearDown() override {
    NET_SetWaitStep(nullptr);
    SB_Hooks = {};
    LsNetTest::TearDown();
  }
};

TEST_F(NetStatus, EchoEndsTheWaitAndTheSameStateSendsOnlyWithSubStateZero) {
  // The notices of the last race are given again in this one.
  NET_Side.RefusedCars.Count = 4;
  NET_Side.EndOfRaceShown = SB_Var.OrderMismatchShown = 1;
  const uint32_t start = plat::TickMs();
  EXPECT_EQ(NET_SetControllerStatus(XSTATE_LOADING, 0), 1);
  EXPECT_EQ(NET_Side.RefusedCars.Count + NET_Side.EndOfRaceShown + SB_Var.OrderMismatchShown, 0u);
  EXPECT_LT(plat::TickMs() - start, 30000u);
  EXPECT_EQ(SB_Var.XState, XSTATE_LOADING);
  EXPECT_EQ(SB_Var.XSubState, 1);
  EXPECT_EQ(NET_SetControllerStatus(XSTATE_LOADING, 1), 1);  // nothing sent
  EXPECT_EQ(NET_SetControllerStatus(XSTATE_LOADING, 0), 1);  // sent again
  EXPECT_EQ(g_reports, (std::vector<std::pair<int32_t, int32_t>>{{4, 1}, {4, 1}}));
  EXPECT_EQ(g_breaks, 0);
}

TEST_F(NetStatus, FailedSendRestoresTheStateAndStopsTheScript) {
  LS_NetShutdown();
  EXPECT_EQ(NET_SetControllerStatus(XSTATE_LOADING, 0), 0);
  EXPECT_EQ(SB_Var.XState, XSTATE_CONNECTED);
  EXPECT_EQ(g_breaks, 1);
  const auto& l = SB_PrintedLines();
  EXPECT_NE(std::find(l.begin(), l.end(), "[XNET]SET CONTROLLER STATUS FAILED..."), l.end());
}

TEST_F(NetStatus, TimeOutAfterThirtySecondsKeepsTheNewState) {
  g_echo = false;
  const uint32_t start = plat::TickMs();
  EXPECT_EQ(NET_SetControllerStatus(XSTATE_LOADING, 0), 0);
  EXPECT_GE(plat::TickMs() - start, 30000u);
  EXPECT_LT(plat::TickMs() - start, 30300u);
  EXPECT_EQ(SB_Var.XState, XSTATE_LOADING);
  const auto& l = SB_PrintedLines();
  EXPECT_NE(std::find(l.begin(), l.end(), "[XNET]SET CONTROLLER STATUS TIMEOUT..."), l.end());
}

TEST_F(NetStatus, NoStateChangeWithoutANetwork) {
  SB_Var.XState = XSTATE_NONET;
  EXPECT_EQ(NET_SetControllerStatus(XSTATE_LOADING, 0), 1);
  EXPECT_EQ(SB_Var.XState, XSTATE_NONET);
  EXPECT_TRUE(g_reports.empty());
}

}  // namespace
