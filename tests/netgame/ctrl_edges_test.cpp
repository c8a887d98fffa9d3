// The controller at its edges: a newcomer leaving, or the controller's
// network closing, while its order travels; a server created without a
// player; the hall of fame and finishing list printed; the race controls
// that beep; the race's best time without finishers.
#include <cstring>
#include <string>
#include <vector>

#include "platform/window.h"
#include "tests/netgame/session_fixture.h"

namespace {

namespace np = plat::netplay;

class NetCtrlEdges : public ztest::NetSessionTest {
 protected:
  // Mia joins without answering anything; the host's controller follows
  // the delivery of her order.
  void JoinSilently() {
    OpenNet(mia_);
    ASSERT_EQ(LS_NetEnumerateSessions(nullptr, 100), 1);
    ASSERT_EQ(LS_NetJoinSession("Mia", 0), 1);
    quiet_ = &mia_;
    LS_NetSelect(&host_);
    SB_ClearPrintedLines();
  }

  static void FormatTimes() {
    SB_Hooks.FormatTime = [](int32_t ms, int32_t) -> const char* {
      static std::string s;
      s = "T" + std::to_string(ms);
      return s.c_str();
    };
  }
  static CTRL_RECORD Record(const char* name, uint32_t race, const char* date, const char* time) {
    CTRL_RECORD r{};
    std::strcpy(r.Name, name);
    r.BestLap = 1000;
    r.RaceTime = race;
    std::strcpy(r.Date, date);
    std::strcpy(r.TimeOfDay, time);
    return r;
  }
};

// The order is followed from the pump, 5 s of it here, while the
// newcomer answers nothing; then it leaves.
TEST_F(NetCtrlEdges, NewcomerLeavingWhileItsOrderTravelsEndsIt) {
  Create(CTRL_RACE, 4);
  JoinSilently();
  ASSERT_TRUE(Until([] { return PrintedStart("[CTRL][ADDPLAYER Mia"); }));
  EXPECT_EQ(host_.Ctrl.OrderPending[1], 1);
  for (int i = 0; i < 5; ++i) {
    plat::AdvanceManualTime(1000);
    NET_UpdateEvent();
  }
  LS_NetSelect(&mia_);
  LS_NetLeaveSession();
  LS_NetSelect(&host_);
  ASSERT_TRUE(Until([] { return PrintedStart("[CTRL][DELPLAYER Mia"); }));
  Until([] { return false; }, 5);
  EXPECT_FALSE(PrintedStart("[CTRL][CTRL_PLAYERORDER"));  // neither failed nor sent
  EXPECT_FALSE(PrintedStart("[CTRL][UNABLE"));
  EXPECT_EQ(host_.Ctrl.Players[1].Pending, 0);
  EXPECT_EQ(host_.Ctrl.Players[1].InUse, 0);
  EXPECT_EQ(host_.Ctrl.Names[1][0], 0);
  EXPECT_EQ(host_.Ctrl.OrderPending[1], 0);
}

TEST_F(NetCtrlEdges, NetworkClosedWhileAnOrderTravelsEndsIt) {
  Create(CTRL_RACE, 4);
  JoinSilently();
  ASSERT_TRUE(Until([] { return PrintedStart("[CTRL][ADDPLAYER Mia"); }));
  plat::AdvanceManualTime(5000);
  NET_Close();
  EXPECT_TRUE(Printed("Networked closed !"));
  EXPECT_EQ(SB_Var.XState, XSTATE_NONET);
  EXPECT_EQ(host_.Ctrl.Running, 0);
  plat::AdvanceManualTime(60000);
  NET_UpdateEvent();  // a closed network pumps nothing
  EXPECT_FALSE(PrintedStart("[CTRL][CTRL_PLAYERORDER"));
}

TEST_F(NetCtrlEdges, ServerWithoutAPlayer) {
  OpenNet(host_);
  const uint32_t sequence = host_.Sequence;
  ASSERT_EQ(NET_CreateServer("S", nullptr, CTRL_MULTIRACE, 3), 1);
  EXPECT_TRUE(Printed("Server 'S'successfully launched..."));
  // Its game type is answered to nobody: it has no player.
  EXPECT_EQ(host_.Sequence, sequence);
  EXPECT_FALSE(PrintedStart("[CTRL][SEND CTRL_SETGAMETYPE ACK"));
  EXPECT_EQ(SB_Var.XState, XSTATE_CONNECTED);
  EXPECT_EQ(SB_Var.IsController, 1);
  EXPECT_EQ(SB_Var.NetConnected, 0);
  EXPECT_EQ(host_.Ctrl.GameType, CTRL_MULTIRACE);
  EXPECT_EQ(SB_Var.NetControllerMax, 3);
  EXPECT_TRUE(Printed("[CTRL][SETGAMETYPE 3 MAXPLAYERS:3"));
  EXPECT_EQ(NET_CreateServer("S", nullptr, CTRL_RACE, 3), 0);
  EXPECT_TRUE(Printed("Server already launched..."));
  np::SetHosts("127.0.0.1:" + std::to_string(np::DiscoveryPort(host_.Transport.Object)));
  ASSERT_EQ(JoinAs(mia_, "Mia"), 1);
  EXPECT_EQ(SB_Var.NetPlayerOrder, 0);  // the first player's order
  EXPECT_EQ(host_.Ctrl.Logged, 1);
  // A joiner without cars asks for every setup of a controller holding
  // none: answered at once, nothing painted.
  SB_ClearPrintedLines();
  EXPECT_EQ(NET_RequestVehicleSetups(), 1);
  EXPECT_FALSE(Printed("[XNET]Cannot get vehicle setup !!!"));
  for (const TVEHICLESETUP& s : SB_Var.CarSetups) EXPECT_EQ(s.Changed, 0);
}

TEST_F(NetCtrlEdges, HallOfFameAndFinishingList) {
  Create(CTRL_RACE, 4);
  FormatTimes();
  TCTRL& c = host_.Ctrl;
  c.Records[0] = Record("Ann", 183000, "01/02/26", "12:34:56");
  c.Records[2] = Record("Eve", 190000, "01/03/26", "08:00:00");
  c.Finishers[0] = Record("Bob", 200000, "12/31/25", "23:59:59");
  c.NbFinishers = 1;
  SB_ClearPrintedLines();
  CTRL_PrintRecords();
  const std::string rule = "[--------------------------------------------------------------------]";
  const std::string end = "[-------------------------------------------------------------------]";
  const std::string header = "[    | Name           | Best Time | Date & Time                      ]";
  EXPECT_EQ(SB_PrintedLines(),
            (std::vector<std::string>{
                "[                    ZENTROVA RACE - HALL OF FAME                    ]", rule, header, rule,
                "[   0|             Ann|   T183000 |         01/02/26        12:34:56 |",
                "[   2|             Eve|   T190000 |         01/03/26        08:00:00 |", end,
                "[                    ZENTROVA RACE - FINISHING LIST                  ]", rule, header, rule,
                "[   0|             Bob|   T200000 |         12/31/25        23:59:59 |", end}));
  // Only on the controller's machine.
  ASSERT_EQ(JoinAs(mia_, "Mia"), 1);
  SB_ClearPrintedLines();
  CTRL_PrintRecords();
  EXPECT_TRUE(SB_PrintedLines().empty());
}

TEST_F(NetCtrlEdges, RaceControlsBeepOutsideTheirGameStates) {
  Create(CTRL_CONTROLLEDRACE, 4);
  struct Row {
    int32_t (*control)();
    int32_t state;
    int32_t result;
  };
  const Row rows[] = {{CTRL_StartNewRaceNow, CTRL_INPROGRESS, 0}, {CTRL_StartNewRaceNow, CTRL_TRAININGMODE, 0},
                      {CTRL_StartNewRaceNow, CTRL_NORACE, 1},     {CTRL_EndOfRace, CTRL_NORACE, 0},
                      {CTRL_EndOfRace, CTRL_WARMUP, 0},           {CTRL_EndOfRace, CTRL_INPROGRESS, 1},
                      {CTRL_EndOfRace, CTRL_COMPLETED, 1},        {CTRL_EndOfRace, CTRL_TRAININGMODE, 1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.state);
    host_.Ctrl.GameState = r.state;
    plat::ResetBeepCount();
    EXPECT_EQ(r.control(), r.result);
    EXPECT_EQ(plat::BeepCount(), r.result ? 0 : 1);
  }
  EXPECT_EQ(host_.Ctrl.GameState, CTRL_NORACE);  // an ended race
}

TEST_F(NetCtrlEdges, RaceBestTimeWithoutFinishers) {
  Create(CTRL_RACE, 4);
  FormatTimes();
  TCTRL& c = host_.Ctrl;
  struct Row {
    std::vector<CTRL_RECORD> finishers;
    const char* text;
  };
  const Row rows[] = {
      {{}, "T0 "},
      {{Record("Al", 0, "", "")}, "T0 Al"},
      {{Record("Bo", 5000, "", ""), Record("Al", CTRL_NORECORD, "", ""), Record("Cy", 5000, "", "")}, "T5000 Bo"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    CTRL_ClearFinishers();
    for (const CTRL_RECORD& f : r.finishers) c.Finishers[c.NbFinishers++] = f;
    EXPECT_STREQ(CTRL_GetRaceBestTimeText(), r.text);
  }
}

}  // namespace
