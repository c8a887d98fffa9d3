// The car update of a frame: fixed steps of simulated time, the other cars
// placed at the step times or once a frame (the car shown recorded when
// none is driven), the order of the frame's calls, the drag divisor, and
// the choice of the driven car.
#include "tests/vehicles/vehicle_fixture.h"

namespace {

using Lines = std::vector<std::string>;

Lines Only(const std::string& prefix) {
  Lines kept;
  for (const std::string& c : ztest::g_calls)
    if (c.rfind(prefix, 0) == 0) kept.push_back(c);
  return kept;
}

class StepTest : public ztest::PhysicsTest {};

TEST_F(StepTest, SimulatedTimeIsCutIntoTenMillisecondSteps) {
  struct Row {
    int32_t frame, mode, fixed;  // floating game speed 100
    double owed;
    Lines steps;
    double dt;
  };
  const Row rows[] = {
      {25, 0, 100, 0.0, {"step 10", "step 10", "step 5"}, 0.005},
      {0, 0, 100, 10.0, {"step 10"}, 0.01},  // exactly 10 owed: one last step
      {40, 0, 50, 0.0, {"step 10", "step 10"}, 0.01},
      {7, 1, 100, 0.0, {"step 10", "step 10", "step 10", "step 10"}, 0.01},
  };
  for (const Row& r : rows) {
    MakeCars(1);
    ztest::g_calls.clear();
    SB_Var.FrameTime = r.frame;
    SB_Var.GameSpeedMode = r.mode;
    SB_Var.FixedGameSpeed = r.fixed;
    SB_Var.PhysicsAccumulator = r.owed;
    SB_SimulateCar(0);
    EXPECT_EQ(Only("step"), r.steps) << r.frame;
    EXPECT_DOUBLE_EQ(SB_Var.PhysicsDt, r.dt) << r.frame;
    EXPECT_EQ(SB_Var.PhysicsAccumulator, 0.0);
  }
}

TEST_F(StepTest, NearCarsArePlacedAtEveryStepAndFarOnesOncePerFrame) {
  MakeCars(3);
  Car(1).Position[2] = 5.0;
  Car(2).Position[0] = 30.0;
  SB_Var.Time = 1000;
  SB_Var.FrameTime = 25;
  SB_UpdateCars();
  EXPECT_EQ(Only("replay"), (Lines{"replay 0 985 10", "replay 1 985 10", "replay 0 995 10", "replay 1 995 10",
                                   "replay 0 1000 5", "replay 1 1000 5", "replay 2 1000 25"}));
  EXPECT_EQ(Only("remote").size(), 7u);
  EXPECT_EQ(Only("record"), Lines{"record 0"});
  ztest::g_calls.clear();
  SB_Var.DrivenCar = 5;  // no such car: every car is far
  SB_Var.ReplayCar = 2;  // and the car shown is recorded, once placed
  SB_UpdateCars();
  EXPECT_EQ(Only("replay"), (Lines{"replay 0 1000 25", "replay 1 1000 25", "replay 2 1000 25"}));
  EXPECT_EQ(Only("re"), (Lines{"remote 0 1000", "replay 0 1000 25", "remote 1 1000", "replay 1 1000 25",
                               "remote 2 1000", "replay 2 1000 25", "record 2"}));
  EXPECT_EQ(Car(1).DistanceToDriven, 100000.0);
}

TEST_F(StepTest, AFrameRunsItsPartsInOrder) {
  MakeCars(1);
  SB_Var.FrameTime = 12;
  SB_UpdateCars();
  EXPECT_EQ(ztest::g_calls,
            (Lines{"profile start", "controls 0", "step 10", "contacts 0", "remote 0 -2", "replay 0 -2 10",
                   "step 2", "contacts 0", "remote 0 0", "replay 0 0 2", "clearance 0", "record 0", "pack 0",
                   "progress", "smoke", "profile stop"}));
  EXPECT_DOUBLE_EQ(Car(0).RaceClock, 0.012);
  ztest::g_calls.clear();
  ztest::g_simulated[0] = false;  // played back: not stepped
  SB_UpdateCars();
  for (int32_t index : {-1, 1, 16}) SB_PhysicsStep(index);
  EXPECT_EQ(Only("step"), Lines{});
  SB_Var.UsingCars = 0;
  ztest::g_calls.clear();
  SB_UpdateCars();
  EXPECT_EQ(ztest::g_calls, Lines{});
}

TEST_F(StepTest, TheDragDivisorRisesSlowlyWithinItsBounds) {
  const double rows[][3] = {{0.9, 100, 0.9001}, {0.5, 10, 0.8}, {0.99999, 1000, 1.0}};
  for (const auto& r : rows) {
    MakeCars(1);
    Car(0).DragDivisor = r[0];
    SB_Var.FrameTime = static_cast<int32_t>(r[1]);
    SB_SimulateCar(0);
    EXPECT_DOUBLE_EQ(Car(0).DragDivisor, r[2]) << r[0];
  }
}

TEST_F(StepTest, TheFirstLiveCarIsDrivenAndTheLastReplayShownOtherwise) {
  struct Row {
    uint32_t replays;  // bit i: car i has a replay
    int32_t usingCars, xstate, connected, driven, replay;
  };
  const Row rows[] = {
      {0b1010, 1, XSTATE_NONET, 0, 0, -1},     {0b1111, 1, XSTATE_NONET, 0, -1, 3},
      {0b0001, 1, XSTATE_NONET, 0, 1, -1},     {0b1111, 0, XSTATE_NONET, 0, 7, 9},  // cars unused
      {0b1111, 1, XSTATE_CONNECTED, 1, 7, -1},  // the network's order holds
  };
  static char replay;
  for (const Row& r : rows) {
    MakeCars(4);
    for (int32_t i = 0; i < 4; ++i)
      SB_Var.CarReplays[i] = r.replays >> i & 1 ? reinterpret_cast<TREPLAY*>(&replay) : nullptr;
    SB_Var.UsingCars = r.usingCars;
    SB_Var.XState = r.xstate;
    SB_Var.NetConnected = r.connected;
    SB_Var.DrivenCar = 7;
    SB_Var.ReplayCar = 9;
    SB_FindDrivenCar();
    EXPECT_EQ(SB_Var.DrivenCar, r.driven) << r.replays;
    EXPECT_EQ(SB_Var.ReplayCar, r.replay) << r.replays;
  }
}

}  // namespace
