// The race start and restart in their order, the cars' physics defaults,
// the start grid, the player order and the race-state reset.
#include <cmath>
#include <cstring>
#include <utility>

#include "race/session.h"
#include "tests/vehicles/setup/setup_fixture.h"

namespace ztest {
namespace {

class RaceSetupTest : public SetupTest {
 protected:
  TSTARTSLOT slot_{};
  void SetUp() override {
    SetupTest::SetUp();
    slot_ = {10.0, -6.6, 20.0, 0, 0, 0, 0, -M_PI / 2};
    slot_.CarStepX = 5 * std::cos(slot_.Angle);
    slot_.CarStepZ = 5 * std::sin(slot_.Angle);
    slot_.RowStepX = 10 * std::sin(slot_.Angle);
    slot_.RowStepZ = -10 * std::cos(slot_.Angle);
    SB_Var.CurStartSlots = &slot_;
  }
  // Lane and row of car i, from its place against the slot's origin.
  std::pair<double, double> LaneRow(int32_t i) const {
    const double dx = cars_[i].Position[0] - slot_.X, dz = cars_[i].Position[2] - slot_.Z;
    return {(dx * std::cos(slot_.Angle) + dz * std::sin(slot_.Angle)) / 5,
            (dx * std::sin(slot_.Angle) - dz * std::cos(slot_.Angle)) / 10};
  }
};

TEST_F(RaceSetupTest, StartAndRestartInTheirOrder) {
  MakeCars(2);
  WriteVParams("{\nTurnspeed=12\n");
  SB_Var.PhysicsDt = SB_Var.PhysicsAccumulator = 3;
  // What each recorded call finds done: physics, grid places, clock, parameters.
  g_onCall = [this](const char* call) {
    g_setupCalls.back() = std::string(call) + " init " + std::to_string(cars_[1].CatchUp == 1.0) + " grid " +
                          std::to_string(SB_Var.GridCount) + " clock " + std::to_string(SB_Var.PhysicsDt == 0) +
                          " read " + std::to_string(cars_[1].Turnspeed == 12.0);
  };
  SB_StartRace();
  EXPECT_EQ(g_setupCalls, (std::vector<std::string>{"LoadCarSounds init 1 grid 0 clock 0 read 0",
                                                    "ResetCarSoundState init 1 grid 0 clock 0 read 0",
                                                    "ResetCarSoundState init 1 grid 0 clock 0 read 0",
                                                    "ResetBrakeLights init 1 grid 2 clock 1 read 0"}));
  EXPECT_EQ(cars_[1].Turnspeed, 12.0);
  EXPECT_EQ(SB_Var.PhysicsAccumulator, 0.0);
  // The restart: the same without the sounds and the brake lights.
  g_setupCalls.clear();
  cars_[1].CatchUp = 0.5;
  cars_[1].Position[0] = 999;
  cars_[1].Turnspeed = 3;
  SB_RestartRace();
  EXPECT_TRUE(g_setupCalls.empty());
  EXPECT_EQ(cars_[1].CatchUp, 1.0);
  EXPECT_EQ(LaneRow(1).second, 2.0);
  EXPECT_EQ(cars_[1].Turnspeed, 12.0);
  SB_StopCarSounds();  // the race's end frees the sounds' channels
  EXPECT_EQ(g_setupCalls.back().substr(0, 13), "FreeCarSounds");
  SB_Var.UsingCars = 0;
  cars_[1].CatchUp = 0.5;
  SB_StartRace();
  SB_RestartRace();
  EXPECT_EQ(cars_[1].CatchUp, 0.5);
}

TEST_F(RaceSetupTest, ThePhysicsDefaults) {
  MakeCars(1);
  TCAR& car = cars_[0];
  SB_FillUnsetVParams(&car);
  car.Rouesolreaction = 1234;  // an entry the set-up leaves alone
  car.Gear = 3;
  car.Laps = car.Finished = 2;
  car.ProgressMeasured = 1;  // raced before: its progress is measured afresh
  car.CatchUp = 0.2;
  SB_InitCarPhysics(&car, 0, 1);
  const TVPARAMBLOCK& b = car.VParams;
  const double block[][2] = {{b.InjectionMini, 5},     {b.InjectionMaxi, 400},    {b.InjectionDecrease, 200},
                             {b.ForceFrotInt, 0.3},    {b.MotorMasse, 100},       {b.ForceChutePower, 1.0},
                             {b.ForceStartPower, 0.5}, {b.Couplemini, 2500},      {b.Power, 0.6},
                             {b.Rouesolreaction, 1234}, {b.Embrayage2, 300},      {car.InvEngineInertia, 1 / 60.0}};
  for (const auto& [value, expect] : block) EXPECT_NEAR(value, expect, 1e-12) << expect;
  EXPECT_EQ(car.InjectionIdle, 3.0);  // the live value, x Power
  const int32_t slots[SB_NBGROUNDPOINTS] = {0, 1, 2, 3, 0, 1, 2, 3, 8, 9, 10, 11};
  EXPECT_EQ(std::memcmp(car.DeformationSlots, slots, sizeof slots), 0);
  EXPECT_EQ(car.WheelPoints[2].x * car.WheelPoints[2].z, 1.8);  // (-1, 0, -1.8)
  EXPECT_EQ(car.Gear, 0);
  EXPECT_EQ(car.SkidTimer, -SB_ShippedVParams.Derappetimeapresmini);
  EXPECT_EQ(car.CatchUp + car.CatchUp2 + car.CatchUpTarget + car.DragDivisor, 4.0);
  EXPECT_EQ(std::make_pair(car.Laps, car.ProgressMeasured), std::make_pair(0, 0));
  EXPECT_EQ(car.Mass, 1000.0);
  EXPECT_EQ(car.EngineVolume, -10000);
  // The wheel points are where the tyres meet the road: the first wheel's
  // height plus its radius.
  OBJECT* part = reinterpret_cast<OBJECT*>(&car);
  car.Wheels[1] = part;
  car.WheelOffsets[1].y = 0.2;
  car.WheelOffsets[2].y = 5;
  car.WheelRadius = 0.32;
  SB_InitCarPhysics(&car, 0, 0);
  EXPECT_NEAR(car.WheelHeightOffset, 0.52, 1e-12);
  car.Wheels[1] = nullptr;
}

// Applying the values (as the editor does every frame) leaves a running
// skid alone; the race start and restart set the timer to its start value.
TEST_F(RaceSetupTest, TheSkidTimerStartsFromTheFilesValue) {
  MakeCars(1);
  WriteVParams("{\nDerappetimeapresmini:=0.75\n");
  SB_StartRace();
  EXPECT_EQ(cars_[0].SkidTimer, -0.75);
  cars_[0].SkidTimer = 0.2;
  cars_[0].VParams.Derappetimeapresmini = 1.5;
  SB_ApplyVParams(&cars_[0]);
  EXPECT_EQ(cars_[0].SkidTimer, 0.2);
  EXPECT_EQ(cars_[0].SkidTimerStart, -1.5);
  SB_RestartRace();
  EXPECT_EQ(cars_[0].SkidTimer, -0.75);
  SB_Var.UsingCars = 0;
}

TEST_F(RaceSetupTest, TheStartGrid) {
  const struct {
    int32_t twoLanes;
    int32_t n;
    double lane, row;
  } rows[] = {{1, 0, 3, 0}, {1, 1, 2, 2}, {1, 2, 3, 4}, {1, 3, 2, 6},  {0, 0, 3, 0}, {0, 1, 2, 0},
              {0, 2, 4, 0}, {0, 3, 1, 0}, {0, 4, 5, 0}, {0, 5, 0, 0},  {0, 6, 2, 1}, {0, 7, 3, 1}};
  MakeCars(8);
  for (const auto& r : rows) {
    SB_Var.GridStart = r.twoLanes;
    SB_RestartRace();
    const auto [lane, row] = LaneRow(r.n);
    EXPECT_NEAR(lane, r.lane, 1e-9) << r.twoLanes << " " << r.n;
    EXPECT_NEAR(row, r.row, 1e-9) << r.twoLanes << " " << r.n;
  }
  // Orientation (0, a, 0): the car faces away from the rows behind it.
  const double* m = cars_[3].Orientation;
  EXPECT_NEAR(m[6], -std::sin(slot_.Angle), 1e-12);
  EXPECT_NEAR(m[8], std::cos(slot_.Angle), 1e-12);
  EXPECT_NEAR(cars_[3].Position[1], slot_.Y + 0.2, 1e-12);  // no wheels: the offset is the radius, 0
  // A car playing a running replay takes no place: the next car has it.
  g_replaying[1] = true;
  SB_RestartRace();
  EXPECT_EQ(LaneRow(2), LaneRow(1));
  EXPECT_EQ(SB_Var.GridCount, 7);
}

TEST_F(RaceSetupTest, PlayerOrderAndTheRaceStateReset) {
  MakeCars(6);
  SB_Var.XState = XSTATE_CONNECTED;
  SB_Var.NetConnected = 1;
  SB_PrintPlayerOrder();
  EXPECT_EQ(SB_Var.DrivenCar, 5);
  EXPECT_EQ(SB_PrintedLines(), (std::vector<std::string>{"", "In game player order: 5", ""}));
  SB_Var.NetConnected = 0;
  SB_Var.DrivenCar = 0;
  SB_PrintPlayerOrder();
  EXPECT_EQ(SB_Var.DrivenCar, 0);

  SB_Hooks.ReadRaceParameters = [] { g_setupCalls.push_back("ReadRaceParameters"); };
  SB_Hooks.ResetGaps = [] { g_setupCalls.push_back("ResetGaps"); };
  SB_Var.CameraSettled = SB_Var.EndPhaseTime = 7;
  SB_Var.Camera.PosX = 100;
  SB_RaceTeardown();
  EXPECT_EQ(g_setupCalls, (std::vector<std::string>{"ReadRaceParameters", "ResetGaps"}));
  EXPECT_EQ(SB_Var.CameraSettled + SB_Var.EndPhaseTime + SB_Var.Camera.PosX, 0);
  EXPECT_EQ(SB_Var.RecordMark, SB_Var.Time);
}

}  // namespace
}  // namespace ztest
