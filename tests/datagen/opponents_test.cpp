// RACE's opponents: the race script "GAME" of the build's data tree loads
// datagen's lap replays "SA1.REP" to "SA3.REP" on cars 1 to 3 of a race of
// four; from their grid places behind the driven car they drive the
// circuit on the road and pass a slower player, so that the race order
// changes within a lap; a player's car left standing on the pole is gone
// round. A replay that is missing or cut short leaves its car on the grid
// with the loader's message, and the others race.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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

// The gap in metres between the bodies of two cars on the ground: the
// rectangles of their four corner side points, 0 when they overlap.
double BodyGap(const TCAR& a, const TCAR& b) {
  auto corners = [](const TCAR& car) {
    std::array<std::array<double, 2>, 4> out;
    const int32_t order[4] = {0, 1, 3, 2};  // front right, front left, back left, back right
    for (int32_t k = 0; k < 4; ++k) {
      const TVECTOR& p = car.SidePoints[order[k]];
      const double* m = car.Orientation;  // column 0 the car's right, column 2 its forward
      out[k] = {car.Position[0] + m[0] * p.x + m[6] * p.z, car.Position[2] + m[2] * p.x + m[8] * p.z};
    }
    return out;
  };
  const auto pa = corners(a), pb = corners(b);
  // Apart when an edge's normal separates the two (separating axes).
  bool apart = false;
  for (const auto* poly : {&pa, &pb})
    for (int32_t k = 0; k < 4 && !apart; ++k) {
      const auto &e0 = (*poly)[k], &e1 = (*poly)[(k + 1) % 4];
      const double nx = e0[1] - e1[1], nz = e1[0] - e0[0];
      auto span = [&](const std::array<std::array<double, 2>, 4>& q) {
        double lo = 1e300, hi = -1e300;
        for (const auto& c : q) lo = std::min(lo, c[0] * nx + c[1] * nz), hi = std::max(hi, c[0] * nx + c[1] * nz);
        return std::array<double, 2>{lo, hi};
      };
      const auto sa = span(pa), sb = span(pb);
      apart = sa[1] < sb[0] || sb[1] < sa[0];
    }
  if (!apart) return 0.0;
  auto toEdge = [](const std::array<double, 2>& p, const std::array<double, 2>& e0, const std::array<double, 2>& e1) {
    const double dx = e1[0] - e0[0], dz = e1[1] - e0[1];
    const double t = std::clamp(((p[0] - e0[0]) * dx + (p[1] - e0[1]) * dz) / (dx * dx + dz * dz), 0.0, 1.0);
    return std::hypot(e0[0] + t * dx - p[0], e0[1] + t * dz - p[1]);
  };
  double gap = 1e300;
  for (int32_t k = 0; k < 4; ++k)
    for (int32_t j = 0; j < 4; ++j)
      gap = std::min({gap, toEdge(pa[k], pb[j], pb[(j + 1) % 4]), toEdge(pb[k], pa[j], pa[(j + 1) % 4])});
  return gap;
}

// The player's car left standing on the pole after "GO", at frame rates
// from 30 to 1,000 a second: the opponents from behind go round it with a
// metre or more between the bodies through the first 15 s, and it is
// neither touched nor drawn along (its place and heading stay within
// 0.1 m and 0.01 rad); they are all 100 m or more down the road 11 s
// after "GO", and the car facing the right way on the grid is never
// warned of the wrong way.
TEST_F(OpponentsTest, ThePlayerStandingOnThePoleIsPassedUntouched) {
  const struct {
    int32_t rate;                  // frames a second
    std::vector<uint32_t> frames;  // ms, in turn
  } rows[] = {{30, {33, 33, 34}}, {60, {17, 17, 16}}, {250, {4}}, {1000, {1}}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.rate) + " frames a second");
    drive_.Stop();
    StartRace();
    const TCAR& player = *SB_Var.Cars[0];
    auto heading = [&] { return std::atan2(player.Orientation[6], player.Orientation[8]); };
    const double start[2] = {player.Position[0], player.Position[2]}, startHeading = heading();
    int32_t sinceGo = -1, warned = 0;
    double moved = 0.0, worstTurn = 0.0;
    std::vector<double> closest(kCars, 1e300), ahead(kCars, 0.0);
    for (size_t f = 0; f < kRaceMs && sinceGo < 15000; ++f) {
      const uint32_t ms = row.frames[f % row.frames.size()];
      // The gearbox chosen, then no control touched.
      drive_.Frame(ms, [](datagen::DriverInput& in) {
        if (SB_GetGameStep() > 5) in = {};
      });
      if (sinceGo >= 0 || SB_GetGameStep() >= kGoStep) sinceGo = sinceGo < 0 ? 0 : sinceGo + ms;
      warned |= player.WrongWay;
      moved = std::max(moved, std::hypot(player.Position[0] - start[0], player.Position[2] - start[1]));
      worstTurn = std::max(worstTurn, std::fabs(std::remainder(heading() - startHeading, 2 * M_PI)));
      for (int32_t car = 1; car < kCars; ++car) {
        closest[car] = std::min(closest[car], BodyGap(player, *SB_Var.Cars[car]));
        if (sinceGo >= 0 && sinceGo <= 11000) ahead[car] = SB_Var.Cars[car]->Distance - player.Distance;
      }
    }
    ASSERT_GE(sinceGo, 15000);
    EXPECT_LT(moved, 0.1);
    EXPECT_LT(worstTurn, 0.01);
    for (int32_t car = 1; car < kCars; ++car) {
      EXPECT_GE(closest[car], 1.0) << "car " << car;
      EXPECT_GE(ahead[car], 100.0) << "car " << car;
    }
    EXPECT_EQ(warned, 0);
  }
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
