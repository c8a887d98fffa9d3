// The host's race under the controller: a table of who may say READY2PLAY
// and PLAYING, which race starts and whom it seats; and a seeded generator
// of member messages beside honest racers, the controller's rules checked
// after each message. The members are players of the host's own machine,
// their messages handed to the controller as the pump would: the
// controller's answers are delivered and acknowledged in memory, so that
// thousands of games run in seconds.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "net/ctrl.h"
#include "net/net.h"
#include "net/netplayer.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "system/input.h"
#include "tests/netgame/netgame_fixture.h"
#include "tests/netlink/lsnet_fixture.h"
#include "track/types.h"
#include "vehicles/physics.h"

namespace {

namespace np = plat::netplay;
using ztest::Long;
using ztest::Message;

class NetHostRace : public ztest::LsNetTest {
 public:
  void SetUp() override {
    LsNetTest::SetUp();
    LS_NetSelect(&host_);
    ASSERT_EQ(LS_NetEnumerateProtocols(nullptr), 1);
    LS_NETCONFIG c = Config();
    c.ServerMessage = CTRL_HandleMessage;
    c.ServerSystem = CTRL_HandleSystemMessage;
    // What reaches the members' players is acknowledged by the reliable
    // layer and read no further (the last kept): their side plays no part
    // here.
    c.PlayerMessage = [](uint32_t, const void* m, uint32_t n) { LastToAPlayer() = ztest::Bytes(m, n); };
    c.PlayerSystem = [](uint32_t, uint32_t) {};
    c.SendFailure = CTRL_SendFailure;
    ASSERT_EQ(LS_NetInit(&c), 1);
    ASSERT_EQ(LS_NetCreateSession(32, "S", "HOST"), 1);
    hostId_ = host_.Config.LocalPlayerId;
    // The host's machine in its race: the console's lines are kept, not
    // drawn (nor do they pump).
    SB_Var.XState = XSTATE_READY2PLAY;
    SB_Var.IsController = 1;
    SB_Var.NbLaps = 3;
  }
  void TearDown() override {
    LS_NetSelect(&host_);
    CTRL_Free();
    LsNetTest::TearDown();
  }

  // A fresh controller of a game of that type and maximum, the players of
  // the last game gone; the host's own player logged in when it races,
  // else it is no player of the game. The lines from the game type's
  // setting on are kept.
  void NewGame(int32_t type, int32_t maximum, bool hostRaces) {
    for (uint32_t id : made_) np::DestroyPlayer(host_.Transport.Object, id);
    made_.clear();
    Pump();
    CTRL_Free();
    CTRL_Init();
    if (hostRaces) {
      CTRL_AddPlayer(hostId_);
      Pump();
    }
    SB_ClearPrintedLines();  // what the game type's setting says is kept
    Send(hostId_, Message(CTRL_SETGAMETYPE, type, maximum));
    if (hostRaces) LogIn(hostId_);
  }

  // A member's player arriving in the session, from the machine at that
  // address (0: the host's own): its id, once the controller has sent its
  // order.
  uint32_t Join(const std::string& name, uint32_t address = 0) {
    uint32_t id = 0;
    EXPECT_EQ(np::CreatePlayer(host_.Transport.Object, name.c_str(), "CLIENT", &id), np::kOk);
    if (address) np::SetStandInAddress(host_.Transport.Object, id, address);
    made_.push_back(id);
    Pump();
    return id;
  }
  void Leave(uint32_t id) {
    np::DestroyPlayer(host_.Transport.Object, id);
    Pump();
  }
  // One pump delivers what the controller sent; the acknowledgements come
  // back with the next.
  static void Pump() { NET_UpdateEvent(); }
  // A message from the player, as the pump hands it over.
  static void Send(uint32_t from, const std::string& m) {
    CTRL_HandleMessage(from, m.data(), static_cast<uint32_t>(m.size()));
    Pump();
  }
  static int32_t OrderOf(uint32_t id) {
    for (int32_t i = 0; i < NET_MAXPLAYERS; ++i)
      if (CTRL_IsPresent(CTRL_State().Players[i]) && CTRL_State().Players[i].Id == id) return i;
    return -1;
  }
  static void LogIn(uint32_t id) { Send(id, Message(CTRL_CANILOGMYSELF, OrderOf(id), 0)); }
  static void Status(uint32_t id, int32_t state, int32_t sub = XSUBSTATE_PLAYING) {
    Send(id, Message(CTRL_SETPLAYERSTATUS, state, sub));
  }
  static void Result(uint32_t id, int32_t order, uint32_t lap, uint32_t race, int32_t type = XNET_RACEFINISHED) {
    Send(id, Message(type, order, 1, Long(lap) + Long(race) + Long(0)));
  }
  static XSTATE StateOf(uint32_t id) {
    const int32_t o = OrderOf(id);
    return o < 0 ? 0 : CTRL_State().Players[o].XState;
  }
  // The player walked along the race's states as a copy of the game walks
  // them, from where it stands up to the state given.
  static void To(uint32_t id, XSTATE target, int32_t sub = XSUBSTATE_PLAYING) {
    static const XSTATE kSetUp[] = {XSTATE_LOADING, XSTATE_REMAPPINGCARS, XSTATE_READY2PLAY, XSTATE_WAIT4READY,
                                    XSTATE_WAIT4GO};
    if (target <= XSTATE_WAIT4GO && target > StateOf(id) && target != XSTATE_CONNECTED) {
      for (XSTATE s : kSetUp)
        if (s > StateOf(id) && s <= target) Status(id, static_cast<int32_t>(s), sub);
      return;
    }
    Status(id, static_cast<int32_t>(target), sub);
  }

  const std::string& Root() const { return root_; }
  static std::string& LastToAPlayer() {
    static std::string last;
    return last;
  }

  uint32_t hostId_ = 0;
  std::vector<uint32_t> made_;
};

// ---- Known cases ----

// Each row sets a game up (steps "X:n" walk player X, the host H or the
// members M and L, to state n, "X:nw" watching; "launch" is the
// controller's start of a CONTROLLEDRACE; "wait" lets 20 s pass, "wait:n"
// n ms, and a second passes before the ask), then a player (M unless the
// row names another) asks a state: taken, its record then going to every
// player of the game, or refused with its reason and its record going back
// to it alone; no other refusal; the race started (and whom it seats) or
// not. Where a row gives a race time, M (or the row's finisher) then sends
// that result, with the row's best lap: entered, or refused with its
// reason and nothing else refused. Then whether a newcomer may log in.
// The host's race file names a line of 100 m (or the row's; 0: none) and
// gives 3 laps (or the row's count): the race's least time is its laps of
// that line at the top speed. The host's copy has loaded that line where
// it races, and none (or the row's) where it has no player; a copy without
// a player last chose 1 lap, in a race before.
TEST_F(NetHostRace, WhoMaySayReadyOrPlayingAndWhomARaceSeats) {
  struct Row {
    const char* what;
    int32_t type, maximum;
    bool hostRaces;
    std::vector<std::string> steps;
    int32_t asked;
    const char* refusal;  // null: taken
    const char* seated;   // the race started, seating these; null: none started
    bool joinersWelcome;
    uint32_t raceTime = 0;
    const char* resultRefusal = nullptr;
    char by = 'M', finisher = 'M';
    int32_t lapMetres = 100;
    uint32_t bestLap = 0;
    int32_t loadedMetres = -1;  // -1: the file's where the host races, else none
    const char* fileLaps = "3";
  };
  const Row rows[] = {
      {"ready without loading a race", CTRL_RACE, 4, true, {}, 6, "NOT AFTER LOADING A RACE", nullptr, true},
      {"ready after loading", CTRL_RACE, 4, true, {"M:4"}, 6, nullptr, nullptr, true},
      {"ready again after a race", CTRL_RACE, 4, true, {"H:8", "M:8", "H:9", "M:9", "M:10"}, 6,
       "NOT AFTER LOADING A RACE", "HM", false},
      {"playing before the start line", CTRL_RACE, 4, true, {"H:8", "M:7"}, 9, "NOT AT THE START LINE", nullptr, true},
      {"a member's own race, the host at the console", CTRL_RACE, 4, true, {"M:8"}, 9, "NOT IN THE HOST'S RACE",
       nullptr, true},
      {"a member's own race, the host waiting for all", CTRL_RACE, 4, true, {"H:7", "M:8"}, 9,
       "NOT IN THE HOST'S RACE", nullptr, true},
      {"at the host's start line, before its GO", CTRL_RACE, 4, true, {"H:8", "M:8"}, 9, nullptr, nullptr, true},
      {"the host's GO seats who said PLAYING at its start line", CTRL_RACE, 4, true, {"H:8", "M:8", "M:9", "H:9"}, 0,
       nullptr, "HM", false, 20000, nullptr},
      {"late, seated at the start: timed from it", CTRL_RACE, 4, true, {"H:8", "M:8", "H:9", "wait"}, 9, nullptr, "HM",
       false, 1, "RACE TIME 1 ms, BUT RACING FOR 21"},
      {"at the start line after the host's GO", CTRL_RACE, 4, true, {"H:8", "H:9", "M:8"}, 9,
       "NOT IN THE HOST'S RACE", "H", false},
      {"PLAYING said at an earlier start line of the host", CTRL_RACE, 4, true,
       {"H:8", "M:8", "M:9", "H:3", "H:8", "H:9"}, 0, nullptr, "H", false, 20000, "NOT RACING IN THIS RACE"},
      {"still racing the last race when the host's next starts", CTRL_RACE, 4, true,
       {"H:8", "M:8", "H:9", "M:9", "H:10", "H:3", "H:8", "H:9"}, 0, nullptr, "H", false, 20000,
       "NOT RACING IN THIS RACE"},
      {"back to the start line after leaving the race", CTRL_RACE, 4, true,
       {"H:8", "M:8", "H:9", "M:9", "M:3", "M:8"}, 9, "NOT IN THE HOST'S RACE", "H", false},
      {"the host gone back from its race, a member racing on", CTRL_RACE, 4, true,
       {"H:8", "M:8", "H:9", "M:9", "H:10", "H:3"}, 0, nullptr, "M", true},
      {"the race over, its racers gone back", CTRL_MULTIRACE, 4, true,
       {"H:8", "M:8", "H:9", "M:9", "H:10", "M:10", "H:3", "M:3"}, 0, nullptr, nullptr, true},
      {"no host player: all at the start line", CTRL_RACE, 2, false, {"M:8", "L:8"}, 9, nullptr, "LM", false},
      {"no host player: one still loading", CTRL_RACE, 2, false, {"M:8", "L:6"}, 9,
       "NOT EVERY PLAYER AT THE START LINE", nullptr, true},
      {"no host player: fewer than the game's maximum", CTRL_RACE, 3, false, {"M:8", "L:8"}, 9,
       "NOT EVERY PLAYER AT THE START LINE", nullptr, true},
      {"a FREERACE, every player at the start line", CTRL_FREERACE, 2, false, {"M:8", "L:8"}, 9,
       "A FREERACE HAS NO START", nullptr, true, 20000, "NOT RACING IN THIS RACE"},
      {"a FREERACE's host at its start line", CTRL_FREERACE, 4, true, {"H:8", "M:8"}, 9, "A FREERACE HAS NO START",
       nullptr, true, 0, nullptr, 'H'},
      {"no host player: a race under way", CTRL_RACE, 2, false, {"M:8", "L:8", "L:9", "M:3", "M:8"}, 9,
       "NOT IN THE RACE UNDER WAY", "L", false},
      {"controlled, not launched", CTRL_CONTROLLEDRACE, 2, false, {"M:8", "L:8"}, 9, "NO RACE LAUNCHED", nullptr,
       true},
      {"controlled, launched, the host's player at the console", CTRL_CONTROLLEDRACE, 3, true,
       {"launch", "M:8", "L:8"}, 9, nullptr, "LM", false},
      {"controlled, launched, the host waiting for all", CTRL_CONTROLLEDRACE, 3, true,
       {"launch", "H:7", "M:8", "L:8"}, 9, "NOT EVERY PLAYER AT THE START LINE", nullptr, true},
      {"controlled, the next race not launched", CTRL_CONTROLLEDRACE, 2, false,
       {"launch", "M:8", "L:8", "M:9", "L:9", "M:10", "L:10", "M:3", "L:3", "M:8", "L:8"}, 9, "NO RACE LAUNCHED",
       nullptr, true},
      {"controlled, the host's player at the console: its race file's line, not one left loaded",
       CTRL_CONTROLLEDRACE, 3, true, {"launch", "M:8", "L:8", "M:9", "wait:35000"}, 0, nullptr, "LM", false, 36000,
       nullptr, 'M', 'M', 1000, 0, 5000},
      {"a watcher at the start line is not seated", CTRL_RACE, 4, true, {"H:8", "M:8", "L:8w"}, 0, nullptr, nullptr,
       true, 0, nullptr, 'H'},
      {"...nor its result entered", CTRL_RACE, 4, true, {"H:8", "M:8w", "L:8"}, 9, nullptr, "HL", false, 20000,
       "NOT RACING IN THIS RACE", 'H'},
      {"the host's own result", CTRL_RACE, 4, true, {"H:8", "M:8", "wait"}, 9, nullptr, "HM", false, 20000, nullptr,
       'H', 'H'},
      {"WAIT4GO said twice", CTRL_RACE, 4, true, {"H:8", "M:8"}, 8, nullptr, nullptr, true},
      {"WAIT4GO said again, seated", CTRL_RACE, 4, true, {"H:8", "M:8", "H:9", "wait"}, 8, nullptr, "HM", false,
       20000},
      {"PLAYING said twice at the host's start line", CTRL_RACE, 4, true, {"H:8", "M:8", "M:9"}, 9, nullptr, nullptr,
       true},
      {"PLAYING said twice in the race", CTRL_RACE, 4, true, {"H:8", "M:8", "H:9", "M:9", "wait"}, 9, nullptr, "HM",
       false, 20000},
      {"a third player at the start line after a member said PLAYING", CTRL_RACE, 4, true,
       {"H:8", "M:8", "M:9", "L:8"}, 9, nullptr, "HLM", false, 0, nullptr, 'H'},
      {"seated in the last race, never started, PLAYING at the next start line", CTRL_RACE, 4, true,
       {"H:8", "M:8", "H:9", "H:10", "H:3", "H:8", "M:9", "wait"}, 9, nullptr, "HM", false, 20000, nullptr, 'H'},
      {"...and its PLAYING taken there", CTRL_RACE, 4, true, {"H:8", "M:8", "H:9", "H:10", "H:3", "H:8"}, 9, nullptr,
       nullptr, true},
      {"a result at the race's least time", CTRL_RACE, 4, true, {"H:8", "M:8", "H:9", "M:9", "wait:35000"}, 0,
       nullptr, "HM", false, 36000, nullptr, 'M', 'M', 1000},
      {"a result a millisecond under it", CTRL_RACE, 4, true, {"H:8", "M:8", "H:9", "M:9", "wait:35000"}, 0, nullptr,
       "HM", false, 35999, "RACE TIME 35999 ms, 36000 ms AFTER THE START: NO CAR DRIVES THE RACE UNDER 36000 ms",
       'M', 'M', 1000},
      {"a result arriving at the least time less the slack", CTRL_RACE, 4, true,
       {"H:8", "M:8", "H:9", "M:9", "wait:30000"}, 0, nullptr, "HM", false, 36000, nullptr, 'M', 'M', 1000},
      {"...a millisecond sooner", CTRL_RACE, 4, true, {"H:8", "M:8", "H:9", "M:9", "wait:29999"}, 0, nullptr, "HM",
       false, 36000, "RACE TIME 36000 ms, 30999 ms AFTER THE START: NO CAR DRIVES THE RACE UNDER 36000 ms", 'M', 'M',
       1000},
      {"a SERVER game's result under its least time", CTRL_RACE, 2, false, {"M:8", "L:8", "M:9", "wait:9000"}, 0,
       nullptr, "LM", false, 10000, "RACE TIME 10000 ms, 10000 ms AFTER THE START: NO CAR DRIVES THE RACE UNDER 36000 ms",
       'M', 'M', 1000},
      {"a SERVER whose copy loaded a longer line: its race file's times the race", CTRL_RACE, 2, false,
       {"M:8", "L:8", "M:9", "wait:35000"}, 0, nullptr, "LM", false, 36000, nullptr, 'M', 'M', 1000, 0, 5000},
      {"...a shorter line", CTRL_RACE, 2, false, {"M:8", "L:8", "M:9", "wait:35000"}, 0, nullptr, "LM", false, 35999,
       "RACE TIME 35999 ms, 36000 ms AFTER THE START: NO CAR DRIVES THE RACE UNDER 36000 ms", 'M', 'M', 1000, 0, 100},
      {"a SERVER whose race file's line is missing", CTRL_RACE, 2, false, {"M:8", "L:8", "M:9", "wait"}, 0, nullptr,
       "LM", false, 21000, "THE LAP'S LENGTH IS UNKNOWN", 'M', 'M', 0, 0, 1000},
      {"a SERVER whose laps are refused races the race's 3", CTRL_RACE, 2, false, {"M:8", "L:8", "M:9", "wait:35000"},
       0, nullptr, "LM", false, 35999,
       "RACE TIME 35999 ms, 36000 ms AFTER THE START: NO CAR DRIVES THE RACE UNDER 36000 ms", 'M', 'M', 1000, 0, -1,
       "100"},
      {"...or missing", CTRL_MULTIRACE, 2, false, {"M:8", "L:8", "M:9", "wait:35000"}, 0, nullptr, "LM", false, 35999,
       "RACE TIME 35999 ms, 36000 ms AFTER THE START: NO CAR DRIVES THE RACE UNDER 36000 ms", 'M', 'M', 1000, 0, -1,
       nullptr},
      {"the host's own race: the line its copy loaded", CTRL_RACE, 4, true, {"H:8", "M:8", "H:9", "M:9", "wait:35000"},
       0, nullptr, "HM", false, 35999,
       "RACE TIME 35999 ms, 36000 ms AFTER THE START: NO CAR DRIVES THE RACE UNDER 36000 ms", 'M', 'M', 100, 0, 1000},
      {"a best lap at one lap's least time", CTRL_RACE, 4, true, {"H:8", "M:8", "H:9", "M:9", "wait:35000"}, 0,
       nullptr, "HM", false, 36000, nullptr, 'M', 'M', 1000, 12000},
      {"...a millisecond under it", CTRL_RACE, 4, true, {"H:8", "M:8", "H:9", "M:9", "wait:35000"}, 0, nullptr, "HM",
       false, 36000, "BEST LAP 11999 ms: NO CAR DRIVES A LAP UNDER 12000 ms", 'M', 'M', 1000, 11999},
      {"a SERVER's 1 ms best lap", CTRL_RACE, 2, false, {"M:8", "L:8", "M:9", "wait:35000"}, 0, nullptr, "LM", false,
       36000, "BEST LAP 1 ms: NO CAR DRIVES A LAP UNDER 12000 ms", 'M', 'M', 1000, 1},
  };
  const int32_t lineBefore = SB_Var.NbBsplinePoints, validBefore = SB_Var.BsplineValid;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    ztest::WriteRaceFile(root_, r.fileLaps, r.lapMetres);
    SB_Var.NbBsplinePoints = r.loadedMetres >= 0 ? r.loadedMetres : (r.hostRaces ? r.lapMetres : 0);
    SB_Var.BsplineValid = SB_Var.NbBsplinePoints > 0;
    SB_Var.NbLaps = r.hostRaces ? 3 : 1;
    NewGame(r.type, r.maximum, r.hostRaces);
    const uint32_t m = Join("M"), l = Join("L");
    LogIn(m);
    LogIn(l);
    std::map<char, uint32_t> who = {{'H', hostId_}, {'M', m}, {'L', l}};
    for (const std::string& step : r.steps) {
      if (step == "launch") {
        ASSERT_EQ(CTRL_StartNewRaceNow(), 1);
      } else if (step.rfind("wait", 0) == 0) {
        plat::AdvanceManualTime(step == "wait" ? 20000 : std::stoi(step.substr(5)));
      } else {
        const bool watching = step.back() == 'w';
        To(who[step[0]], static_cast<XSTATE>(std::stoi(step.substr(2))),
           watching ? XSUBSTATE_WATCHING : XSUBSTATE_PLAYING);
      }
    }
    plat::AdvanceManualTime(NET_NOTICEMS);  // each refusal said at once
    Pump();  // the presence query the time passed calls for, before the count of sends
    SB_ClearPrintedLines();
    const uint32_t asker = who[r.by];
    const std::string name(1, r.by == 'H' ? 'H' : r.by);
    const XSTATE before = StateOf(asker);
    const uint32_t sentBefore = host_.Sequence;
    int32_t present = 0;
    for (const CTRL_PLAYER& p : CTRL_State().Players) present += CTRL_IsPresent(p) ? 1 : 0;
    if (r.asked) Status(asker, r.asked);
    const std::string line = "[CTRL][STATE " + std::string(r.asked ? NET_XStateNames[r.asked] : "") + " OF " +
                             (r.by == 'H' ? "HOST" : name) + " ID:" + std::to_string(asker) + " REFUSED: " +
                             (r.refusal ? r.refusal : "") + "]";
    EXPECT_EQ(ztest::CountPrinted(line), r.refusal ? 1 : 0) << line;
    int32_t refusals = 0;
    for (const std::string& l : SB_PrintedLines()) refusals += l.find(" REFUSED") != std::string::npos ? 1 : 0;
    EXPECT_EQ(refusals, r.refusal ? 1 : 0);
    // The record goes back to a refused sender alone, and to every player
    // of the game when taken.
    if (r.asked) {
      EXPECT_EQ(host_.Sequence - sentBefore, r.refusal ? 1u : static_cast<uint32_t>(present));
    }
    EXPECT_EQ(StateOf(asker), r.refusal || !r.asked ? before : static_cast<XSTATE>(r.asked));
    std::string seated;
    for (const auto& [name, id] : who)
      if (OrderOf(id) >= 0 && CTRL_State().RaceResult[OrderOf(id)] == CTRL_RACING) seated += name;
    EXPECT_EQ(seated, r.seated ? r.seated : "");
    EXPECT_EQ(CTRL_RaceOn(), !r.joinersWelcome);
    if (r.raceTime) {
      SB_ClearPrintedLines();
      const uint32_t f = who[r.finisher];
      const std::string fname = r.finisher == 'H' ? "HOST" : std::string(1, r.finisher);
      Result(f, OrderOf(f), r.bestLap, r.raceTime);
      EXPECT_EQ(ztest::PrintedStart("[CTRL][NAME:" + fname + " LAP:" + std::to_string(r.bestLap) +
                                    " RACE:" + std::to_string(r.raceTime)),
                !r.resultRefusal);
      EXPECT_EQ(ztest::PrintedStart("[CTRL][RACE RESULT OF "), r.resultRefusal != nullptr);
      if (r.resultRefusal) {
        EXPECT_TRUE(ztest::PrintedStart("[CTRL][RACE RESULT OF " + fname + " ID:" + std::to_string(f) +
                                        " REFUSED: " + r.resultRefusal));
      }
    }
    // A result in, the race runs on while its racers race.
    const uint32_t late = Join("N");
    if (OrderOf(late) >= 0) {  // a place left to take
      LogIn(late);
      EXPECT_EQ(CTRL_State().Players[OrderOf(late)].InUse, r.joinersWelcome ? 1 : 0);
    }
  }
  SB_Var.NbBsplinePoints = lineBefore;
  SB_Var.BsplineValid = validBefore;
  SB_Var.NbLaps = 3;
}

// Members that joined while the host set its game up hold orders past a
// game of two: the first to ask logs in, the next is told the game is full
// (message 4 with its reason), and the host says so.
TEST_F(NetHostRace, ALogInPastTheCarPlacesIsRefusedAsAFullGame) {
  CTRL_Free();
  CTRL_Init();
  CTRL_AddPlayer(hostId_);
  const uint32_t m = Join("M"), l = Join("L");
  Send(hostId_, Message(CTRL_SETGAMETYPE, CTRL_RACE, 2));
  LogIn(hostId_);
  LogIn(m);
  ASSERT_EQ(CTRL_State().Logged, 2);
  plat::AdvanceManualTime(NET_NOTICEMS);
  SB_ClearPrintedLines();
  const uint32_t sent = host_.Sequence;
  LogIn(l);
  Pump();
  EXPECT_EQ(CTRL_State().Players[OrderOf(l)].InUse, 0);
  EXPECT_TRUE(ztest::Printed("[CTRL][CTRL_CANILOGMYSELF Player " + std::to_string(l) + " refused: GAME FULL]"));
  EXPECT_EQ(host_.Sequence - sent, 1u);
  EXPECT_EQ(LastToAPlayer(), Message(CTRL_ANSWER, 0, CTRL_REFUSEDFULL));
}

// A host without a race of its own reads its race file, when the game
// type is set, for the laps of that type, as the race reads them (the
// same key, 1 to 99, else 3 laps), and its circuit's lap: the count of the
// centre line its file names, as the race loads it. What it cannot read it
// says then, by name, and what it means for the game's results.
TEST_F(NetHostRace, AHostWithoutARaceReadsItsRacesLapsAndCircuit) {
  const std::string line = std::string("\xFA\0\0\0", 4) + std::string(250 * 24, '\0');
  const std::string keys = "NLAPS: 2\nRACENLAPS: 3\nCONTROLLEDRACENLAPS: 5\nMULTIRACENLAPS: 4\nRACENLAPS: 9\n";
  const std::string named = keys + "BSPLINENAME: TXT>LINE.BSP\n";
  const std::string unknown = "THE LAP'S LENGTH IS UNKNOWN: A RACE WITHOUT THE HOST'S PLAYER ENTERS NO RESULT]";
  struct Row {
    const char* what;
    int32_t type;
    std::string metreFile;
    std::string raceFile;  // empty: none
    int32_t laps, metres;
    std::string said;  // the line said, empty: none
    int32_t linePoints = 0;  // the line written with that many points instead
  };
  const Row rows[] = {
      {"FREERACE: NLAPS", CTRL_FREERACE, line, named, 2, 250, ""},
      {"RACE", CTRL_RACE, line, named, 3, 250, ""},
      {"MULTIRACE", CTRL_MULTIRACE, line, named, 4, 250, ""},
      {"CONTROLLEDRACE", CTRL_CONTROLLEDRACE, line, named, 5, 250, ""},
      {"a line a point short", CTRL_RACE, line.substr(0, line.size() - 1), named, 3, 0,
       "[CTRL][TXT>NETRACE.TXT: LINE TXT>LINE.BSP CORRUPT: " + unknown},
      {"a line of no point", CTRL_RACE, std::string(4, '\0'), named, 3, 0,
       "[CTRL][TXT>NETRACE.TXT: LINE TXT>LINE.BSP CORRUPT: " + unknown},
      {"a line of one point", CTRL_RACE, std::string("\1\0\0\0", 4) + std::string(24, '\0'), named, 3, 1, ""},
      {"a line of 10,000 points", CTRL_RACE, "", named, 3, 10000, "", 10000},
      {"a line of 10,001 points, which the race refuses", CTRL_RACE, "", named, 3, 0,
       "[CTRL][TXT>NETRACE.TXT: LINE TXT>LINE.BSP REFUSED: 10001 POINTS, A RACE TAKES AT MOST 10000: " + unknown,
       10001},
      {"no race file", CTRL_RACE, line, "", 3, 0, "[CTRL][TXT>NETRACE.TXT: NOT FOUND: " + unknown},
      {"the line the file names missing", CTRL_RACE, "", named, 3, 0,
       "[CTRL][TXT>NETRACE.TXT: LINE TXT>LINE.BSP NOT FOUND: " + unknown},
      {"a race file naming no line", CTRL_RACE, line, keys, 3, 0, "[CTRL][TXT>NETRACE.TXT: NO BSPLINENAME: " + unknown},
      {"the laps missing: the race's 3", CTRL_RACE, line, "NLAPS: 2\nBSPLINENAME: TXT>LINE.BSP\n", 3, 250,
       "[CTRL][TXT>NETRACE.TXT: RACENLAPS parameter missing, 3 laps...]"},
      {"100 laps, refused", CTRL_RACE, line, "RACENLAPS: 100\nBSPLINENAME: TXT>LINE.BSP\n", 3, 250,
       "[CTRL][TXT>NETRACE.TXT: RACENLAPS parameter 100 refused (1 to 99 laps), 3 laps...]"},
      {"no number of laps", CTRL_MULTIRACE, line, "MULTIRACENLAPS: abc\nBSPLINENAME: TXT>LINE.BSP\n", 3, 250,
       "[CTRL][TXT>NETRACE.TXT: MULTIRACENLAPS parameter 0 refused (1 to 99 laps), 3 laps...]"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    std::filesystem::remove(root_ + "/TXT/NETRACE.TXT");
    if (!r.raceFile.empty()) ztest::WriteFile(root_ + "/TXT/NETRACE.TXT", r.raceFile);
    std::filesystem::remove(root_ + "/TXT/LINE.BSP");
    if (!r.metreFile.empty()) ztest::WriteFile(root_ + "/TXT/LINE.BSP", r.metreFile);
    if (r.linePoints) ztest::WriteLineFile(root_ + "/TXT/LINE.BSP", r.linePoints);
    NewGame(r.type, 2, false);
    EXPECT_EQ(CTRL_State().FileLaps, r.laps);
    EXPECT_EQ(CTRL_State().FileLapMetres, r.metres);
    int32_t lines = 0;
    for (const std::string& l : SB_PrintedLines()) lines += l.rfind("[CTRL][TXT>NETRACE.TXT: ", 0) == 0 ? 1 : 0;
    EXPECT_EQ(lines, r.said.empty() ? 0 : 1);
    if (!r.said.empty()) {
      EXPECT_TRUE(ztest::Printed(r.said)) << r.said;
    }
  }
  // And so it times a race; a host racing itself times it by its own
  // race's laps and circuit (at 300 km/h: 12 ms a metre), a host without a
  // race of its own by its race file's, whatever its copy last chose or
  // loaded.
  struct Timed {
    const char* what;
    bool hostRaces;
    int32_t nbLaps, lineMetres;
    bool raceFile;
    const char* said;
    const char* fileLaps = "3";
    int32_t filePoints = 250;
  };
  const Timed timed[] = {
      {"no host player: the file's laps and line", false, 2, 0, true, "9000 ms: 3 LAPS"},
      {"no host player: a race file of one lap", false, 2, 0, true, "3000 ms: 1 LAPS", "1"},
      {"no host player: 99 laps", false, 2, 0, true, "297000 ms: 99 LAPS", "99"},
      {"no host player: 100 laps, which the race refuses for its 3", false, 2, 0, true, "9000 ms: 3 LAPS", "100"},
      {"no host player: a line loaded, not the file's", false, 2, 100, true, "9000 ms: 3 LAPS"},
      {"no host player: a line of one point", false, 2, 0, true, "36 ms: 3 LAPS", "3", 1},
      {"the host's own race", true, 2, 100, true, "2400 ms: 2 LAPS"},
      {"the host's own race of one lap", true, 1, 100, true, "1200 ms: 1 LAPS"},
      {"a host that never chose its laps", true, 0, 0, true, "9000 ms: 3 LAPS"},
      {"no race file, a line loaded: no least time", false, 2, 100, false, nullptr},
      {"nothing known: no least time", false, 0, 0, false, nullptr},
  };
  const int32_t valid = SB_Var.BsplineValid, points = SB_Var.NbBsplinePoints;
  for (const Timed& r : timed) {
    SCOPED_TRACE(r.what);
    ztest::WriteLineFile(root_ + "/TXT/LINE.BSP", r.filePoints);
    std::filesystem::remove(root_ + "/TXT/NETRACE.TXT");
    if (r.raceFile)
      ztest::WriteFile(root_ + "/TXT/NETRACE.TXT",
                       std::string("RACENLAPS: ") + r.fileLaps + "\nBSPLINENAME: TXT>LINE.BSP\n");
    SB_Var.NbLaps = r.nbLaps;
    SB_Var.BsplineValid = r.lineMetres > 0;
    SB_Var.NbBsplinePoints = r.lineMetres;
    NewGame(CTRL_RACE, r.hostRaces ? 2 : 1, r.hostRaces);
    const uint32_t racer = r.hostRaces ? hostId_ : Join("M");
    if (!r.hostRaces) LogIn(racer);
    To(racer, XSTATE_WAIT4GO);
    Status(racer, XSTATE_PLAYING);
    const std::string said = r.said ? std::string("[CTRL][NO RESULT UNDER ") + r.said + " AT 300 km/h]"
                                    : "[CTRL][NO RESULT OF THIS RACE WILL BE ENTERED: THE LAP'S LENGTH IS UNKNOWN]";
    EXPECT_TRUE(ztest::Printed(said)) << said;
  }
  SB_Var.NbLaps = 3;
  SB_Var.BsplineValid = valid;
  SB_Var.NbBsplinePoints = points;
  std::filesystem::remove(root_ + "/TXT/NETRACE.TXT");
}

// ---- The seeded generator ----

// One game of the generator. The host's race file gives any laps (a
// count, one the race refuses, none) and names any line (of a few hundred
// metres, of one point, past what a race takes, missing), or is missing;
// every copy races what it says, with the race's own 3 laps where it gives
// none it takes. A host without a player has any line left loaded, and
// any laps last chosen. Honest racers race the races the host starts (in a
// RACE or MULTIRACE its own player's GO; in a CONTROLLEDRACE without a
// host player, launched by the controller, its members' GO once every
// player they see is at the start line), each sending its finish with the
// time it raced and a best lap it could drive; in a FREERACE they drive
// freely, never at a start line. Hostile members, up to three machines of
// two players each, send any member message at any time: join, log in, any
// state, results of any time, best lap and order, leave; time passes at
// random between. After each message the controller's lines are judged: a
// race starts only as the host starts it, never in a FREERACE; an entered
// result comes from a player logged in at its race's start, once a race,
// with a race time no shorter than the time from the start to its arrival
// less the slack, and neither it nor its best lap shorter than the race
// file's race (its laps, or one lap, of its line at the fastest car's top
// speed); a race of a line the copies cannot race enters nothing; every
// honest finish of a race that can be timed is entered.

// What the games came to, so that a generator that no longer reaches the
// races shows.
struct Tally {
  int32_t races = 0, honestEntries = 0, otherEntries = 0, controlledRaces = 0;
  int32_t freePlacesTaken = 0, machinesKeptWaiting = 0;
  int32_t freeRaces = 0, unknownLapRaces = 0, lapsNotTaken = 0, forgedLaps = 0;
};

// 127.0.k.n in network order: a machine of the generated games.
uint32_t Machine(uint8_t k, uint8_t n) { return (uint32_t{n} << 24) | (uint32_t{k} << 16) | 127u; }

class RaceGame {
 public:
  RaceGame(NetHostRace& t, uint32_t seed, Tally& tally) : t_(t), rng_(seed), tally_(tally) {}

  void Play() {
    const bool controlled = Pick(4) == 0;
    type_ = controlled ? CTRL_CONTROLLEDRACE : (Pick(8) == 0 ? CTRL_FREERACE : (Pick(2) ? CTRL_RACE : CTRL_MULTIRACE));
    // With or without a host player: without, the game starts its race
    // once every racer is at the start line.
    hostRaces_ = Pick(3) != 0;
    hostsGo_ = hostRaces_ && !controlled;
    const int32_t members = 1 + Pick(2);
    const int32_t maximum = members + (hostRaces_ ? 1 : 0) + (hostsGo_ ? Pick(3) : 0);
    RaceFile();
    t_.NewGame(type_, maximum, hostRaces_);
    tally_.freeRaces += type_ == CTRL_FREERACE ? 1 : 0;
    // The host's console: kept as in a race, or drawn, each line then
    // pumping the network inside the message that printed it.
    SB_Var.XState = Pick(2) ? XSTATE_READY2PLAY : XSTATE_CONNECTED;
    if (hostRaces_) honest_.push_back({t_.hostId_, "HOST"});
    // Each honest member on a machine of its own; the hostile machines on
    // addresses of their own, or all on one, or the first on an honest
    // member's.
    addresses_ = Pick(3);
    for (int32_t i = 0; i < members; ++i) {
      const std::string name = "M" + std::to_string(i);
      const uint32_t id = t_.Join(name, Machine(1, static_cast<uint8_t>(i + 1)));
      t_.LogIn(id);
      honest_.push_back({id, name});
    }
    Lines();
    for (int32_t step = 0; step < 600 && races_ < 3 && !::testing::Test::HasFatalFailure(); ++step) {
      if (Pick(3) == 0) HostileStep();
      HonestStep();
    }
  }

 private:
  struct Racer {
    uint32_t id;
    std::string name;
    XSTATE state = XSTATE_CONNECTED;
    bool finished = false;
  };
  uint32_t Pick(uint32_t n) { return static_cast<uint32_t>(rng_() % n); }
  static uint32_t Now() { return LS_GetTime(); }

  // The host's race file, and what its copy has loaded. The race every
  // copy races: the file's laps where it gives a count of 1 to 99, else
  // the race's 3; the file's line where it holds one the race takes. No
  // car drives a lap of it under its length at the top speed.
  void RaceFile() {
    static const char* const kLaps[] = {"1", "2", "3", "4", "100", "abc", "0", nullptr};
    const char* laps = kLaps[Pick(8)];
    const bool counted = laps && laps[0] >= '1' && laps[0] <= '4' && !laps[1];
    tally_.lapsNotTaken += counted ? 0 : 1;
    const int32_t raceLaps = counted ? laps[0] - '0' : 3;
    static const int32_t kOddLines[] = {0, 1, 10001, 1000000};
    const int32_t points = Pick(6) == 0 ? kOddLines[Pick(4)] : 100 + static_cast<int32_t>(Pick(400));
    ztest::WriteRaceFile(t_.Root(), laps, points);
    const bool noFile = Pick(20) == 0;
    if (noFile) std::filesystem::remove(t_.Root() + "/TXT/NETRACE.TXT");
    lapMetres_ = noFile || points > SB_MOSTBSPLINEPOINTS ? 0 : points;
    tally_.unknownLapRaces += lapMetres_ == 0 ? 1 : 0;
    lapFloorMs_ = static_cast<uint32_t>(1000.0 * lapMetres_ / SB_TOPSPEED);
    floorMs_ = static_cast<uint32_t>(1000.0 * raceLaps * lapMetres_ / SB_TOPSPEED);
    // A host that races loaded its race's line and chose its laps; one
    // without a player kept whatever it had.
    SB_Var.NbLaps = hostRaces_ ? raceLaps : static_cast<int32_t>(Pick(10));
    SB_Var.NbBsplinePoints = hostRaces_ ? lapMetres_ : static_cast<int32_t>(Pick(3) ? Pick(10000) : 0);
    SB_Var.BsplineValid = SB_Var.NbBsplinePoints > 0;
    raceLaps_ = raceLaps;
  }

  // The lines since the last look: the race's start, and each result
  // entered; a finisher's result entered where it is taken, else not.
  void Lines(bool hostsGo = false, const Racer* finisher = nullptr, uint32_t finish = 0, bool taken = false) {
    bool finishEntered = false;
    for (const std::string& l : SB_PrintedLines()) {
      if (l.rfind("[CTRL][RACE STARTED: ", 0) == 0) Started(hostsGo);
      char name[64];
      long lap = 0, race = 0;
      if (std::sscanf(l.c_str(), "[CTRL][NAME:%63[^ ] LAP:%ld RACE:%ld", name, &lap, &race) != 3 || race == 0 ||
          race == static_cast<long>(CTRL_NOTIME))
        continue;
      Entered(name, static_cast<uint32_t>(lap), static_cast<uint32_t>(race));
      finishEntered = finishEntered || (finisher && finisher->name == name && static_cast<uint32_t>(race) == finish);
    }
    if (finisher) {
      EXPECT_EQ(finishEntered, taken) << finisher->name << "'s finish in " << finish << " ms " << Context();
    }
    SB_ClearPrintedLines();
  }

  // A race starts only as the host starts it: at its own GO in a game it
  // races, else once launched and every honest racer is at the start line.
  void Started(bool hostsGo) {
    EXPECT_NE(type_, CTRL_FREERACE) << "a FREERACE's race " << Context();
    if (!hostsGo_) {
      EXPECT_TRUE(launched_ || type_ != CTRL_CONTROLLEDRACE) << "a race not launched " << Context();
      for (const Racer& r : honest_)
        EXPECT_TRUE(r.state == XSTATE_WAIT4GO || r.state == XSTATE_PLAYING || r.state < XSTATE_LOADING)
            << r.name << " at " << r.state << " " << Context();
    } else {
      EXPECT_TRUE(hostsGo) << "a race the host did not start " << Context();
    }
    // Every honest racer at the start line at the GO races in it.
    for (const Racer& r : honest_) {
      const int32_t o = t_.OrderOf(r.id);
      if (r.state == XSTATE_WAIT4GO || r.state == XSTATE_PLAYING) {
        EXPECT_TRUE(o >= 0 && CTRL_State().RaceResult[o] == CTRL_RACING) << r.name << " not seated " << Context();
      }
    }
    launched_ = false;
    startedAt_ = Now();
    ++race_;
    ++tally_.races;
    tally_.controlledRaces += type_ == CTRL_CONTROLLEDRACE ? 1 : 0;
    seated_.clear();
    for (const CTRL_PLAYER& p : CTRL_State().Players)
      if (p.InUse) seated_.insert(p.Id);
  }

  void Entered(const std::string& name, uint32_t lap, uint32_t race) {
    EXPECT_GT(race_, 0) << name << " entered without a race " << Context();
    // Nothing of a race its copies cannot race.
    EXPECT_GT(lapMetres_, 0) << name << " entered without a line " << Context();
    const auto id = ids_.find(name);
    const uint32_t who = id == ids_.end() ? Honest(name) : id->second;
    ++(id == ids_.end() ? tally_.honestEntries : tally_.otherEntries);
    EXPECT_TRUE(seated_.count(who)) << name << " not logged in at the start " << Context();
    EXPECT_TRUE(entries_.insert({name, race_}).second) << name << " entered twice in race " << race_ << Context();
    EXPECT_GE(uint64_t{race} + CTRL_RESULTSLACKMS, Now() - startedAt_) << name << " " << Context();
    // No result shorter than its race's laps at the fastest car's top
    // speed, nor arriving sooner than that (less the slack); no best lap
    // shorter than one lap.
    EXPECT_GE(race, floorMs_) << name << " " << Context();
    if (lap != 0) {
      EXPECT_GE(lap, lapFloorMs_) << name << " " << Context();
    }
    EXPECT_GE(uint64_t{Now() - startedAt_} + CTRL_RESULTSLACKMS, floorMs_) << name << " " << Context();
  }
  uint32_t Honest(const std::string& name) const {
    for (const Racer& r : honest_)
      if (r.name == name) return r.id;
    return 0;
  }
  std::string Context() const {
    return "(game type " + std::to_string(type_) + ", race " + std::to_string(race_) + ", at " +
           std::to_string(Now()) + " ms, " + std::to_string(raceLaps_) + " laps of " + std::to_string(lapMetres_) +
           " m)";
  }

  // Time passes, the honest racers' copies still heard from (their car
  // states, their answers to the presence query).
  void Wait(uint32_t ms) {
    plat::AdvanceManualTime(ms);
    if (Now() - heardAt_ < 20000) return;
    heardAt_ = Now();
    for (const Racer& r : honest_) t_.Send(r.id, Message(CTRL_PRESENCEACK, 0, 0));
    Lines();
  }

  void Status(Racer& r, XSTATE state, bool hostsGo = false) {
    r.state = state;
    t_.Status(r.id, static_cast<int32_t>(state));
    Lines(hostsGo);
  }

  // The honest racers' next move: set up, wait at the start line, go,
  // race, finish, leave; the next race.
  void HonestStep() {
    Wait(Pick(8) == 0 ? 1000 + Pick(15000) : Pick(400));
    if (type_ == CTRL_FREERACE) return FreeStep();
    bool allAtLine = true, allDone = true;
    for (const Racer& r : honest_) {
      allAtLine = allAtLine && r.state == XSTATE_WAIT4GO;
      allDone = allDone && r.state == XSTATE_CONNECTED && r.finished;
    }
    if (allDone) return NextRace();
    if (!honest_.empty() && honest_[0].state == XSTATE_CONNECTED && !honest_[0].finished && type_ == CTRL_CONTROLLEDRACE && !launched_ &&
        !racing_) {
      // The operator launches the race; a race in progress on the
      // controller (a racer still at PLAYING) is stopped first.
      if (!CTRL_StartNewRaceNow()) {
        ASSERT_EQ(CTRL_EndOfRace(), 1);
        ASSERT_EQ(CTRL_StartNewRaceNow(), 1);
      }
      launched_ = true;
      Lines();
    }
    Racer& r = honest_[Pick(static_cast<uint32_t>(honest_.size()))];
    if (r.finished) {
      if (r.state != XSTATE_CONNECTED) Status(r, XSTATE_CONNECTED);
      return;
    }
    if (r.state < XSTATE_WAIT4GO) {
      static const XSTATE kNext[] = {0, 0, 0, XSTATE_LOADING, XSTATE_READY2PLAY, 0, XSTATE_WAIT4READY, XSTATE_WAIT4GO};
      return Status(r, kNext[r.state]);
    }
    if (r.state == XSTATE_WAIT4GO) return Go(r, allAtLine);
    if (r.state == XSTATE_PLAYING && Now() - startedAt_ > floorMs_ + 3300 + Pick(120000)) Finish(r);
  }

  // A FREERACE's racers drive once loaded, never at a start line; now and
  // then one goes back to the console, and a member there may leave the
  // game, its car place free for the next joiner.
  void FreeStep() {
    if (honest_.empty()) return;
    const size_t which = Pick(static_cast<uint32_t>(honest_.size()));
    Racer& r = honest_[which];
    if (r.state >= XSTATE_READY2PLAY) {
      if (Pick(3) == 0) Status(r, XSTATE_CONNECTED);
    } else if (r.state == XSTATE_CONNECTED && r.id != t_.hostId_ && Pick(6) == 0) {
      t_.Leave(r.id);
      honest_.erase(honest_.begin() + static_cast<long>(which));
      Lines();
    } else {
      Status(r, r.state == XSTATE_CONNECTED ? XSTATE_LOADING : XSTATE_READY2PLAY);
    }
  }

  // At the start line: the host goes once its racers are all there; a
  // member once the race has started, or, in a CONTROLLEDRACE, once every
  // player it sees is at the start line (as its race waits for).
  void Go(Racer& r, bool allAtLine) {
    const bool host = hostsGo_ && r.id == t_.hostId_;
    if (host && !allAtLine) return;
    if (!host && hostsGo_ && !racing_) return;
    if (!hostsGo_ && !racing_) {
      int32_t inUse = 0;
      for (const CTRL_PLAYER& p : CTRL_State().Players) {
        if (!p.InUse) continue;
        ++inUse;
        if (p.XState != XSTATE_WAIT4GO && p.XState != XSTATE_PLAYING) return;
      }
      if (inUse < SB_Var.NetControllerMax) return;
    }
    Status(r, XSTATE_PLAYING, host);
    racing_ = true;
    EXPECT_EQ(t_.StateOf(r.id), XSTATE_PLAYING) << r.name << "'s GO refused " << Context();
  }

  // The finish: the race time from the start as the racer's copy counted
  // it (its GO up to a frame or two after the host's, the result's way
  // over the network up to 3 s), a best lap that fits and could be
  // driven; then the end. Now and then the racer's copy forges its best
  // lap, shorter than a lap could be driven: that finish is refused.
  void Finish(Racer& r) {
    const uint32_t raced = Now() - startedAt_;
    const uint32_t time = raced > 3300 ? raced - Pick(3300) : raced + 1;
    const uint32_t most = time / static_cast<uint32_t>(raceLaps_);
    const bool forged = lapFloorMs_ > 1 && Pick(6) == 0;
    const uint32_t lap = forged                               ? 1 + Pick(lapFloorMs_ - 1)
                         : Pick(2) || most < lapFloorMs_ ? 0
                                                              : lapFloorMs_ + Pick(most - lapFloorMs_ + 1);
    tally_.forgedLaps += forged ? 1 : 0;
    t_.Result(r.id, t_.OrderOf(r.id), lap, time);
    Lines(false, &r, time, lapMetres_ > 0 && !forged);
    r.finished = true;
    Status(r, XSTATE_ENDOFRACE);
  }

  void NextRace() {
    ++races_;
    racing_ = false;
    for (Racer& r : honest_) r.finished = false;
  }

  // ---- The hostile members ----

  uint32_t AddressOf(uint32_t machine) const {
    if (addresses_ == 1) return Machine(2, 1);
    if (addresses_ == 2 && machine == 0) return Machine(1, 1);
    return Machine(2, static_cast<uint8_t>(machine + 1));
  }

  // A machine one of whose players gave back a car place it held without
  // asking to log in may be kept waiting; any other is not.
  void NoteGivenBack() {
    for (auto it = held_.begin(); it != held_.end();) {
      if (t_.OrderOf(it->first) >= 0) {
        ++it;
        continue;
      }
      if (!asked_.count(it->first)) gaveBack_.insert(it->second);
      it = held_.erase(it);
    }
  }

  void HostileStep() {
    const uint32_t machine = Pick(3);
    std::vector<uint32_t>& mine = hostile_[machine];
    const uint32_t action = Pick(10);
    if (mine.empty() || (action == 0 && mine.size() < 2)) {
      const std::string name = "E" + std::to_string(machine) + "_" + std::to_string(made_++);
      // A joiner takes a free car place, unless its machine gave one back.
      NetHostRace::Pump();
      NoteGivenBack();
      int32_t present = 0;
      for (int32_t i = 0; i < CTRL_CarPlaces(); ++i) present += CTRL_IsPresent(CTRL_State().Players[i]) ? 1 : 0;
      const bool free = present < CTRL_CarPlaces(), waits = gaveBack_.count(AddressOf(machine)) != 0;
      const uint32_t id = t_.Join(name, AddressOf(machine));
      if (free && !waits) {
        EXPECT_GE(t_.OrderOf(id), 0) << "a free car place refused " << Context();
        ++tally_.freePlacesTaken;
      }
      if (free && waits && t_.OrderOf(id) < 0) ++tally_.machinesKeptWaiting;
      if (t_.OrderOf(id) >= 0) held_[id] = AddressOf(machine);
      ids_[name] = id;
      mine.push_back(id);
      return Lines();
    }
    const size_t which = Pick(static_cast<uint32_t>(mine.size()));
    const uint32_t id = mine[which];
    const int32_t order = t_.OrderOf(id) >= 0 && Pick(10) ? t_.OrderOf(id) : static_cast<int32_t>(Pick(8));
    switch (action) {
      case 1:
        t_.Leave(id);
        mine.erase(mine.begin() + static_cast<long>(which));
        break;
      case 2: {
        // A free place is given to a joiner that asks while no race runs.
        const bool mine = order == t_.OrderOf(id), free = mine && !CTRL_RaceOn();
        // A log-in naming another player's car place is no log-in.
        const int32_t own = t_.OrderOf(id);
        const bool another = order != own && order >= 0 && order < NET_MAXPLAYERS &&
                             CTRL_IsPresent(CTRL_State().Players[order]);
        if (own >= 0 && !another) asked_.insert(id);
        t_.Send(id, Message(CTRL_CANILOGMYSELF, order, 0));
        if (free && t_.OrderOf(id) == order) {
          EXPECT_TRUE(CTRL_State().Players[order].InUse) << "a free place refused " << Context();
        }
        break;
      }
      case 3:
      case 4:
      case 5: {
        static const int32_t kStates[] = {0, 3, 4, 5, 6, 6, 7, 8, 8, 9, 9, 9, 10, 10, 1, 2};
        const int32_t sub = Pick(8) == 0 ? static_cast<int32_t>(Pick(3)) : XSUBSTATE_PLAYING;
        // At its start line, it goes as often as not.
        const bool go = t_.StateOf(id) == XSTATE_WAIT4GO && Pick(2);
        t_.Send(id, Message(CTRL_SETPLAYERSTATUS, go ? XSTATE_PLAYING : kStates[Pick(16)], sub));
        break;
      }
      case 6:
      case 7:
      case 8: {
        const uint32_t since = race_ ? Now() - startedAt_ : 0;
        const uint32_t times[] = {0, 1, 1000, CTRL_NOTIME, CTRL_NORECORD, Pick(300000), since + Pick(8000),
                                  since > 8000 ? since - Pick(8000) : 1 + Pick(8000)};
        const uint32_t time = times[Pick(8)];
        const uint32_t laps[] = {0, 1, Pick(time / 3 + 1), lapFloorMs_ - 1, lapFloorMs_};
        const uint32_t lap = laps[Pick(5)];
        t_.Send(id, Message(Pick(5) ? XNET_RACEFINISHED : XNET_OUTOFTIME, order, Pick(10) ? 1 : 0,
                            Long(lap) + Long(time) + Long(0)));
        break;
      }
      default: plat::AdvanceManualTime(Pick(20000)); break;
    }
    Lines();
  }

  NetHostRace& t_;
  std::mt19937 rng_;
  Tally& tally_;
  int32_t type_ = 0;
  bool hostRaces_ = true, hostsGo_ = true;
  int32_t raceLaps_ = 3, lapMetres_ = 0;  // the race the copies race (0 m: none)
  uint32_t floorMs_ = 0, lapFloorMs_ = 0;
  std::vector<Racer> honest_;
  std::vector<uint32_t> hostile_[3];
  uint32_t addresses_ = 0;              // how the hostile machines' addresses are laid out
  std::map<uint32_t, uint32_t> held_;   // hostile players holding a car place, by their machine
  std::set<uint32_t> asked_;            // ...that asked to log in while holding it
  std::set<uint32_t> gaveBack_;         // machines that gave one back unasked
  std::map<std::string, uint32_t> ids_;  // the hostile players by name
  uint32_t made_ = 0;
  bool launched_ = false, racing_ = false;
  int32_t race_ = 0, races_ = 0;
  uint32_t startedAt_ = 0, heardAt_ = 0;
  std::set<uint32_t> seated_;  // logged in at the start
  std::set<std::pair<std::string, int32_t>> entries_;
};

TEST_F(NetHostRace, SeededGamesOfHonestRacersAndHostileMembersKeepTheRules) {
  constexpr uint32_t kGames = 2000;
  Tally tally;
  const int32_t lineBefore = SB_Var.NbBsplinePoints, validBefore = SB_Var.BsplineValid;
  // The console pumps the network as the game's does, where it is drawn.
  void (*pumpBefore)() = SB_Hooks.NetUpdateEvent;
  SB_Hooks.NetUpdateEvent = NET_UpdateEvent;
  for (uint32_t game = 0; game < kGames && !HasFailure(); ++game) {
    SCOPED_TRACE("game " + std::to_string(game));
    RaceGame(*this, 9100 + game, tally).Play();
  }
  SB_Var.NbBsplinePoints = lineBefore;
  SB_Var.BsplineValid = validBefore;
  SB_Var.XState = XSTATE_READY2PLAY;
  SB_Var.NbLaps = 3;
  SB_Hooks.NetUpdateEvent = pumpBefore;
  EXPECT_TRUE(plat::ShownMessageBoxes().empty());
  // The games reach their races, in both kinds, and their finishes.
  EXPECT_GT(tally.races, static_cast<int32_t>(2 * kGames));
  EXPECT_GT(tally.controlledRaces, static_cast<int32_t>(kGames / 10));
  EXPECT_GT(tally.honestEntries, static_cast<int32_t>(4 * kGames));
  // Joiners take free places, and machines that gave one back wait.
  EXPECT_GT(tally.freePlacesTaken, static_cast<int32_t>(kGames / 2));
  EXPECT_GT(tally.machinesKeptWaiting, static_cast<int32_t>(kGames / 4));
  // FREERACEs, races of no line and laps refused or missing are played.
  EXPECT_GT(tally.freeRaces, static_cast<int32_t>(kGames / 20));
  EXPECT_GT(tally.unknownLapRaces, static_cast<int32_t>(kGames / 20));
  EXPECT_GT(tally.lapsNotTaken, static_cast<int32_t>(kGames / 5));
  EXPECT_GT(tally.forgedLaps, static_cast<int32_t>(kGames / 2));
}

}  // namespace
