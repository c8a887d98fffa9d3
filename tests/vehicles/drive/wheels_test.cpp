// The wheel model: ratios and the torque curve against hand-computed
// values, steering and brakes, the gearbox with its sounds (manual and
// automatic), the engine start and crank, the drive, the skid timer with
// the handbrake, and the wheel vectors.
#include <cmath>

#include "tests/vehicles/drive/drive_fixture.h"

namespace {

using ztest::g_sounds;
using Sounds = std::vector<std::string>;

class Wheels : public ztest::DriveTest {
 protected:
  void SetUp() override {
    DriveTest::SetUp();
    for (double& s : Car().Slips) s = 0.0;
  }
  // A running engine past its crank, in a gear.
  void Running(int32_t gear) {
    Car().EngineStarted = 1;
    Car().EngineStartTimer = SB_CRANKTIME;
    Car().Gear = Car().PrevGear = gear;
    Car().TotalRatio = SB_GetTotalRatio(&Car(), gear);
  }
  void Wheels4(double s) {
    for (double& w : Car().WheelSpeeds) w = s;
    Car().Speed = std::fabs(s);
  }
};

TEST_F(Wheels, RatiosAndEngineSpeeds) {
  const struct {
    int32_t gear;
    double ratio;
  } rows[] = {{0, 0.0}, {6, 0.0}, {-1, -3.3 * 4.1}, {1, 3.3 * 4.1}, {3, 1.35 * 4.1}};
  for (const auto& r : rows) EXPECT_EQ(SB_GetTotalRatio(&Car(), r.gear), r.ratio) << r.gear;
  Wheels4(10.0);
  EXPECT_DOUBLE_EQ(SB_GetGearEngineSpeed(&Car(), 3), 10.0 * 1.35 * 4.1 * 1.884);
  EXPECT_DOUBLE_EQ(SB_GetGearEngineSpeed(&Car(), 6), 10.0 * 0.65 * 4.1 * 1.884);  // no count check
}

TEST_F(Wheels, TheTorqueCurve) {
  Car().Injection = 240.0;
  const struct {
    int32_t gear;
    double w, minTorque, accelerated, released;
  } rows[] = {
      {1, -1.0, 1500, 100000.0, 100000.0},
      {3, -1.0, 1500, 100000.0, 100000.0},
      {1, 0.0, 1500, 100000.0, 0.0},
      {3, 0.0, 1500, 14659.472534785808, 0.0},  // boost
      {1, 300.0, 1500, 100000.0, 0.0},
      {3, 300.0, 1500, 57300.0, 0.0},
      {1, 600.0, 1500, 100000.0, 0.0},
      {3, 600.0, 1500, 61017.114466333645, 0.0},                    // drop
      {3, 1000.0, 1500, -112896.76456313569, -112896.76456313569},  // x 0.8
      {0, 1000.0, 1500, -141120.9557039196, -141120.9557039196},
      {1, 0.0, -20000, -16000.0, -16000.0},  // no boost in gear 1
      {3, 0.0, -20000, -5472.421972171354, -5472.421972171354},
  };
  for (const auto& r : rows) {
    Car().MinTorque = r.minTorque;
    Car().AccelOn = 1;
    EXPECT_NEAR(SB_GetEngineTorque(&Car(), r.gear, r.w), r.accelerated, 1e-9) << r.gear << " " << r.w;
    Car().AccelOn = 0;
    EXPECT_NEAR(SB_GetEngineTorque(&Car(), r.gear, r.w), r.released, 1e-9) << r.gear << " " << r.w;
  }
}

TEST_F(Wheels, KeyboardSteeringAtSpeedStaysUnderItsTarget) {
  Wheels4(41.67);
  Car().RightAmount = 1.0;
  double most = 0.0;
  for (int32_t i = 0; i < 1000; ++i) {
    SB_StepWheels(&Car());
    most = std::fmax(most, Car().SteerAngle);
  }
  EXPECT_LE(most, 0.06607347370275746);
  EXPECT_NEAR(Car().Steering, 0.06607347370275746, 1e-9);
}

TEST_F(Wheels, SteeringTargetsAndMoves) {
  const struct {
    double speed, skid, left, right, dt, angle, expected;
    uint8_t analog;
    const char* why;
  } rows[] = {
      {5, -0.4, 0, 1, 0.01, 0.0, 0.6666666666666666 * 0.05 / 1.6666666666666665, 0, "slow key"},
      {20, 0.3, 0, 1, 0.01, 0.0, 0.4273504273504273 * 0.05 / 1.4273504273504273, 0, "skidding"},
      {5, -0.4, 0, 0, 0.01, 0.2, 0.2 - 0.2 * 0.1, 0, "back to 0 at 10"},
      {5, -0.4, 0, 1, 0.5, 0.0, 0.6666666666666666, 0, "no overshoot"},
      {5, -0.4, 0.3, 0.4, 0.01, 0.0, 0.0, 0, "a key below half is none"},
      {20, -0.4, 0.9, 0, 0.01, 0.0, -0.9 / 3 / (20.0 / 69 + 1), 1, "joystick jumps"},
      {5, -0.4, 0.7, 0.7, 0.01, 0.0, 0.7 / 3, 1, "a tie goes right"},
  };
  for (const auto& r : rows) {
    Wheels4(r.speed);
    Car().SkidTimer = r.skid;
    Car().LeftAmount = r.left, Car().RightAmount = r.right;
    Car().LeftAnalog = Car().RightAnalog = r.analog;
    Car().SteerAngle = r.angle;
    Car().Slips[0] = r.skid > 0 ? 2.0 : 0.0;  // keeps a skid going
    SB_Var.PhysicsDt = r.dt;
    SB_StepWheels(&Car());
    EXPECT_NEAR(Car().Steering, r.expected, 1e-12) << r.why;
  }
}

TEST_F(Wheels, BrakesStopAtZero) {
  const struct {
    double speed, amount, expected;
    uint8_t handbrake;
  } rows[] = {{10, 1, 9.75, 0},    {0.1, 1, 0, 0},   {0, 1, 0, 0},   {-0.1, 1, 0, 0},
              {10, 0.5, 9.875, 0}, {10, 1, 9.85, 1}, {5, 1, 4.75, 1}};  // the handbrake's own pull instead
  for (const auto& r : rows) {
    Wheels4(r.speed);
    Car().BrakeAmount = r.amount, Car().HandBrake = r.handbrake;
    SB_StepWheels(&Car());
    EXPECT_NEAR(Car().WheelSpeeds[3], r.expected, 1e-12) << r.speed << " " << int(r.handbrake);
  }
}

TEST_F(Wheels, ManualGearsSkipNeutralAndWaitAfterEachChange) {
  Running(0);
  SB_GearDown(&Car());
  SB_GearUp(&Car());  // within the delay
  EXPECT_EQ(Car().Gear, -1);
  EXPECT_EQ(Car().GearDelay, 250);
  Car().GearDelay = 0;
  SB_GearUp(&Car());
  EXPECT_EQ(Car().GearDelay, 250);
  Car().GearDelay = 0;
  SB_GearDown(&Car());
  EXPECT_EQ(Car().Gear, -1);
  EXPECT_EQ(g_sounds, (Sounds{"gear -1", "gear 1", "gear -1"}));
  // A held key changes once; the delay runs out in 25 steps of 10 ms.
  g_sounds.clear();
  Car().GearDelay = 0;
  Car().GearUp = 1;
  for (int32_t i = 0; i < 30; ++i) SB_StepWheels(&Car());
  EXPECT_EQ(Car().Gear, 1);
  EXPECT_EQ(Car().GearDelay, 0);
  EXPECT_EQ(g_sounds, Sounds{"gear 1"});
}

TEST_F(Wheels, GearUpInTheTopGearIsRefused) {
  for (int32_t count : {4, 5, 6}) {
    g_sounds.clear();
    Car().GearCount = count;
    Running(count);
    Car().GearDelay = 0;
    SB_GearUp(&Car());
    EXPECT_EQ(Car().Gear, count);
    EXPECT_EQ(Car().GearDelay, 0);
    EXPECT_TRUE(g_sounds.empty()) << count;
  }
}

TEST_F(Wheels, DownShiftsByTheRevsOfTheLowerGear) {
  const struct {
    double speed, timer;
    int32_t gear;
    Sounds sounds;
  } rows[] = {
      {60, 2.0, 3, {"refused"}},             // gear 2 at 8814 rpm
      {45, 2.0, 2, {"gear 2", "over-rev"}},  // 6610 rpm
      {30, 2.0, 2, {"gear 2"}},              // 4407 rpm
      {30, 1.99, 3, {}},                     // still cranking
  };
  for (const auto& r : rows) {
    g_sounds.clear();
    Running(3);
    Wheels4(r.speed);
    Car().GearDelay = 0;
    Car().EngineStartTimer = r.timer;
    SB_GearDown(&Car());
    EXPECT_EQ(Car().Gear, r.gear) << r.speed;
    EXPECT_EQ(g_sounds, r.sounds) << r.speed;
    EXPECT_EQ(Car().GearDelay, r.timer < 2.0 ? 0 : 250);
  }
}

TEST_F(Wheels, AutomaticGears) {
  const struct {
    int32_t gear;
    double speed, rpm;
    uint8_t up, down;
    int32_t expected;
    const char* why;
  } rows[] = {
      {2, 50, 7100, 0, 0, 3, "more torque above 7000 rpm"},
      {2, 50, 6900, 0, 0, 2, "not above 7000 rpm"},
      {2, 13, 7100, 0, 0, 1, "down at once below 50 km/h"},
      {2, 20, 7100, 0, 0, 1, "gear 1 pulls more at 20 m/s"},
      {0, 0, 0, 1, 0, 1, "the player from neutral"},
      {-1, 0, 0, 1, 0, 1, "and from reverse"},
      {1, 0, 0, 0, 1, -1, "from 1 to reverse"},
      {1, 0, 0, 1, 0, 1, "but no higher by hand"},
  };
  Car().AutomaticGears = 1;
  Car().AccelOn = 1, Car().AccelAmount = 1.0;
  for (const auto& r : rows) {
    Running(r.gear);
    Wheels4(r.speed);
    Car().EngineSpeed = r.rpm / SB_RPM;
    Car().GearDelay = 0;
    Car().GearUp = r.up, Car().GearDown = r.down;
    Car().PrevGearUp = Car().PrevGearDown = 0;
    SB_StepWheels(&Car());
    EXPECT_EQ(Car().Gear, r.expected) << r.why;
  }
}

TEST_F(Wheels, TheEngineStartsOnAFreshPressAfterTheStartAndCranks) {
  const struct {
    int32_t step;
    uint8_t before, now;
    int32_t started;
  } rows[] = {{5, 0, 1, 0}, {6, 1, 1, 0}, {6, 0, 0, 0}, {6, 0, 1, 1}};
  TGAMESTEP steps[1];
  SB_Var.GameSteps = steps;
  for (const auto& r : rows) {
    steps[0] = r.step;
    Car().EngineStarted = 0;
    SB_Var.PrevControls.AccelOn = r.before;
    Car().AccelOn = r.now;
    SB_StepWheels(&Car());
    EXPECT_EQ(Car().EngineStarted, r.started) << r.step << int(r.before) << int(r.now);
  }
  SB_Var.GameSteps = nullptr;
  EXPECT_EQ(g_sounds, Sounds{"start"});
  for (int32_t i = 1; i <= 200; ++i) {
    SB_StepWheels(&Car());
    ASSERT_NEAR(Car().EngineStartTimer, 0.01 * i, 1e-9);
    ASSERT_EQ(Car().EngineSpeed, 0.0);
  }
  SB_StepWheels(&Car());
  SB_StepWheels(&Car());  // 200 sums of 0.01 may fall short of 2.0
  EXPECT_GT(Car().EngineSpeed, 0.0);
}

TEST_F(Wheels, TheDriveTiesEngineAndWheels) {
  // Same direction: the engine follows the wheels, the wheels gain.
  Running(2);
  Car().AccelOn = 1, Car().AccelAmount = 1.0;
  Wheels4(10.0);
  const double w = SB_GetGearEngineSpeed(&Car(), 2);
  Car().EngineSpeed = w;
  Car().Injection = 240.0;
  const double gain = 1.5 * 1.99 * 4.1 * SB_GetEngineTorque(&Car(), 2, w) * 0.01 * 5e-6;
  SB_StepWheels(&Car());
  EXPECT_NEAR(Car().WheelSpeeds[0], 10.0 + gain, 1e-12);
  EXPECT_NEAR(Car().EngineSpeed, w, 1e-12);
  Car().BrakeOn = 1;  // no gain while braking
  SB_StepWheels(&Car());
  EXPECT_NEAR(Car().WheelSpeeds[0], 10.0 + gain, 1e-12);
  // Launch, reversal and engaging from neutral.
  const struct {
    int32_t prev, gear;
    double rpm;
    double skid, wheels, velocity;
    const char* why;
  } rows[] = {
      {1, 1, 1500, 0.49, -1, 0, "launch skid"},
      {1, 1, 2500, -0.11, -1, 0, "no launch skid"},
      {-1, 1, 3000, 0.49, 3000 / SB_RPM / (3.3 * 4.1) * SB_ENGINETOWHEEL, 0, "reversal"},
      {0, 1, 3000, -0.11, 3000 / SB_RPM / (3.3 * 4.1) * SB_ENGINETOWHEEL,
       3000 / SB_RPM / (3.3 * 4.1) * SB_ENGINETOWHEEL, "carried off"},
      {0, 1, 6500, 0.49, 6500 / SB_RPM / (3.3 * 4.1) * SB_ENGINETOWHEEL, 0, "engaged over 6000 rpm"},
  };
  Car().BrakeOn = 0, Car().AccelAmount = 0.0;
  for (const auto& r : rows) {
    Running(r.gear);
    Car().PrevGear = r.prev;
    Wheels4(0.0);
    std::fill(Car().Velocity, Car().Velocity + 3, 0.0);
    std::fill(Car().Slips, Car().Slips + 4, 1.25);  // slipping, so a skid holds
    Car().SkidTimer = -0.1;
    Car().EngineSpeed = r.rpm / SB_RPM;
    Car().InvEngineInertia = 0.0;  // the engine keeps its speed
    SB_StepWheels(&Car());
    EXPECT_NEAR(Car().SkidTimer, r.skid, 1e-12) << r.why;
    if (r.wheels >= 0) {
      EXPECT_NEAR(Car().WheelSpeeds[2], r.wheels, 1e-12) << r.why;
    }
    EXPECT_NEAR(Car().Velocity[2], r.velocity, 1e-12) << r.why;
  }
}

TEST_F(Wheels, TheSkidTimerAndTheHandbrake) {
  const struct {
    double slip, timer;
    uint8_t accel, handbrake;
    double speed, expected, wheel;
    const char* why;
  } rows[] = {
      {1.4, -0.4, 0, 0, 0, 0.49, 0, "a mean above 1.3 starts a skid"},
      {1.25, -0.1, 0, 0, 0, -0.11, 0, "1.25 alone starts none"},
      {1.15, 0.7, 1, 0, 0, -0.4, 0, "bend ends: 1.15 is no slip with the pedal"},
      {1.15, 0.7, 0, 0, 0, 0.69, 0, "bend goes on: 1.15 slips without it"},
      {1.25, 0.005, 0, 0, 0, 0.0001, 0, "held while slipping"},
      {0.5, 0.3, 0, 0, 0, 0.0, 0, "ends when none slips"},
      {1.25, -0.395, 0, 0, 0, 0.8, 0, "a new skid after the cooldown"},
      {0.5, -0.395, 0, 0, 0, -0.4, 0, "the cooldown's floor"},
      {0.5, -0.1, 0, 1, 10, 0.5, 9.85, "handbrake above 30 km/h"},
      {0.5, -0.1, 0, 1, 5, -0.11, 4.75, "handbrake below 20 km/h"},
  };
  for (const auto& r : rows) {
    std::fill(Car().Slips, Car().Slips + 4, r.slip);
    Car().SkidTimer = r.timer;
    Car().AccelOn = r.accel, Car().HandBrake = r.handbrake;
    Wheels4(r.speed);
    SB_StepWheels(&Car());
    EXPECT_NEAR(Car().SkidTimer, r.expected, 1e-12) << r.why;
    EXPECT_NEAR(Car().WheelSpeeds[1], r.wheel, 1e-12) << r.why;
  }
}

TEST_F(Wheels, WheelVectorsPointBackwards) {
  Car().RightAnalog = 1, Car().RightAmount = 0.9;  // 0.3 rad at 4 m/s
  Wheels4(4.0);
  SB_StepWheels(&Car());
  EXPECT_EQ(Car().WheelHeadings[0].x, -std::sin(0.3));
  EXPECT_EQ(Car().WheelGroundVelocities[1].z, -4.0 * std::cos(0.3));
  EXPECT_EQ(Car().WheelGroundVelocities[2].z, -4.0);
  EXPECT_EQ(Car().WheelGroundVelocities[3].x, 0.0);
}

}  // namespace
