// A program hosting a network game, headless, and members of our own that
// join it over 127.0.0.1 or 127.0.0.2 and speak the protocol by hand
// (tests/netgame/hostile.h): a member's own "races" enter nothing, in a
// RACE and in a CONTROLLEDRACE; in a game made through the menus a member
// saying PLAYING late is timed from the race's start; a machine that
// re-creates its player keeps no honest copy of the game out; and a
// console session races twice, each result reaching the host's records.
#include <unistd.h>

#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

#include "net/netgame.h"
#include "tests/netgame/hostile.h"
#include "tests/netrace/menukeys.h"
#include "tests/netrace/pair.h"

namespace {

using namespace ztest::netrace;
using Clock = std::chrono::steady_clock;

// A member's player of a program's game, following the protocol by hand:
// each state it says is waited for until the controller answers with its
// record (taken or not), everything guaranteed acknowledged.
class Member {
 public:
  explicit Member(uint8_t machine = 1) : raw_(machine) {}

  // Joins the game on the discovery ports from base: its player, its
  // order; false when any of it fails or no car place is given.
  bool Join(uint16_t base, const std::string& name) {
    if (!raw_.Join(base) || !(id_ = raw_.CreatePlayer(name, "CLIENT")) || !(server_ = raw_.Server())) return false;
    return Until([&](const Got& m) { return m.type == CTRL_PLAYERORDER && (order_ = m.param1, true); }) &&
           order_ != CTRL_NOPLACE;
  }
  // Asks to log in: the controller's answer.
  bool LogIn() {
    Say(CTRL_CANILOGMYSELF, order_, 0);
    bool yes = false;
    Until([&](const Got& m) { return m.type == CTRL_ANSWER && ((yes = m.param1 == 1), true); });
    return yes;
  }
  // Says a state; the state the controller then holds.
  int32_t State(XSTATE state) {
    Say(CTRL_SETPLAYERSTATUS, static_cast<int32_t>(state), XSUBSTATE_PLAYING);
    int32_t held = -1;
    Until([&](const Got& m) { return m.type == CTRL_UPDATENETPLAYER && m.param1 == order_ && (held = StateIn(m), true); });
    return held;
  }
  void Result(uint32_t lap, uint32_t race) {
    std::string body(12, '\0');
    for (int i = 0; i < 4; ++i) {
      body[i] = static_cast<char>(lap >> (8 * i));
      body[4 + i] = static_cast<char>(race >> (8 * i));
    }
    Say(XNET_RACEFINISHED, order_, 1, body);
  }
  // Reads what came until the player of that order is said to be in that
  // state, counting only what arrived from `from` on (an index into the
  // messages); the index past it, or 0 when it did not come in time.
  size_t AwaitState(int32_t order, XSTATE state, size_t from, int seconds) {
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    for (; Clock::now() < end; std::this_thread::sleep_for(std::chrono::milliseconds(5))) {
      Keep();
      for (size_t i = from; i < raw_.Messages().size(); ++i) {
        const Got& m = raw_.Messages()[i];
        if (m.from == server_ && m.type == CTRL_UPDATENETPLAYER && m.param1 == order &&
            StateIn(m) == static_cast<int32_t>(state))
          return i + 1;
      }
    }
    return 0;
  }
  // Lets time pass, keeping up with what comes.
  void Idle(int ms) {
    for (const auto end = Clock::now() + std::chrono::milliseconds(ms); Clock::now() < end;) {
      Keep();
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  // Acknowledges what came meanwhile, and answers the presence queries.
  void Keep() {
    raw_.Drain(true);
    for (; answered_ < raw_.Messages().size(); ++answered_)
      if (raw_.Messages()[answered_].type == CTRL_PRESENCEQUERY) Say(CTRL_PRESENCEACK, 0, 0);
  }
  uint32_t Id() const { return id_; }
  int32_t Order() const { return order_; }
  ztest::HostileMember& Raw() { return raw_; }

 private:
  using Got = ztest::HostileMember::Got;
  static int32_t StateIn(const Got& m) { return m.body.size() > 5 ? static_cast<uint8_t>(m.body[5]) : -1; }

  void Say(int32_t type, int32_t p1, int32_t p2, const std::string& body = "") {
    uint8_t h[XNETMSG_HEADERSIZE];
    NET_PutHeader(h, type, p1, p2);
    raw_.Send(id_, server_, std::string(reinterpret_cast<char*>(h), sizeof h) + body);
  }
  // Drains and acknowledges until a message not yet looked at satisfies
  // done (10 s unless told), in real time.
  template <typename Done>
  bool Until(Done done, int seconds = 10) {
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    while (Clock::now() < end) {
      Keep();
      for (; looked_ < raw_.Messages().size(); ++looked_)
        if (raw_.Messages()[looked_].from == server_ && done(raw_.Messages()[looked_])) {
          ++looked_;
          return true;
        }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }

  ztest::HostileMember raw_;
  uint32_t id_ = 0, server_ = 0;
  int32_t order_ = -1;
  size_t looked_ = 0, answered_ = 0;
};

class NetMembers : public ztest::Environment {
 protected:
  void SetUp() override {
    Environment::SetUp();
    plat::UseManualClock(false);  // the members' waits run beside a program on the real clock
    a_.dir = temp_ + "/a";
    b_.dir = temp_ + "/b";
    base_ = FreeBasePort();
    ASSERT_NE(base_, 0);
    server_ = "G" + std::to_string(getpid() % 100000);
  }
  // The host: the shipped start-up, then the lines; its race waits for
  // what its keys do, and runs against a clock of `seconds` (0: shipped).
  void Host(const std::string& lines, const std::string& keys, int seconds = 0) {
    ASSERT_TRUE(StartSide(host_, a_, keys, base_, seconds, lines, true));
    ASSERT_TRUE(WaitFor(host_, a_, {"[XNET]SETTING CONTROLLER STATUS TO READY2PLAY..."}, Clock::now() + kLoad))
        << a_.Console() << a_.Errors();
  }
  bool HostSaid(const std::string& text) const { return a_.Console().find(text) != std::string::npos; }
  bool NoRecords() const {
    return !ztest::FileExists(a_.Tree() + "/BestRec.TMB") && !ztest::FileExists(a_.Tree() + "/BESTREC.TMB");
  }
  // The host still runs: nothing ended it, nothing on its standard error.
  void HostStillRuns() {
    int code = 0;
    EXPECT_FALSE(host_.Ended(&code)) << a_.Console() << a_.Errors();
    EXPECT_EQ(a_.Errors(), "");
  }
  // Lets time pass for the counted lines of the last second to be said.
  static void Settle() { std::this_thread::sleep_for(std::chrono::milliseconds(1500)); }

  static constexpr auto kLoad = std::chrono::seconds(120);
  uint16_t base_ = 0;
  std::string server_;
  Side a_, b_;  // the host and an honest joiner
  Process host_, joiner_;
};

// A member's own "races", five in a row: READY2PLAY from the console,
// then its race set up and PLAYING at its start line, a result of a few
// milliseconds, the end and back. In a RACE whose host waits at its
// gearbox choice, and in a CONTROLLEDRACE the controller launched whose
// host waits for the start: each PLAYING and READY2PLAY refused with a
// counted line, each result refused, no race started, no record written,
// and a newcomer may still log in.
class NetMembersOwnRaces : public NetMembers, public ::testing::WithParamInterface<const char*> {};

TEST_P(NetMembersOwnRaces, EnterNothing) {
  const bool controlled = std::strcmp(GetParam(), "CONTROLLEDRACE") == 0;
  Host("PROTOCOL 0\r\nSTARTNET\r\nCREATE " + server_ + " ALBA " + GetParam() + " 3\r\n" +
           (controlled ? "LAUNCHRACE\r\n" : "") + "PLAY\r\n",
       "240000ms 16 up\n");
  Member evil;
  ASSERT_TRUE(evil.Join(base_, "EVIL")) << a_.Console();
  ASSERT_TRUE(evil.LogIn());
  for (int race = 1; race <= 5; ++race) {
    SCOPED_TRACE(race);
    EXPECT_EQ(evil.State(XSTATE_READY2PLAY), static_cast<int32_t>(XSTATE_CONNECTED));
    for (XSTATE s : {XSTATE_LOADING, XSTATE_READY2PLAY, XSTATE_WAIT4READY, XSTATE_WAIT4GO})
      ASSERT_EQ(evil.State(s), static_cast<int32_t>(s));
    if (race == 1) evil.Idle(1100);  // the first PLAYING's line said apart from the READY2PLAY's
    EXPECT_EQ(evil.State(XSTATE_PLAYING), static_cast<int32_t>(XSTATE_WAIT4GO));
    evil.Result(0, static_cast<uint32_t>(race));
    EXPECT_EQ(evil.State(XSTATE_ENDOFRACE), static_cast<int32_t>(XSTATE_ENDOFRACE));
    EXPECT_EQ(evil.State(XSTATE_CONNECTED), static_cast<int32_t>(XSTATE_CONNECTED));
  }
  Member late;
  ASSERT_TRUE(late.Join(base_, "LATE"));
  EXPECT_TRUE(late.LogIn());  // the game is not closed to joiners
  Settle();
  const std::string evilId = std::to_string(evil.Id());
  EXPECT_TRUE(HostSaid("[CTRL][STATE READY2PLAY OF EVIL ID:" + evilId + " REFUSED: NOT AFTER LOADING A RACE]"));
  EXPECT_TRUE(HostSaid("[CTRL][STATE PLAYING OF EVIL ID:" + evilId + " REFUSED: " +
                       (controlled ? "NOT EVERY PLAYER AT THE START LINE" : "NOT IN THE HOST'S RACE") + "]"));
  EXPECT_TRUE(HostSaid("[CTRL][RACE RESULT OF EVIL ID:" + evilId + " REFUSED: NOT RACING IN THIS RACE]"));
  EXPECT_TRUE(HostSaid(" MORE STATE CHANGES REFUSED]"));  // counted, said a second later
  EXPECT_FALSE(HostSaid("[CTRL][NAME:EVIL"));
  EXPECT_FALSE(HostSaid("[CTRL][RACE STARTED"));
  EXPECT_TRUE(NoRecords());
  HostStillRuns();
}

INSTANTIATE_TEST_SUITE_P(RaceAndControlledRace, NetMembersOwnRaces, ::testing::Values("RACE", "CONTROLLEDRACE"));

// The menus make a RACE; a member seated at its start line says PLAYING
// 8 s after the host's GO and sends a race time of 1 ms: timed from the
// race's start like everyone, it is refused, and nothing is written.
TEST_F(NetMembers, InAMenusGameALatePlayingIsTimedFromTheRacesStart) {
  ASSERT_TRUE(StartSide(host_, a_, CreateKeys(server_), base_, 0, "INTERFACE\r\n", true));
  ASSERT_TRUE(WaitFor(host_, a_, {">CREATE " + server_ + " ALBA RACE 2", "[XNET]SETTING CONTROLLER STATUS TO READY2PLAY..."},
                      Clock::now() + kLoad))
      << a_.Console() << a_.Errors();
  Member late;
  ASSERT_TRUE(late.Join(base_, "LATE")) << a_.Console();
  ASSERT_TRUE(late.LogIn());
  for (XSTATE s : {XSTATE_LOADING, XSTATE_READY2PLAY, XSTATE_WAIT4READY, XSTATE_WAIT4GO})
    ASSERT_EQ(late.State(s), static_cast<int32_t>(s));
  // The host's GO, once its countdown is over.
  ASSERT_NE(late.AwaitState(0, XSTATE_PLAYING, 0, 60), 0u) << a_.Console();
  EXPECT_TRUE(HostSaid("[CTRL][RACE STARTED: 2 PLAYERS SEATED]"));
  late.Idle(8000);
  EXPECT_EQ(late.State(XSTATE_PLAYING), static_cast<int32_t>(XSTATE_PLAYING));
  late.Result(0, 1);
  const std::string refused = "[CTRL][RACE RESULT OF LATE ID:" + std::to_string(late.Id()) +
                              " REFUSED: RACE TIME 1 ms, BUT RACING FOR ";
  ASSERT_TRUE(WaitFor(host_, a_, {refused}, Clock::now() + std::chrono::seconds(10))) << a_.Console();
  const std::string log = a_.Console();
  EXPECT_GE(std::stol(log.substr(log.find(refused) + refused.size())), 8000L);
  EXPECT_FALSE(HostSaid("[CTRL][NAME:LATE"));
  EXPECT_TRUE(NoRecords());
  HostStillRuns();
}

// A member seated at the host's GO, in a RACE the console made, sends a
// race time of 1 ms a second later: no car drives the race that fast, and
// nothing is entered.
TEST_F(NetMembers, ASeatedMembersOneMillisecondRaceEntersNothing) {
  std::string keys;
  for (int t = 0; t < 120; ++t) keys += "500ms 16 down\n2 16 up\n";  // the gearbox confirmed
  Host("PROTOCOL 0\r\nSTARTNET\r\nCREATE " + server_ + " ALBA RACE 2\r\nPLAY\r\n", keys);
  Member evil;
  ASSERT_TRUE(evil.Join(base_, "EVIL")) << a_.Console();
  ASSERT_TRUE(evil.LogIn());
  for (XSTATE s : {XSTATE_LOADING, XSTATE_READY2PLAY, XSTATE_WAIT4READY, XSTATE_WAIT4GO})
    ASSERT_EQ(evil.State(s), static_cast<int32_t>(s));
  ASSERT_NE(evil.AwaitState(0, XSTATE_PLAYING, 0, 120), 0u) << a_.Console();
  EXPECT_TRUE(HostSaid("[CTRL][RACE STARTED: 2 PLAYERS SEATED]"));
  evil.Idle(1000);
  evil.Result(0, 1);
  const std::string refused = "[CTRL][RACE RESULT OF EVIL ID:" + std::to_string(evil.Id()) + " REFUSED: RACE TIME 1 ms, ";
  ASSERT_TRUE(WaitFor(host_, a_, {refused}, Clock::now() + std::chrono::seconds(10))) << a_.Console();
  EXPECT_TRUE(HostSaid("NO CAR DRIVES THE RACE UNDER 13236 ms]")) << a_.Console();  // one lap of 1,103 m at 300 km/h
  EXPECT_FALSE(HostSaid("[CTRL][NAME:EVIL"));
  EXPECT_FALSE(HostSaid("New Best Time record"));
  EXPECT_TRUE(NoRecords());
  HostStillRuns();
}

// A SERVER game races what its race file says, the file every copy reads:
// its laps (the race's 3 where the count is refused) of its line at the
// fastest car's top speed; a line it cannot read enters nothing. One
// machine fills the game (a game for four: two connections of two players
// each) and races its own races: every player at the start line, the race
// starts, and results follow, at once (of 1 to 52 ms) or after the
// row's wait, with its best lap. Nothing is entered, the host says why
// (when the game is made where the file is at fault, and at each start),
// and the joiners' requests for every setup are answered though the
// controller holds none.
struct ServerRow {
  const char* what;
  std::map<std::string, std::string> raceKeys;
  int members, races, waitMs;
  uint32_t bestLap;
  std::vector<std::string> said;  // in order
  std::string refusal;
};

void PrintTo(const ServerRow& r, std::ostream* os) { *os << r.what; }

class NetMembersServer : public NetMembers, public ::testing::WithParamInterface<ServerRow> {};

TEST_P(NetMembersServer, ResultsUnderItsRaceFilesRaceEnterNothing) {
  const ServerRow& r = GetParam();
  ASSERT_TRUE(StartSide(host_, a_, "240000ms 16 up\n", base_, 0,
                        "PROTOCOL 0\r\nSTARTNET\r\nSERVER " + server_ + " RACE " + std::to_string(r.members) + "\r\n",
                        true, r.raceKeys));
  ASSERT_TRUE(WaitFor(host_, a_, {"Server '" + server_ + "'successfully launched..."}, Clock::now() + kLoad))
      << a_.Console() << a_.Errors();
  std::vector<std::unique_ptr<Member>> members;
  for (int i = 0; i < r.members; ++i) {
    members.push_back(std::make_unique<Member>());
    ASSERT_TRUE(members.back()->Join(base_, "EVIL" + std::to_string(i))) << a_.Console();
    ASSERT_TRUE(members.back()->LogIn()) << a_.Console();
  }
  for (int race = 1; race <= r.races; ++race) {
    SCOPED_TRACE(race);
    for (auto& m : members)
      for (XSTATE s : {XSTATE_LOADING, XSTATE_READY2PLAY, XSTATE_WAIT4READY, XSTATE_WAIT4GO})
        ASSERT_EQ(m->State(s), static_cast<int32_t>(s));
    const auto go = Clock::now();
    for (auto& m : members) ASSERT_EQ(m->State(XSTATE_PLAYING), static_cast<int32_t>(XSTATE_PLAYING));
    members[0]->Idle(r.waitMs);
    const auto raced =
        static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - go).count());
    for (size_t i = 0; i < members.size(); ++i)
      members[i]->Result(r.bestLap, r.waitMs ? raced : static_cast<uint32_t>(1 + 17 * i));
    for (auto& m : members) {
      ASSERT_EQ(m->State(XSTATE_ENDOFRACE), static_cast<int32_t>(XSTATE_ENDOFRACE));
      ASSERT_EQ(m->State(XSTATE_CONNECTED), static_cast<int32_t>(XSTATE_CONNECTED));
    }
  }
  Settle();
  std::vector<std::string> started(static_cast<size_t>(r.races),
                                   "[CTRL][RACE STARTED: " + std::to_string(r.members) + " PLAYERS SEATED]");
  EXPECT_EQ(MissingInOrder(a_.Console(), started), "");
  EXPECT_EQ(MissingInOrder(a_.Console(), r.said), "") << a_.Console();
  // The first result refused says why.
  const std::string refused = "[CTRL][RACE RESULT OF EVIL0 ID:" + std::to_string(members[0]->Id()) + " REFUSED: ";
  std::istringstream log(a_.Console());
  bool why = false;
  for (std::string line; std::getline(log, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    why = why || (line.rfind(refused, 0) == 0 && line.ends_with(r.refusal));
  }
  EXPECT_TRUE(why) << refused << "..." << r.refusal << "\n" << a_.Console();
  EXPECT_FALSE(HostSaid("[CTRL][NAME:EVIL"));
  EXPECT_FALSE(HostSaid("New Best Time record"));
  EXPECT_FALSE(HostSaid("ACK FAILED"));
  EXPECT_FALSE(HostSaid("GIVING UP ON 4294967295"));
  EXPECT_TRUE(NoRecords());
  HostStillRuns();
}

// One lap of the race file's line (1,103 m) at 300 km/h is 13,236 ms.
INSTANTIATE_TEST_SUITE_P(
    RaceFiles, NetMembersServer,
    ::testing::Values(
        ServerRow{"the shipped race file", {}, 4, 3, 0, 0, {"[CTRL][NO RESULT UNDER 13236 ms: 1 LAPS AT 300 km/h]"},
                  "NO CAR DRIVES THE RACE UNDER 13236 ms]"},
        ServerRow{"a race file naming a missing line",
                  {{"BSPLINENAME", "TXT>NOLINE.BSP"}},
                  4,
                  3,
                  0,
                  0,
                  {"[CTRL][TXT>NETRACE.TXT: LINE TXT>NOLINE.BSP NOT FOUND: THE LAP'S LENGTH IS UNKNOWN: A RACE WITHOUT "
                   "THE HOST'S PLAYER ENTERS NO RESULT]",
                   "[CTRL][NO RESULT OF THIS RACE WILL BE ENTERED: THE LAP'S LENGTH IS UNKNOWN]"},
                  "THE LAP'S LENGTH IS UNKNOWN]"},
        ServerRow{"100 laps, which the race refuses for its 3: 13.3 s",
                  {{"RACENLAPS", "100"}},
                  1,
                  1,
                  13300,
                  0,
                  {"[CTRL][TXT>NETRACE.TXT: RACENLAPS parameter 100 refused (1 to 99 laps), 3 laps...]",
                   "[CTRL][NO RESULT UNDER 39708 ms: 3 LAPS AT 300 km/h]"},
                  "NO CAR DRIVES THE RACE UNDER 39708 ms]"},
        ServerRow{"a best lap of 1 ms", {}, 1, 1, 14000, 1, {"[CTRL][NO RESULT UNDER 13236 ms: 1 LAPS AT 300 km/h]"},
                  "BEST LAP 1 ms: NO CAR DRIVES A LAP UNDER 13236 ms]"}),
    [](const ::testing::TestParamInfo<ServerRow>& info) { return std::to_string(info.index); });

// A machine of its own (127.0.0.2) takes the only free place of a game
// for two and never logs in; each time its player loses the place it
// destroys it and creates another at once. An honest copy joins from the
// menus, asking again every 4 s: it is told the game is full, then gets
// the place within 30 s, the host refusing the machine's new player.
TEST_F(NetMembers, AMachineRecreatingItsPlayerKeepsNoHonestJoinerOut) {
  Host("PROTOCOL 0\r\nSTARTNET\r\nCREATE " + server_ + " ALBA RACE 2\r\nPLAY\r\n", "240000ms 16 up\n");
  std::string joinKeys = ToNetworkMenu("bruno") + ClickAt("3000ms", 345, 309);
  for (int i = 0; i < 20; ++i) joinKeys += ClickAt(i ? "4000ms" : "8000ms", 525, 341);
  ASSERT_TRUE(StartSide(joiner_, b_, joinKeys + "60000ms 16 up\n", base_, 0, "INTERFACE\r\n", true));
  // The machine takes the place while the joiner looks at the server list.
  ASSERT_TRUE(WaitFor(joiner_, b_, {">MYSERVERSLIST 0"}, Clock::now() + kLoad)) << b_.Console() << b_.Errors();
  ztest::HostileMember hog(2);
  ASSERT_TRUE(hog.Join(base_));
  uint32_t player = hog.CreatePlayer("HOG", "CLIENT");
  ASSERT_NE(player, 0u);
  const auto end = Clock::now() + std::chrono::seconds(150);
  auto firstRefusal = Clock::time_point{}, joined = firstRefusal;
  size_t drops = 0;
  while (Clock::now() < end && joined == Clock::time_point{}) {
    hog.Drain(true);  // its orders taken, never a log-in
    const std::string host = a_.Console(), joiner = b_.Console();
    // Each place it loses, it takes again at once with a new player.
    size_t lost = 0;
    for (size_t at = host.find("NOT LOGGED IN WITHIN 15 s"); at != std::string::npos;
         at = host.find("NOT LOGGED IN WITHIN 15 s", at + 1))
      ++lost;
    if (lost > drops) {
      drops = lost;
      hog.DestroyPlayer(player);
      player = hog.CreatePlayer("HOG", "CLIENT");
    }
    if (firstRefusal == Clock::time_point{} && joiner.find("is full: no free car place") != std::string::npos)
      firstRefusal = Clock::now();
    if (joiner.find("Player BRUNO logged with ID[") != std::string::npos) joined = Clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_NE(firstRefusal, Clock::time_point{}) << b_.Console();
  ASSERT_NE(joined, Clock::time_point{}) << a_.Console() << b_.Console();
  EXPECT_LE(joined - firstRefusal, std::chrono::seconds(30));
  EXPECT_GE(drops, 1u);
  EXPECT_TRUE(HostSaid("ITS MACHINE GAVE ONE BACK WITHOUT LOGGING IN]")) << a_.Console();
  EXPECT_EQ(b_.Errors(), "");
  HostStillRuns();
}

// In a game for two, the member quits race 1 while it runs (PLAYING, then
// back to CONNECTED, as Esc and F1 send), leaves the game, and joins again
// with a new player once the host's race 1 is over. The place it freed is
// its again, the host's start line of race 2 waits for it, and its finish
// of race 2 reaches the host's records.
TEST_F(NetMembers, AMemberQuittingARaceJoinsAgainAndRacesTheNext) {
  std::string keys;
  for (int t = 0; t < 480; ++t) keys += "500ms 16 down\n2 16 up\n0 112 down\n2 112 up\n";  // confirm, and F1
  Host("PROTOCOL 0\r\nSTARTNET\r\nCREATE " + server_ +
           " ALBA RACE 2\r\nRUN PNET\r\nPLAY\r\nPLAY\r\nHALLOFFAME\r\nCLOSENET\r\nQUIT\r\n",
       keys, 15);
  {
    Member first;
    ASSERT_TRUE(first.Join(base_, "BRUNO")) << a_.Console();
    ASSERT_TRUE(first.LogIn());
    for (XSTATE s : {XSTATE_LOADING, XSTATE_READY2PLAY, XSTATE_WAIT4READY}) ASSERT_EQ(first.State(s), static_cast<int32_t>(s));
    ASSERT_NE(first.AwaitState(0, XSTATE_WAIT4GO, 0, 120), 0u) << a_.Console();
    ASSERT_EQ(first.State(XSTATE_WAIT4GO), static_cast<int32_t>(XSTATE_WAIT4GO));
    ASSERT_NE(first.AwaitState(0, XSTATE_PLAYING, 0, 60), 0u) << a_.Console();
    ASSERT_EQ(first.State(XSTATE_PLAYING), static_cast<int32_t>(XSTATE_PLAYING));
    first.Idle(2000);
    ASSERT_EQ(first.State(XSTATE_CONNECTED), static_cast<int32_t>(XSTATE_CONNECTED));  // quits the race
    first.Raw().DestroyPlayer(first.Id());  // and the game
  }
  ASSERT_TRUE(WaitFor(host_, a_, {"[CTRL][MAXPLAYER--...", "DisposeVehicles..."}, Clock::now() + kLoad)) << a_.Console();
  Member again;
  ASSERT_TRUE(again.Join(base_, "BRUNO")) << a_.Console();
  ASSERT_TRUE(again.LogIn()) << a_.Console();
  for (XSTATE s : {XSTATE_LOADING, XSTATE_READY2PLAY, XSTATE_WAIT4READY}) ASSERT_EQ(again.State(s), static_cast<int32_t>(s));
  size_t from = again.AwaitState(0, XSTATE_WAIT4GO, 0, 120);
  ASSERT_NE(from, 0u) << a_.Console();
  ASSERT_EQ(again.State(XSTATE_WAIT4GO), static_cast<int32_t>(XSTATE_WAIT4GO));
  ASSERT_NE(again.AwaitState(0, XSTATE_PLAYING, from, 60), 0u) << a_.Console();
  const auto go = Clock::now();
  ASSERT_EQ(again.State(XSTATE_PLAYING), static_cast<int32_t>(XSTATE_PLAYING));
  again.Idle(15000);  // no sooner than its lap at the fastest car's top speed
  const auto time = static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - go).count());
  again.Result(0, time);
  ASSERT_EQ(again.State(XSTATE_ENDOFRACE), static_cast<int32_t>(XSTATE_ENDOFRACE));
  ASSERT_EQ(again.State(XSTATE_CONNECTED), static_cast<int32_t>(XSTATE_CONNECTED));
  int code = -1;
  const auto end = Clock::now() + std::chrono::seconds(120);
  while (!host_.Ended(&code) && Clock::now() < end) again.Idle(100);
  EXPECT_EQ(code, 0) << a_.Console();
  const std::string log = a_.Console();
  EXPECT_EQ(MissingInOrder(log, {"[CTRL][RACE STARTED: 2 PLAYERS SEATED]", "[CTRL][MAXPLAYER--...",
                                 "[CTRL][MAXPLAYER++... 2 ]", "[CTRL][RACE STARTED: 2 PLAYERS SEATED]",
                                 "[CTRL][NAME:BRUNO LAP:0 RACE:" + std::to_string(time), ">HALLOFFAME",
                                 "[   0|           BRUNO| "}),
            "")
      << log;
  EXPECT_FALSE(HostSaid("You cannot join"));
  EXPECT_EQ(a_.Errors(), "");
}

// A console session of two network races: the host stands on the grid
// until its time runs out (its race script, DAT>PNET, runs the race
// clock), and leaves each race's end; a member races
// each race and sends its finish with the time it raced, then leaves the
// race before the host's has ended, and waits for the next. Both results
// reach the host's records, which HALLOFFAME lists after the second race.
TEST_F(NetMembers, AConsoleSessionRacesTwiceAndEachResultReachesTheRecords) {
  std::string keys;
  for (int t = 0; t < 480; ++t) keys += "500ms 16 down\n2 16 up\n0 112 down\n2 112 up\n";  // confirm, and F1
  // The race script of the network races, as the menus run it: its race
  // runs against the clock, so that the host's ends by itself.
  Host("PROTOCOL 0\r\nSTARTNET\r\nCREATE " + server_ +
           " ALBA RACE 2\r\nRUN PNET\r\nPLAY\r\nPLAY\r\nHALLOFFAME\r\nCLOSENET\r\nQUIT\r\n",
       keys, 15);
  Member member;
  ASSERT_TRUE(member.Join(base_, "MEMBER")) << a_.Console();
  ASSERT_TRUE(member.LogIn());
  std::vector<uint32_t> times;
  size_t from = 0;
  for (int race = 1; race <= 2; ++race) {
    SCOPED_TRACE(race);
    // Its race set up, it waits at WAIT4READY (with the host's previous
    // race still at its end) until the host is at its start line.
    for (XSTATE s : {XSTATE_LOADING, XSTATE_READY2PLAY, XSTATE_WAIT4READY}) ASSERT_EQ(member.State(s), static_cast<int32_t>(s));
    ASSERT_NE(from = member.AwaitState(0, XSTATE_WAIT4GO, from, 120), 0u) << a_.Console();
    ASSERT_EQ(member.State(XSTATE_WAIT4GO), static_cast<int32_t>(XSTATE_WAIT4GO));
    ASSERT_NE(from = member.AwaitState(0, XSTATE_PLAYING, from, 60), 0u) << a_.Console();
    const auto go = Clock::now();
    ASSERT_EQ(member.State(XSTATE_PLAYING), static_cast<int32_t>(XSTATE_PLAYING));
    // Its race of one lap takes no less than the lap (1,103 m) at the
    // fastest car's top speed, about 13.2 s: a result sooner is refused.
    member.Idle(14000 + 1000 * race);
    times.push_back(static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - go).count()));
    member.Result(0, times.back());
    ASSERT_EQ(member.State(XSTATE_ENDOFRACE), static_cast<int32_t>(XSTATE_ENDOFRACE));
    ASSERT_EQ(member.State(XSTATE_CONNECTED), static_cast<int32_t>(XSTATE_CONNECTED));
  }
  int code = -1;
  const auto end = Clock::now() + std::chrono::seconds(120);
  while (!host_.Ended(&code) && Clock::now() < end) member.Idle(100);
  EXPECT_EQ(code, 0) << a_.Console();
  const std::string log = a_.Console();
  for (uint32_t t : times) EXPECT_NE(log.find("[CTRL][NAME:MEMBER LAP:0 RACE:" + std::to_string(t)), std::string::npos) << t;
  const size_t fame = log.rfind("ZENTROVA RACE - HALL OF FAME");
  ASSERT_NE(fame, std::string::npos) << log;
  size_t rows = 0;
  for (size_t at = log.find("|          MEMBER| ", fame); at != std::string::npos && at < log.find("FINISHING LIST", fame);
       at = log.find("|          MEMBER| ", at + 1))
    ++rows;
  EXPECT_EQ(rows, 2u) << log.substr(fame);
  EXPECT_EQ(MissingInOrder(log, {">PLAY", "[CTRL][RACE STARTED: 2 PLAYERS SEATED]", "DisposeVehicles...", ">PLAY",
                                 "[CTRL][RACE STARTED: 2 PLAYERS SEATED]", "DisposeVehicles...", ">HALLOFFAME"}),
            "");
  EXPECT_EQ(a_.Errors(), "");
}

}  // namespace
