// The game controller against real players on 127.0.0.1: admission up to
// the maximum, the maximum lowered by a player leaving a race, the launch
// of a CONTROLLEDRACE, the order tried three times, the liveness check,
// the "__INFO__" player, and the best-time records and their file.
#include <cstring>
#include <filesystem>
#include <string>

#include "netlink/neti.h"
#include "platform/fs.h"
#include "system/file.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "tests/netgame/session_fixture.h"
#include "vehicles/bytes.h"

namespace {

namespace np = plat::netplay;

std::string FileBytes(const char* name);

class NetCtrl : public ztest::NetSessionTest {
 protected:
  // The records of the host's controller after these finishes, by name.
  static std::string Names(const TCTRL& c) {
    std::string out;
    for (const CTRL_RECORD& r : c.Records) out += std::string(r.Name) + ",";
    return out;
  }
};

// Three copies and a two-player game: Hugo hosts, Mia races, Lea is told
// at once that the race is full, and the host says so; never told she may
// join. Once Mia leaves, Lea takes her car place.
TEST_F(NetCtrl, FullGameRefusesUntilAPlayerLeavesAndCountsEachPlayerOnce) {
  Create(CTRL_RACE, 2);
  ASSERT_EQ(JoinAs(mia_, "Mia"), 1);
  EXPECT_EQ(NET_AskJoinGame(), 1);  // asked again: still one place
  EXPECT_EQ(host_.Ctrl.Logged, 2);
  SB_ClearPrintedLines();
  const uint32_t start = plat::TickMs();
  EXPECT_EQ(JoinAs(lea_, "Lea"), 0);
  EXPECT_LT(plat::TickMs() - start, 5000u);
  EXPECT_TRUE(Printed("Game S is full: no free car place"));
  EXPECT_FALSE(PrintedStart("[XNET][You can join the game"));
  EXPECT_EQ(SB_Var.NetJoinRefused, 2);
  EXPECT_TRUE(PrintedStart("[CTRL][NO FREE CAR PLACE FOR Lea ID:"));
  LS_NetSelect(&mia_);
  ASSERT_EQ(NET_LeaveServer(), 1);
  // At once: the host handles Mia's departure and Lea's arrival together.
  LS_NetSelect(&lea_);
  EXPECT_EQ(NET_JoinServer("Lea", "S"), 1);
  EXPECT_EQ(SB_Var.NetPlayerOrder, 1);  // the freed order
  EXPECT_EQ(host_.Ctrl.Logged, 2);
}

TEST_F(NetCtrl, LeavingARunningRaceLowersTheMaximumAFinishDoesNot) {
  Create(CTRL_RACE, 4);
  ASSERT_EQ(JoinAs(mia_, "Mia"), 1);
  struct Row {
    XSTATE from;
    int32_t max;
  };
  for (const Row& r : {Row{XSTATE_ENDOFRACE, 4}, Row{XSTATE_PLAYING, 3}}) {
    SCOPED_TRACE(r.from);
    ToStartLine({&host_, &mia_});  // a race the host runs
    Go({&host_, &mia_});
    LS_NetSelect(&mia_);
    ASSERT_EQ(NET_SetControllerStatus(r.from, 0), 1);
    ASSERT_EQ(NET_SetControllerStatus(XSTATE_CONNECTED, 0), 1);
    ASSERT_TRUE(Until([&] { return SB_Var.NetMaxPlayers == r.max; }));
    EXPECT_EQ(host_.Vars.NetControllerMax, r.max);
    LS_NetSelect(&host_);  // the host finishes and leaves its race
    for (XSTATE s : {XSTATE_ENDOFRACE, XSTATE_CONNECTED}) ASSERT_EQ(NET_SetControllerStatus(s, 0), 1);
  }
  EXPECT_TRUE(Printed("[READ][CTRL_CHANGEMAXNETPLAYER]"));
}

// In a game for two, Mia leaves race 1 while it runs: the maximum drops,
// and the host's start line no longer waits for her. Lea, joining while
// the race runs, is told why she is refused; once it is over, she takes
// the freed place, the maximum rises again for every start line, and
// she is seated at the host's next GO.
TEST_F(NetCtrl, AFreedCarPlaceIsRacedAgainAndARefusedLogInSaysWhy) {
  Create(CTRL_RACE, 2);
  ASSERT_EQ(JoinAs(mia_, "Mia"), 1);
  ToStartLine({&host_, &mia_});
  Go({&host_, &mia_});
  LS_NetSelect(&mia_);
  ASSERT_EQ(NET_SetControllerStatus(XSTATE_CONNECTED, 0), 1);
  ASSERT_EQ(NET_LeaveServer(), 1);
  LS_NetSelect(&host_);
  ASSERT_TRUE(Until([&] { return SB_Var.NetMaxPlayers == 1 && host_.Ctrl.Logged == 1; }));
  SB_ClearPrintedLines();
  EXPECT_EQ(JoinAs(lea_, "Lea"), 0);  // the host still races
  EXPECT_TRUE(Printed("[XNET][A race is under way: join after it]"));
  EXPECT_TRUE(Printed("[XNET][You cannot join the game..."));
  EXPECT_FALSE(Printed("[XNET][The game is full: every car place is taken]"));
  const auto& lines = SB_PrintedLines();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) {
                            return l.rfind("[CTRL][CTRL_CANILOGMYSELF Player ", 0) == 0 &&
                                   l.find(" refused: RACE UNDER WAY]") != std::string::npos;
                          }),
            1);
  LS_NetSelect(&host_);
  for (XSTATE s : {XSTATE_ENDOFRACE, XSTATE_CONNECTED}) ASSERT_EQ(NET_SetControllerStatus(s, 0), 1);
  SB_ClearPrintedLines();
  LS_NetSelect(&lea_);
  EXPECT_EQ(NET_JoinServer("Lea", "S"), 1);
  EXPECT_EQ(SB_Var.NetPlayerOrder, 1);  // Mia's place
  ASSERT_TRUE(Until([&] { return SB_Var.NetMaxPlayers == 2; }));
  EXPECT_EQ(host_.Vars.NetControllerMax, 2);
  EXPECT_EQ(host_.Ctrl.Logged, 2);
  LS_NetSelect(&host_);
  ASSERT_TRUE(Until([&] { return SB_Var.NetMaxPlayers == 2; }));  // the host's own start line too
  ToStartLine({&host_, &lea_});
  Go({&host_, &lea_});
  EXPECT_EQ(host_.Ctrl.RaceResult[0], CTRL_RACING);
  EXPECT_EQ(host_.Ctrl.RaceResult[1], CTRL_RACING);
}

TEST_F(NetCtrl, ControlledRaceStartsWhenTheLastPlayerIsReady) {
  Create(CTRL_CONTROLLEDRACE, 3);
  ASSERT_EQ(JoinAs(mia_, "Mia"), 1);
  ASSERT_EQ(JoinAs(lea_, "Lea"), 1);
  for (TLSNET* m : {&mia_, &lea_}) {
    LS_NetSelect(m);
    ASSERT_EQ(NET_SetControllerStatus(XSTATE_WAIT4READY, 0), 1);
  }
  EXPECT_EQ(host_.Ctrl.GameState, CTRL_NORACE);
  SB_ClearPrintedLines();
  LS_NetSelect(&host_);
  ASSERT_EQ(NET_SetControllerStatus(XSTATE_WAIT4READY, 0), 1);
  EXPECT_EQ(host_.Ctrl.GameState, CTRL_WAITTWO);
  std::vector<std::string> states;
  for (const std::string& l : SB_PrintedLines())
    if (l.rfind("[CTRL][GAME State:", 0) == 0 || l.rfind("[CTRL][CTRL_", 0) == 0) states.push_back(l);
  EXPECT_EQ(states, (std::vector<std::string>{"[CTRL][CTRL_STARTNEWRACENOW sent...]",
                                              "[CTRL][GAME State:WAITING FOR TWO PLAYERS  ]",
                                              "[CTRL][GAME State:WARMUP                   ]",
                                              "[CTRL][GAME State:WAITING FOR OTHER PLAYERS]"}));
  // A laggard gets message 19 when the race is launched.
  host_.Ctrl.GameState = CTRL_NORACE;
  host_.Ctrl.Players[2].XState = XSTATE_CONNECTED;
  SB_ClearPrintedLines();
  CTRL_SetGameState(CTRL_WARMUP);
  EXPECT_TRUE(Printed("[CTRL][CTRL_LAUCHNEWRACE sent to " + std::to_string(Lea()) + "...]"));
  EXPECT_FALSE(PrintedStart("[CTRL][CTRL_LAUCHNEWRACE sent to " + std::to_string(Mia())));
}

// A newcomer who never answers, in every game type, while the host runs
// its race frames, each of which pumps the network: no frame waits (the
// clock moves only between frames), its order is resent, and once it has
// held its car place 15 s without its order arriving it gives the place
// back. The liveness check leaves it to the order's follow-up, and keeps
// the host's own player, who answers.
class NetCtrlOrder : public NetCtrl, public ::testing::WithParamInterface<int32_t> {};

TEST_P(NetCtrlOrder, AnUndeliveredOrderGivesThePlaceBackAfterFifteenSecondsWhileFramesRun) {
  Create(GetParam(), 4);
  OpenNet(mia_);
  ASSERT_EQ(LS_NetEnumerateSessions(nullptr, 100), 1);
  ASSERT_EQ(LS_NetJoinSession("Mia", 0), 1);
  quiet_ = &mia_;
  LS_NetSelect(&host_);
  SB_ClearPrintedLines();
  const uint32_t start = plat::TickMs();
  constexpr uint32_t kFrameMs = 50;
  int32_t frames = 0;
  uint32_t dropped = 0;
  const std::string freed = "[CTRL][PLAYER Mia ID:" + std::to_string(Mia()) + " NOT LOGGED IN WITHIN 15 s: ITS CAR PLACE IS FREED]";
  for (; frames < 2000 && !dropped; ++frames) {
    plat::AdvanceManualTime(kFrameMs);
    const uint32_t before = plat::TickMs();
    NET_UpdateEvent();  // what the race frame calls
    ASSERT_EQ(plat::TickMs(), before) << "a wait inside frame " << frames;
    np::Settle();
    if (Printed(freed)) dropped = plat::TickMs() - start;
  }
  EXPECT_GE(dropped, CTRL_LOGINWAITMS);
  EXPECT_LT(dropped, CTRL_LOGINWAITMS + 2000);
  EXPECT_FALSE(PrintedStart("[CTRL][CTRL_PLAYERORDER"));  // neither delivered nor failed
  EXPECT_TRUE(PrintedStart("[CTRL][DELPLAYER Mia"));
  EXPECT_FALSE(PrintedStart("[CTRL][DELETING NOT-RECEIVING PLAYER:"));
  EXPECT_EQ(host_.Ctrl.Players[1].Pending, 0);
  EXPECT_EQ(host_.Ctrl.OrderPending[1], 0);
  EXPECT_EQ(host_.Ctrl.Players[0].InUse, 1);
  EXPECT_EQ(host_.Ctrl.Logged, 1);
}

INSTANTIATE_TEST_SUITE_P(EveryGameType, NetCtrlOrder,
                         ::testing::Values(CTRL_FREERACE, CTRL_RACE, CTRL_MULTIRACE, CTRL_CONTROLLEDRACE));

TEST_F(NetCtrl, SilentPlayersDroppedAfterSixtySecondsInFreeGamesOnly) {
  Create(CTRL_RACE, 4);
  ASSERT_EQ(JoinAs(mia_, "Mia"), 1);
  LS_NetSelect(&host_);
  TCTRL& c = host_.Ctrl;
  struct Row {
    int32_t type;
    uint32_t silentMs, checkAge;
    int32_t inCheck;
    bool queried, dropped;
  };
  for (const Row& r :
       {Row{CTRL_CONTROLLEDRACE, 70000, 10001, 0, false, false}, Row{CTRL_RACE, 70000, 10001, 1, false, false},
        Row{CTRL_RACE, 70000, 10000, 0, false, false}, Row{CTRL_RACE, 60000, 10001, 0, true, false},
        Row{CTRL_RACE, 60001, 10001, 0, true, true}}) {
    SCOPED_TRACE(r.silentMs);
    c.GameType = r.type;
    c.InCheck = r.inCheck;
    const uint32_t now = LS_GetTime();
    c.LastHeard[1] = now - r.silentMs;
    c.LastHeard[0] = now;
    c.LastCheck = now - r.checkAge;
    SB_ClearPrintedLines();
    CTRL_DropSilentPlayers();
    EXPECT_EQ(c.LastCheck == now - r.checkAge, !r.queried);
    EXPECT_EQ(PrintedStart("[CTRL][DELETING NOT-RECEIVING PLAYER:Mia"), r.dropped);
    EXPECT_EQ(c.Players[1].InUse == 0, r.dropped);
  }
  c.InCheck = 0;
  // The game's pump runs the check on the controller's machine.
  c.LastCheck = LS_GetTime() - 10001;
  NET_UpdateEvent();
  EXPECT_EQ(c.LastCheck, LS_GetTime());
  // Mia was told of message 15 and answered.
  LS_NetSelect(&mia_);
  EXPECT_EQ(SB_Var.XState, XSTATE_CONNECTED);
}

TEST_F(NetCtrl, InfoPlayerNeverEntersTheTable) {
  Create(CTRL_RACE, 4);
  OpenNet(lea_);
  ASSERT_EQ(LS_NetEnumerateSessions(nullptr, 100), 1);
  ASSERT_EQ(LS_NetJoinSession("__INFO__", 0), 1);
  LS_NetSelect(&host_);
  ASSERT_TRUE(Until([] { return PrintedStart("[SYS CTRL][PLAYER '__INFO__'"); }));
  for (const CTRL_PLAYER& p : host_.Ctrl.Players) EXPECT_NE(p.Id, Lea());
  EXPECT_EQ(host_.Ctrl.Players[1].Pending, 0);
}

TEST_F(NetCtrl, RecordsKeepTimeOrderAndAnnounceANewBest) {
  Create(CTRL_RACE, 4);
  ASSERT_EQ(JoinAs(mia_, "Mia"), 1);
  EXPECT_EQ(SB_Var.NetBestTime, static_cast<int32_t>(CTRL_NORECORD));  // no file
  LS_NetSelect(&host_);
  SB_Hooks.FormatTime = [](int32_t ms, int32_t) -> const char* {
    static std::string s;
    s = "T" + std::to_string(ms);
    return s.c_str();
  };
  EXPECT_STREQ(CTRL_GetBestTimeText(), "NONE");
  TCTRL& c = host_.Ctrl;
  CTRL_UpdateRecords(10, 5000, "A");
  CTRL_UpdateRecords(10, 5000, "A");  // the same finish once
  CTRL_UpdateRecords(10, CTRL_NOTIME, "N");
  CTRL_UpdateRecords(10, 0, "Z");
  CTRL_UpdateRecords(10, 5000, "B");  // after the older equal time
  EXPECT_EQ(Names(c), "A,B,,,,,,,,,");
  EXPECT_EQ(c.NbFinishers, 2);
  for (int32_t i = 0; i < 8; ++i) CTRL_UpdateRecords(10, 6000 + i, ("C" + std::to_string(i)).c_str());
  EXPECT_EQ(c.Records[9].RaceTime, 6007u);
  SB_ClearPrintedLines();
  CTRL_UpdateRecords(10, 4000, "D");  // an eleventh pushes the tenth out
  EXPECT_EQ(Names(c), "D,A,B,C0,C1,C2,C3,C4,C5,C6,");
  EXPECT_TRUE(Printed("[CTRL][ New Best Time record ]"));
  EXPECT_STREQ(CTRL_GetBestTimeText(), "T4000 D");
  EXPECT_STREQ(CTRL_GetRaceBestTimeText(), "T4000 D");
  EXPECT_EQ(std::strlen(c.Records[0].TimeOfDay), 8u);
  EXPECT_EQ(std::strlen(c.Records[0].Date), 8u);
  LS_NetSelect(&mia_);
  ASSERT_TRUE(Until([] { return SB_Var.NetBestTime == 4000; }));
}

// A member's player seated in the host's race can send any result: each
// forged one is refused with a line, the records and their file stay as
// they were, byte for byte; an honest finish still enters them. Each row
// that races races a race of its own the host starts; the race has 3
// laps; time passes only where a row says so.
TEST_F(NetCtrl, ForgedResultsAreRefusedAndTheRecordsFileStaysAsItWas) {
  Create(CTRL_RACE, 4);
  ASSERT_EQ(JoinAs(mia_, "Mia"), 1);
  ASSERT_EQ(JoinAs(lea_, "Lea"), 1);
  SB_Var.NbLaps = 3;
  LS_NetSelect(&host_);
  CTRL_UpdateRecords(61000, 190000, "Bea");
  enum Then { kStays, kWatches, kLeaves };
  struct Row {
    const char* what;
    TLSNET* from;
    bool race;
    Then then;
    uint32_t racedMs, lap, time;
    std::string refusal;  // empty: entered
  };
  const Row rows[] = {
      {"before the race", &lea_, false, kStays, 0, 1, 1, "NOT RACING IN THIS RACE"},
      {"a race time of 1 ms", &lea_, true, kStays, 20000, 1, 1, "RACE TIME 1 ms, BUT RACING FOR 2"},
      {"a best lap longer than a third of the time", &lea_, true, kStays, 10000, 5000, 12000,
       "BEST LAP 5000 ms DOES NOT FIT 3 LAPS IN 12000 ms"},
      {"no best lap (its one lap from the grid)", &lea_, true, kStays, 20000, 0, 21000, ""},
      {"from a watching player", &lea_, true, kWatches, 20000, 6000, 19000, "NOT RACING IN THIS RACE"},
      {"after leaving the race", &lea_, true, kLeaves, 20000, 6000, 19000, "NOT RACING IN THIS RACE"},
      {"honest", &mia_, true, kStays, 20000, 6000, 19000, ""},
      {"twice in one race", &mia_, false, kStays, 0, 5000, 18000, "ITS RESULT OF THIS RACE IS ALREADY IN"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    LS_NetSelect(r.from);
    const uint32_t id = SB_Var.NetPlayerId;
    const int32_t order = SB_Var.NetPlayerOrder;
    if (r.race) {
      ToStartLine({&host_, r.from});
      Go({&host_, r.from});
      LS_NetSelect(r.from);
    }
    if (r.then == kWatches) {
      ASSERT_EQ(NET_SendShort(CTRL_SETPLAYERSTATUS, 0, XSUBSTATE_WATCHING), 1);
    }
    if (r.then == kLeaves) {
      ASSERT_EQ(NET_SetControllerStatus(XSTATE_CONNECTED, 0), 1);
    }
    plat::AdvanceManualTime(r.racedMs);
    LS_NetSelect(&host_);
    const std::string before = FileBytes("BestRec.TMB");
    ASSERT_EQ(before.size(), 7760u);
    const std::string best = host_.Ctrl.Records[0].Name;
    plat::AdvanceManualTime(NET_NOTICEMS);  // each refusal said at once
    SB_ClearPrintedLines();
    LS_NetSelect(r.from);
    uint8_t finish[XNET_PROGRESSMSGSIZE];
    NET_PutHeader(finish, XNET_RACEFINISHED, order, 1);
    SB_PutLong(finish + 12, r.lap);
    SB_PutLong(finish + 16, r.time);
    SB_PutLong(finish + 20, 0);
    ASSERT_NE(NET_SendToAll(finish, sizeof finish, NET_GUARANTEED), -2);
    LS_NetSelect(&host_);
    const std::string name = r.from == &mia_ ? "Mia" : "Lea";
    if (r.refusal.empty()) {
      ASSERT_TRUE(Until([&] { return host_.Ctrl.Records[0].RaceTime == r.time; }));
      EXPECT_EQ(host_.Ctrl.Records[0].Name, name);
      EXPECT_NE(FileBytes("BestRec.TMB"), before);
      continue;
    }
    const std::string line = "[CTRL][RACE RESULT OF " + name + " ID:" + std::to_string(id) + " REFUSED: " + r.refusal;
    ASSERT_TRUE(Until([&] { return PrintedStart(line); }));
    Until([] { return false; }, 5);
    EXPECT_EQ(FileBytes("BestRec.TMB"), before);
    EXPECT_EQ(host_.Ctrl.Records[0].Name, best);
    EXPECT_FALSE(PrintedStart("[CTRL][NAME:"));
    EXPECT_FALSE(Printed("[CTRL][ New Best Time record ]"));
  }
}

// A CONTROLLEDRACE starts for every racer at once, once the controller
// launched it: one that says it started 20 s after the others is still
// timed from the race's start. The host's player stays at the console.
TEST_F(NetCtrl, AControlledRacersResultIsTimedFromTheRacesStart) {
  Create(CTRL_CONTROLLEDRACE, 3);
  ASSERT_EQ(JoinAs(mia_, "Mia"), 1);
  ASSERT_EQ(JoinAs(lea_, "Lea"), 1);
  SB_Var.NbLaps = 1;
  LS_NetSelect(&host_);
  ASSERT_EQ(CTRL_StartNewRaceNow(), 1);
  ToStartLine({&mia_, &lea_});
  Go({&mia_});
  EXPECT_EQ(host_.Ctrl.Players[1].XState, XSTATE_PLAYING);
  plat::AdvanceManualTime(20000);
  LS_NetSelect(&lea_);
  const uint32_t id = SB_Var.NetPlayerId;
  ASSERT_EQ(NET_SetControllerStatus(XSTATE_PLAYING, 0), 1);
  plat::AdvanceManualTime(2000);
  uint8_t finish[XNET_PROGRESSMSGSIZE];
  NET_PutHeader(finish, XNET_RACEFINISHED, SB_Var.NetPlayerOrder, 1);
  SB_PutLong(finish + 12, 2000);
  SB_PutLong(finish + 16, 2000);
  SB_PutLong(finish + 20, 0);
  SB_ClearPrintedLines();
  ASSERT_NE(NET_SendToAll(finish, sizeof finish, NET_GUARANTEED), -2);
  LS_NetSelect(&host_);
  EXPECT_TRUE(Until([&] {
    return PrintedStart("[CTRL][RACE RESULT OF Lea ID:" + std::to_string(id) + " REFUSED: RACE TIME 2000 ms, BUT RACING FOR 22");
  }));
  EXPECT_FALSE(PrintedStart("[CTRL][NAME:"));
}

TEST_F(NetCtrl, GameStateNamesArePadded) {
  struct Row {
    int32_t state;
    const char* name;
  };
  for (const Row& r : {Row{0, "NO RACE                  "}, Row{2, "WAITING FOR OTHER PLAYERS"},
                       Row{7, "UNKNOWN MODE             "}, Row{-1, "UNKNOWN MODE             "}}) {
    EXPECT_STREQ(CTRL_GetGameStateName(r.state), r.name);
  }
}

// The whole records file, or empty when there is none.
std::string FileBytes(const char* name) {
  const int32_t size = LS_FileExists(name) ? LS_GetFileSize(name) : 0;
  std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size <= 0) return bytes;
  const int16_t f = LS_Open(name, LS_O_RDONLY | LS_O_BINARY);
  LS_Read(f, bytes.data(), size);
  LS_Close(f);
  return bytes;
}

// The records file is read field by field at exactly ten records; a file
// of another size is refused, said so, and left as it is until a record
// changes.
TEST_F(NetCtrl, RecordsFileOfTenRecordsOnly) {
  LS_NetSelect(&host_);
  struct Row {
    int32_t size;
    bool read;
  };
  for (const Row& r :
       {Row{7760, true}, Row{0, false}, Row{7759, false}, Row{7761, false}, Row{1 << 20, false}}) {
    SCOPED_TRACE(r.size);
    std::vector<uint8_t> bytes(static_cast<size_t>(r.size), 'x');  // texts without a zero
    if (r.size >= 776) {
      std::memcpy(bytes.data(), "Ann", 4);
      SB_PutLong(bytes.data() + 256, 65000);
      SB_PutLong(bytes.data() + 260, 123456);
    }
    const int16_t f = LS_Open("BestRec.TMB", LS_O_WRONLY | LS_O_CREAT | LS_O_TRUNC | LS_O_BINARY);
    ASSERT_GE(f, 0);
    if (r.size) {
      ASSERT_EQ(LS_Write(f, bytes.data(), r.size), r.size);
    }
    LS_Close(f);
    SB_ClearPrintedLines();
    CTRL_Init();
    const TCTRL& c = host_.Ctrl;
    EXPECT_EQ(c.Records[0].RaceTime, r.read ? 123456u : CTRL_NORECORD);
    EXPECT_STREQ(c.Records[0].Name, r.read ? "Ann" : "");
    EXPECT_EQ(std::strlen(c.Records[1].Date), r.read ? 255u : 0u);
    EXPECT_EQ(Printed("[CTRL][Records file loaded.]"), r.read);
    EXPECT_EQ(Printed("[CTRL][Records file created.]}"), !r.read);
    EXPECT_EQ(Printed("[CTRL][Records file BestRec.TMB refused: " + std::to_string(r.size) + " bytes, not 7760]"),
              !r.read);
    CTRL_Free();
    EXPECT_EQ(FileBytes("BestRec.TMB"), std::string(bytes.begin(), bytes.end()));  // untouched
  }
  // A refused file is replaced once a record changes.
  CTRL_Init();
  CTRL_UpdateRecords(61000, 190000, "Bea");
  EXPECT_EQ(FileBytes("BestRec.TMB").size(), 7760u);
  CTRL_Free();
}

// A record set in one game is the record of the next: the file holds the
// ten records field by field, little-endian, and each change is written
// at once through a temporary file renamed over it.
TEST_F(NetCtrl, RecordsWrittenAndReadBackByTheNextGame) {
  Create(CTRL_RACE, 4);
  SB_ClearPrintedLines();
  CTRL_UpdateRecords(61000, 190000, "Bea");
  CTRL_UpdateRecords(60500, 185000, "Cal");
  EXPECT_EQ(ztest::CountPrinted("[CTRL][Records file written.]"), 2);
  const std::string bytes = FileBytes("BestRec.TMB");
  ASSERT_EQ(bytes.size(), 7760u);
  const auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
  EXPECT_STREQ(reinterpret_cast<const char*>(b), "Cal");
  EXPECT_EQ(SB_GetLong(b + 256), 60500u);
  EXPECT_EQ(SB_GetLong(b + 260), 185000u);
  EXPECT_EQ(std::strlen(reinterpret_cast<const char*>(b + 264)), 8u);  // HH:MM:SS
  EXPECT_EQ(std::strlen(reinterpret_cast<const char*>(b + 520)), 8u);  // MM/DD/YY
  EXPECT_STREQ(reinterpret_cast<const char*>(b + 776), "Bea");
  EXPECT_EQ(SB_GetLong(b + 2 * 776 + 260), CTRL_NORECORD);
  EXPECT_FALSE(LS_FileExists("BestRec.TMP"));
  NET_Close();
  // The next game's controller starts from them, and tells a newcomer.
  Create(CTRL_RACE, 4);
  EXPECT_STREQ(host_.Ctrl.Records[0].Name, "Cal");
  EXPECT_EQ(host_.Ctrl.Records[1].RaceTime, 190000u);
  ASSERT_EQ(JoinAs(mia_, "Mia"), 1);
  EXPECT_EQ(SB_Var.NetBestTime, 185000);
  LS_NetSelect(&host_);
  // A file that cannot be written leaves the one there as it was.
  const std::string before = FileBytes("BestRec.TMB");
  char physical[LS_PATHSIZE] = "BestRec.TMP";
  ASSERT_GE(LSI_GetPhysicalPath(physical, sizeof physical), 0);
  std::string temp;
  ASSERT_TRUE(plat::ResolveHostPath(physical, true, temp));
  ASSERT_TRUE(std::filesystem::create_directory(temp));  // a folder in the temporary file's place
  SB_ClearPrintedLines();
  CTRL_UpdateRecords(60000, 180000, "Dan");
  EXPECT_TRUE(Printed("[CTRL][Records file BestRec.TMB not written: it stays as it was]"));
  EXPECT_EQ(FileBytes("BestRec.TMB"), before);
  std::filesystem::remove(temp);
  NET_Close();  // changed and not written: written as the controller stops
  EXPECT_STREQ(reinterpret_cast<const char*>(FileBytes("BestRec.TMB").data()), "Dan");
}

}  // namespace
