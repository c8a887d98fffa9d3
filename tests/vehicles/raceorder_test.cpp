// The race order of a frame: positions and links by track progress, the
// replay opponents' pacing against the cars around them, and when the gaps
// and the ranking of the race rules run.
#include <vector>

#include "net/types.h"
#include "race/types.h"
#include "tests/vehicles/vehicle_fixture.h"

namespace {

constexpr int32_t kFrame = 20;  // ms

// One car of a pacing scene: replay or live, its progress, where it stands
// (x, z) and whether it is simulated.
struct SceneCar {
  bool replay;
  double progress, x, z;
  bool simulated = true;
};

class RaceOrderTest : public ztest::PhysicsTest {
 protected:
  TREPLAY replays_[SB_MAXCARS] = {};
  void TearDown() override {
    for (TREPLAY*& replay : SB_Var.CarReplays) replay = nullptr;
    ztest::PhysicsTest::TearDown();
  }
  // Cars in the game at the given progress.
  void Race(const std::vector<double>& progress) {
    MakeCars(static_cast<int32_t>(progress.size()));
    for (size_t i = 0; i < progress.size(); ++i) {
      Car(i).TexturesReady = 1;
      Car(i).Distance = progress[i];
    }
  }
  void Scene(const std::vector<SceneCar>& cars) {
    MakeCars(static_cast<int32_t>(cars.size()));
    for (size_t i = 0; i < cars.size(); ++i) {
      Car(i).Distance = cars[i].progress;
      Car(i).Position[0] = cars[i].x;
      Car(i).Position[2] = cars[i].z;
      ztest::g_simulated[i] = cars[i].simulated;
      replays_[i] = TREPLAY{};
      SB_Var.CarReplays[i] = cars[i].replay ? &replays_[i] : nullptr;
    }
  }
  // The frame's order and pacing, frames times.
  void Pace(int32_t frames) {
    SB_Var.FrameTime = kFrame;
    for (int32_t f = 0; f < frames; ++f) {
      SB_LinkRaceOrder();
      SB_PaceReplayBehindLeader();
      SB_PaceReplaysAgainstLive();
    }
  }
};

TEST_F(RaceOrderTest, PositionsRankTheRacingCarsInTheGameByProgress) {
  struct Row {
    std::vector<double> progress;
    int32_t outOfGame;           // -1 none
    int32_t timedOut, finished;  // -1 none
    std::vector<int32_t> places;
    int32_t active;
  };
  const Row rows[] = {
      {{5, 5, 5}, -1, -1, -1, {3, 2, 1}, 3},  // equal progress keeps the index order
      {{10, 30, 20}, -1, -1, -1, {3, 1, 2}, 3},
      {{10, 30, 20}, 0, -1, -1, {3, 1, 2}, 2},  // out of the game: the racing count
      {{10, 30, 20}, 1, -1, -1, {2, 3, 1}, 2},
      {{10, 300, 20}, -1, 1, -1, {2, 3, 1}, 3},  // timed out: behind every running car
      {{10, 300, 20}, -1, 1, 1, {3, 1, 2}, 3},   // finished: by its progress
  };
  for (const Row& r : rows) {
    Race(r.progress);
    if (r.outOfGame >= 0) Car(r.outOfGame).TexturesReady = 0;
    if (r.timedOut >= 0) Car(r.timedOut).OutOfTime = 1;
    if (r.finished >= 0) Car(r.finished).Finished = 1;
    SB_UpdateRacePositions();
    std::vector<int32_t> places;
    for (size_t i = 0; i < r.progress.size(); ++i) places.push_back(Car(i).Place);
    EXPECT_EQ(places, r.places) << r.progress[1] << " out " << r.outOfGame << " timed out " << r.timedOut;
    EXPECT_EQ(SB_CountActiveCars(), r.active);
  }
}

TEST_F(RaceOrderTest, LinksFollowProgressWithNoneAtBothEnds) {
  struct Row {
    std::vector<double> progress;
    std::vector<int32_t> ahead, behind;
  };
  const Row rows[] = {
      {{5, 5, 5}, {-1, 0, 1}, {1, 2, -1}},  // equal progress keeps the index order
      {{10, 30, 20}, {2, -1, 1}, {-1, 2, 0}},
      {{7}, {-1}, {-1}},
  };
  for (const Row& r : rows) {
    Race(r.progress);
    SB_LinkRaceOrder();
    std::vector<int32_t> ahead, behind;
    for (size_t i = 0; i < r.progress.size(); ++i) {
      ahead.push_back(Car(i).CarAhead);
      behind.push_back(Car(i).CarBehind);
    }
    EXPECT_EQ(ahead, r.ahead) << r.progress.size();
    EXPECT_EQ(behind, r.behind) << r.progress.size();
  }
}

// The last car of each scene is the replay car watched; 20 ms frames.
TEST_F(RaceOrderTest, ReplayCarsArePacedAgainstTheCarsAroundThem) {
  struct Row {
    const char* what;
    std::vector<SceneCar> cars;
    double start;
    int32_t frames;
    double rate;
  };
  const bool kOff = false;
  const Row rows[] = {
      {"10 m behind a replay", {{true, 100, 0, 10}, {true, 90, 0, 0}}, 0.0, 1, 0.02},
      {"10 m behind a replay, long", {{true, 100, 0, 10}, {true, 90, 0, 0}}, 0.0, 20, 0.25},
      {"level with a replay 10 m on", {{true, 100, 0, 10}, {true, 100, 0, 0}}, 0.0, 5, 0.0},
      {"15 m behind a replay", {{true, 100, 0, 15}, {true, 85, 0, 0}}, 0.0, 20, 0.0},
      {"10 m behind, the car ahead not simulated", {{true, 100, 0, 10, kOff}, {true, 90, 0, 0}}, 0.0, 5, 0.0},
      {"behind a live car", {{false, 100, 0, 30}, {true, 70, 0, 0}}, 0.0, 1, -0.01},
      {"behind a live car, long", {{false, 100, 0, 30}, {true, 70, 0, 0}}, 0.0, 20, -0.025},
      {"behind a live car, pushed further", {{false, 100, 0, 30}, {true, 70, 0, 0}}, -0.1, 5, -0.1},
      {"live car two ahead", {{false, 200, 0, 90}, {true, 150, 0, 60}, {true, 100, 0, 0}}, 0.0, 1, -0.01},
      {"live car three ahead",
       {{false, 300, 0, 90}, {true, 200, 0, 60}, {true, 150, 0, 30}, {true, 100, 0, 0}},
       0.0,
       1,
       -0.01},
      {"live car four ahead",
       {{false, 400, 0, 120}, {true, 300, 0, 90}, {true, 200, 0, 60}, {true, 150, 0, 30}, {true, 100, 0, 0}},
       0.03,
       5,
       0.03},
      {"chain broken", {{false, 200, 0, 90}, {true, 150, 0, 60, kOff}, {true, 100, 0, 0}}, 0.03, 5, 0.03},
      {"live car 201 behind", {{false, 99, 0, -90}, {true, 300, 0, 0}}, 0.0, 1, 0.01},
      {"live car 201 behind, long", {{false, 99, 0, -90}, {true, 300, 0, 0}}, 0.0, 20, 0.05},
      {"live car 200.5 behind", {{false, 99.5, 0, -90}, {true, 300, 0, 0}}, 0.03, 5, 0.03},
      {"replay car 201 behind", {{true, 99, 0, -90}, {true, 300, 0, 0}}, 0.03, 5, 0.03},
      {"live car behind not simulated", {{false, 0, 0, -90, kOff}, {true, 300, 0, 0}}, 0.03, 5, 0.03},
      {"replay car not simulated", {{false, 100, 0, 30}, {true, 70, 0, 0, kOff}}, 0.03, 5, 0.03},
      {"no live car", {{true, 100, 0, 30}, {true, 70, 0, 0}}, -0.1, 5, -0.1},
      // Within 14.6 m the fall-back (+0.02 a frame) outweighs the closing
      // in (-0.01): the replay gives way to the live car ahead.
      {"10 m behind a live car, long", {{false, 100, 0, 10}, {true, 90, 0, 0}}, 0.0, 100, 0.24},
  };
  for (const Row& r : rows) {
    Scene(r.cars);
    const size_t watched = r.cars.size() - 1;
    replays_[watched].DriftRate = r.start;
    Pace(r.frames);
    EXPECT_NEAR(replays_[watched].DriftRate, r.rate, 1e-12) << r.what;
  }
}

// The gaps run in OFFLINE or at network state 6 or more, the ranking only
// in the network case. Car 0 is driven and second: the gaps name the car
// ahead, the ranking gives the driven car a catch-up target.
TEST_F(RaceOrderTest, GapsAndRankingRunOnlyWhereTheyApply) {
  struct Row {
    int32_t mode, connected, state;
    bool gaps, ranking;
  };
  const Row rows[] = {
      {SB_OFFLINE, 0, XSTATE_NONET, true, false},  {SB_OFFLINE, 1, XSTATE_PLAYING, true, true},
      {SB_RACE, 1, XSTATE_READY2PLAY, true, true}, {SB_RACE, 1, XSTATE_READY2PLAY - 1, false, false},
      {SB_RACE, 0, XSTATE_PLAYING, false, false},  {SB_TRAINING, 0, XSTATE_NONET, false, false},
  };
  for (const Row& r : rows) {
    Race({10, 30});
    SB_Var.GameMode = r.mode;
    SB_Var.NetConnected = r.connected;
    SB_Var.XState = r.state;
    SB_Var.AheadIndex = 77;
    Car(0).CatchUpTarget = 7.0;
    ztest::g_calls.clear();
    SB_UpdateRaceStanding();
    EXPECT_EQ(ztest::g_calls, std::vector<std::string>{"progress"});
    EXPECT_EQ(Car(0).Place, 2);
    EXPECT_EQ(SB_Var.AheadIndex, r.gaps ? 1 : 77) << r.mode << " " << r.state;
    EXPECT_EQ(Car(0).CatchUpTarget != 7.0, r.ranking) << r.mode << " " << r.state;
  }
}

}  // namespace
