// The player side's sends that wait or may send nothing, over 127.0.0.1:
// race progress by game mode and state, the vehicle setup's wait for the
// controller bounded at 30 s, the request for every setup, and a join
// whose status is never echoed.
#include "system/bmap.h"
#include "tests/netgame/session_fixture.h"

namespace {

namespace np = plat::netplay;

class NetSends : public ztest::NetSessionTest {
 protected:
  // Mia in a running race, driving car 1.
  void MiaRacing() {
    Create(CTRL_RACE, 4);
    ASSERT_EQ(JoinAs(mia_, "Mia"), 1);
    for (int32_t i = 0; i < 2; ++i) {
      cars_[i] = TCAR{};
      SB_Var.Cars[i] = &cars_[i];
    }
    SB_Var.NbCars = 2;
    SB_Var.GameMode = CTRL_RACE;
  }
  void TearDown() override {
    for (TCAR*& c : SB_Var.Cars) c = nullptr;
    SB_Var.NbCars = 0;
    NetSessionTest::TearDown();
  }
  TCAR cars_[2];
};

TEST_F(NetSends, RaceProgressByModeAndState) {
  MiaRacing();
  struct Row {
    const char* what;
    int32_t mode, driven, connected;
    XSTATE state;
    int32_t type, result;
    bool sent;
    XSTATE after;
  };
  const Row rows[] = {
      {"finish", CTRL_RACE, 1, 1, XSTATE_PLAYING, XNET_RACEFINISHED, 1, true, XSTATE_PLAYING},
      {"out of time", CTRL_RACE, 1, 1, XSTATE_PLAYING, XNET_OUTOFTIME, 1, true, XSTATE_PLAYING},
      {"training", 0, 1, 1, XSTATE_PLAYING, XNET_RACEFINISHED, 1, false, XSTATE_PLAYING},
      {"no driven car", CTRL_RACE, -1, 1, XSTATE_PLAYING, XNET_RACEFINISHED, 1, false, XSTATE_PLAYING},
      {"race over here", CTRL_RACE, 1, 1, XSTATE_ENDOFRACE, XNET_RACEFINISHED, 1, false, XSTATE_ENDOFRACE},
      {"not connected", CTRL_RACE, 1, 0, XSTATE_PLAYING, XNET_RACEFINISHED, 0, false, XSTATE_PLAYING},
      {"end from the HUD", CTRL_RACE, 1, 1, XSTATE_PLAYING, 0, 1, true, XSTATE_ENDOFRACE},
      {"end before the race runs", CTRL_RACE, 1, 1, XSTATE_WAIT4GO, 0, 1, false, XSTATE_WAIT4GO},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    LS_NetSelect(&mia_);
    SB_Var.GameMode = r.mode;
    SB_Var.DrivenCar = r.driven;
    SB_Var.NetConnected = r.connected;
    SB_Var.XState = r.state;
    const uint32_t sequence = mia_.Sequence;
    EXPECT_EQ(NET_SendRaceProgress(r.type, 1), r.result);
    EXPECT_EQ(mia_.Sequence != sequence, r.sent);
    EXPECT_EQ(SB_Var.XState, r.after);
  }
}

TEST_F(NetSends, SetupWaitsThirtySecondsAtMostForTheController) {
  MiaRacing();
  quiet_ = &host_;
  TVEHICLESETUP setup{};
  const uint32_t start = plat::TickMs();
  const uint32_t sequence = mia_.Sequence;
  NET_SendVehicleSetup(1, &setup);
  EXPECT_GE(plat::TickMs() - start, 30000u);
  EXPECT_LT(plat::TickMs() - start, 31000u);
  EXPECT_EQ(mia_.Sequence - sequence, 2u);  // then to Hugo all the same
  EXPECT_TRUE(Printed("[SEND][SENDVEHICLESETUP 1"));
}

TEST_F(NetSends, EverySetupAskedOnlyWhenConnectedAndAnswered) {
  MiaRacing();
  SB_Var.XState = XSTATE_NETINITED;
  EXPECT_EQ(NET_RequestVehicleSetups(), 0);
  EXPECT_TRUE(Printed("[XNET]You are not connected !"));
  SB_Var.XState = XSTATE_LOADING;
  // The controller holds no setup yet: its empty answer ends the wait at
  // once, and paints no car.
  const uint32_t start = plat::TickMs();
  EXPECT_EQ(NET_RequestVehicleSetups(), 1);
  EXPECT_LT(plat::TickMs() - start, 1000u);
  EXPECT_FALSE(Printed("[XNET]Cannot get vehicle setup !!!"));
  for (const TVEHICLESETUP& s : SB_Var.CarSetups) EXPECT_EQ(s.Changed, 0);
  TVEHICLESETUP setup{};
  SB_ClearPrintedLines();
  NET_SendVehicleSetup(1, &setup);
  // Hugo's copy has it too.
  ASSERT_TRUE(Until([] { return ztest::CountPrinted("[READ][VEHICLE SETUP]") == 1; }));
  SB_ClearPrintedLines();
  EXPECT_EQ(NET_RequestVehicleSetups(), 1);
  EXPECT_EQ(NET_Side.SetupsReceived, 1);
  // Holding one, the controller answers with that one alone.
  Until([] { return false; }, 10);
  EXPECT_EQ(ztest::CountPrinted("[READ][VEHICLE SETUP]"), 1);
  EXPECT_TRUE(Printed("[XNET][receiving color from 1]"));
}

// The controller gives Mia her order, then falls silent: her status is
// never echoed and she retreats after 30 s and 45 s.
TEST_F(NetSends, JoinWithoutTheStatusEchoRetreats) {
  Create(CTRL_RACE, 4);
  static TLSNET* host;
  host = &host_;
  NET_SetWaitStep([] {
    if (NET_Side.OrderReceived) quiet_ = host;
    Step();
  });
  const uint32_t start = plat::TickMs();
  EXPECT_EQ(JoinAs(mia_, "Mia"), 0);
  EXPECT_GE(plat::TickMs() - start, 75000u);
  EXPECT_LT(plat::TickMs() - start, 77000u);
  EXPECT_TRUE(Printed("[XNET]SET CONTROLLER STATUS TIMEOUT..."));
  EXPECT_TRUE(Printed("[XNET][XNET_PlayerOrderUpdated2 not received...]"));
  EXPECT_EQ(SB_Var.XState, XSTATE_NETINITED);
  EXPECT_EQ(SB_Var.NetConnected, 0);
  EXPECT_GE(breaks_, 1);
}

// The game's pump with a bitmap locked raises error 23 and delivers
// nothing; an unknown game type's name raises error 0.
TEST_F(NetSends, PumpRefusedWhileABitmapIsLockedAndUnknownGameTypes) {
  MiaRacing();
  LS_NetSelect(&host_);
  SB_Var.XState = XSTATE_CONNECTED;
  LS_NetSelect(&mia_);
  ASSERT_EQ(NET_Broadcast("hi"), 1);
  LS_NetSelect(&host_);
  np::Settle();
  SB_ClearPrintedLines();
  LS_BmapLockCount = 1;
  NET_UpdateEvent();
  LS_BmapLockCount = 0;
  EXPECT_EQ(Logged("Cannot UpdateEvent while bmap locked"), 1);
  EXPECT_FALSE(Printed("[READ][from:Mia][hi]"));
  NET_UpdateEvent();
  EXPECT_TRUE(Printed("[READ][from:Mia][hi]"));
  EXPECT_STREQ(NET_GameTypeName(CTRL_OFFLINERACE), "");
  EXPECT_EQ(Logged("[XNET]Unknown group description"), 1);
  EXPECT_STREQ(NET_GameTypeName(CTRL_FREERACE), "FREE-RACE      ");
}

}  // namespace
