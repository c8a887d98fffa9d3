// A game against a member that follows the protocol with ill intent, over
// real loopback sockets (tests/netgame/hostile.h): one that names a player
// "SERVER", one that never acknowledges, one that floods the controller
// with requests, one that asks for twenty players. Each time the host's
// frames go on, the bad member gets a clear line, and an honest copy
// joins and plays under the real controller.
#include "tests/netgame/hostile.h"

#include <memory>

#include "netlink/neti.h"
#include "platform/window.h"
#include "tests/netgame/netgame_fixture.h"
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
  // Frames of the host's race and Mia's side by side, as two copies run
  // them: the frames both ran without waiting.
  int32_t BothFrames(int32_t n) {
    TLSNET* was = LS_NetCurrent();
    int32_t frames = 0;
    for (int32_t i = 0; i < n; ++i) {
      plat::AdvanceManualTime(kFrameMs);
      const uint32_t before = plat::TickMs();
      for (TLSNET* m : {&host_, &mia_}) {
        LS_NetSelect(m);
        NET_UpdateEvent();
      }
      frames += plat::TickMs() == before;
      np::Settle();
    }
    LS_NetSelect(was);
    return frames;
  }
  static int CountHolding(const std::string& text) {
    int n = 0;
    for (const std::string& l : SB_PrintedLines()) n += l.find(text) != std::string::npos;
    return n;
  }

  // Mia plays a race the host runs: each state of the race echoed by the
  // controller, then her finish entered in its records.
  void MiaRaces() {
    ToStartLine({&host_, &mia_});
    Go({&host_, &mia_});
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
  // Its order never arrives: its place is given back 15 s after it came,
  // as a newcomer's whose order arrived and who never logs in.
  const std::string freed = "[CTRL][PLAYER Mute ID:" + std::to_string(id) + " NOT LOGGED IN WITHIN 15 s: ITS CAR PLACE IS FREED]";
  frames += Frames([&] { return Printed(freed); }, 2000);
  const uint32_t took = plat::TickMs() - start;
  EXPECT_GE(took, CTRL_LOGINWAITMS);
  EXPECT_LT(took, CTRL_LOGINWAITMS + 3000);
  EXPECT_GT(frames, static_cast<int32_t>(CTRL_LOGINWAITMS / kFrameMs) - 100);  // the frames ran through it
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

// A packet of 1,035 bytes and a datagram of 64 KiB, to the host in a race
// and to a member racing: both races run on, no box is raised, and each
// machine says it once, then the count.
TEST_F(NetHostile, OversizedDatagramsStopNeitherTheHostNorAMember) {
  Create(CTRL_RACE, 4);
  ASSERT_EQ(JoinAs(mia_, "Mia"), 1);
  ToStartLine({&host_, &mia_});
  Go({&host_, &mia_});
  HostileMember evil;
  ASSERT_TRUE(evil.Join(host_));
  const uint32_t id = evil.CreatePlayer("Evil", "CLIENT");
  ASSERT_NE(id, 0u);
  BothFrames(4);
  plat::ClearShownMessageBoxes();
  SB_ClearPrintedLines();
  const std::pair<TLSNET*, uint32_t> targets[] = {{&host_, Server()}, {&mia_, Mia()}};
  for (const auto& [machine, to] : targets) {
    const uint16_t port = np::DataPort(machine->Transport.Object);
    evil.Raw(id, to, LS_NETMODE_PLAIN, 0, std::string(1035 - LS_NETHEADERSIZE, 'x'), port);
    evil.Bytes(port, std::vector<uint8_t>(64 * 1024 - 29, 0xEE));  // the largest datagram
  }
  EXPECT_EQ(BothFrames(100), 100);  // 5 s of both races
  EXPECT_TRUE(plat::ShownMessageBoxes().empty());
  // Once on each machine, then the count.
  EXPECT_EQ(CountHolding("datagram of 1053 bytes from 127.0.0.1:"), 2);
  EXPECT_EQ(CountHolding(" refused: a packet holds at most 1029 bytes]"), 2);
  EXPECT_EQ(CountHolding("[SYS ][1 more oversized datagrams from 127.0.0.1 refused in the last second]"), 2);
  EXPECT_EQ(CountHolding("[CTRL][DELETING NOT-RECEIVING PLAYER:"), 0);
  EXPECT_EQ(host_.Ctrl.Players[1].Id, Mia());
  EXPECT_EQ(host_.Ctrl.Players[1].XState, XSTATE_PLAYING);
  MiaRaces();
}

// One machine opens sixteen connections: four are kept, their eight
// players taken; the rest are refused with one line and the count. An
// honest copy joins and races; connections that never make a player are
// closed after ten seconds.
TEST_F(NetHostile, SixteenConnectionsFromOneMachineLeavePlacesForAnHonestCopy) {
  Create(CTRL_RACE, 16);
  std::vector<std::unique_ptr<HostileMember>> many;
  int joined = 0, players = 0;
  for (int i = 0; i < 16; ++i) {
    many.push_back(std::make_unique<HostileMember>(2));
    if (!many.back()->Join(host_)) continue;
    ++joined;
    for (int k = 0; k < 2; ++k) players += many.back()->CreatePlayer("M" + std::to_string(i) + std::to_string(k), "CLIENT") != 0;
  }
  EXPECT_EQ(joined, static_cast<int>(np::kMaxLinksPerAddress));
  EXPECT_EQ(players, 2 * joined);
  HostileMember idle[2] = {HostileMember(3), HostileMember(3)};
  for (HostileMember& h : idle) ASSERT_TRUE(h.Join(host_));
  LS_NetSelect(&host_);
  Frames(25);
  EXPECT_EQ(CountHolding("[SYS ][connection from 127.0.0.2:"), 1);
  EXPECT_EQ(CountHolding(" refused: that address holds the 4 connections one machine may open]"), 1);
  EXPECT_TRUE(Printed("[SYS ][11 more connections past the limit from 127.0.0.2 refused in the last second]"));
  ASSERT_EQ(JoinAs(mia_, "Mia"), 1);
  EXPECT_EQ(SB_Var.NetPlayerOrder, 1 + players);
  MiaRaces();
  LS_NetSelect(&host_);
  Frames(200);  // 10 s
  for (HostileMember& h : idle) EXPECT_FALSE(h.Connected());
  EXPECT_EQ(CountHolding(" closed: no player of its own for 10 s]"), 1);
  EXPECT_EQ(np::GetCounters(host_.Transport.Object).idleLinks, 2u);
  EXPECT_EQ(host_.Ctrl.Players[1 + players].Id, Mia());
}

// Every car place taken: a joiner is told at once, not after 45 s, and
// the host says so; once a place is free, it joins and races.
TEST_F(NetHostile, AJoinerFindingNoFreeCarPlaceIsToldAtOnce) {
  Create(CTRL_RACE, 16);
  std::vector<std::unique_ptr<HostileMember>> many;
  int players = 0;
  for (int i = 0; players < SB_MAXCARS - 1; ++i) {
    many.push_back(std::make_unique<HostileMember>(static_cast<uint8_t>(2 + i / 4)));
    ASSERT_TRUE(many.back()->Join(host_));
    for (int k = 0; k < 2 && players < SB_MAXCARS - 1; ++k)
      players += many.back()->CreatePlayer("F" + std::to_string(i) + std::to_string(k), "CLIENT") != 0;
  }
  LS_NetSelect(&host_);
  Frames(4);
  SB_ClearPrintedLines();
  const uint32_t start = plat::TickMs();
  EXPECT_EQ(JoinAs(mia_, "Mia"), 0);
  EXPECT_LT(plat::TickMs() - start, 5000u);
  EXPECT_TRUE(Printed("Game S is full: no free car place"));
  EXPECT_EQ(CountHolding("[CTRL][NO FREE CAR PLACE FOR Mia ID:"), 1);
  many.back().reset();  // its connection closed, its player gone
  LS_NetSelect(&host_);
  Frames(4);
  LS_NetSelect(&mia_);
  ASSERT_EQ(NET_JoinServer("Mia", "S"), 1);
  MiaRaces();
}

// A two-player game: a member's player that takes order 1 and never logs
// in. An honest joiner is told at once that the race is full, never that
// it may join; once the idle player's 15 s are up its place is freed, with
// a line, and the joiner takes it and races. The idle member is a machine
// of its own: its machine then waits for a place (the joiner's does not).
TEST_F(NetHostile, AnIdlePlayerGivesItsPlaceBackAndNeverStopsAnHonestJoiner) {
  Create(CTRL_RACE, 2);
  HostileMember idle(2);
  ASSERT_TRUE(idle.Join(host_));
  const uint32_t id = idle.CreatePlayer("Idle", "CLIENT");
  ASSERT_NE(id, 0u);
  LS_NetSelect(&host_);
  Frames([] { return PrintedStart("[CTRL][ADDPLAYER Idle"); }, 10);
  Frames(200);       // 10 s for its order to arrive: the wait counts from then
  idle.Drain(true);  // its order taken, never a log-in
  Frames(2);
  ASSERT_EQ(GetPlayerOrderbyId(id), 1);
  SB_ClearPrintedLines();
  const uint32_t start = plat::TickMs();
  EXPECT_EQ(JoinAs(mia_, "Mia"), 0);
  EXPECT_LT(plat::TickMs() - start, 5000u);
  EXPECT_TRUE(Printed("Game S is full: no free car place"));
  EXPECT_EQ(SB_Var.NetJoinRefused, 2);
  EXPECT_FALSE(PrintedStart("[XNET][You can join the game"));
  EXPECT_EQ(CountHolding("[CTRL][NO FREE CAR PLACE FOR Mia ID:"), 1);
  // Freed 15 s after its order arrived, not before.
  LS_NetSelect(&host_);
  const std::string freed = "[CTRL][PLAYER Idle ID:" + std::to_string(id) + " NOT LOGGED IN WITHIN 15 s: ITS CAR PLACE IS FREED]";
  Frames([&] { return Printed(freed); }, 400);
  EXPECT_GE(plat::TickMs() - start, CTRL_LOGINWAITMS - 1000);
  EXPECT_LT(plat::TickMs() - start, CTRL_LOGINWAITMS + 1000);
  EXPECT_TRUE(PrintedStart("[CTRL][DELPLAYER Idle ID:" + std::to_string(id)));
  EXPECT_EQ(CountHolding(freed), 1);
  LS_NetSelect(&mia_);
  ASSERT_EQ(NET_JoinServer("Mia", "S"), 1);
  EXPECT_EQ(SB_Var.NetPlayerOrder, 1);  // the idle player's place, a car of the race
  MiaRaces();
}

// A machine whose player gave its car place back, or left, without ever
// asking to log in gets no place for 30 s, told as for a full game, with
// a line; one whose player logged in, or asked while the host raced, is
// not kept waiting, nor is another machine. Each row: a machine of its own
// joins a game of four, its player does what the row says (in the car
// place the row before freed), then a new player of the same machine
// arrives, at once and once the wait is over.
TEST_F(NetHostile, AMachineWhosePlayerGaveItsPlaceBackWithoutLoggingInWaits) {
  enum Then { kDropped, kLeaves, kLogsInAndLeaves, kAsksWhileRacingAndLeaves };
  struct Row {
    const char* what;
    Then then;
    bool waits;
  };
  const Row rows[] = {
      {"dropped after 15 s", kDropped, true},
      {"leaves before it is dropped", kLeaves, true},
      {"logged in, then leaves", kLogsInAndLeaves, false},
      {"asked to log in while the host raced, then leaves", kAsksWhileRacingAndLeaves, false},
      {"leaves before it is dropped, its car place's last holder having asked", kLeaves, true},
  };
  Create(CTRL_RACE, 4);
  uint8_t machine = 2;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    ztest::HostileMember m(machine++);
    ASSERT_TRUE(m.Join(host_));
    const uint32_t id = m.CreatePlayer("P", "CLIENT");
    ASSERT_NE(id, 0u);
    LS_NetSelect(&host_);
    Frames([] { return PrintedStart("[CTRL][ADDPLAYER P"); }, 10);
    m.Drain(true);  // its order taken
    Frames(2);
    const int32_t order = GetPlayerOrderbyId(id);
    ASSERT_GE(order, 0);
    if (r.then == kAsksWhileRacingAndLeaves) {
      ToStartLine({&host_});
      Go({&host_});
    }
    if (r.then == kLogsInAndLeaves || r.then == kAsksWhileRacingAndLeaves)
      m.Send(id, Server(), ztest::Message(CTRL_CANILOGMYSELF, order, 0));
    if (r.then == kDropped) {
      Frames([&] { return PrintedStart("[CTRL][PLAYER P ID:" + std::to_string(id) + " NOT LOGGED IN"); }, 400);
      m.DestroyPlayer(id);  // a connection holds two players
    } else {
      Frames(4);
      EXPECT_EQ(host_.Ctrl.Players[order].InUse, r.then == kLogsInAndLeaves ? 1 : 0);
      m.DestroyPlayer(id);
      Frames([&] { return PrintedStart("[CTRL][DELPLAYER P ID:" + std::to_string(id)); }, 10);
    }
    plat::AdvanceManualTime(NET_NOTICEMS);  // the refusal's line said at once
    SB_ClearPrintedLines();
    const uint32_t again = m.CreatePlayer("Q", "CLIENT");
    Frames([] { return PrintedStart("[CTRL][ADDPLAYER Q") || PrintedStart("[CTRL][NO CAR PLACE FOR Q"); }, 10);
    EXPECT_EQ(CountHolding("[CTRL][NO CAR PLACE FOR Q ID:" + std::to_string(again) + " FOR "), r.waits ? 1 : 0);
    EXPECT_EQ(CountHolding(" s: ITS MACHINE GAVE ONE BACK WITHOUT LOGGING IN]"), r.waits ? 1 : 0);
    EXPECT_EQ(GetPlayerOrderbyId(again) >= 0, !r.waits);
    // The machine is told how long it still waits.
    m.Drain(true);
    int32_t told = -1;
    for (const auto& got : m.Messages())
      if (got.type == CTRL_PLAYERORDER && got.param1 == CTRL_NOPLACE) told = got.param2;
    if (r.waits) {
      EXPECT_GE(told, 28);
      EXPECT_LE(told, 30);
    } else {
      EXPECT_EQ(told, -1);
    }
    m.DestroyPlayer(again);
    if (r.waits) {
      // Another machine is not kept waiting; this one is, until its 30 s are over.
      ztest::HostileMember other(static_cast<uint8_t>(machine + 100));
      ASSERT_TRUE(other.Join(host_));
      const uint32_t elsewhere = other.CreatePlayer("O", "CLIENT");
      Frames([] { return PrintedStart("[CTRL][ADDPLAYER O"); }, 10);
      EXPECT_GE(GetPlayerOrderbyId(elsewhere), 0);
      other.DestroyPlayer(elsewhere);
      plat::AdvanceManualTime(CTRL_REJOINWAITMS);
      const uint32_t later = m.CreatePlayer("R", "CLIENT");
      Frames([] { return PrintedStart("[CTRL][ADDPLAYER R"); }, 10);
      EXPECT_GE(GetPlayerOrderbyId(later), 0);
      m.DestroyPlayer(later);
    }
    Frames(4);
    if (r.then == kAsksWhileRacingAndLeaves) {
      LS_NetSelect(&host_);
      for (XSTATE s : {XSTATE_ENDOFRACE, XSTATE_CONNECTED}) ASSERT_EQ(NET_SetControllerStatus(s, 0), 1);
    }
  }
}

// Twenty machines each leave a player without logging in: the waits kept
// are bounded, the sixteen latest, the earliest four making room.
TEST_F(NetHostile, TheMachinesKeptWaitingAreBounded) {
  Create(CTRL_RACE, 16);
  std::vector<std::unique_ptr<HostileMember>> machines;
  for (int k = 0; k < 20; ++k) {
    machines.push_back(std::make_unique<HostileMember>(static_cast<uint8_t>(50 + k)));
    ASSERT_TRUE(machines.back()->Join(host_));
    const uint32_t id = machines.back()->CreatePlayer("P" + std::to_string(k), "CLIENT");
    LS_NetSelect(&host_);
    Frames([&] { return GetPlayerOrderbyId(id) >= 0; }, 10);
    machines.back()->DestroyPlayer(id);
    Frames(2);
    plat::AdvanceManualTime(10);
  }
  // The latest first: a player given a place and leaving again is a new
  // wait, which takes the row of the earliest still kept.
  for (int k = 19; k >= 0; --k) {
    SCOPED_TRACE(k);
    const uint32_t id = machines[k]->CreatePlayer("Q" + std::to_string(k), "CLIENT");
    Frames(2);
    EXPECT_EQ(GetPlayerOrderbyId(id) >= 0, k < 20 - CTRL_NBREJOINWAITS);
    machines[k]->DestroyPlayer(id);
    Frames(2);
  }
}

// Ten thousand chat messages to the host's player and its controller:
// each side takes five a second from the member and counts the rest, said
// once a second, every one accounted for; Mia's chat still arrives.
TEST_F(NetHostile, AChatFloodIsTakenFiveTimesASecondAndHonestChatArrives) {
  Create(CTRL_RACE, 4);
  ASSERT_EQ(JoinAs(mia_, "Mia"), 1);
  HostileMember chatty;
  ASSERT_TRUE(chatty.Join(host_));
  const uint32_t id = chatty.CreatePlayer("Chatty", "CLIENT");
  LS_NetSelect(&host_);
  Frames(4);
  SB_ClearPrintedLines();
  std::string text(XNETMSG_HEADERSIZE, '\0');
  NET_PutHeader(reinterpret_cast<uint8_t*>(text.data()), XNET_TEXT, 0, 0);
  text += std::string("spam") + '\0';
  for (int burst = 0; burst < 50; ++burst) {
    for (int i = 0; i < 200; ++i) chatty.Send(id, i % 2 ? Hugo() : Server(), text, false);
    Frames(1);
  }
  Frames(25);  // 3.75 s in all
  const struct {
    std::string taken, counted;
  } sides[] = {{"[READ][from:Chatty][spam]", "[READ][CHAT FROM Chatty: "},
               {"[CTRL]*** Broadcast Message from Chatty ***", "[CTRL][CHAT FROM Chatty: "}};
  for (const auto& side : sides) {
    int taken = 0, lines = 0, counted = 0;
    for (const std::string& l : SB_PrintedLines()) {
      taken += l.rfind(side.taken, 0) == 0;
      if (l.rfind(side.counted, 0) == 0 && l.ends_with(" OVER 5 A SECOND DROPPED]")) {
        ++lines;
        counted += std::stoi(l.substr(side.counted.size()));
      }
    }
    EXPECT_LE(taken, 4 * NET_CHATPERSECOND) << side.taken;
    EXPECT_LE(lines, 4) << side.taken;
    EXPECT_EQ(taken + counted, 5000) << side.taken;
  }
  LS_NetSelect(&mia_);
  ASSERT_EQ(NET_Broadcast("hello"), 1);
  LS_NetSelect(&host_);
  Frames(2);
  EXPECT_TRUE(Printed("[READ][from:Mia][hello]"));
  EXPECT_TRUE(PrintedStart("[CTRL]*** Broadcast Message from Mia ***"));
}

}  // namespace
