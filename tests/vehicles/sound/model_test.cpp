// The listener (attenuation and Doppler from the camera) and the engine
// sound model: the two engine layers by the revs and the view, the
// throttle ramp, rolling and skid channels by surface, the other cars'
// engines, and values that are huge or not numbers.
#include <limits>

#include "tests/vehicles/sound/sound_fixture.h"

namespace {

constexpr double kLn = 750.0;

class Listener : public ztest::CarSoundTest {
 protected:
  void SetUp() override {
    ztest::CarSoundTest::SetUp();
    ztest::MakeCarTable(cars_, 3);
  }
  double Volume(int32_t car) {
    double f = 1000.0, v = 0.0;
    SB_ApplySoundListener(car, &f, &v);
    return v;
  }
  double Frequency(int32_t car) {
    double f = 1000.0, v = 0.0;
    SB_ApplySoundListener(car, &f, &v);
    return f;
  }
};

TEST_F(Listener, DistanceAttenuatesMoreForOtherCars) {
  Car(0).Position[2] = 20.0;  // driven
  Car(1).Position[0] = 20.0;
  Car(2).Position[1] = -20.0;
  SB_Var.ReplayCar = 2;  // the replay car counts as near
  for (int32_t i = 0; i < 3; ++i) SB_CarSoundListener(i);
  EXPECT_DOUBLE_EQ(SB_Var.CarSounds.VolumeFactor[0], 0.625);
  EXPECT_DOUBLE_EQ(SB_Var.CarSounds.VolumeFactor[1], 0.5);
  EXPECT_DOUBLE_EQ(SB_Var.CarSounds.VolumeFactor[2], 0.625);
  EXPECT_NEAR(Volume(1), kLn * std::log(0.5), 1e-9);
  EXPECT_NEAR(Volume(1), -520.0, 0.5);
}

TEST_F(Listener, ClosingSpeedRaisesThePitchFromTheSecondFrame) {
  Car(1).Position[2] = 100.0;
  SB_CarSoundListener(1);
  EXPECT_EQ(Frequency(1), 1000.0);  // the first frame has no Doppler
  Car(1).Position[2] = 100.0 - 30.0 * 0.02;  // 30 m/s closer over the 20 ms frame
  SB_CarSoundListener(1);
  EXPECT_NEAR(Frequency(1), 1000.0 * 300.0 / 270.0, 1e-6);
  Car(1).Position[2] = 100.0;  // going away lowers it
  SB_CarSoundListener(1);
  EXPECT_NEAR(Frequency(1), 1000.0 * 300.0 / 330.0, 1e-6);
}

TEST_F(Listener, NoFrameTimeChangesNothingAndACutKeepsTheTables) {
  Car(1).Position[2] = 100.0;
  SB_CarSoundListener(1);
  const TCARSOUNDS before = SB_Var.CarSounds;
  SB_Var.FrameTime = 0;
  Car(1).Position[2] = 10.0;
  SB_CarSoundListener(1);
  EXPECT_EQ(SB_Var.CarSounds.PrevDistance[1], before.PrevDistance[1]);
  EXPECT_EQ(SB_Var.CarSounds.VolumeFactor[1], before.VolumeFactor[1]);
  SB_Var.FrameTime = 20;
  SB_Var.Camera.Cut = 1;  // the jump of a camera cut is not heard
  SB_CarSoundListener(1);
  EXPECT_EQ(SB_Var.CarSounds.VolumeFactor[1], before.VolumeFactor[1]);
  EXPECT_EQ(SB_Var.CarSounds.FrequencyFactor[1], 1.0);
  EXPECT_EQ(SB_Var.CarSounds.PrevDistance[1], 10.0);  // measured all the same
  SB_Var.Camera.Cut = 0;
  SB_CarSoundListener(1);
  EXPECT_EQ(SB_Var.CarSounds.FrequencyFactor[1], 1.0);  // still, from 10 m
}

class Model : public ztest::CarSoundTest {
 protected:
  void SetUp() override {
    ztest::CarSoundTest::SetUp();
    PutSounds();
    Race(3);
    Car(1).Position[0] = Car(2).Position[0] = 1.0;
  }
  void Rpm(double rpm) { Car(0).EngineSpeed = rpm / 9.549296585513721; }
  static int32_t Wanted(int32_t channel) { return Ch(channel)->WantedVolume; }
};

TEST_F(Model, TheEngineLayersCrossfadeWithTheRevs) {
  struct Row {
    double rpm;
    int32_t high, low;
  };
  const int32_t half = static_cast<int32_t>(kLn * std::log(0.5));
  const Row rows[] = {{0, -10000, 0},     {2000, -10000, 0}, {4000, half, half},
                      {6000, 0, -10000},  {9000, 0, -10000},
                      {std::numeric_limits<double>::quiet_NaN(), -10000, 0}};
  Car(0).AccelOn = 1;  // the throttle ramp stays at 0
  Car(0).EngineFrequency = 21000;
  for (const Row& r : rows) {
    Rpm(r.rpm);
    SB_UpdateCarSounds();
    EXPECT_EQ(Wanted(SB_SND_MOTOR), r.high) << r.rpm;
    EXPECT_EQ(Wanted(SB_SND_MOTOR2), r.low) << r.rpm;
    EXPECT_EQ(Ch(SB_SND_MOTOR)->WantedFrequency, 21000);
  }
  EXPECT_EQ(half, -519);
}

TEST_F(Model, TheViewPicksTheEngineSamples) {
  Rpm(4000);
  Car(0).AccelOn = 1;
  Car(0).EngineFrequency = 21000;
  for (int32_t mode : {1, 2}) {
    SB_Var.CameraMode = mode;
    SB_UpdateCarSounds();
    const int32_t heard = mode == 2 ? SB_SND_MOTOR3 : SB_SND_MOTOR;
    const int32_t quiet = mode == 2 ? SB_SND_MOTOR : SB_SND_MOTOR3;
    EXPECT_EQ(Wanted(heard), -519) << mode;
    EXPECT_EQ(Wanted(heard + 1), -519) << mode;
    EXPECT_EQ(Ch(heard)->WantedFrequency, 21000);
    EXPECT_EQ(Wanted(quiet), -10000) << mode;
    EXPECT_EQ(Wanted(quiet + 1), -10000) << mode;
    EXPECT_EQ(Ch(quiet)->WantedFrequency, 11025);
    EXPECT_EQ(Engine(0)->WantedVolume, -10000);  // the heard car's own engine channel
  }
}

TEST_F(Model, TheThrottleRampRisesAndFalls) {
  Rpm(8000);
  Car(0).AccelOn = 0;
  SB_UpdateCarSounds();
  EXPECT_EQ(Car(0).ThrottleRamp, -7.0);  // 0.35 per ms
  EXPECT_EQ(Wanted(SB_SND_MOTOR), -7);
  for (int i = 0; i < 100; ++i) SB_UpdateCarSounds();
  EXPECT_EQ(Car(0).ThrottleRamp, -350.0);
  Car(0).AccelOn = 1;
  SB_UpdateCarSounds();
  EXPECT_EQ(Car(0).ThrottleRamp, -336.0);  // 0.7 per ms
  for (int i = 0; i < 100; ++i) SB_UpdateCarSounds();
  EXPECT_EQ(Car(0).ThrottleRamp, 0.0);
  Car(0).EngineStarted = 0;
  SB_UpdateCarSounds();
  EXPECT_EQ(Wanted(SB_SND_MOTOR), -10000);
  EXPECT_EQ(Wanted(SB_SND_MOTOR2), -10000);
}

TEST_F(Model, RollingAndSkidsBySurfaceAndView) {
  struct Row {
    int32_t flag, camera, roll, derap;  // flag 1..5, 0 none; -1 no rolling channel
  };
  const Row rows[] = {{5, 1, SB_SND_ROULE5, SB_SND_DERAP},  {1, 1, SB_SND_ROULE4, SB_SND_DERAP5},
                      {2, 1, SB_SND_ROULE2, SB_SND_DERAP3}, {2, 2, SB_SND_ROULE3, SB_SND_DERAP4},
                      {0, 1, -1, SB_SND_DERAP},             {3, 2, -1, SB_SND_DERAP}};
  Car(0).Speed = 61.0;
  Car(0).SkidVolume = -500, Car(0).SkidFrequency = 12000;
  Car(0).ScrapeVolume = -700, Car(0).ScrapeFrequency = 15000;
  const int32_t rolling = static_cast<int32_t>(kLn * std::log(61.0 / 122.0 + 0.5 + 0.001));
  for (const Row& r : rows) {
    for (int32_t& f : Car(0).SurfaceFlags) f = 0;
    if (r.flag) Car(0).SurfaceFlags[r.flag - 1] = 1;
    SB_Var.CameraMode = r.camera;
    SB_UpdateCarSounds();
    for (int32_t c = SB_SND_ROULE2; c <= SB_SND_ROULE5; ++c) {
      EXPECT_EQ(Wanted(c), c == r.roll ? rolling : -10000) << r.flag << " " << r.camera << " " << c;
      EXPECT_EQ(Ch(c)->WantedFrequency, 11025);
    }
    for (int32_t c = SB_SND_DERAP; c <= SB_SND_DERAP5; ++c) {
      EXPECT_EQ(Wanted(c), c == r.derap ? -500 : -10000) << r.flag << " " << r.camera << " " << c;
      EXPECT_EQ(Ch(c)->WantedFrequency, 12000);
    }
    EXPECT_EQ(Wanted(SB_SND_FROTTE), -700);
    EXPECT_EQ(Ch(SB_SND_FROTTE)->WantedFrequency, 15000);
  }
  EXPECT_EQ(rolling, 0);
  Car(0).SurfaceFlags[0] = 1, Car(0).SurfaceFlags[2] = 0;
  Car(0).Speed = 0.3;  // slow: the speed itself
  SB_UpdateCarSounds();
  EXPECT_EQ(Wanted(SB_SND_ROULE4), static_cast<int32_t>(kLn * std::log(0.301)));
}

TEST_F(Model, OtherCarsAreHeardThroughTheirOwnEngineChannel) {
  Car(1).EngineFrequency = 17000;
  Car(1).AccelOn = 1;
  Car(2).EngineFrequency = 17000;
  ztest::g_soundSimulated[2] = false;
  SB_UpdateCarSounds();
  EXPECT_EQ(Engine(1)->WantedFrequency, 17000);
  EXPECT_EQ(Engine(1)->WantedVolume, static_cast<int32_t>(kLn * std::log(1.0 / 1.0025)));
  EXPECT_EQ(Engine(2)->WantedVolume, -10000);  // not simulated
  Car(1).AccelOn = 0;
  SB_UpdateCarSounds();
  EXPECT_EQ(Engine(1)->WantedVolume, static_cast<int32_t>(-7.0 + kLn * std::log(1.0 / 1.0025)));
  Car(1).EngineStarted = 0;
  SB_UpdateCarSounds();
  EXPECT_EQ(Engine(1)->WantedVolume, -10000);
  // Far away: below the channels' floor, so the channel stops.
  Car(1).EngineStarted = 1, Car(1).AccelOn = 1;
  SB_Var.FrameTime = 1000;
  for (int i = 0; i < 2; ++i) SB_UpdateCarSounds();
  SB_CommitCarSounds();
  EXPECT_EQ(LS_GetSoundStatus(Engine(1)->Sound), LS_SOUND_PLAYING);
  Car(1).Position[0] = 150.0;
  SB_ResetSoundListener();
  SB_UpdateCarSounds();
  EXPECT_LT(Engine(1)->WantedVolume, -3000);
  SB_CommitCarSounds();
  EXPECT_EQ(LS_GetSoundStatus(Engine(1)->Sound), LS_SOUND_STOPPED);
}

TEST_F(Model, TheReplayCarIsHeardInFullWhenNoneIsDriven) {
  SB_Var.DrivenCar = -1;
  SB_Var.ReplayCar = 2;
  Car(2).EngineSpeed = 1000.0;  // high revs
  Car(2).EngineFrequency = 30000;
  Car(2).AccelOn = 1;
  SB_UpdateCarSounds();
  EXPECT_EQ(Ch(SB_SND_MOTOR)->WantedFrequency, 30000);
  EXPECT_EQ(Engine(2)->WantedVolume, -10000);
  EXPECT_GT(Engine(0)->WantedVolume, -3000);  // car 0 now one of the others
}

TEST_F(Model, HugeOrMissingValuesSaturate) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  struct Row {
    double speed, engine, position;
  };
  const Row rows[] = {{nan, nan, nan}, {inf, inf, inf}, {-inf, 1e300, -1e300}, {1e300, -1e300, 1e200}};
  for (const Row& r : rows) {
    SB_ResetSoundListener();
    for (int32_t i = 0; i < 3; ++i) {
      Car(i).Speed = r.speed, Car(i).EngineSpeed = r.engine;
      Car(i).Position[0] = r.position;
    }
    SB_UpdateCarSounds();
    Car(1).Position[0] = 0.0;
    SB_UpdateCarSounds();
    for (int i = 0; i < SB_Var.CarSounds.NbRegistered; ++i) {
      const TSBSOUND* c = *SB_Var.CarSounds.Registry[i];
      EXPECT_GE(c->WantedVolume, -10000) << r.speed;
      EXPECT_LE(c->WantedVolume, 0) << r.speed;
      EXPECT_GE(c->WantedFrequency, 0) << r.speed;
    }
    SB_CommitCarSounds();
  }
  EXPECT_EQ(SB_SoundVolumeWord(nan), -10000);
  EXPECT_EQ(SB_SoundFrequencyWord(nan), 0);
  EXPECT_EQ(SB_SoundFrequencyWord(1e300), INT32_MAX);
}

}  // namespace
