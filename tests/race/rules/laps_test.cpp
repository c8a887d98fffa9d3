// Lap and race timing of the driven car: the race clock, best laps, the
// time limit with its extensions, time-outs and finishes, and the OFFLINE
// finish of the other cars.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <tuple>
#include <vector>

#include "race/hud.h"
#include "race/racerules.h"
#include "race/sequencer.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "tests/fakes/race_fakes.h"
#include "tests/support/testenv.h"

namespace {

class LapsTest : public ztest::RaceTest {
 protected:
  void SetUp() override {
    ztest::RaceTest::SetUp();
    MakeCars(3);
    SB_SetGameMode(SB_RACE);
    SB_ApplyGameModeSettings();
    while (SB_GetGameStep() != SB_STEP_RACING) SB_NextGameStep();
    SB_Var.StartingTime = 60000;
    SB_Var.NbLaps = 3;
    SB_Var.MaxLaps = 3;
    SB_Var.NbBsplinePoints = 1000;
    const double starts[] = {0, 300, 600, 900};
    for (int i = 0; i < 4; ++i) SB_Var.TimeExtends[i] = {starts[i], 0.0, i == 0 ? 20000 : 5000, 0};
    for (int i = 0; i < 3; ++i) Car(i).Place = i + 1;
    Car(0).Speed = 30.0;
  }
  // n frames of 100 ms; a car that moves `metres` a frame has its laps
  // follow its distance.
  void Frames(int n, double metres = 0.0) {
    for (int i = 0; i < n; ++i) {
      SB_Var.Time += SB_Var.FrameTime;
      Car(0).Distance += metres;
      if (metres != 0.0) Car(0).Laps = static_cast<int32_t>(std::floor(Car(0).Distance / SB_Var.NbBsplinePoints));
      SB_UpdatePlayerLap();
    }
  }
};

TEST_F(LapsTest, NothingBeforeTheRacingStep) {
  SB_SetGameModeSteps(SB_RACE);
  Frames(5);
  EXPECT_EQ(SB_Var.RaceClockStart, -1);
  EXPECT_EQ(Car(0).LapTime, 0);
}

TEST_F(LapsTest, TheFirstUpdateStartsTheRaceClock) {
  for (TSCORE& s : scoreTab) s.Used = 1;
  Car(1).Finished = Car(1).OutOfTime = 1;
  Car(1).BestLap = 5;
  SB_Var.RaceClock = 700;
  SB_HudMessage("before the start");
  Frames(1);
  EXPECT_EQ(SB_Var.RaceClockStart, 700);
  EXPECT_EQ(SB_HudMessages[0].Expiry, 0);  // the messages were cleared
  SB_HudMessage("after the start");
  EXPECT_EQ(SB_Var.TimeExtends[2].EndDistance, 700.0);
  EXPECT_EQ(Car(1).Finished + Car(1).OutOfTime + Car(1).BestLap, 0);
  EXPECT_EQ(Car(1).RemainingTime, 60000);
  EXPECT_EQ(Car(1).LastLapChange, -1);
  EXPECT_EQ(scoreTab[31].Used, 0);
  // The start crossing counted as a lap change with lap time 0.
  EXPECT_EQ(Car(0).LastLapChange, 0);
  EXPECT_EQ(Car(0).BestLap, 0);
  EXPECT_EQ(ztest::Count("LapCompleted"), 1);
  EXPECT_EQ(Car(0).LapTime, 100);
  EXPECT_EQ(SB_Var.RaceClock, 800);
  Frames(4);
  EXPECT_EQ(Car(0).RaceTime, 400);         // race clock since the start, before this frame's time
  EXPECT_NE(SB_HudMessages[0].Expiry, 0);  // cleared only once
}

// Laps in seconds after the start from the grid, each ended by crossing
// the line forward, or (negative) by backing over it: only a lap from
// one crossing of the line to the next is the best, however short.
TEST_F(LapsTest, OnlyALapFromTheLineToTheLineIsTheBest) {
  const struct {
    const char* what;
    bool behind;  // the grid stands behind the line (as on the shipped circuit)
    std::vector<int> seconds;
    int32_t best, newBest;
  } rows[] = {
      {"the start past the line (0 ms)", false, {}, 0, 0},
      {"the part lap from behind the line", true, {3}, 0, 0},
      {"the lap from a grid past the line", false, {45}, 0, 0},
      {"a 36 s lap after the start", true, {3, 36}, 36000, 1},
      {"a faster lap replaces it", true, {3, 36, 34}, 34000, 1},
      {"a slower one does not", true, {3, 36, 38}, 36000, 0},
      {"nor an equal one", true, {3, 36, 36}, 36000, 0},
      {"a 58 s lap after the start", false, {45, 58}, 58000, 1},
      {"backed over the line and across again", true, {3, 36, -2, 1}, 36000, 1},  // still the 36 s lap's
      {"the lap after backing over", true, {3, 36, -2, 1, 30}, 33000, 1},
  };
  for (const auto& r : rows) {
    TearDown();
    SetUp();
    SB_Var.TimeLimitOn = 0;
    Car(0).Laps = r.behind ? -1 : 0;
    Frames(1);  // the start: lap time counts from here
    for (int s : r.seconds) {
      Frames(std::abs(s) * 10 - 1);
      Car(0).Laps += s > 0 ? 1 : -1;
      Frames(1);
    }
    EXPECT_EQ(Car(0).BestLap, r.best) << r.what;
    EXPECT_EQ(SB_Var.NewBestLap, r.newBest) << r.what;
  }
}

// Three races in one session, each after the last through F2 at the end
// menu or in pause, as a player restarts: the first finishes its two
// laps, the second runs out of time, the third is restarted while it
// runs. Nothing of a race's finish, time-out, clock, time left, best lap,
// LAP TIME or checkpoint carries into the next: each starts as the first
// did. (The cars' physics and grid are the vehicles', whose restart the
// fakes record: the test puts the car back on its grid.)
TEST_F(LapsTest, F2StartsEachRaceAfresh) {
  ztest::WriteFile(root_ + "/TXT/NETRACE.TXT",
                   "STARTINGTIME: 60\nTIMEXTEND: 0,20\nTIMEXTEND: 300,5\nTIMEXTEND: 600,5\nTIMEXTEND: 900,5\n"
                   "FINALCAMERA: 0,0,0\nMAXPLAYERS: 0\nNLAPS: 1\nRACENLAPS: 1\nCONTROLLEDRACENLAPS: 1\n"
                   "OFFLINENLAPS: 2\nMULTIRACENLAPS: 1\n");
  SB_SetGameMode(SB_OFFLINE);  // the menus' RACE
  SB_PreInitTimeExtends();     // the session's set-up
  SB_ResetGameSteps();
  // Sequencer frames, the laps counted as the race frame counts them, the
  // player confirming the gearbox, until the step is reached.
  const auto stepTo = [&](TGAMESTEP step) {
    for (int i = 0; i < 1000 && SB_GetGameStep() != step; ++i) {
      SB_Var.PrevControls = SB_Var.Controls;
      SB_Var.Controls.AccelOn = SB_GetGameStep() == 5 && !SB_Var.PrevControls.AccelOn;
      SB_DoGameMode();
      Frames(1);
    }
    ASSERT_EQ(SB_GetGameStep(), step);
  };
  const auto go = [&](double grid) {
    Car(0).Distance = grid;
    Car(0).Laps = -1;  // a grid behind the line
    Car(0).Speed = 30.0;
    stepTo(SB_STEP_RACING);
    EXPECT_EQ(SB_Var.NbLaps, 2);
    EXPECT_EQ(Car(0).Finished + Car(0).OutOfTime + Car(0).BestLap, 0);
    EXPECT_EQ(Car(0).RemainingTime, 59900);                     // the starting time, less the first frame
    EXPECT_EQ(SB_Var.RaceClockStart, SB_Var.RaceClock - 100);  // started by the first racing frame
    EXPECT_EQ(std::make_tuple(SB_Var.LineLapTime, SB_Var.LapFromLine, SB_Var.NewBestLap), std::make_tuple(0, 0, 0));
    EXPECT_EQ(SB_Var.CheckpointNumber, -1);
    SB_ClearPrintedLines();
  };
  // F2 where the end menu or the pause offers it.
  const auto f2 = [&] {
    for (int i = 0; i < 200 && !SB_Var.StepListEnd && !SB_Var.Paused; ++i) {
      SB_DoGameMode();
      Frames(1);
    }
    ASSERT_EQ(SB_CanRestart(), 1);
    SB_EndRace();
    stepTo(5);  // the next race's gearbox choice
  };
  go(-30.0);
  // 2.5 m a frame of 100 ms: 40 s a lap of 1000 m.
  Frames(812, 2.5);
  ASSERT_EQ(Car(0).Finished, 1);
  EXPECT_EQ(SB_PrintedLines(),
            std::vector<std::string>{"Race finished: place 1, race time 1:21:20 (81200 ms), best lap 0:40:00 (40000 ms)"});

  f2();
  go(-10.0);
  Frames(420, 2.5);  // a whole lap, and 20 m on
  EXPECT_EQ(Car(0).BestLap, 40000);
  Car(0).Speed = 0.5;
  for (int i = 0; i < 2000 && !Car(0).OutOfTime; ++i) Frames(1);
  ASSERT_EQ(Car(0).OutOfTime, 1);
  EXPECT_EQ(Car(0).Finished, 0);
  EXPECT_EQ(SB_PrintedLines(), std::vector<std::string>{"Race over, out of time: place 1, distance run 1050 m"});

  f2();
  go(-10.0);
  Frames(100, 2.5);
  const int32_t left = Car(0).RemainingTime;
  SB_Var.Paused = 1;  // Esc
  f2();
  go(-10.0);
  EXPECT_NE(Car(0).RemainingTime, left);
}

// Driven forward from a grid behind the line, or backed away from it:
// the distance run is what the car gained, none when it lost ground.
// Without a centre line nothing is measured: no time extension at its
// distance 0 either.
TEST_F(LapsTest, TheTimeRunsOutWhenTheCarStands) {
  const struct {
    double metres;
    const char* run;
    int32_t line;
  } rows[] = {{1.2, "12", 1000}, {-1.2, "0", 1000}, {0.0, "0", 0}};
  for (const auto& [metres, run, line] : rows) {
    TearDown();
    SetUp();
    SB_Var.NbBsplinePoints = line;
    for (TTIMEEXTEND& e : SB_Var.TimeExtends) e.StartDistance = line ? 1e9 : 0.0;
    SB_Var.StartingTime = 1000;
    Car(0).Speed = 0.5;
    Car(0).Place = 2;
    Car(0).BestLap = 0;
    Car(0).Distance = line ? -30.0 : 0.0;  // on a grid behind the line, or nowhere
    Frames(10, metres);
    EXPECT_EQ(Car(0).RemainingTime, 0);
    EXPECT_EQ(Car(0).OutOfTime, 0);
    SB_ClearPrintedLines();
    Frames(1, metres);
    EXPECT_EQ(Car(0).OutOfTime, 1);
    EXPECT_EQ(SB_PrintedLines(), std::vector<std::string>{"Race over, out of time: place 2, distance run " +
                                                          std::string(run) + " m"});
    EXPECT_EQ(Car(0).RaceTime, SB_NOTIME);
    EXPECT_EQ(SB_Var.LocalRaceTime, SB_NOTIME);
    EXPECT_EQ(SB_Var.EndTime, SB_Var.Time);
    EXPECT_TRUE(ztest::Called("Progress 18 1"));
    EXPECT_EQ(scoreTab[1].Used, 1);  // from place - 1 upward
    EXPECT_EQ(scoreTab[1].NotClassified, 1.0);
    EXPECT_EQ(scoreTab[1].RaceTime, SB_NOTIME);
    EXPECT_EQ(Car(0).Finished, 0);
    const int32_t clock = SB_Var.RaceClock;
    Frames(5);
    EXPECT_EQ(SB_Var.RaceClock, clock);  // nothing more once out of time
  }
}

TEST_F(LapsTest, AMovingCarKeepsRacingPastItsTime) {
  for (TTIMEEXTEND& e : SB_Var.TimeExtends) e.StartDistance = 1e9;
  SB_Var.StartingTime = 300;
  Car(0).Speed = 1.0;
  Frames(10);
  EXPECT_LT(Car(0).RemainingTime, 0);
  EXPECT_EQ(Car(0).OutOfTime, 0);
}

TEST_F(LapsTest, EachExtensionFiresOncePerLap) {
  std::vector<int32_t> fired;
  for (int i = 0; i < 400; ++i) {  // 2000 m at 5 m a frame: two laps
    const int32_t before = Car(0).RemainingTime;
    Frames(1, 5.0);
    if (Car(0).RemainingTime > before - 100 && i > 0) fired.push_back(SB_Var.CheckpointNumber);
  }
  EXPECT_EQ(fired, (std::vector<int32_t>{1, 2, 3, 0, 1, 2, 3, 0}));
  EXPECT_EQ(SB_Var.TimeExtends[0].StartDistance, 3000.0);
  EXPECT_EQ(SB_Var.TimeExtends[3].StartDistance, 2900.0);
  EXPECT_EQ(SB_Var.CheckpointClock, SB_Var.RaceClock);
}

// An entry whose distance is no number is never reached.
TEST_F(LapsTest, AnExtensionAtNoDistanceNeverFires) {
  for (TTIMEEXTEND& e : SB_Var.TimeExtends) e.StartDistance = std::nan("");
  Frames(50, 5.0);
  EXPECT_EQ(SB_Var.CheckpointNumber, -1);
  EXPECT_EQ(Car(0).RemainingTime, 60000 - 50 * 100);
}

TEST_F(LapsTest, TheLastLapFinishesTheRaceClassified) {
  SB_Var.NbLaps = 1;
  SB_Var.NetBestTime = 999999;
  Frames(250, 5.0);  // 1250 m: the lap line at 1000 m was passed
  EXPECT_EQ(Car(0).Finished, 1);
  EXPECT_EQ(Car(0).Laps, 1);
  EXPECT_EQ(SB_Var.FinalPlace, 1);
  EXPECT_EQ(SB_Var.FinalRaceTime, Car(0).RaceTime);
  EXPECT_EQ(SB_Var.LocalRaceTime, Car(0).RaceTime);
  EXPECT_EQ(SB_Var.RecordFlag, 1);
  EXPECT_EQ(scoreTab[0].Used, 1);
  EXPECT_EQ(scoreTab[0].NotClassified, 0.0);
  EXPECT_EQ(scoreTab[0].Id, 0);
  EXPECT_EQ(ztest::Count("Progress 17"), 0);  // no network session
  const int32_t time = Car(0).RaceTime;
  Frames(10, 5.0);
  EXPECT_EQ(Car(0).RaceTime, time);
}

// The console keeps how the race ended: its time, and its best lap if any.
TEST_F(LapsTest, TheFinishLineNamesTheBestLap) {
  const struct {
    double grid;  // the car's distance on the grid
    int32_t laps;
    const char* said;
  } rows[] = {
      {0.0, 1, "Race finished: place 1, race time 0:19:90 (19900 ms), no best lap"},
      {-50.0, 2, "Race finished: place 1, race time 0:40:90 (40900 ms), best lap 0:20:00 (20000 ms)"},
  };
  for (const auto& r : rows) {
    TearDown();
    SetUp();
    SB_Var.NbLaps = r.laps;
    Car(0).Distance = r.grid;
    SB_ClearPrintedLines();
    Frames(450, 5.0);
    EXPECT_EQ(SB_PrintedLines(), std::vector<std::string>{r.said});
  }
}

TEST_F(LapsTest, AFinishInANetworkGameIsSent) {
  MakeSession(3, XSTATE_PLAYING);
  SB_Var.NbLaps = 1;
  Frames(250, 5.0);
  EXPECT_EQ(ztest::Count("Progress 17 1"), 1);
}

TEST_F(LapsTest, TheRecordFlagNeedsFirstPlaceAndARealRecordBeaten) {
  const std::tuple<int32_t, int32_t, int32_t> rows[] = {{1, 0, 0}, {1, SB_NOTIME, 0}, {1, 999999, 1}, {2, 999999, 0}, {1, 1, 0}};
  for (auto [place, record, flag] : rows) {
    if (place != 1 || record != 0) {  // a fresh race for each row after the first
      TearDown();
      SetUp();
    }
    SB_Var.NbLaps = 1;
    SB_Var.NetBestTime = record;
    Car(0).Place = place;
    Frames(250, 5.0);
    ASSERT_EQ(Car(0).Finished, 1);
    EXPECT_EQ(SB_Var.RecordFlag, flag) << place << " " << record;
  }
}

TEST_F(LapsTest, TrainingAndStandaloneNeitherRunOutNorFinish) {
  for (int32_t mode : {SB_TRAINING, SB_STANDALONE}) {
    if (mode != SB_TRAINING) {
      TearDown();
      SetUp();
    }
    SB_Var.GameMode = mode;
    SB_Var.NbLaps = 0;
    Car(0).Speed = 0.0;
    Frames(150, 5.0);  // 750 m: the lap line and two checkpoints
    EXPECT_EQ(Car(0).RemainingTime, 60000 + 20000 + 2 * 5000) << mode;
    EXPECT_EQ(Car(0).Finished + Car(0).OutOfTime, 0) << mode;
    EXPECT_EQ(SB_Var.RaceClock, 15000) << mode;
  }
}

TEST_F(LapsTest, OfflineEntersEveryOtherFinishedCarOnce) {
  SB_SetGameMode(SB_OFFLINE);
  while (SB_GetGameStep() != SB_STEP_RACING) SB_NextGameStep();
  SB_Var.NbLaps = 2;
  Car(1).Laps = 2;
  Car(1).Distance = 2001.0;
  Car(2).Laps = 2;
  Car(2).Distance = 2000.0;  // not past the line
  for (int i = 0; i < 5; ++i) SB_UpdateLapCounters();
  int used = 0;
  for (const TSCORE& s : scoreTab) used += s.Used;
  EXPECT_EQ(used, 1);
  EXPECT_EQ(scoreTab[1].Id, 1);  // car 1 is placed 2
  EXPECT_EQ(Car(1).Finished, 1);
  EXPECT_EQ(Car(2).Finished, 0);
  EXPECT_EQ(Car(0).LapTime, 500);  // the driven car went through the lap rules
}

TEST_F(LapsTest, LapCountersNeedCarsAndARacingMode) {
  SB_Var.UsingCars = 0;
  SB_UpdateLapCounters();
  EXPECT_EQ(SB_Var.RaceClockStart, -1);
  SB_Var.UsingCars = 1;
  for (int32_t mode : {SB_TRAINING, SB_DEMO}) {
    SB_Var.GameMode = mode;
    SB_UpdateLapCounters();
    EXPECT_EQ(SB_Var.RaceClockStart, -1);
  }
  for (int32_t mode : {SB_FREERACE, SB_RACE, SB_MULTIRACE, SB_CONTROLLEDRACE, SB_STANDALONE}) {
    SB_Var.GameMode = mode;
    SB_Var.RaceClock = 0;
    SB_Var.RaceClockStart = -1;
    SB_UpdateLapCounters();
    EXPECT_EQ(SB_Var.RaceClockStart, 0) << mode;
  }
}

TEST_F(LapsTest, HugeTimesSaturate) {
  SB_Var.StartingTime = INT32_MIN;
  SB_Var.TimeExtends[0].Extension = INT32_MAX;
  Car(0).Speed = 5.0;
  Frames(3, 1.0);
  EXPECT_EQ(Car(0).RemainingTime, -201);  // INT32_MIN held, then INT32_MAX added at the lap line
  SB_Var.StartingTime = INT32_MAX;
  SB_Var.RaceClockStart = -1;
  Frames(3, 400.0);
  EXPECT_EQ(Car(0).RemainingTime, INT32_MAX);
}

}  // namespace
