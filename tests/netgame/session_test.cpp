// Creating and joining a game against the real controller on 127.0.0.1:
// the texts of success and of each failure, the time-outs, a refusal, the
// session lookup, the end of a race sent by the controller and the loss
// of the session.
#include <cstdio>

#include "netlink/netenum.h"
#include "shell/owner.h"

#include "tests/netgame/session_fixture.h"

namespace {

class NetSession : public ztest::NetSessionTest {};

TEST_F(NetSession, CreateThenJoinGivesOrdersAndLogsBothIn) {
  Create(CTRL_RACE, 4);
  EXPECT_TRUE(Printed("[XNET][Player logged to game"));
  EXPECT_EQ(SB_Var.XState, XSTATE_CONNECTED);
  EXPECT_EQ(SB_Var.NetConnected, 1);
  EXPECT_EQ(SB_Var.IsController, 1);
  EXPECT_EQ(SB_Var.NetPlayerOrder, 0);
  SB_ClearPrintedLines();
  ASSERT_EQ(JoinAs(mia_, "Mia!"), 1);
  EXPECT_TRUE(PrintedStart("Player Mia logged with ID["));
  EXPECT_TRUE(Printed("[XNET][Race Mode: RACE           ]"));
  EXPECT_EQ(SB_Var.NetPlayerOrder, 1);
  EXPECT_EQ(SB_Var.DrivenCar, 1);
  EXPECT_EQ(SB_Var.NetConnected, 1);
  EXPECT_EQ(SB_Var.IsController, 0);
  EXPECT_EQ(SB_Var.NetSlots, 4);
  EXPECT_EQ(SB_Var.NetPlayers[1].Id, Mia());
  LS_NetSelect(&host_);
  const TCTRL& c = host_.Ctrl;
  EXPECT_EQ(c.Logged, 2);
  EXPECT_EQ(c.Players[0].Id, Hugo());
  EXPECT_EQ(c.Players[1].Id, Mia());
  EXPECT_STREQ(c.Names[1], "Mia");
  EXPECT_EQ(SB_Var.NetPlayerOrder, 0);  // each machine keeps its own
  SB_ClearPrintedLines();
  CTRL_PrintInfo();
  char line[128];
  std::snprintf(line, sizeof line, "|             Mia | %8ld |        CONNECTED |          PLAYING|",
                static_cast<long>(Mia()));
  EXPECT_TRUE(Printed(line));
  EXPECT_EQ(breaks_, 0);
}

// The lines about a departure name the player who left, though the
// session no longer holds it.
TEST_F(NetSession, DepartureLinesNameThePlayer) {
  Create(CTRL_RACE, 4);
  ASSERT_EQ(JoinAs(mia_, "Mia"), 1);
  const uint32_t mia = Mia();
  ASSERT_EQ(NET_LeaveServer(), 1);
  LS_NetSelect(&host_);
  SB_ClearPrintedLines();
  ASSERT_TRUE(Until([] { return PrintedStart("[SYS ][PLAYER "); }));
  EXPECT_TRUE(Printed("[SYS ][PLAYER 'Mia' of ID:" + std::to_string(mia) + " is history...]"));
  EXPECT_TRUE(PrintedStart("[CTRL][DELPLAYER Mia ID:"));
  EXPECT_EQ(LS_NetGetPlayerName(mia), std::string("Mia"));  // named still, but gone from the session
  int32_t players = 0;
  NET_ENUMENTRY* list = NET_GetPlayers(&players);
  for (int32_t i = 0; i < players; ++i) EXPECT_NE(list[i].Id, mia);
  if (list) SB_Release(list);
}

TEST_F(NetSession, FailuresSayWhyAndStopTheScript) {
  LS_NetSelect(&host_);
  EXPECT_EQ(NET_Open(), 0);
  EXPECT_TRUE(Printed("No protocol defined..."));
  EXPECT_EQ(NET_SetProtocol(99), 0);
  EXPECT_TRUE(Printed("Bad protocol..."));
  EXPECT_EQ(NET_CreateServer("S", "Hugo", CTRL_RACE, 4), 0);
  EXPECT_TRUE(Printed("No Network..."));
  OpenNet(host_);
  EXPECT_EQ(NET_Open(), 1);
  EXPECT_TRUE(Printed("Network already inited..."));
  EXPECT_EQ(NET_CreateServer("S", "!?", CTRL_RACE, 4), 0);
  EXPECT_EQ(NET_CreateServer("", "Hugo", CTRL_RACE, 4), 0);
  EXPECT_TRUE(Printed("Invalid Player Name..."));
  EXPECT_EQ(NET_LeaveServer(), 0);
  EXPECT_TRUE(Printed("No server"));
  EXPECT_EQ(NET_AskJoinGame(), 0);
  EXPECT_TRUE(Printed("You are not connected !"));
  EXPECT_EQ(breaks_, 5);
  Create(CTRL_RACE, 4);
  EXPECT_EQ(NET_CreateServer("T", "Hugo", CTRL_RACE, 4), 0);
  EXPECT_TRUE(Printed("Player already logged to a game..."));
  OpenNet(mia_);
  EXPECT_EQ(NET_JoinServer("Mia", "Nope"), 0);
  EXPECT_TRUE(Printed("Unknown server Nope"));
  EXPECT_EQ(NET_JoinServer(nullptr, "S"), 0);
  EXPECT_TRUE(Printed("Not logged to game..."));
  EXPECT_EQ(NET_JoinServer("Mia", "S"), 1);
  EXPECT_EQ(NET_JoinServer("Mia", "S"), 0);
  EXPECT_TRUE(Printed("You are already connected to a game"));
  EXPECT_EQ(NET_LeaveServer(), 1);
  EXPECT_TRUE(Printed("Deconnected from game !!!"));
  EXPECT_EQ(SB_Var.XState, XSTATE_NETINITED);
  EXPECT_EQ(SB_Var.NetConnected, 0);
}

// A one-player game has no car place for a joiner: refused at once, never
// told it may join.
TEST_F(NetSession, FullGameRefusesAndSetsTheRefusedFlag) {
  Create(CTRL_RACE, 1);
  SB_ClearPrintedLines();
  EXPECT_EQ(JoinAs(mia_, "Mia"), 0);
  EXPECT_TRUE(Printed("Game S is full: no free car place"));
  EXPECT_FALSE(PrintedStart("[XNET][You can join the game"));
  EXPECT_EQ(SB_Var.NetJoinRefused, 2);
  EXPECT_EQ(SB_Var.XState, XSTATE_NETINITED);
  EXPECT_EQ(SB_Var.NetConnected, 0);
}

// A copy refused for want of a car place, joining once a place is free:
// its chat carries its name to the others, and theirs to it.
TEST_F(NetSession, ACopyRefusedAtItsJoinKeepsItsNameInChat) {
  Create(CTRL_RACE, 2);
  ASSERT_EQ(JoinAs(mia_, "Mia"), 1);
  EXPECT_EQ(JoinAs(lea_, "Lea"), 0);
  LS_NetSelect(&mia_);
  ASSERT_EQ(NET_LeaveServer(), 1);
  LS_NetSelect(&lea_);
  ASSERT_EQ(NET_JoinServer("Lea", "S"), 1);
  SB_ClearPrintedLines();
  ASSERT_EQ(NET_Broadcast("hi"), 1);
  LS_NetSelect(&host_);
  ASSERT_EQ(NET_Broadcast("yo"), 1);
  Until([] { return Printed("[READ][from:Lea][hi]"); });
  LS_NetSelect(&lea_);
  Until([] { return Printed("[READ][from:Hugo][yo]"); });
  EXPECT_TRUE(Printed("[READ][from:Lea][hi]"));
  EXPECT_TRUE(PrintedStart("[CTRL]*** Broadcast Message from Lea ***"));
  EXPECT_TRUE(Printed("[READ][from:Hugo][yo]"));
}

TEST_F(NetSession, SilentControllerRetreatsAfterFortyFiveSeconds) {
  Create(CTRL_RACE, 4);
  quiet_ = &host_;
  const uint32_t start = plat::TickMs();
  EXPECT_EQ(JoinAs(mia_, "Mia"), 0);
  EXPECT_GE(plat::TickMs() - start, 45000u);
  EXPECT_LT(plat::TickMs() - start, 47000u);
  EXPECT_TRUE(Printed("[XNET][XNET_PlayerOrderUpdated1 not received...]"));
  EXPECT_EQ(SB_Var.XState, XSTATE_NETINITED);
}

TEST_F(NetSession, SessionFoundByNameOrNumber) {
  Create(CTRL_RACE, 4);
  OpenNet(mia_);
  struct Row {
    const char* text;
    int32_t id;
  };
  for (const Row& r : {Row{"S", 0}, Row{"0", 0}, Row{"1", -1}, Row{"T", -1}, Row{"", -1}}) {
    SCOPED_TRACE(r.text);
    EXPECT_EQ(NET_FindSessionId(r.text), r.id);
  }
  EXPECT_EQ(NET_FindSessionId(nullptr), -1);
}

TEST_F(NetSession, EndOfRaceFromTheControllerReportsStateTenAndOutOfTime) {
  Create(CTRL_CONTROLLEDRACE, 4);
  ASSERT_EQ(JoinAs(mia_, "Mia"), 1);
  SB_Var.GameMode = CTRL_CONTROLLEDRACE;
  LS_NetSelect(&host_);
  ASSERT_EQ(CTRL_StartNewRaceNow(), 1);  // a race Mia starts, and races
  ToStartLine({&mia_});
  Go({&mia_});
  LS_NetSelect(&host_);
  SB_ClearPrintedLines();
  ASSERT_GE(CTRL_SendShortToAll(CTRL_ENDOFRACE, 2, 0), 1);
  LS_NetSelect(&mia_);
  ASSERT_TRUE(Until([&] { return host_.Ctrl.Players[1].XState == XSTATE_ENDOFRACE; }));
  EXPECT_EQ(SB_Var.XState, XSTATE_ENDOFRACE);
  EXPECT_EQ(SB_Var.LocalRaceTime, static_cast<int32_t>(SB_NOTIME));
  EXPECT_EQ(SB_Var.LocalBestLap, static_cast<int32_t>(SB_NOTIME));
  // The controller read message 18 with the flag and no times.
  ASSERT_TRUE(Until([] { return Printed("[CTRL][NAME:Mia LAP:1000000000 RACE:1000000000"); }));
  EXPECT_EQ(host_.Ctrl.NbFinishers, 0);
  // Said once a race: the same end again is the race's result already in.
  LS_NetSelect(&host_);
  ASSERT_GE(CTRL_SendShortToAll(CTRL_ENDOFRACE, 2, 0), 1);
  LS_NetSelect(&mia_);
  Until([] { return false; }, 20);
  EXPECT_EQ(ztest::CountPrinted("[CTRL][NAME:Mia LAP:1000000000 RACE:1000000000"), 1);
}

TEST_F(NetSession, ControllerLeavingLosesTheSessionAlsoInsideAWait) {
  Create(CTRL_RACE, 4);
  ASSERT_EQ(JoinAs(mia_, "Mia"), 1);
  // The controller's machine closes while the member waits for game
  // information.
  static bool closed;
  closed = false;
  NET_SetWaitStep([] {
    if (!closed) {
      closed = true;
      CloseHost();
    }
    Step();
  });
  SB_ClearPrintedLines();
  const uint32_t start = plat::TickMs();
  EXPECT_EQ(NET_PrintGameInfo(), 0);
  EXPECT_LT(plat::TickMs() - start, 30000u);
  EXPECT_TRUE(Printed("[SYS ][SESSION LOST...]"));
  EXPECT_EQ(SB_Var.XState, XSTATE_NONET);
  EXPECT_EQ(SB_Var.SessionLost, 1);
  EXPECT_TRUE(Printed("[XNET]No Game Infos"));
}

}  // namespace
