// Peer messages the controller must refuse for their length, sender or
// values, those it takes with their values bounded, and a seeded fuzz of
// both sides' handlers: valid messages of every type mutated, after each
// of which the tables stay in bounds.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <vector>

#include "net/ctrl.h"
#include "net/netplayer.h"
#include "platform/clock.h"
#include "system/input.h"
#include "tests/netgame/netgame_fixture.h"
#include "tests/netgame/session_fixture.h"
#include "vehicles/replays.h"

namespace {

using ztest::Long;
using ztest::Message;
using ztest::Player;

constexpr uint32_t kCtrl = 900, kHugo = 100, kMia = 101, kLea = 102, kStranger = 555;

// A RACE of at most 4 in the controller's table: Hugo and Mia logged in,
// Lea known but not yet.
void RaceTable(TCTRL& c, uint32_t hugo, uint32_t mia, uint32_t lea) {
  for (CTRL_PLAYER& p : c.Players) p = CTRL_PLAYER{};
  c.GameType = CTRL_RACE;
  SB_Var.NetControllerMax = SB_Var.NetSlots = 4;
  const uint32_t ids[] = {hugo, mia, lea};
  const char* names[] = {"Hugo", "Mia", "Lea"};
  for (int32_t i = 0; i < 3; ++i) {
    CTRL_PLAYER& p = c.Players[i];
    p.Id = ids[i];
    p.Pending = 1;
    p.InUse = i < 2;
    p.XState = XSTATE_CONNECTED;
    p.SubState = 1;
    std::strcpy(c.Names[i], names[i]);
    c.LoginWaitFrom[i] = LS_GetTime();  // Lea has her time to log in
  }
  c.Logged = 2;
}

class NetInput : public ztest::NetGameTest {
 protected:
  void SetUp() override {
    NetGameTest::SetUp();
    machine_.Config.LocalPlayerId = kHugo;
    SB_Var.XState = XSTATE_CONNECTED;
  }
  void TearDown() override {
    CTRL_Free();
    NetGameTest::TearDown();
  }

  static void Table() {
    CTRL_Init();
    SB_Var.IsController = 1;
    RaceTable(CTRL_State(), kHugo, kMia, kLea);
  }
  static void CtrlHandle(uint32_t from, const std::string& m) {
    CTRL_HandleMessage(from, m.data(), static_cast<uint32_t>(m.size()));
  }
  static std::vector<uint8_t> Snapshot() {
    std::vector<uint8_t> s(sizeof(TCTRL) + 8);
    std::memcpy(s.data(), &CTRL_State(), sizeof(TCTRL));
    std::memcpy(s.data() + sizeof(TCTRL), &SB_Var.NetControllerMax, 4);
    std::memcpy(s.data() + sizeof(TCTRL) + 4, &SB_Var.NetSlots, 4);
    return s;
  }
};

TEST_F(NetInput, ControllerRefusesShortMessagesStrangersAndBadValues) {
  const std::string progress = Long(60000) + Long(180000) + Long(5);
  struct Row {
    const char* what;
    uint32_t from;
    std::string message;
  };
  const Row rows[] = {
      {"below the header", kMia, std::string(11, '\0')},
      {"status from a stranger", kStranger, Message(CTRL_SETPLAYERSTATUS, 4, 1)},
      {"status 11", kMia, Message(CTRL_SETPLAYERSTATUS, 11, 1)},
      {"status -1", kMia, Message(CTRL_SETPLAYERSTATUS, -1, 1)},
      {"sub-state 3", kMia, Message(CTRL_SETPLAYERSTATUS, 4, 3)},
      {"log-in question from a stranger", kStranger, Message(CTRL_CANILOGMYSELF, 3, 0)},
      {"log-in question for another player's order", kMia, Message(CTRL_CANILOGMYSELF, 2, 0)},
      {"game information asked by a stranger", kStranger, Message(CTRL_GETGAMEINFO, 0, 0)},
      {"setup too short", kMia, Message(CTRL_VEHICLESETUP, 1, 1, std::string(423, 'x'))},
      {"setup for another's order", kMia, Message(CTRL_VEHICLESETUP, 2, 1, std::string(424, 'x'))},
      {"setup for order 32", kMia, Message(CTRL_VEHICLESETUP, 32, 1, std::string(424, 'x'))},
      {"setup from a stranger", kStranger, Message(CTRL_VEHICLESETUP, 3, 1, std::string(424, 'x'))},
      {"car state too short", kMia, Message(XNET_CARSTATE, 1, 0, std::string(87, 'x'))},
      {"car state from a stranger", kStranger, Message(XNET_CARSTATE, 1, 0, std::string(88, 'x'))},
      {"presence from a stranger", kStranger, Message(CTRL_PRESENCEACK, 0, 0)},
      {"finish too short", kMia, Message(XNET_RACEFINISHED, 1, 1, progress.substr(0, 11))},
      {"finish from a player not logged in", kLea, Message(XNET_RACEFINISHED, 2, 1, progress)},
      {"finish for another player's car", kMia, Message(XNET_RACEFINISHED, 0, 1, progress)},
      {"out of time from a stranger", kStranger, Message(XNET_OUTOFTIME, 3, 1, progress)},
      {"game type from another player", kMia, Message(CTRL_SETGAMETYPE, CTRL_RACE, 4)},
      {"game type 0", kHugo, Message(CTRL_SETGAMETYPE, CTRL_TRAINING, 4)},
      {"game type 5", kHugo, Message(CTRL_SETGAMETYPE, CTRL_OFFLINERACE, 4)},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    plat::AdvanceManualTime(NET_NOTICEMS);  // a refusal is said at most once a second
    Table();
    CTRL_State().LastHeard[1] = 7;
    CTRL_State().LastCheck = LS_GetTime();  // no liveness check in the lines' pumps
    const std::vector<uint8_t> before = Snapshot();
    SB_ClearPrintedLines();
    CtrlHandle(r.from, r.message);
    char line[96];
    std::snprintf(line, sizeof line, "[CTRL][REFUSED type:%ld length:%lu from:%lu]",
                  static_cast<long>(r.message.size() < 12 ? -1 : static_cast<uint8_t>(r.message[0])),
                  static_cast<unsigned long>(r.message.size()), static_cast<unsigned long>(r.from));
    EXPECT_TRUE(Printed(line)) << line;
    EXPECT_TRUE(Snapshot() == before);
  }
}

// What the controller refuses again and again is said once, and the
// count of the rest once their second has passed, not at the next
// refusal: joins past the race's car places, results of a player not
// racing, states outside a race.
TEST_F(NetInput, ControllerRefusalsAreCountedAndSaidOnceTheirSecondHasPassed) {
  struct Row {
    const char* what;
    void (*refuse)();
    std::string line, more;
  };
  const Row rows[] = {
      {"a join past the car places", [] { CTRL_AddPlayer(kStranger); },
       "[CTRL][NO FREE CAR PLACE FOR  ID:555: JOIN REFUSED]", "[CTRL][99 MORE JOINS REFUSED]"},
      {"a result of a player not racing",
       [] { CtrlHandle(kMia, Message(XNET_RACEFINISHED, 1, 1, Long(60000) + Long(180000) + Long(5))); },
       "[CTRL][RACE RESULT OF  ID:101 REFUSED: NOT RACING IN THIS RACE]", "[CTRL][99 MORE RACE RESULTS REFUSED]"},
      {"a READY2PLAY outside a race", [] { CtrlHandle(kMia, Message(CTRL_SETPLAYERSTATUS, XSTATE_READY2PLAY, 1)); },
       "[CTRL][STATE READY2PLAY OF Mia ID:101 REFUSED: NOT AFTER LOADING A RACE]", "[CTRL][99 MORE STATE CHANGES REFUSED]"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    plat::AdvanceManualTime(NET_NOTICEMS);
    Table();
    SB_Var.NetSlots = 3;  // Hugo's, Mia's and Lea's places: the race's cars
    SB_ClearPrintedLines();
    for (int i = 0; i < 100; ++i) r.refuse();
    plat::AdvanceManualTime(NET_NOTICEMS - 1);
    NET_FlushNotices();
    EXPECT_EQ(SB_PrintedLines(), std::vector<std::string>{r.line});
    plat::AdvanceManualTime(1);
    NET_FlushNotices();
    NET_FlushNotices();
    EXPECT_EQ(SB_PrintedLines(), (std::vector<std::string>{r.line, r.more}));
    // Refused on past the second, unflushed: the next line says them first.
    for (int i = 0; i < 100; ++i) r.refuse();
    plat::AdvanceManualTime(NET_NOTICEMS);
    r.refuse();
    const std::string hundred = r.more.substr(0, 7) + "100" + r.more.substr(9);
    EXPECT_EQ(SB_PrintedLines(), (std::vector<std::string>{r.line, r.more, hundred, r.line}));
    EXPECT_EQ(CTRL_State().Records[0].RaceTime, CTRL_NORECORD);
  }
}

// Taken, with the values bounded: the maximum of message 7, a longer
// status than needed, a text without its zero.
TEST_F(NetInput, ControllerBoundsWhatItTakes) {
  struct Row {
    int32_t asked, kept;
  };
  for (const Row& r : {Row{0, 1}, Row{-5, 1}, Row{16, 16}, Row{99, 16}}) {
    SCOPED_TRACE(r.asked);
    Table();
    CtrlHandle(kHugo, Message(CTRL_SETGAMETYPE, CTRL_MULTIRACE, r.asked));
    EXPECT_EQ(SB_Var.NetControllerMax, r.kept);
    EXPECT_EQ(SB_Var.NetSlots, r.kept);
    EXPECT_EQ(CTRL_State().GameType, CTRL_MULTIRACE);
    EXPECT_EQ(CTRL_State().Logged, 0);
  }
  Table();
  CtrlHandle(kMia, Message(CTRL_SETPLAYERSTATUS, XSTATE_LOADING, 0x0201, std::string(40, '\xFF')));
  EXPECT_EQ(CTRL_State().Players[1].XState, XSTATE_LOADING);
  EXPECT_EQ(CTRL_State().Players[1].SubState, 1);  // the low byte
  SB_ClearPrintedLines();
  CtrlHandle(kMia, Message(XNET_TEXT, 0, 0, std::string(1000, 'a')));
  ASSERT_EQ(SB_PrintedLines().size(), 1u);
  const std::string& l = SB_PrintedLines()[0];
  EXPECT_NE(l.find("'" + std::string(255, 'a') + "'"), std::string::npos);
  EXPECT_EQ(l.find(std::string(256, 'a')), std::string::npos);
}

// ---- The seeded fuzz ----

// A valid message of each type a peer may send, before mutation.
std::vector<std::string> Templates() {
  CTRL_PLAYER p{};
  p.Id = kMia;
  p.InUse = 1;
  p.XState = XSTATE_READY2PLAY;
  p.SubState = 1;
  std::string info = Long(4);
  for (int32_t i = 0; i < 4; ++i) info += Player(p);
  const std::string progress = Long(60000) + Long(180000) + Long(5);
  return {
      Message(CTRL_GETGAMEINFO, 0, 0),
      Message(CTRL_GAMEINFO, CTRL_RACE, 4, info),
      Message(CTRL_CANILOGMYSELF, 1, 0),
      Message(CTRL_ANSWER, 1, 0),
      Message(CTRL_PLAYERORDER, 1, 10000000),
      Message(CTRL_SETPLAYERSTATUS, XSTATE_WAIT4READY, 1),
      Message(CTRL_SETGAMETYPE, CTRL_CONTROLLEDRACE, 3),
      Message(CTRL_UPDATENETPLAYER, 1, 1, Player(p) + std::string("Mia\0", 4)),
      Message(CTRL_VEHICLESETUP, 1, 1, std::string(424, '\0')),
      Message(CTRL_ALLVEHICLESETUP, 0, 0),
      Message(XNET_CARSTATE, 1, 0, std::string(88, '\0')),
      Message(XNET_TEXT, 0, 0, std::string("hello\0", 6)),
      Message(CTRL_PRESENCEQUERY, 0, 0),
      Message(CTRL_PRESENCEACK, 0, 0),
      Message(XNET_RACEFINISHED, 1, 1, progress),
      Message(XNET_OUTOFTIME, 1, 1, progress),
      Message(CTRL_LAUCHNEWRACE, 2, 0),
      Message(CTRL_STARTNEWRACENOW, 2, 0),
      Message(CTRL_ENTERPRACTICEMODE, 0, 0),
      Message(CTRL_ENDOFRACE, 2, 0),
      Message(CTRL_BESTTIME, 90000, 0),
      Message(CTRL_CHANGEMAXNETPLAYER, 3, 0),
  };
}

// One mutation of a template: truncated, bytes made random, a parameter
// or N set to an extreme, the type's upper half set, or nothing.
std::string Mutate(std::mt19937& rng, std::string m) {
  static const int32_t kExtremes[] = {INT32_MIN, -1, 0, 1, 15, 16, 31, 32, 33, INT32_MAX};
  auto pick = [&](uint32_t n) { return static_cast<uint32_t>(rng() % n); };
  auto put = [&](size_t at, int32_t v) {
    if (at + 4 <= m.size()) std::memcpy(&m[at], Long(static_cast<uint32_t>(v)).data(), 4);
  };
  switch (pick(6)) {
    case 0: m.resize(pick(static_cast<uint32_t>(m.size()) + 1)); break;
    case 1:
      for (uint32_t i = 0, n = 1 + pick(8); i < n && !m.empty(); ++i) m[pick(static_cast<uint32_t>(m.size()))] = static_cast<char>(rng());
      break;
    case 2: put(4 + 4 * pick(2), kExtremes[pick(10)]); break;
    case 3: put(12 + 4 * pick(4), kExtremes[pick(10)]); break;
    case 4: put(0, static_cast<int32_t>((rng() << 16) | static_cast<uint8_t>(m[0]))); break;
    default: break;
  }
  return m;
}

// A sender of the one-machine player-side fuzz.
uint32_t Sender(std::mt19937& rng) {
  static const uint32_t kSenders[] = {kCtrl, kHugo, kMia, kLea, 103, kStranger, 0};
  return kSenders[rng() % 7];
}

// The controller's fuzz runs in a session over 127.0.0.1, so that its
// answers are sent and what follows them runs.
class NetCtrlFuzz : public ztest::NetSessionTest {
 protected:
  void Table() { RaceTable(host_.Ctrl, Hugo(), Mia(), Lea()); }
};

TEST_F(NetCtrlFuzz, FuzzedMessagesLeaveTheControllerInBounds) {
  Create(CTRL_RACE, 4);
  ASSERT_EQ(JoinAs(mia_, "Mia"), 1);
  ASSERT_EQ(JoinAs(lea_, "Lea"), 1);
  LS_NetSelect(&host_);
  std::mt19937 rng(55);
  const std::vector<std::string> templates = Templates();
  const uint32_t senders[] = {Server(), Hugo(), Mia(), Lea(), kStranger, 0};
  for (int32_t i = 0; i < 20000; ++i) {
    if (i % 500 == 0) Table();
    const uint32_t from = senders[rng() % 6];
    if (rng() % 50 == 0) {
      CTRL_HandleSystemMessage(from, 2);  // a departure
    } else {
      const std::string m = Mutate(rng, templates[rng() % templates.size()]);
      CTRL_HandleMessage(from, m.data(), static_cast<uint32_t>(m.size()));
    }
    const TCTRL& c = host_.Ctrl;
    int32_t inUse = 0;
    for (int32_t k = 0; k < NET_MAXPLAYERS; ++k) {
      const CTRL_PLAYER& p = c.Players[k];
      inUse += p.InUse ? 1 : 0;
      ASSERT_LE(p.XState, XSTATE_ENDOFRACE) << i;
      ASSERT_LE(p.SubState, XSUBSTATE_WATCHING) << i;
      if (CTRL_IsPresent(p)) {
        ASSERT_NE(p.Id, 0u) << i;
        ASSERT_LT(k, SB_MAXCARS) << i;
      }
    }
    ASSERT_EQ(c.Logged, inUse) << i;
    for (int32_t k = 1; k < CTRL_NBRECORDS; ++k) ASSERT_LE(c.Records[k - 1].RaceTime, c.Records[k].RaceTime) << i;
    ASSERT_GE(c.NbFinishers, 0);
    ASSERT_LE(c.NbFinishers, NET_MAXPLAYERS);
    ASSERT_GE(SB_Var.NetControllerMax, 0) << i;
    ASSERT_LE(SB_Var.NetControllerMax, SB_MAXCARS) << i;
    ASSERT_LE(SB_Var.NetSlots, NET_MAXPLAYERS) << i;
  }
}

TEST_F(NetInput, FuzzedMessagesLeaveThePlayerSideInBounds) {
  std::mt19937 rng(56);
  const std::vector<std::string> templates = Templates();
  SB_Var.GameMode = CTRL_RACE;
  for (int32_t i = 0; i < 20000; ++i) {
    if (i % 500 == 0) SB_Var.XState = static_cast<XSTATE>(XSTATE_CONNECTED + rng() % 8);
    const std::string m = Mutate(rng, templates[rng() % templates.size()]);
    NET_HandleMessage(Sender(rng), m.data(), static_cast<uint32_t>(m.size()));
    ASSERT_GE(SB_Var.NetPlayerOrder, 0) << i;
    ASSERT_LT(SB_Var.NetPlayerOrder, SB_MAXCARS) << i;
    ASSERT_LT(SB_Var.DrivenCar, SB_MAXCARS) << i;
    ASSERT_GE(SB_Var.NetSlots, 0) << i;
    ASSERT_LE(SB_Var.NetSlots, NET_MAXPLAYERS) << i;
    ASSERT_GE(SB_Var.NetMaxPlayers, 0) << i;
    ASSERT_LE(SB_Var.NetMaxPlayers, SB_MAXCARS) << i;
    ASSERT_GE(SB_Var.XState, XSTATE_NONET) << i;
    ASSERT_LE(SB_Var.XState, XSTATE_ENDOFRACE) << i;
    for (const CTRL_PLAYER& p : SB_Var.NetPlayers) {
      ASSERT_LE(p.XState, XSTATE_ENDOFRACE) << i;
      ASSERT_LE(p.SubState, XSUBSTATE_WATCHING) << i;
    }
    for (int32_t k = 0; k < 4; ++k) ASSERT_LE(cars_[k].OutOfRace, 3) << i;
  }
  ztest::HookCalls().clear();
}

}  // namespace
