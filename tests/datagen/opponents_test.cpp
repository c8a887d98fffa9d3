// RACE's opponents: the race script "GAME" of the build's data tree loads
// datagen's lap replays "SA1.REP" to "SA3.REP" on cars 1 to 3 of a race of
// four; from their grid places behind the driven car they drive the
// circuit on the road and pass a slower player, so that the race order
// changes within a lap; a player's car left standing on the pole is gone
// round. A replay that is missing or cut short leaves its car on the grid
// with the loader's message, and the others race.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "console/interpreter.h"
#include "datagen/circuitdrive.h"
#include "race/sequencer.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "tests/datagen/circuit_fixture.h"
#include "vehicles/replays.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kFrameMs = 20;
constexpr uint32_t kRaceMs = 60000;  // the countdown and the engine's start, then a lap
constexpr double kHalfRoad = 16.0;   // m: the circuit's road is 32 m wide
constexpr int32_t kCars = 4;
constexpr int32_t kGoStep = 14;  // the sequencer's step that shows "GO"

class OpponentsTest : public ztest::CircuitDriveTest {
 protected:
  // The race script run as the menus' RACE runs it, then the race of four
  // started on the circuit.
  void StartRace() {
    SB_ClearPrintedLines();
    SB_ExecCommand("RUN GAME");
    drive_.SetCars(kCars);
    std::string error;
    ASSERT_TRUE(drive_.Start(&error)) << error;
  }
  // The cars by their place in the race, the leader first.
  static std::vector<int32_t> Order() {
    std::vector<int32_t> order = {0, 1, 2, 3};
    std::stable_sort(order.begin(), order.end(),
                     [](int32_t a, int32_t b) { return SB_Var.Cars[a]->Place < SB_Var.Cars[b]->Place; });
    return order;
  }
  bool Printed(const std::string& line) {
    const std::vector<std::string>& lines = SB_PrintedLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
};

// The player drives a cautious lap: the opponents, which never run into a
// car ahead (their playback slows within 14.6 m of it), come by it.
TEST_F(OpponentsTest, ThreeOpponentsRaceAndTheOrderChangesWithinALap) {
  StartRace();
  drive_.Driver().straightSpeed = 22.0;
  drive_.Driver().bendSpeed = 15.0;
  for (int32_t car = 1; car < kCars; ++car) {
    ASSERT_NE(SB_Var.CarReplays[car], nullptr) << car;
    EXPECT_EQ(std::string(SB_Var.CarReplays[car]->Name), "SA" + std::to_string(car) + ".REP");
  }
  EXPECT_EQ(SB_Var.CarReplays[0], nullptr);  // the player's car is driven
  std::vector<double> travelled(kCars, 0.0), worstOff(kCars, 0.0);
  std::vector<std::vector<double>> at(kCars);
  std::vector<int32_t> previous;
  int32_t changes = 0;
  for (uint32_t t = 0; t < kRaceMs; t += kFrameMs) {
    for (int32_t i = 0; i < kCars; ++i) at[i] = {SB_Var.Cars[i]->Position[0], SB_Var.Cars[i]->Position[2]};
    drive_.Frame(kFrameMs);
    for (int32_t i = 0; i < kCars; ++i) {
      const TCAR& car = *SB_Var.Cars[i];
      travelled[i] += std::hypot(car.Position[0] - at[i][0], car.Position[2] - at[i][1]);
      worstOff[i] = std::max(worstOff[i], OffLine(car.Position));
    }
    // The order once the field has left the grid, and each change of it.
    if (travelled[0] < 50.0) continue;
    const std::vector<int32_t> order = Order();
    if (!previous.empty() && order != previous) ++changes;
    previous = order;
  }
  for (int32_t i = 0; i < kCars; ++i) {
    if (i > 0) {
      EXPECT_GT(travelled[i], 1000.0) << "car " << i;  // a lap from the grid
    }
    EXPECT_LT(worstOff[i], kHalfRoad) << "car " << i;
  }
  EXPECT_GE(changes, 1);
}

// The player's car left standing on the pole after "GO": the opponents
// from behind go round it without a touch (its place and heading stay
// within 0.1 m and 0.01 rad for 5 s, and it is neither pushed sideways
// nor turned while they pass), they are all 100 m or more down the road
// 11 s after "GO", and the car facing the right way on the grid is never
// warned of the wrong way.
TEST_F(OpponentsTest, ThePlayerStandingOnThePoleIsPassedUntouched) {
  StartRace();
  const TCAR& player = *SB_Var.Cars[0];
  auto heading = [&] { return std::atan2(player.Orientation[6], player.Orientation[8]); };
  const double start[2] = {player.Position[0], player.Position[2]}, startHeading = heading();
  int32_t sinceGo = -1, warned = 0;
  double worstAt5 = 0.0, worstSideways = 0.0, worstTurn = 0.0;
  for (uint32_t t = 0; t < kRaceMs && sinceGo < 11000; t += kFrameMs) {
    // The gearbox chosen, then no control touched.
    drive_.Frame(kFrameMs, [](datagen::DriverInput& in) {
      if (SB_GetGameStep() > 5) in = {};
    });
    if (sinceGo >= 0 || SB_GetGameStep() >= kGoStep) sinceGo = sinceGo < 0 ? 0 : sinceGo + kFrameMs;
    warned |= player.WrongWay;
    const double moved = std::hypot(player.Position[0] - start[0], player.Position[2] - start[1]);
    // The grid faces along +x: sideways is z.
    worstSideways = std::max(worstSideways, std::fabs(player.Position[2] - start[1]));
    worstTurn = std::max(worstTurn, std::fabs(std::remainder(heading() - startHeading, 2 * M_PI)));
    if (sinceGo <= 5000) worstAt5 = std::max(worstAt5, moved);
  }
  ASSERT_GE(sinceGo, 11000);
  EXPECT_LT(worstAt5, 0.1);
  EXPECT_LT(worstSideways, 0.1);  // after 5 s the car, in gear, may creep forward
  EXPECT_LT(worstTurn, 0.01);
  for (int32_t car = 1; car < kCars; ++car)
    EXPECT_GE(SB_Var.Cars[car]->Distance - player.Distance, 100.0) << "car " << car;
  EXPECT_EQ(warned, 0);
}

// Bad replays named by the script: one missing, one cut short. Their cars
// stay on the grid with the loader's message, the third opponent races.
TEST_F(OpponentsTest, AMissingOrCutReplayLeavesItsCarOnTheGrid) {
  fs::remove(root_ + "/SA1.REP");
  const std::string whole = ztest::ReadFile(root_ + "/SA2.REP");
  ztest::WriteFile(root_ + "/SA2.REP", whole.substr(0, whole.size() / 2));
  StartRace();
  EXPECT_TRUE(Printed("File SA1.REP not found !!!"));
  EXPECT_TRUE(Printed("Old replay format !!!"));
  EXPECT_EQ(SB_Var.CarReplays[1], nullptr);
  EXPECT_EQ(SB_Var.CarReplays[2], nullptr);
  ASSERT_NE(SB_Var.CarReplays[3], nullptr);
  std::vector<std::vector<double>> start(kCars);
  for (int32_t i = 0; i < kCars; ++i) start[i] = {SB_Var.Cars[i]->Position[0], SB_Var.Cars[i]->Position[2]};
  for (uint32_t t = 0; t < kRaceMs / 2; t += kFrameMs) drive_.Frame(kFrameMs);
  const auto moved = [&](int32_t i) {
    return std::hypot(SB_Var.Cars[i]->Position[0] - start[i][0], SB_Var.Cars[i]->Position[2] - start[i][1]);
  };
  EXPECT_LT(moved(1), 1.0);
  EXPECT_LT(moved(2), 1.0);
  EXPECT_GT(moved(3), 100.0);
}

}  // namespace
