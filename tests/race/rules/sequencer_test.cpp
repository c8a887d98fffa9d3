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

// One row per game mode's path through its list. The script's letters:
// P presses the accelerator, F finishes car 0, E ends the race, O sets
// the controller's end of race, N is the controller's start message, S
// its restart, R shows car 0 from its replay with no car driven.
struct ModeRow {
  const char* name;
  int32_t mode, kiosk, last;
  std::vector<std::pair<int, char>> script;
  Changes changes;
  const char* call;  // frames with this call, or none
  std::vector<int> callFrames;
  int32_t* field;  // a field the path leaves at `value`, or none
  int32_t value;
};

TEST_F(SequencerTest, EachModeTakesItsPathThroughTheList) {
  const ModeRow rows[] = {
      {"demo", SB_DEMO, 0, 10, {{5, 'F'}}, {{1, 15}}, "RestartRace", {1, 5}, nullptr, 0},
      {"training", SB_TRAINING, 0, 10, {{3, 'P'}, {10, 'E'}}, {{1, 5}, {3, 15}, {10, 5}}, "RestartRace", {1, 10},
       &SB_Var.DayNightOn, 0},
      // The double advance passes the wrap and skips step 0.
      // Nobody to choose a gearbox for: the replay is raced at once.
      {"training shown from a replay", SB_TRAINING, 0, 3, {{1, 'R'}}, {{1, 15}}, "RestartRace", {1}, nullptr, 0},
      {"training, finished and ended", SB_TRAINING, 0, 20, {{3, 'P'}, {20, 'F'}, {20, 'E'}},
       {{1, 5}, {3, 15}, {20, 5}}, "RestartRace", {1}, &SB_Var.RaceOver, 1},
      // 15 -> 16 -> 17 in one pass, 17 and 18 pass, and the list wraps.
      {"race, finished at the end", SB_RACE, 0, 150, {{3, 'P'}, {150, 'F'}, {150, 'O'}},
       {{1, 5}, {3, 9}, {101, 10}, {115, 11}, {129, 12}, {143, 15}, {150, 5}}, "RestartRace", {1, 150}, nullptr, 0},
      {"free race ignores the end", SB_FREERACE, 0, 8, {{3, 'P'}, {6, 'E'}, {8, 'F'}}, {{1, 5}, {3, 15}, {8, 5}},
       "RestartRace", {1, 8}, nullptr, 0},
      {"controlled race", SB_CONTROLLEDRACE, 0, 110, {{5, 'N'}, {8, 'P'}, {10, 'P'}, {60, 'F'}, {101, 'S'}},
       {{1, 1}, {5, 4}, {8, 5}, {10, 10}, {24, 11}, {38, 12}, {52, 15}, {60, 16}, {101, 1}}, nullptr, {},
       nullptr, 0},
      {"offline", SB_OFFLINE, 0, 240, {{3, 'P'}, {130, 'F'}, {235, 'E'}},
       {{1, 5}, {3, 8}, {82, 10}, {96, 11}, {110, 12}, {124, 15}, {130, 16}, {229, 19}, {235, 5}}, "GoLights",
       {124}, &SB_Var.StepListEnd, 0},
      {"offline in kiosk mode", SB_OFFLINE, 1, 60, {{3, 'P'}}, {{1, 5}, {3, 8}, {52, 10}}, nullptr, {},
       &SB_Var.CameraMode, 2},
      {"standalone", SB_STANDALONE, 0, 240, {{3, 'P'}, {130, 'F'}},
       {{1, 5}, {3, 8}, {82, 10}, {96, 11}, {110, 12}, {124, 15}, {130, 16}, {229, 5}}, "FreeInfoPage", {1, 229},
       nullptr, 0},
      {"standalone in kiosk mode", SB_STANDALONE, 1, 20, {}, {{1, 2}}, "LoadInfoPage", {1}, nullptr, 0},
  };
  for (const ModeRow& row : rows) {
    TearDown();
    SetUp();
    frame_ = 0;
    steps_.clear();
    calls_.clear();
    SB_Var.ZoriraDemo = row.kiosk;
    SB_Var.ZoriraCamera = 2;
    SB_SetGameMode(row.mode);
    Run(row.last, [&](int f) {
      for (const auto& [frame, act] : row.script) {
        if (frame != f) continue;
        if (act == 'P') Press();
        if (act == 'F') SB_Var.Cars[0]->Finished = 1;
        if (act == 'E') SB_EndRace();
        if (act == 'O') SB_Var.RaceOver = 1;
        if (act == 'N') SB_NextGameStep();
        if (act == 'S') SB_SetGameModeSteps(row.mode);
        if (act == 'R') SB_Var.DrivenCar = -1, SB_Var.ReplayCar = 0;
      }
    });
    EXPECT_EQ(StepChanges(), row.changes) << row.name;
    EXPECT_EQ(row.call ? FramesWith(row.call) : row.callFrames, row.callFrames) << row.name;
    EXPECT_EQ(row.field ? *row.field : row.value, row.value) << row.name;
  }
}

// A list whose every step advances at once (a race start now clears the
// finish that once let DEMO's racing step advance too).
TEST_F(SequencerTest, TheFrameEndsWhenEveryStepAdvances) {
  static const TGAMESTEP advancing[] = {3, 6, SB_STEP_END};
  SB_SetGameMode(SB_DEMO);
  SB_Var.GameSteps = advancing;
  Run(6);
  for (int f = 1; f <= 6; ++f) {
    const int frees = static_cast<int>(std::count(CallsOf(f).begin(), CallsOf(f).end(), "FreeInfoPage"));
    EXPECT_GE(frees, 1) << f;
    EXPECT_LE(frees, 2) << f;  // three passes at most: one per entry of the list
  }
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
