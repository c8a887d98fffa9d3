// What the game asks of the sequencer: the end-of-race and restart tables,
// the step predicates with and without a list, the network waits, the
// countdown sounds and the attract replay.
#include <gtest/gtest.h>

#include "race/racerules.h"
#include "race/sequencer.h"
#include "shell/sbsound.h"
#include "shell/sbvar.h"
#include "tests/fakes/race_fakes.h"

namespace {

class GameStepsTest : public ztest::RaceTest {
 protected:
  // Mode and current step, on a list of that one step.
  void At(int32_t mode, TGAMESTEP step) {
    SB_Var.GameMode = mode;
    list_[0] = step;
    SB_Var.GameSteps = list_;
    SB_Var.StepIndex = 0;
    SB_Var.RaceOver = SB_Var.StepListEnd = 0;
  }
  TGAMESTEP list_[2] = {0, SB_STEP_END};
};

// The step predicates; the race is over, may restart and ends its list at
// the late steps (the end menu from the wait for the others at the race's
// end), the solo modes (and TRAINING for the first two) from step 15 or 16.
TEST_F(GameStepsTest, PredicatesByModeAndStep) {
  for (int32_t mode = 0; mode < SB_NBGAMEMODES; ++mode) {
    for (TGAMESTEP step = 0; step <= 19; ++step) {
      SCOPED_TRACE(testing::Message() << "mode " << mode << " step " << step);
      const bool solo = mode == SB_OFFLINE || mode == SB_STANDALONE;
      At(mode, step);
      EXPECT_EQ(SB_EndRace(), step);
      EXPECT_EQ(SB_Var.RaceOver, (step == 15 && (mode == SB_TRAINING || solo)) || (step == 16 && solo) || step >= 18);
      At(mode, step);
      EXPECT_EQ(SB_CanRestart(), (step >= 15 && (solo || mode == SB_TRAINING)) || step == 16 || step >= 18);
      EXPECT_EQ(SB_GetGameStep(), step);
      EXPECT_EQ(SB_IsRaceStarted(), step >= 6);
      EXPECT_EQ(SB_IsRaceRunning(), step < 15);
      EXPECT_EQ(SB_IsPreStartStep(), step == 4 || step == 5);
      SB_CheckStepListEnd();
      EXPECT_EQ(SB_Var.StepListEnd, step == 17 || step == 18 || (step == 16 && solo));
    }
  }
}

TEST_F(GameStepsTest, WithoutAListTheRaceCountsAsRacing) {
  ASSERT_EQ(SB_Var.GameSteps, nullptr);
  EXPECT_EQ(SB_GetGameStep(), 15);
  EXPECT_EQ(SB_IsRaceStarted(), 1);
  EXPECT_EQ(SB_IsRaceRunning(), 0);
  EXPECT_EQ(SB_IsPreStartStep(), 0);
  SB_Var.GameMode = SB_TRAINING;
  EXPECT_EQ(SB_EndRace(), 15);
  EXPECT_EQ(SB_Var.RaceOver, 0);
  SB_CheckStepListEnd();
  EXPECT_EQ(SB_Var.StepListEnd, 0);
  EXPECT_EQ(SB_CanRestart(), 1);  // TRAINING from step 15
}

TEST_F(GameStepsTest, SelectingAListRewindsIt) {
  SB_Var.RaceOver = SB_Var.StepListEnd = SB_Var.Paused = 1;
  SB_Var.StepTimer = 300;
  EXPECT_EQ(SB_SetGameModeSteps(SB_OFFLINE), 1);
  EXPECT_EQ(SB_Var.GameSteps, SB_GameStepLists[SB_OFFLINE]);
  EXPECT_EQ(SB_Var.StepIndex, 0);
  EXPECT_EQ(SB_Var.StepEntered, 1);
  EXPECT_EQ(SB_Var.StepTimer, 0);
  EXPECT_EQ(SB_Var.RaceOver + SB_Var.StepListEnd + SB_Var.Paused, 0);
  // A mode from the network outside 0..7 changes neither mode nor list.
  EXPECT_EQ(SB_SetGameModeSteps(8), 0);
  EXPECT_EQ(SB_SetGameModeSteps(-1), 0);
  EXPECT_EQ(SB_SetGameMode(12), SB_TRAINING);
  EXPECT_EQ(SB_Var.GameMode, SB_TRAINING);
  EXPECT_EQ(SB_Var.GameSteps, SB_GameStepLists[SB_OFFLINE]);
}

TEST_F(GameStepsTest, NextStepWrapsAtTheEndMarker) {
  SB_SetGameModeSteps(SB_DEMO);
  SB_Var.StepTimer = 50;
  SB_Var.StepEntered = 0;
  EXPECT_EQ(SB_NextGameStep(), 1);
  EXPECT_EQ(SB_GetGameStep(), 15);
  EXPECT_EQ(SB_Var.StepTimer, 0);
  EXPECT_EQ(SB_Var.StepEntered, 1);
  SB_NextGameStep();
  EXPECT_EQ(SB_Var.StepIndex, 0);
}

TEST_F(GameStepsTest, AllAtStateTakesTheLocalStateOrOneBeyond) {
  MakeSession(3, 7);
  EXPECT_EQ(SB_NetAllAtState(), 1);
  SB_Var.NetPlayers[1].XState = 8;
  EXPECT_EQ(SB_NetAllAtState(), 1);
  SB_Var.NetPlayers[2].XState = 9;
  EXPECT_EQ(SB_NetAllAtState(), 0);
  SB_Var.NetPlayers[2].InUse = 0;  // players not in use do not count
  EXPECT_EQ(SB_NetAllAtState(), 1);
  SB_Var.NetPlayers[1].XState = 6;
  EXPECT_EQ(SB_NetAllAtState(), 0);
  // Once the local race has started (the race's end step), a player back
  // in the waiting states has left it, for the console or the next race,
  // and counts; one racing on, or not yet at the end, does not.
  struct Row {
    XSTATE local, other;
    int32_t all;
  };
  for (const Row& r : {Row{10, 3, 1}, Row{10, 7, 1}, Row{10, 8, 0}, Row{10, 9, 0}, Row{10, 11, 1}, Row{9, 4, 1},
                       Row{9, 2, 0}, Row{8, 7, 0}}) {
    SCOPED_TRACE(testing::Message() << r.local << " " << r.other);
    MakeSession(3, r.local);
    SB_Var.NetPlayers[2].XState = r.other;
    EXPECT_EQ(SB_NetAllAtState(), r.all);
  }
  // Any state byte is taken as it is.
  SB_Var.XState = 254;
  SB_Var.NetPlayers[0].XState = 255;
  SB_Var.NetPlayers[1].XState = 254;
  EXPECT_EQ(SB_NetAllAtState(), 1);
}

TEST_F(GameStepsTest, AllWithinNeedsEnoughPlayers) {
  MakeSession(3, 7);
  SB_Var.NetPlayers[1].XState = 8;
  EXPECT_EQ(SB_NetAllWithin(1), 1);
  SB_Var.NetPlayers[2].XState = 9;
  EXPECT_EQ(SB_NetAllWithin(1), 0);
  EXPECT_EQ(SB_NetAllWithin(2), 1);
  SB_Var.NetPlayers[2].InUse = 0;
  EXPECT_EQ(SB_NetAllWithin(1), 0);  // two in use, three needed
  SB_Var.NetMaxPlayers = 2;
  EXPECT_EQ(SB_NetAllWithin(1), 1);
}

TEST_F(GameStepsTest, PlayerCountsOutsideTheTableAreBounded) {
  MakeSession(32, 7);
  SB_Var.NetSlots = 1000;  // only 32 records exist
  SB_Var.NetMaxPlayers = 32;
  EXPECT_EQ(SB_NetAllWithin(0), 1);
  EXPECT_EQ(SB_NetAllAtState(), 1);
  SB_Var.NetSlots = -4;
  SB_Var.NetMaxPlayers = 0;
  EXPECT_EQ(SB_NetAllWithin(0), 1);
  EXPECT_EQ(SB_NetPlayerCount(), 0);
}

TEST_F(GameStepsTest, CountdownSoundsPlayOnceAt11025HzAtFullVolume) {
  TSBSOUND sounds[5]{};
  for (int i = 0; i < 5; ++i) {
    sounds[i].WantedVolume = -3000;
    SB_Var.CountdownSounds[i] = &sounds[i];
  }
  SB_PlayCountdownSound(4);
  EXPECT_EQ(sounds[4].WantedPlaying, 1);
  EXPECT_EQ(sounds[4].WantedFrequency, 11025);
  EXPECT_EQ(sounds[4].LoopFlag, 1);
  EXPECT_EQ(sounds[4].WantedVolume, 0);
  SB_PlayCountdownSound(5);
  SB_PlayCountdownSound(-1);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(sounds[i].WantedPlaying, 0);
  SB_Var.CountdownSounds[0] = nullptr;
  SB_PlayCountdownSound(0);  // a null channel does nothing
}

TEST_F(GameStepsTest, TheAttractReplayIsLoadedOntoTheDrivenCarOnce) {
  MakeCars(3);
  SB_Var.DrivenCar = 1;
  SB_StartReplayRecord();
  SB_StartReplayRecord();
  EXPECT_EQ(SB_Var.AttractReplay, 1);
  EXPECT_EQ(ztest::Fakes().calls, (std::vector<std::string>{"LoadCarReplay SA0.REP 1 0", "FindDrivenCar",
                                                            "RestartRace", "RaceTeardown"}));
  ztest::Fakes().calls.clear();
  SB_StopReplayRecord();
  SB_StopReplayRecord();
  EXPECT_EQ(SB_Var.AttractReplay, 0);
  EXPECT_EQ(ztest::Fakes().calls,
            (std::vector<std::string>{"FreeAllCarReplays", "FindDrivenCar", "RestartRace", "RaceTeardown"}));
}

TEST_F(GameStepsTest, TheAttractReplayNeedsCarsAndADrivenCarToLoad) {
  SB_StartReplayRecord();  // no cars in use
  EXPECT_EQ(SB_Var.AttractReplay, 0);
  MakeCars(2);
  SB_Var.DrivenCar = -1;
  SB_StartReplayRecord();
  EXPECT_EQ(SB_Var.AttractReplay, 1);
  EXPECT_EQ(ztest::Fakes().calls, (std::vector<std::string>{"RestartRace", "RaceTeardown"}));
}

}  // namespace
