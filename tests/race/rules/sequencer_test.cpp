// The race-phase sequencer driven frame by frame, 100 ms a frame, through
// the whole step list of each game mode until it wraps to step 0, with the
// calls each frame made.
#include "race/sequencer.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "race/racerules.h"
#include "shell/sbsound.h"
#include "shell/sbvar.h"
#include "tests/fakes/race_fakes.h"

namespace {

using Changes = std::vector<std::pair<int, int>>;
using Calls = std::vector<std::string>;

const std::string kScroll = "Scroll 0 '      BE READY TO BE AT FULL ....' 40 50 0";

class SequencerTest : public ztest::RaceTest {
 protected:
  void SetUp() override {
    ztest::RaceTest::SetUp();
    MakeCars(2);
    for (int i = 0; i < 5; ++i) SB_Var.CountdownSounds[i] = &sounds_[i];
  }

  // Runs the frames up to `last`. Before each, this frame's controls
  // become the previous ones and start released; the script may press
  // them or act from outside.
  void Run(int last, const std::function<void(int)>& script = {}) {
    for (int f = frame_ + 1; f <= last; ++f) {
      SB_Var.PrevControls = SB_Var.Controls;
      SB_Var.Controls = TCONTROLS{};
      if (script) script(f);
      const size_t before = ztest::Fakes().calls.size();
      SB_DoGameMode();
      steps_.push_back(SB_GetGameStep());
      calls_.emplace_back(ztest::Fakes().calls.begin() + static_cast<long>(before),
                          ztest::Fakes().calls.end());
    }
    frame_ = last;
  }

  // (frame, step) whenever the step at the end of a frame changed.
  Changes StepChanges() const {
    Changes out;
    int previous = -1;
    for (size_t i = 0; i < steps_.size(); ++i) {
      if (steps_[i] != previous) out.emplace_back(static_cast<int>(i) + 1, steps_[i]);
      previous = steps_[i];
    }
    return out;
  }

  const Calls& CallsOf(int frame) const { return calls_[static_cast<size_t>(frame) - 1]; }

  std::vector<int> FramesWith(const std::string& call) const {
    std::vector<int> out;
    for (size_t i = 0; i < calls_.size(); ++i)
      for (const std::string& c : calls_[i])
        if (c == call) {
          out.push_back(static_cast<int>(i) + 1);
          break;
        }
    return out;
  }

  static void Press() { SB_Var.Controls.AccelOn = 1; }

  TSBSOUND sounds_[5]{};
  int frame_ = 0;
  std::vector<int> steps_;
  std::vector<Calls> calls_;
};

class RaceListTest : public SequencerTest, public ::testing::WithParamInterface<int> {};

TEST_P(RaceListTest, RunsTheWholeListAndWrapsToStepZero) {
  SB_SetGameMode(GetParam());
  Run(300, [](int f) {
    if (f == 3) Press();
    if (f == 150) SB_Var.Cars[0]->Finished = 1;
    if (f == 205) SB_EndRace();
  });
  const Changes expected = {{1, 5},    {3, 9},    {101, 10}, {115, 11}, {129, 12},
                            {143, 15}, {150, 16}, {199, 18}, {205, 5}};
  EXPECT_EQ(StepChanges(), expected);
  // The one place the order of the calls is pinned: the race's start.
  // Step 0, then the gearbox choice in the same frame.
  EXPECT_EQ(CallsOf(1), (Calls{"ResetDayNight", "RestartRace", "RaceTeardown", "SilenceCarSounds", "Tututu",
                               "ResetReplayClocks", "ResetDayNight"}));
  // The first step 9 ends after 50 frames, step 7 passes at once and the
  // second step 9 waits 50 frames again.
  EXPECT_EQ(CallsOf(52), (Calls{"ResetReplayClocks", "ResetDayNight", "ControllerStatus 7 0", kScroll}));
  EXPECT_EQ(CallsOf(101), (Calls{"Clear 0", "CountdownLights 1", "Print 0 '  3  ' 8"}));
  EXPECT_EQ(CallsOf(115), (Calls{"Print 0 '  2  ' 8"}));
  EXPECT_EQ(CallsOf(129), (Calls{"Print 0 '  1  ' 8"}));
  EXPECT_EQ(CallsOf(143), (Calls{"ControllerStatus 8 0", "Clear 0", "Print 0 '  GO ' 8", "CountdownLights 0",
                                 "GoLights", "Clear 2", "Print 2 'CHECK' 8", "Clear 3", "Print 3 'CHECK' 8",
                                 "Clear 4", "Print 4 'CHECK' 8"}));
  EXPECT_EQ(FramesWith("RestartRace"), (std::vector<int>{1, 205}));
  EXPECT_EQ(ztest::Count("ControllerStatus 9"), 0);  // no network session
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(sounds_[i].WantedPlaying, 1) << i;
    EXPECT_EQ(sounds_[i].WantedFrequency, 11025) << i;
    EXPECT_EQ(sounds_[i].LoopFlag, 1) << i;
    EXPECT_EQ(sounds_[i].WantedVolume, 0) << i;
  }
  EXPECT_EQ(sounds_[4].WantedPlaying, 0);
  EXPECT_EQ(SB_Var.CameraMode, 1);
  EXPECT_EQ(SB_Var.AutomaticGears, 1);
  EXPECT_EQ(Car(0).AutomaticGears, 1);
}

TEST_P(RaceListTest, StepEntriesChainWithinTheFrame) {
  SB_SetGameMode(GetParam());
  Run(3, [](int f) {
    if (f == 3) Press();
  });
  // Step 6 advanced, so step 9 set its timer and the same pass counted 100 ms.
  EXPECT_EQ(SB_GetGameStep(), 9);
  EXPECT_EQ(SB_Var.StepTimer, 4900);
  EXPECT_EQ(SB_Var.StepEntered, 0);
  EXPECT_EQ(SB_Var.PrevControls.AccelOn, 1);  // the press was used up
}

INSTANTIATE_TEST_SUITE_P(RaceAndMultiRace, RaceListTest, ::testing::Values(SB_RACE, SB_MULTIRACE));

TEST_F(SequencerTest, ANetworkRaceReportsStates7To9AndWaitsForThePlayers) {
  MakeSession(2, XSTATE_READY2PLAY);
  ztest::Fakes().names[100] = "ANNA";
  SB_SetGameMode(SB_RACE);
  Run(300, [](int f) {
    if (f == 3) Press();
    if (f == 60) SB_Var.NetPlayers[1].XState = 7;
    if (f == 155) SB_Var.NetPlayers[1].XState = 8;
    if (f == 160) SB_Var.Cars[0]->Finished = 1;
    if (f == 215) SB_Var.NetPlayers[1].XState = 10;
  });
  const Changes expected = {{1, 5},    {3, 9},    {52, 7},   {60, 9},   {109, 10}, {123, 11},
                            {137, 12}, {151, 13}, {155, 15}, {160, 16}, {209, 17}, {215, 18}};
  EXPECT_EQ(StepChanges(), expected);
  EXPECT_EQ(FramesWith("ControllerStatus 7 1"), (std::vector<int>{52}));
  EXPECT_EQ(FramesWith("ControllerStatus 8 1"), (std::vector<int>{151}));
  EXPECT_EQ(FramesWith("ControllerStatus 9 1"), (std::vector<int>{155}));
  EXPECT_EQ(SB_Var.XState, 9u);
  // Step 14 took the players' names from the session.
  EXPECT_STREQ(SB_Var.PlayerNames[0], "ANNA");
  EXPECT_STREQ(SB_Var.PlayerNames[1], "Player 1");
}

TEST_F(SequencerTest, DemoRunsStepZeroThenRaces) {
  SB_SetGameMode(SB_DEMO);
  Run(10, [](int f) {
    if (f == 5) SB_Var.Cars[0]->Finished = 1;
  });
  EXPECT_EQ(StepChanges(), (Changes{{1, 15}}));
  EXPECT_EQ(FramesWith("RestartRace"), (std::vector<int>{1, 5}));  // wrapped to step 0 in frame 5
  EXPECT_EQ(Car(0).Finished, 0);
}

TEST_F(SequencerTest, TheFrameEndsWhenEveryStepAdvances) {
  ztest::Fakes().restartClearsCars = false;  // the finish survives every restart
  SB_SetGameMode(SB_DEMO);
  Car(0).Finished = 1;
  Run(6);
  for (int f = 1; f <= 6; ++f) {
    const int restarts = static_cast<int>(std::count(CallsOf(f).begin(), CallsOf(f).end(), "RestartRace"));
    EXPECT_GE(restarts, 1) << f;
    EXPECT_LE(restarts, 2) << f;  // three passes at most: one per entry of the list
  }
}

TEST_F(SequencerTest, TrainingStartsANewRaceRightAfterStep15) {
  SB_SetGameMode(SB_TRAINING);
  Run(10, [](int f) {
    if (f == 3) Press();
    if (f == 10) SB_EndRace();
  });
  EXPECT_EQ(StepChanges(), (Changes{{1, 5}, {3, 15}, {10, 5}}));
  EXPECT_EQ(FramesWith("RestartRace"), (std::vector<int>{1, 10}));
  // TRAINING has no day and night.
  EXPECT_EQ(SB_Var.DayNightOn, 0);
}

TEST_F(SequencerTest, TheDoubleAdvancePassesTheWrapAndSkipsStepZero) {
  SB_SetGameMode(SB_TRAINING);
  Run(20, [](int f) {
    if (f == 3) Press();
    if (f == 20) {
      SB_Var.Cars[0]->Finished = 1;
      SB_EndRace();
    }
  });
  EXPECT_EQ(StepChanges(), (Changes{{1, 5}, {3, 15}, {20, 5}}));
  EXPECT_EQ(FramesWith("RestartRace"), (std::vector<int>{1}));  // step 0 skipped
  EXPECT_EQ(SB_Var.RaceOver, 1);                                // nothing cleared it
}

TEST_F(SequencerTest, TheDoubleAdvanceInARacePassesStep16) {
  SB_SetGameMode(SB_RACE);
  Run(150, [](int f) {
    if (f == 3) Press();
    if (f == 150) {
      SB_Var.Cars[0]->Finished = 1;
      SB_Var.RaceOver = 1;  // as the controller's end of race sets it
    }
  });
  // 15 -> 16 -> 17 in one pass, 17 and 18 pass, and the list wraps.
  EXPECT_EQ(StepChanges().back(), (std::pair<int, int>{150, 5}));
  EXPECT_EQ(FramesWith("RestartRace"), (std::vector<int>{1, 150}));
}

TEST_F(SequencerTest, FreeRaceStartsANewRaceRightAfterStep15) {
  SB_SetGameMode(SB_FREERACE);
  Run(8, [](int f) {
    if (f == 3) Press();
    if (f == 6) SB_EndRace();  // not allowed in FREERACE
    if (f == 8) SB_Var.Cars[0]->Finished = 1;
  });
  EXPECT_EQ(StepChanges(), (Changes{{1, 5}, {3, 15}, {8, 5}}));
  EXPECT_EQ(FramesWith("RestartRace"), (std::vector<int>{1, 8}));
}

TEST_F(SequencerTest, ControlledRaceWaitsForTheControllerAndAConfirmPerStep) {
  SB_SetGameMode(SB_CONTROLLEDRACE);
  Run(110, [](int f) {
    if (f == 5) SB_NextGameStep();  // the controller's start message
    if (f == 8 || f == 10) Press();
    if (f == 60) SB_Var.Cars[0]->Finished = 1;
    if (f == 101) SB_SetGameModeSteps(SB_CONTROLLEDRACE);  // the controller's restart
  });
  const Changes expected = {{1, 1},   {5, 4},   {8, 5},   {10, 10}, {24, 11},
                            {38, 12}, {52, 15}, {60, 16}, {101, 1}};
  EXPECT_EQ(StepChanges(), expected);
}

TEST_F(SequencerTest, OfflineWaitsAtTheReadyMessageAndAfterTheRace) {
  SB_SetGameMode(SB_OFFLINE);
  Run(240, [](int f) {
    if (f == 3) Press();
    if (f == 130) SB_Var.Cars[0]->Finished = 1;
    if (f == 235) SB_EndRace();
  });
  const Changes expected = {{1, 5},    {3, 8},    {82, 10},  {96, 11}, {110, 12},
                            {124, 15}, {130, 16}, {229, 19}, {235, 5}};
  EXPECT_EQ(StepChanges(), expected);
  EXPECT_EQ(FramesWith(kScroll), (std::vector<int>{3}));  // the ready message as step 8 begins
  EXPECT_EQ(FramesWith("GoLights"), (std::vector<int>{124}));
  EXPECT_EQ(SB_Var.StepListEnd, 0);  // cleared by step 0
}

TEST_F(SequencerTest, OfflineEndsStep16EarlyAndOffersTheEndMenu) {
  SB_SetGameMode(SB_OFFLINE);
  Run(140, [](int f) {
    if (f == 3) Press();
    if (f == 130) SB_Var.Cars[0]->Finished = 1;
  });
  EXPECT_EQ(SB_GetGameStep(), 16);
  EXPECT_EQ(SB_Var.StepListEnd, 1);
  EXPECT_EQ(SB_CanRestart(), 1);
  Run(142, [](int f) {
    if (f == 141) SB_EndRace();
  });
  EXPECT_EQ(StepChanges().back(), (std::pair<int, int>{142, 5}));
  EXPECT_EQ(steps_[140], 19);  // frame 141 entered step 19, which waits a frame
}

TEST_F(SequencerTest, KioskModeShortensTheReadyWaitAndSetsItsCamera) {
  SB_Var.ZoriraDemo = 1;
  SB_Var.ZoriraCamera = 2;
  SB_SetGameMode(SB_OFFLINE);
  Run(60, [](int f) {
    if (f == 3) Press();
  });
  EXPECT_EQ(StepChanges(), (Changes{{1, 5}, {3, 8}, {52, 10}}));
  EXPECT_EQ(SB_Var.CameraMode, 2);
}

TEST_F(SequencerTest, StandaloneSkipsTheInfoPageOutsideKioskMode) {
  SB_SetGameMode(SB_STANDALONE);
  Run(240, [](int f) {
    if (f == 3) Press();
    if (f == 130) SB_Var.Cars[0]->Finished = 1;
  });
  const Changes expected = {{1, 5}, {3, 8}, {82, 10}, {96, 11}, {110, 12}, {124, 15}, {130, 16}, {229, 5}};
  EXPECT_EQ(StepChanges(), expected);
  EXPECT_EQ(FramesWith("FreeInfoPage"), (std::vector<int>{1, 229}));
  EXPECT_EQ(ztest::Count("LoadInfoPage"), 0);
}

TEST_F(SequencerTest, StandaloneInKioskModeShowsTheInfoPageUntilSpace) {
  SB_Var.ZoriraDemo = 1;
  SB_SetGameMode(SB_STANDALONE);
  Run(20);
  EXPECT_EQ(StepChanges(), (Changes{{1, 2}}));
  EXPECT_EQ(FramesWith("LoadInfoPage"), (std::vector<int>{1}));  // on entry only
}

TEST_F(SequencerTest, AStepAbove20IsReported) {
  static const TGAMESTEP broken[] = {21, SB_STEP_END};
  SB_Var.GameSteps = broken;
  SB_DoGameMode();
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0], "SB_DoGameMode Default");
  EXPECT_EQ(SB_GetGameStep(), 21);
  EXPECT_TRUE(ztest::Fakes().calls.empty());
}

TEST_F(SequencerTest, WithoutAListNothingRuns) {
  SB_DoGameMode();
  EXPECT_EQ(SB_NextGameStep(), 0);
  EXPECT_TRUE(ztest::Fakes().calls.empty());
  EXPECT_EQ(SB_Var.StepListEnd, 0);
}

TEST_F(SequencerTest, TheManualGearboxIsChosenWithBrakeWithoutRight) {
  SB_SetGameMode(SB_RACE);
  Run(2, [](int f) {
    if (f == 2) SB_Var.Controls.BrakeOn = 1;
  });
  EXPECT_EQ(SB_Var.AutomaticGears, 0);
  EXPECT_EQ(Car(0).AutomaticGears, 0);
  Run(3, [](int) {
    SB_Var.Controls.BrakeOn = 1;
    SB_Var.Controls.RightOn = 1;
  });
  EXPECT_EQ(SB_Var.AutomaticGears, 1);
}

}  // namespace
