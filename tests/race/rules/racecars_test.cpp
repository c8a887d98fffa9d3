// Which cars take part: enabled, in the game, simulated, by mode and step.
#include <gtest/gtest.h>

#include "race/raceframe.h"
#include "race/racerules.h"
#include "race/sequencer.h"
#include "shell/sbvar.h"
#include "tests/fakes/race_fakes.h"
#include "vehicles/vehicles.h"

namespace {

class RaceCarsTest : public ztest::RaceTest {
 protected:
  void SetUp() override {
    ztest::RaceTest::SetUp();
    MakeCars(4);
    SB_Var.ReplayCar = 2;
  }
  static std::vector<int32_t> Enabled() {
    std::vector<int32_t> out;
    for (int32_t i = 0; i < 4; ++i) out.push_back(SB_IsCarEnabled(i));
    return out;
  }
};

TEST_F(RaceCarsTest, InvalidMissingAndRetiredCarsAreNotEnabled) {
  EXPECT_EQ(Enabled(), (std::vector<int32_t>{1, 1, 1, 1}));
  for (int32_t bad : {-1, 4, 16, 1000}) EXPECT_EQ(SB_IsCarEnabled(bad), 0) << bad;
  SB_Var.Cars[3] = nullptr;
  Car(1).OutOfRace = 2;
  Car(0).OutOfRace2 = 1;
  EXPECT_EQ(Enabled(), (std::vector<int32_t>{0, 0, 1, 0}));
  SB_Var.NbCars = 40;  // beyond the table
  EXPECT_EQ(SB_IsCarEnabled(20), 0);
  EXPECT_EQ(SB_IsValidCarIndex(16), 0);
}

TEST_F(RaceCarsTest, AControlledRaceWaitingForItsStartRunsOnlyTheLocalCars) {
  SB_SetGameMode(SB_CONTROLLEDRACE);
  ASSERT_EQ(SB_GetGameStep(), 1);
  EXPECT_EQ(Enabled(), (std::vector<int32_t>{1, 0, 1, 0}));
  SB_NextGameStep();  // the start
  EXPECT_EQ(Enabled(), (std::vector<int32_t>{1, 1, 1, 1}));
}

TEST_F(RaceCarsTest, NetworkedTrainingRunsOnlyTheLocalCars) {
  SB_SetGameMode(SB_TRAINING);
  EXPECT_EQ(Enabled(), (std::vector<int32_t>{1, 1, 1, 1}));
  SB_Var.XState = XSTATE_CONNECTED;
  EXPECT_EQ(Enabled(), (std::vector<int32_t>{1, 0, 1, 0}));
}

TEST_F(RaceCarsTest, InGameNeedsTexturesReady) {
  Car(1).TexturesReady = 0;
  EXPECT_EQ(SB_IsCarEnabled(1), 1);
  EXPECT_EQ(SB_IsCarInGame(1), 0);
  EXPECT_EQ(SB_IsCarInGame(0), 1);
  EXPECT_EQ(SB_CarTexturesReady(7), 0);
}

// Before the racing phase a car played back from part-way through its
// replay is held back; one played from the replay's start stands where its
// recording began, as a car driven here does.
TEST_F(RaceCarsTest, AReplayFromPartWayIsSimulatedOnlyFromStep15) {
  struct Row {
    const char* what;
    int32_t start;  // the replay's start, -1 for none
    int32_t before, racing;
  };
  const Row rows[] = {{"no replay", -1, 1, 1}, {"from its start", 0, 1, 1}, {"from part-way", 500, 0, 1}};
  TREPLAY replay{};
  for (const Row& r : rows) {
    replay.StartTime = r.start;
    SB_Var.CarReplays[2] = r.start >= 0 ? &replay : nullptr;
    SB_SetGameMode(SB_RACE);
    for (int i = 0; i < 10; ++i) SB_NextGameStep();  // to step 14
    ASSERT_EQ(SB_GetGameStep(), 14);
    EXPECT_EQ(SB_IsCarSimulated(2), r.before) << r.what;
    EXPECT_EQ(SB_IsCarSimulated(0), 1) << r.what;
    SB_NextGameStep();
    ASSERT_EQ(SB_GetGameStep(), 15);
    EXPECT_EQ(SB_IsCarSimulated(2), r.racing) << r.what;
  }
  Car(2).TexturesReady = 0;
  EXPECT_EQ(SB_IsCarSimulated(2), 0);
  SB_Var.CarReplays[2] = nullptr;
}

TEST_F(RaceCarsTest, WithoutAListEveryCarInGameIsSimulated) {
  TREPLAY replay{};
  replay.StartTime = 500;
  SB_Var.CarReplays[1] = &replay;
  EXPECT_EQ(SB_IsCarSimulated(1), 1);
  EXPECT_EQ(SB_IsRaceRunning(), 0);
  SB_Var.CarReplays[1] = nullptr;
}

}  // namespace
