// datagen's attract replay "SA0.REP": it loads, and the attract replay
// start puts it on the driven car, which then drives the default circuit
// round and round.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "datagen/circuitdrive.h"
#include "race/sequencer.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "tests/datagen/circuit_fixture.h"
#include "vehicles/replays.h"
#include "vehicles/vehicles.h"

namespace {

constexpr uint32_t kFrameMs = 20;
constexpr double kHalfRoad = 16.0;  // m: the circuit's road is 32 m wide

class AttractReplayTest : public ztest::CircuitDriveTest {
 protected:
  void SetUp() override {
    ztest::CircuitDriveTest::SetUp();
    std::string error;
    ASSERT_TRUE(drive_.Start(&error)) << error;
  }
  static double Metres(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return std::hypot(b[0] - a[0], b[2] - a[2]);
  }
};

TEST_F(AttractReplayTest, TheDrivenCarDrivesTheCircuitFromTheAttractReplay) {
  SB_StartReplayRecord();
  const TREPLAY* replay = SB_Var.CarReplays[0];
  ASSERT_NE(replay, nullptr);
  EXPECT_STREQ(replay->Name, "SA0.REP");
  EXPECT_EQ(replay->StartTime, 0);
  EXPECT_EQ(SB_Var.AttractReplay, 1);
  EXPECT_EQ(SB_Var.ReplayCar, 0);
  // The first lap from the grid: some 30 to 60 s of racing after the
  // countdown.
  const int32_t n = replay->LoadedCount;
  ASSERT_GE(n, 150);
  EXPECT_LE(n, 400);
  const uint32_t length = replay->Records[n - 1].Time;
  // Twice through the replay: the car follows the road and never jumps:
  // by at most a frame at 60 m/s, and where the replay loops (going on from
  // the record nearest its end, the car not moved in that frame) by half a
  // record's spacing more. Once looped it goes on racing, at 10 m/s or
  // more in every second, where the first pass stood on the grid.
  TCAR& car = drive_.Car();
  std::vector<std::array<double, 3>> at = {{car.Position[0], car.Position[1], car.Position[2]}};
  double worstOff = 0.0, worstStep = 0.0;
  for (uint32_t t = 0; t < 2 * length; t += kFrameMs) {
    drive_.Frame(kFrameMs);
    at.push_back({car.Position[0], car.Position[1], car.Position[2]});
    worstStep = std::max(worstStep, Metres(at[at.size() - 2], at.back()));
    worstOff = std::max(worstOff, OffLine(car.Position));
  }
  EXPECT_LT(worstOff, kHalfRoad);
  EXPECT_LT(worstStep, 60.0 * (2 * kFrameMs + SB_REPLAYSTEP / 2) * 0.001);
  const size_t second = 1000 / kFrameMs;
  double slowest = 1e300;
  for (size_t i = length / kFrameMs; i + second < at.size(); ++i) slowest = std::min(slowest, Metres(at[i], at[i + second]));
  EXPECT_GT(slowest, 10.0);
  EXPECT_EQ(SB_Var.CarReplays[0], replay);
}

}  // namespace
