// The player side's decoding of each game message on one machine: the
// wire form of the header and the player record, what each type changes,
// and the messages refused for their length, sender or values.
#include <gtest/gtest.h>

#include "net/netplayer.h"
#include "platform/clock.h"
#include "tests/netgame/netgame_fixture.h"
#include "vehicles/setups.h"

namespace {

using ztest::HookCalls;
using ztest::Long;
using ztest::Message;
using ztest::Player;

class NetHandle : public ztest::NetGameTest {};

TEST_F(NetHandle, HeaderAndPlayerRecordBytes) {
  EXPECT_EQ(Message(0x0001000D, -2, 0x01020304),
            std::string("\x0D\x00\x01\x00\xFE\xFF\xFF\xFF\x04\x03\x02\x01", 12));
  CTRL_PLAYER p{};
  p.Id = 0x11223344;
  p.InUse = 1;
  p.XState = 9;
  p.Group = 7;  // never sent
  p.SubState = 2;
  p.Pending = 1;
  p.NameWord = 0xDEADBEEF;  // never sent
  const std::string bytes = Player(p);
  EXPECT_EQ(bytes, std::string("\x44\x33\x22\x11\x01\x09\x00\x02\x00\x01\x00\x00\x00\x00\x00\x00", 16));
  const CTRL_PLAYER back = NET_GetPlayer(reinterpret_cast<const uint8_t*>(bytes.data()));
  EXPECT_EQ(back.Id, p.Id);
  EXPECT_EQ(back.XState, 9);
  EXPECT_EQ(back.SubState, 2);
  EXPECT_EQ(back.Pending, 1);
  EXPECT_EQ(back.Group, 0);
  EXPECT_EQ(back.NameWord, 0u);
  EXPECT_EQ(NET_MessageType(0x0001000D), 13);
  EXPECT_EQ(NET_MessageType(0x0000FFFF), -1);
}

TEST_F(NetHandle, GameInformationUpToThirtyTwoSlots) {
  struct Row {
    const char* what;
    int32_t n, type, maxPlayers, subState;
    size_t cut;  // bytes left out at the end
    bool stored;
  };
  for (const Row& r : {Row{"32 slots", 32, CTRL_RACE, 16, 1, 0, true}, Row{"none", 0, CTRL_RACE, 16, 1, 0, true},
                       Row{"33 slots", 33, CTRL_RACE, 16, 1, 0, false},
                       Row{"-1 slots", -1, CTRL_RACE, 16, 1, 0, false},
                       Row{"records cut", 32, CTRL_RACE, 16, 1, 1 * 16 + 1, false},
                       Row{"game type 5", 4, CTRL_OFFLINERACE, 16, 1, 0, false},
                       Row{"maximum 17", 4, CTRL_RACE, 17, 1, 0, false},
                       Row{"sub-state 3", 4, CTRL_RACE, 4, 3, 0, false}}) {
    SCOPED_TRACE(r.what);
    SB_ClearPrintedLines();
    NET_Side.GameInfoReceived = 0;
    SB_Var.NetSlots = 4;
    std::string payload = Long(static_cast<uint32_t>(r.maxPlayers));
    for (int32_t i = 0; i < 33; ++i) {
      CTRL_PLAYER p{};
      p.Id = 500 + i;
      p.InUse = 1;
      p.SubState = static_cast<uint8_t>(i == 3 ? r.subState : 1);
      payload += Player(p);
    }
    if (r.cut) payload.resize(4 + 16 * 32 - r.cut);
    Handle(kController, Message(CTRL_GAMEINFO, r.type, r.n, payload));
    EXPECT_TRUE(Printed("[READ][GAMEINFO]"));
    EXPECT_EQ(Printed("[READ][GAMEINFO ERR]"), !r.stored);
    EXPECT_EQ(NET_Side.GameInfoReceived, r.stored ? 1 : 0);
    EXPECT_EQ(SB_Var.NetSlots, r.stored ? r.n : 4);
    if (r.n == 32 && r.stored) {
      EXPECT_EQ(SB_Var.NetPlayers[31].Id, 531u);
      EXPECT_EQ(SB_Var.NetMaxPlayers, 16);
      EXPECT_EQ(SB_Var.GameMode, CTRL_RACE);
    }
  }
}

// Each refused message changes nothing and is logged.
TEST_F(NetHandle, RefusedForLengthSenderOrValues) {
  CTRL_PLAYER bad{};
  bad.XState = 11;
  CTRL_PLAYER badSub{};
  badSub.SubState = 3;
  struct Row {
    const char* what;
    uint32_t from;
    std::string message;
  };
  const Row rows[] = {
      {"below the header", kController, std::string(11, '\0')},
      {"order from a player", 101, Message(CTRL_PLAYERORDER, 2, 0)},
      {"order beyond the cars", kController, Message(CTRL_PLAYERORDER, 16, 0)},
      {"update too short", kController, Message(CTRL_UPDATENETPLAYER, 1, 0, std::string(15, '\0'))},
      {"update with state 11", kController, Message(CTRL_UPDATENETPLAYER, 1, 0, Player(bad))},
      {"progress too short", 101, Message(XNET_OUTOFTIME, 1, 1, std::string(11, '\0'))},
      {"progress from another player", 102, Message(XNET_OUTOFTIME, 1, 1, std::string(12, '\0'))},
      {"setup too short", 101, Message(CTRL_VEHICLESETUP, 1, 1, std::string(423, '\0'))},
      {"best time from a player", 101, Message(CTRL_BESTTIME, 5, 0)},
      {"maximum above the cars", kController, Message(CTRL_CHANGEMAXNETPLAYER, 17, 0)},
      {"maximum below zero", kController, Message(CTRL_CHANGEMAXNETPLAYER, -1, 0)},
      {"answer from a player", 101, Message(CTRL_ANSWER, 1, 0)},
      {"end of race from a player", 101, Message(CTRL_ENDOFRACE, 2, 0)},
      {"update with sub-state 3", kController, Message(CTRL_UPDATENETPLAYER, 1, 0, Player(badSub))},
      {"car state from another player", 102, Message(XNET_CARSTATE, 1, 0, std::string(88, '\0'))},
      {"car state too short", 101, Message(XNET_CARSTATE, 1, 0, std::string(87, '\0'))},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    plat::AdvanceManualTime(NET_NOTICEMS);  // a refusal is said at most once a second
    SB_ClearPrintedLines();
    SB_Var.NetPlayerOrder = SB_Var.DrivenCar = 0;
    SB_Var.NetBestTime = 0;
    SB_Var.NetMaxPlayers = 3;
    cars_[1].OutOfTime = 0;
    Handle(r.from, r.message);
    EXPECT_TRUE(Refused());
    EXPECT_EQ(SB_Var.NetPlayerOrder, 0);
    EXPECT_EQ(SB_Var.NetBestTime, 0);
    EXPECT_EQ(SB_Var.NetMaxPlayers, 3);
    EXPECT_EQ(cars_[1].OutOfTime, 0);
    EXPECT_EQ(SB_Var.NetPlayers[1].XState, 0);
    EXPECT_EQ(NET_Side.SetupsReceived, 0);
    EXPECT_EQ(NET_Side.AnswerReceived, 0);
    EXPECT_EQ(SB_Var.RaceOver, 0);
  }
}

TEST_F(NetHandle, CarStateFromSeventhStateOnly) {
  cars_[1].Remote = 1;
  cars_[1].TransitOffset = SB_TRANSITNONE;
  SB_Var.GameMode = CTRL_RACE;
  const std::string state = Message(0x0001000D, 1, 0, std::string(88, '\0'));
  SB_Var.XState = XSTATE_READY2PLAY;
  Handle(101, state);
  EXPECT_EQ(cars_[1].StatesReceived, 0);
  EXPECT_TRUE(SB_PrintedLines().empty());
  SB_Var.XState = XSTATE_WAIT4READY;
  Handle(101, state);
  EXPECT_EQ(cars_[1].StatesReceived, 1);
}

// The controller answers every request with each setup it holds: only a
// setup that differs from the car's, or one for a car not yet painted,
// marks the car for painting; a mark still pending stays.
TEST_F(NetHandle, ASetupMarksItsCarChangedOnlyWhenItBringsSomethingNew) {
  SB_Var.XState = XSTATE_READY2PLAY;
  const auto setupMessage = [](float hDelta) {
    TVEHICLESETUP setup{};
    setup.HDelta = hDelta;
    setup.Changed = 1;  // as the controller stores it
    std::string record(SB_SETUPRECORDSIZE, '\0');
    SB_PackVehicleSetup(setup, reinterpret_cast<uint8_t*>(record.data()));
    return Message(CTRL_VEHICLESETUP, 1, 1, record);
  };
  struct Row {
    const char* what;
    uint8_t texturesReady, pendingBefore;
    float hDelta;
    uint8_t changed;
  };
  for (const Row& r : {Row{"first arrival, car unpainted", 0, 0, 0.25f, 1},
                       Row{"the same again, car painted", 1, 0, 0.25f, 0},
                       Row{"the same again, mark pending", 1, 1, 0.25f, 1},
                       Row{"a new one, car painted", 1, 0, 0.5f, 1},
                       Row{"the same, car not painted yet", 0, 0, 0.5f, 1}}) {
    SCOPED_TRACE(r.what);
    cars_[1].TexturesReady = r.texturesReady;
    SB_Var.CarSetups[1].Changed = r.pendingBefore;
    Handle(101, setupMessage(r.hDelta));  // from the car's own player
    EXPECT_FALSE(Refused());
    EXPECT_EQ(SB_Var.CarSetups[1].HDelta, r.hDelta);
    EXPECT_EQ(SB_Var.CarSetups[1].Changed, r.changed);
  }
}

TEST_F(NetHandle, TextLoggedThenShownOnTheHud) {
  SB_Var.XState = XSTATE_CONNECTED;
  Handle(102, Message(XNET_TEXT, 0, 0, std::string("hi\0junk", 7)));
  EXPECT_TRUE(Printed("[READ][from:][hi]"));
  SB_Var.XState = XSTATE_READY2PLAY;
  Handle(102, Message(XNET_TEXT, 0, 0, "no zero"));
  EXPECT_EQ(HookCalls(), std::vector<std::string>{"Hud :no zero"});
}

TEST_F(NetHandle, ProgressOfOtherCarsWithinTheSlots) {
  SB_Var.GameMode = CTRL_RACE;
  SB_Var.NetSlots = 2;
  SB_Var.NetPlayers[2].Id = 102;
  const std::string times = Long(61000) + Long(183000) + Long(4321);
  Handle(100, Message(XNET_OUTOFTIME, 0, 1, times));  // the driven car
  Handle(102, Message(XNET_OUTOFTIME, 2, 1, times));  // beyond the slots
  EXPECT_EQ(cars_[0].RaceTime + cars_[2].RaceTime, 0);
  EXPECT_TRUE(HookCalls().empty());
  Handle(101, Message(XNET_OUTOFTIME, 1, 1, times));
  EXPECT_EQ(cars_[1].BestLap, 61000);
  EXPECT_EQ(cars_[1].RaceTime, 183000);
  EXPECT_EQ(cars_[1].OutOfTime, 1);
  EXPECT_EQ(cars_[1].Distance, 4321.0);
  // A finish in a CONTROLLEDRACE ends the local race.
  SB_Var.GameMode = CTRL_CONTROLLEDRACE;
  cars_[1].Finished = 1;
  Handle(101, Message(XNET_RACEFINISHED, 1, 1, times));
  EXPECT_EQ(cars_[0].OutOfTime, 1);
  EXPECT_EQ(HookCalls(), (std::vector<std::string>{"Score 1 0", "Score 1 1"}));
}

TEST_F(NetHandle, PlayerUpdatesMoveCarsInAndOut) {
  CTRL_PLAYER p{};
  p.Id = 102;
  p.InUse = 1;
  p.SubState = 1;
  p.XState = XSTATE_READY2PLAY;
  SB_Var.WatchedCar = -1;
  Handle(kController, Message(CTRL_UPDATENETPLAYER, 2, 1, Player(p) + "Lea"));
  EXPECT_EQ(SB_Var.WatchedCar, 2);
  p.SubState = 0;
  Handle(kController, Message(CTRL_UPDATENETPLAYER, 2, 1, Player(p) + "Lea"));
  EXPECT_TRUE(Printed("OFF 0,6"));
  EXPECT_EQ(cars_[2].OutOfRace, 2);
  p.InUse = 0;
  Handle(kController, Message(CTRL_UPDATENETPLAYER, 2, 1, Player(p) + "Lea"));
  EXPECT_TRUE(Printed("OUT:2"));
  EXPECT_EQ(cars_[2].OutOfRace, 3);
  EXPECT_EQ(HookCalls(), (std::vector<std::string>{"Notice Lea", "Notice Lea", "Notice Lea"}));
  // The local order's echo; an order beyond the table is a console line.
  Handle(kController, Message(CTRL_UPDATENETPLAYER, 0, 0, Player(p)));
  EXPECT_EQ(NET_Side.StatusEchoed, 1);
  Handle(kController, Message(CTRL_UPDATENETPLAYER, 32, 0, Player(p)));
  EXPECT_TRUE(Printed("Bad Player order:32 from 900"));
}

TEST_F(NetHandle, StartNowOnlyAtTheFirstStepOfModesZeroAndFour) {
  struct Row {
    int32_t mode, step;
    bool acts;
  };
  for (const Row& r : {Row{0, 1, true}, Row{4, 1, true}, Row{2, 1, false}, Row{4, 2, false}}) {
    HookCalls().clear();
    SB_Var.GameMode = r.mode;
    step_ = r.step;
    Handle(kController, Message(CTRL_STARTNEWRACENOW, 2, 0));
    EXPECT_EQ(HookCalls(),
              r.acts ? (std::vector<std::string>{"SetGameMode 4", "StopReplayRecord", "NextGameStep"})
                     : std::vector<std::string>{});
  }
  step_ = 1;
}

// Message 5 without a car place: the game is full, or, with a count of
// seconds, the joiner's machine still waits that long.
TEST_F(NetHandle, NoCarPlaceSaysHowLongTheMachineWaits) {
  for (int32_t wait : {12, 1, 0, -5}) {
    SCOPED_TRACE(wait);
    NET_Side.GameFull = NET_Side.NoPlaceWaitS = 0;
    Handle(kController, Message(CTRL_PLAYERORDER, CTRL_NOPLACE, wait));
    EXPECT_EQ(NET_Side.GameFull, 1);
    EXPECT_EQ(NET_Side.NoPlaceWaitS, wait > 0 ? wait : 0);
  }
  NET_Side.GameFull = NET_Side.NoPlaceWaitS = 0;
}

TEST_F(NetHandle, EndOfRaceOnTheController) {
  SB_Var.IsController = 1;
  SB_Var.GameMode = 0;
  SB_Var.LocalRaceTime = 5000;
  Handle(kController, Message(CTRL_ENDOFRACE, 2, 0));
  Handle(kController, Message(CTRL_ENDOFRACE, 2, 0));
  EXPECT_EQ(std::count(Boxes().begin(), Boxes().end(), "End Of Race"), 1);
  EXPECT_EQ(SB_Var.LocalRaceTime, 1000000000);
  EXPECT_EQ(SB_Var.LocalBestLap, 1000000000);
  EXPECT_EQ(SB_Var.RaceOver, 1);
  EXPECT_EQ(HookCalls()[0], "SetGameMode 4");
  EXPECT_EQ(HookCalls()[1], "SetGameModeSteps 4");
}

// A peer repeating what is refused gets a line a second, the refusals
// between counted: the console's file grows at the program's pace.
TEST_F(NetHandle, RefusalsAreSaidOnceASecondWithTheCountBetween) {
  SB_Var.XState = XSTATE_PLAYING;
  SB_Var.GameMode = CTRL_RACE;
  SB_Var.NbCars = 1;  // car 1's states are refused by the race
  const std::string state = Message(XNET_CARSTATE, 1, 0, std::string(88, '\0'));
  struct Row {
    const char* what;
    uint32_t from;
    std::string line, more;
  };
  const Row rows[] = {
      {"a stranger's car state", 555, "[READ][REFUSED type:13 length:100 from:555]", "[READ][99 MORE MESSAGES REFUSED]"},
      {"a car state the race refuses", 101, "Position recue voiture (1) (p0) illegale",
       "[READ][99 MORE CAR STATES REFUSED]"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    plat::AdvanceManualTime(NET_NOTICEMS);
    SB_ClearPrintedLines();
    for (int i = 0; i < 100; ++i) Handle(r.from, state);
    plat::AdvanceManualTime(NET_NOTICEMS - 1);
    NET_FlushNotices();
    EXPECT_EQ(SB_PrintedLines(), std::vector<std::string>{r.line});
    plat::AdvanceManualTime(1);
    NET_FlushNotices();
    NET_FlushNotices();
    EXPECT_EQ(SB_PrintedLines(), (std::vector<std::string>{r.line, r.more}));
    plat::AdvanceManualTime(NET_NOTICEMS);
    Handle(r.from, state);
    EXPECT_EQ(SB_PrintedLines(), (std::vector<std::string>{r.line, r.more, r.line}));
  }
}

TEST_F(NetHandle, NamesKeepLettersDigitsAndThreeSigns) {
  char a[] = "Al ba!";
  char b[] = "a-b.c_d";
  EXPECT_STREQ(NET_CheckPlayerName(a), "Alba");
  EXPECT_STREQ(NET_CheckPlayerName(b), "a-b.c_d");
  EXPECT_EQ(NET_CheckPlayerName(nullptr), nullptr);
}

}  // namespace
