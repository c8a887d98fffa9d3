// A game against a member that follows the protocol with ill intent, over
// real loopback sockets (tests/netgame/hostile.h): one that names a player
// "SERVER", one that never acknowledges, one that floods the controller
// with requests, one that asks for twenty players. Each time the host's
// frames go on, the bad member gets a clear line, and an honest copy
// joins and plays under the real controller.
#include "tests/netgame/hostile.h"

#include "netlink/neti.h"
#include "tests/netgame/session_fixture.h"
#include "vehicles/bytes.h"

namespace {

namespace np = plat::netplay;
using ztest::HostileMember;

class NetHostile : public ztest::NetSessionTest {
 protected:
  // The host's race frames, each pumping the network as the race frame
  // does, the clock moving only between them; a frame that waits inside
  // fails the test. Runs until done() or n frames: the frames run.
  template <typename Done>
  int32_t Frames(Done done, int32_t n) {
    TLSNET* was = LS_NetSelect(&host_);
    int32_t frames = 0;
    for (; frames < n && !done(); ++frames) {
      plat::AdvanceManualTime(kFrameMs);
      const uint32_t before = plat::TickMs();
      NET_UpdateEvent();
      EXPECT_EQ(plat::TickMs(), before) << "frame " << frames << " waited";
      np::Settle();
    }
    LS_NetSelect(was);
    return frames;
  }
  int32_t Frames(int32_t n) {
    return Frames([] { return false; }, n);
  }

  // Mia plays a race under the controller: each state of the race echoed
  // by it, then her finish entered in its records.
  void MiaRaces() {
    LS_NetSelect(&mia_);
    for (XSTATE s : {XSTATE_LOADING, XSTATE_REMAPPINGCARS, XSTATE_READY2PLAY, XSTATE_WAIT4READY, XSTATE_WAIT4GO,
                     XSTATE_PLAYING})
      ASSERT_EQ(NET_SetControllerStatus(s, 0), 1) << s;
    EXPECT_EQ(host_.Ctrl.Players[SB_Var.NetPlayerOrder].XState, XSTATE_PLAYING);
    uint8_t finish[XNET_PROGRESSMSGSIZE];
    NET_PutHeader(finish, XNET_RACEFINISHED, SB_Var.NetPlayerOrder, 1);
    SB_PutLong(finish + 12, 61000);
    SB_PutLong(finish + 16, 183000);
    SB_PutLong(finish + 20, 4000);
    ASSERT_NE(NET_SendToAll(finish, sizeof finish, NET_GUARANTEED), -2);
    ASSERT_TRUE(Until([&] { return std::string(host_.Ctrl.Records[0].Name) == "Mia"; }));
    EXPECT_EQ(host_.Ctrl.Records[0].RaceTime, 183000u);
  }

  // Nothing the controller sent Mia is still outstanding, and nothing to
  // her failed.
  void NothingOfMiasOutstanding() {
    LS_NetSelect(&host_);
    ASSERT_TRUE(Until([&] {
      for (const NETI_SENDPAIR& p : host_.Neti.Sends)
        if (p.InUse && p.To == Mia() && (p.Oldest != p.Next || p.GivenUp)) return false;
      return true;
    }));
    for (const std::string& l : SB_PrintedLines())
      EXPECT_FALSE(l.rfind("[CTRL][SEND FAILURE CALLBACK... ", 0) == 0 &&
                   l.find(" " + std::to_string(Mia()) + "]") != std::string::npos)
          << l;
  }

  static constexpr uint32_t kFrameMs = 50;
};

TEST_F(NetHostile, AMemberNamingAPlayerServerIsDroppedAndTheRealControllerStays) {
  Create(CTRL_RACE, 4);
  HostileMember evil;
  ASSERT_TRUE(evil.Join(host_));
  EXPECT_EQ(evil.CreatePlayer("Evil", "SERVER"), 0u);
  EXPECT_EQ(evil.Reason(), np::wire::kReasonForbiddenName);
  EXPECT_FALSE(evil.Connected());
  LS_NetSelect(&host_);
  SB_ClearPrintedLines();
  Frames(2);
  EXPECT_TRUE(PrintedStart("[SYS ][member at 127.0.0.1:"));
  bool said = false;
  for (const std::string& l : SB_PrintedLines())
    said = said || l.find("asked for player 'Evil' with the long name SERVER, which only the host's players bear: "
                          "refused, and the member dropped with its players]") != std::string::npos;
  EXPECT_TRUE(said);
  EXPECT_EQ(np::GetCounters(host_.Transport.Object).refusedNames, 1u);
  ASSERT_EQ(JoinAs(mia_, "Mia"), 1);
  EXPECT_EQ(mia_.Config.ControllerId, host_.Config.ControllerId);
  EXPECT_EQ(SB_Var.NetPlayerOrder, 1);
  MiaRaces();
}

TEST_F(NetHostile, AMemberThatNeverAcknowledgesIsDroppedWhileTheHostsFramesRun) {
  Create(CTRL_RACE, 4);
  HostileMember mute;
  ASSERT_TRUE(mute.Join(host_));
  const uint32_t id = mute.CreatePlayer("Mute", "CLIENT");
  ASSERT_NE(id, 0u);
  LS_NetSelect(&host_);
  SB_ClearPrintedLines();
  const uint32_t start = plat::TickMs();
  int32_t frames = Frames([] { return PrintedStart("[CTRL][ADDPLAYER Mute"); }, 10);
  frames += Frames(200);  // 10 s
  ASSERT_EQ(JoinAs(mia_, "Mia"), 1);  // while Mute's order travels
  LS_NetSelect(&host_);
  frames += Frames([] { return PrintedStart("[CTRL][UNABLE 2 send CTRL_PLAYERORDER 2 "); }, 2000);
  const uint32_t took = plat::TickMs() - start;
  EXPECT_GE(took, 60u * NETI_RESENDMS);
  EXPECT_LT(took, 60u * NETI_RESENDMS + 3000);
  EXPECT_GT(frames, static_cast<int32_t>(60 * NETI_RESENDMS / kFrameMs) - 100);  // the frames ran through it
  EXPECT_TRUE(PrintedStart("[CTRL][DELPLAYER Mute ID:" + std::to_string(id)));
  EXPECT_EQ(GetPlayerOrderbyId(id), -1);
  mute.Drain(false);
  const HostileMember::Heard& heard = mute.From(Server());
  EXPECT_GE(heard.types.at(CTRL_PLAYERORDER), 2);  // tried, and resent
  EXPECT_EQ(heard.plain, 0);
  // Mia stayed in, and plays.
  ASSERT_GE(GetPlayerOrderbyId(Mia()), 0);
  EXPECT_EQ(host_.Ctrl.Players[GetPlayerOrderbyId(Mia())].InUse, 1);
  EXPECT_FALSE(PrintedStart("[CTRL][DELETING NOT-RECEIVING PLAYER:Mia"));
  MiaRaces();
}

TEST_F(NetHostile, AFloodOfGameInformationRequestsCostsNoHonestPlayerAnything) {
  Create(CTRL_RACE, 4);
  HostileMember greedy;
  ASSERT_TRUE(greedy.Join(host_));
  const uint32_t id = greedy.CreatePlayer("Greedy", "CLIENT");
  ASSERT_NE(id, 0u);
  LS_NetSelect(&host_);
  Frames([] { return PrintedStart("[CTRL][ADDPLAYER Greedy"); }, 10);
  greedy.Drain(true);  // its order taken: a player of the table
  Frames(4);
  // 150 requests, never an acknowledgement of the answers.
  SB_ClearPrintedLines();
  uint8_t ask[XNETMSG_HEADERSIZE];
  NET_PutHeader(ask, CTRL_GETGAMEINFO, 0, 0);
  for (int i = 0; i < 150; ++i) greedy.Send(id, Server(), std::string(reinterpret_cast<char*>(ask), sizeof ask));
  Frames(4);
  const int sent = ztest::CountPrinted("[CTRL][CTRL_GETGAMEINFO sent to Greedy]");
  const int refused = ztest::CountPrinted("[CTRL][CTRL_GETGAMEINFO LS_NETERR_SENDFAILED]");
  EXPECT_EQ(sent + refused, 150);
  EXPECT_LE(sent, NETI_WINDOW);  // the window, less a presence query it may hold
  EXPECT_GE(sent, NETI_WINDOW - 1);
  EXPECT_TRUE(PrintedStart("[NETI][GUARANTEED MESSAGE NOT SENT TO " + std::to_string(id) +
                           ": ITS WINDOW IS FULL OR GIVEN UP"));
  // What went out is the window, guaranteed: nothing plain in its place.
  greedy.Drain(false);
  EXPECT_EQ(greedy.From(Server()).types[CTRL_GAMEINFO], sent);
  EXPECT_EQ(greedy.From(Server()).plain, 0);
  int slots = 0;
  for (int32_t s = 0; s < NETI_NBSLOTS; ++s) slots += host_.Neti.Pool[s].InUse != 0;
  EXPECT_LE(slots, NETI_WINDOW + 1);  // its share, and what is under way
  // Mia joins and plays meanwhile, without a wait: all the controller sent
  // her arrived, while the flooder is still in the table.
  const uint32_t joining = plat::TickMs();
  ASSERT_EQ(JoinAs(mia_, "Mia"), 1);
  MiaRaces();
  EXPECT_LT(plat::TickMs() - joining, 5000u);
  NothingOfMiasOutstanding();
  EXPECT_EQ(host_.Ctrl.Players[1].Id, id);
  EXPECT_TRUE(CTRL_IsPresent(host_.Ctrl.Players[1]));
  // Once it is given up, its answers fail as failures, each said.
  SB_ClearPrintedLines();
  Frames([] { return PrintedStart("[NETI][GIVING UP ON "); }, 2000);
  EXPECT_TRUE(Printed("[NETI][GIVING UP ON " + std::to_string(id) + ": " + std::to_string(NETI_WINDOW) +
                      " MESSAGES FAILED]"));
  Frames(2);
  int failures = 0;
  for (const std::string& l : SB_PrintedLines())
    failures += l.rfind("[CTRL][SEND FAILURE CALLBACK... ", 0) == 0 && l.find(" " + std::to_string(id) + "]") !=
                                                                           std::string::npos;
  EXPECT_EQ(failures, NETI_WINDOW);
}

TEST_F(NetHostile, AMemberAskingForTwentyPlayersGetsTwoAndAnHonestCopyStillJoins) {
  Create(CTRL_RACE, 16);
  HostileMember many;
  ASSERT_TRUE(many.Join(host_));
  int made = 0;
  for (int i = 0; i < 20; ++i) {
    const uint32_t id = many.CreatePlayer("Many" + std::to_string(i), "CLIENT");
    made += id != 0;
    if (!id) {
      EXPECT_EQ(many.Reason(), np::wire::kReasonTooManyPlayers);
    }
  }
  EXPECT_EQ(made, static_cast<int>(np::kMaxPlayersPerMember));
  EXPECT_TRUE(many.Connected());
  LS_NetSelect(&host_);
  SB_ClearPrintedLines();
  Frames(4);
  int said = 0;
  for (const std::string& l : SB_PrintedLines())
    said += l.rfind("[SYS ][member at 127.0.0.1:", 0) == 0 && l.find("beyond the 2 a connection may hold") != std::string::npos;
  EXPECT_EQ(said, 1);  // once for the connection, the rest counted
  EXPECT_EQ(np::GetCounters(host_.Transport.Object).refusedPlayers, 18u);
  ASSERT_EQ(JoinAs(mia_, "Mia"), 1);
  EXPECT_EQ(SB_Var.NetPlayerOrder, 3);  // after Hugo and the member's two
  MiaRaces();
}

}  // namespace
