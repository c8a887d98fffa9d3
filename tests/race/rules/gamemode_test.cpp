// Game modes and their settings, player names and the racing cars of a
// session.
#include <gtest/gtest.h>

#include <string>

#include "race/racerules.h"
#include "race/sequencer.h"
#include "shell/sbvar.h"
#include "tests/fakes/race_fakes.h"

namespace {

using GameModeTest = ztest::RaceTest;

struct ModeRow {
  int32_t mode;
  int32_t slot, multiView, timeLimit, dayNight, grid;
};

TEST_F(GameModeTest, EachModeHasItsSettings) {
  const ModeRow rows[] = {
      {SB_TRAINING, 0, 0, 0, 0, 0},   {SB_FREERACE, 0, 0, 0, 1, 1},       {SB_RACE, 0, 0, 1, 1, 0},
      {SB_MULTIRACE, 1, 1, 1, 1, 0},  {SB_CONTROLLEDRACE, 0, 0, 1, 1, 0}, {SB_OFFLINE, 0, 0, 1, 1, 1},
      {SB_STANDALONE, 0, 0, 1, 1, 1}, {SB_DEMO, 0, 0, 0, 1, 1},
  };
  for (const ModeRow& r : rows) {
    EXPECT_EQ(SB_SetGameMode(r.mode), r.mode);
    EXPECT_EQ(SB_Var.GameSteps, SB_GameStepLists[r.mode]);
    SB_ApplyGameModeSettings();
    EXPECT_EQ(SB_Var.CurStartSlots, &SB_Var.StartSlots[r.slot]) << r.mode;
    EXPECT_EQ(SB_Var.MultiView, r.multiView) << r.mode;
    EXPECT_EQ(SB_Var.TimeLimitOn, r.timeLimit) << r.mode;
    EXPECT_EQ(SB_Var.DayNightOn, r.dayNight) << r.mode;
    EXPECT_EQ(SB_Var.GridStart, r.grid) << r.mode;
  }
}

TEST_F(GameModeTest, NoTimeLimitSwitchesTheLimitOff) {
  SB_Var.NoTimeLimit = 1;
  SB_SetGameMode(SB_RACE);
  SB_ApplyGameModeSettings();
  EXPECT_EQ(SB_Var.TimeLimitOn, 0);
  EXPECT_EQ(SB_Var.DayNightOn, 1);
}

TEST_F(GameModeTest, AnUnknownModeSetsOnlyDayAndNight) {
  SB_Var.GameMode = 9;
  SB_Var.DayNightOn = 0;
  SB_Var.TimeLimitOn = 1;
  SB_Var.MultiView = 1;
  SB_ApplyGameModeSettings();
  EXPECT_EQ(SB_Var.DayNightOn, 1);
  EXPECT_EQ(SB_Var.TimeLimitOn, 1);
  EXPECT_EQ(SB_Var.MultiView, 1);
  EXPECT_EQ(SB_Var.CurStartSlots, nullptr);
}

TEST_F(GameModeTest, ResetValuesAreThoseBeforeAnyRace) {
  EXPECT_EQ(SB_Var.GameMode, SB_TRAINING);
  EXPECT_EQ(SB_Var.TimeLimitOn, 1);
  EXPECT_EQ(SB_Var.GridStart, 1);
  EXPECT_EQ(SB_Var.DayNightOn, 1);
  EXPECT_EQ(SB_Var.NoTimeLimit, 0);
  EXPECT_EQ(SB_Var.MultiView, 0);
  EXPECT_EQ(SB_Var.RaceClockStart, -1);
  EXPECT_EQ(SB_Var.XState, XSTATE_NONET);
  EXPECT_EQ(SB_Var.GameSteps, nullptr);
  EXPECT_EQ(SB_Var.TimeExtends[3].Number, 4);
}

TEST_F(GameModeTest, ASessionSetsItsModeAndClearsTheFinishingList) {
  MakeSession(3, XSTATE_CONNECTED);
  SB_SetGameMode(SB_OFFLINE);
  SB_Var.NetGameMode = SB_MULTIRACE;
  for (TSCORE& s : scoreTab) s.Used = 1;
  SB_Var.SessionCounters[0] = SB_Var.SessionCounters[1] = 5;
  SB_InitGameMode();
  EXPECT_EQ(SB_Var.GameMode, SB_MULTIRACE);
  EXPECT_EQ(SB_Var.MultiView, 1);
  // Only the mode is taken: the step list and the grid stay as chosen.
  EXPECT_EQ(SB_Var.GameSteps, SB_GameStepLists[SB_OFFLINE]);
  EXPECT_EQ(SB_Var.GridStart, 1);
  EXPECT_EQ(SB_Var.SessionCounters[0] + SB_Var.SessionCounters[1], 0);
  EXPECT_EQ(scoreTab[2].Used, 0);
  EXPECT_EQ(scoreTab[3].Used, 1);  // one entry per player
  // A mode from the session outside 0..7 is refused.
  SB_Var.NetGameMode = 40;
  SB_InitGameMode();
  EXPECT_EQ(SB_Var.GameMode, SB_MULTIRACE);
}

TEST_F(GameModeTest, WithoutASessionTheModeStays) {
  SB_Var.NetGameMode = SB_RACE;
  SB_SetGameMode(SB_OFFLINE);
  SB_InitGameMode();
  EXPECT_EQ(SB_Var.GameMode, SB_OFFLINE);
  EXPECT_EQ(SB_Var.TimeLimitOn, 1);
}

TEST_F(GameModeTest, PlayerNamesComeFromTheSessionOrTheRaceParameters) {
  EXPECT_STREQ(SB_GetPlayerName(7), "7");  // no session: the number
  MakeSession(3, XSTATE_PLAYING);
  ztest::Fakes().names[100] = "ANNA";
  std::snprintf(SB_Var.PlayerNames[1], SB_PLAYERNAMESIZE, "BRUNO");
  EXPECT_STREQ(SB_GetPlayerName(0), "ANNA");
  EXPECT_STREQ(SB_GetPlayerName(1), "BRUNO");
  EXPECT_STREQ(SB_GetPlayerName(3), "UNKNOWN");
  EXPECT_STREQ(SB_GetPlayerName(-2), "UNKNOWN");
  EXPECT_STREQ(SB_GetPlayerName(500), "UNKNOWN");
}

TEST_F(GameModeTest, DefaultNamesAreCutToTheirEntry) {
  MakeSession(3, XSTATE_PLAYING);
  ztest::Fakes().names[100] = std::string(300, 'x');
  SB_Var.NetPlayers[2].InUse = 0;
  std::snprintf(SB_Var.PlayerNames[2], SB_PLAYERNAMESIZE, "KEEP");
  SB_SetDefaultPlayerNames();
  EXPECT_EQ(std::string(SB_Var.PlayerNames[0]), std::string(63, 'x'));
  EXPECT_STREQ(SB_Var.PlayerNames[1], "Player 1");
  EXPECT_STREQ(SB_Var.PlayerNames[2], "KEEP");
}

TEST_F(GameModeTest, RacingCarsByMode) {
  MakeCars(5);
  SB_SetGameMode(SB_RACE);
  EXPECT_EQ(SB_GetNbRacingCars(), 5);
  EXPECT_EQ(SB_GetIndPlayerCarIndex(3), 3);
  SB_SetGameMode(SB_TRAINING);
  EXPECT_EQ(SB_GetNbRacingCars(), 5);
  SB_Var.XState = XSTATE_CONNECTED;  // networked: the local cars only
  SB_Var.ReplayCar = 3;
  EXPECT_EQ(SB_GetNbRacingCars(), 2);
}

TEST_F(GameModeTest, MultiRaceCountsThePlayersOfTheDrivenPlayersGroup) {
  MakeCars(6);
  MakeSession(6, XSTATE_PLAYING);
  const uint8_t groups[] = {1, 2, 1, 1, 2, 1};
  for (int i = 0; i < 6; ++i) SB_Var.NetPlayers[i].Group = groups[i];
  SB_Var.NetPlayers[3].InUse = 0;
  SB_Var.DrivenCar = 2;
  SB_SetGameMode(SB_MULTIRACE);
  EXPECT_EQ(SB_GetNbRacingCars(), 3);  // players 0, 2 and 5
  EXPECT_EQ(SB_GetIndPlayerCarIndex(0), 0);
  EXPECT_EQ(SB_GetIndPlayerCarIndex(1), 2);
  EXPECT_EQ(SB_GetIndPlayerCarIndex(2), 5);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(SB_GetIndPlayerCarIndex(3), 3);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0], "SB_GetIndPlayerCarIndex(3) ERROR");
  SB_Var.NetSlots = 100;  // more players than the table holds
  EXPECT_EQ(SB_GetNbRacingCars(), 3);
}

}  // namespace
