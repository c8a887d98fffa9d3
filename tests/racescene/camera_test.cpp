// Cameras: smoothing, looking at a point, the frames, each race-camera
// mode around a car record, and the race camera's choice of mode.
#include "engine3d/camera.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine3d/matrix.h"
#include "platform/window.h"
#include "racescene/racecamera.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "system/asm3d/zidade3d.h"
#include "tests/racescene/engine3d_fakes.h"
#include "tests/support/testenv.h"

namespace {

class CameraTest : public ztest::LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary();
    LS_InitSinTable();
    plat::ReleaseAllKeys();
    ztest::Fakes3d() = {};
    E3D_MatIdentity(car_.Orientation);
    E3D_MatIdentity(car_.InsetMatrix);
    car_.Position[0] = 10.0, car_.Position[1] = -1.0, car_.Position[2] = 20.0;
    SB_Var.Cars[0] = &car_;
    SB_Var.NbCars = 1;
    SB_Var.UsingCars = 1;
    SB_Var.DrivenCar = 0;
    SB_Var.ReplayCar = -1;
    SB_Var.FrameTime = 10;
    SB_Hooks.IsCarInGame = [](int32_t) { return 1; };
    SB_Hooks.GetGameStep = [] { return step_; };
    step_ = 0;
  }
  void TearDown() override {
    SB_Hooks.IsCarInGame = nullptr;
    SB_Hooks.GetGameStep = nullptr;
    plat::ReleaseAllKeys();
    LibraryTest::TearDown();
  }
  // Distance from the camera to the car, in world units.
  double DistanceToCar() const {
    const TCAMERA& c = SB_Var.Camera;
    return std::hypot(c.CurrentX - car_.Position[0] * 320, c.CurrentY - car_.Position[1] * 320,
                      c.CurrentZ - car_.Position[2] * 320);
  }
  void Flat(double height) {
    ztest::Fakes3d().ground = [height](int32_t, int32_t) { return height; };
  }
  TCAR car_{};
  static inline int32_t step_ = 0;
};

TEST_F(CameraTest, SmoothingTakesTheShortWayAndRoundsHalfUp) {
  TCAMERA& c = SB_Var.Camera;
  c.AngleY = 65500;
  c.TargetAngleY = 100;
  c.CurrentX = 0, c.TargetX = 5;
  c.CurrentZ = 0, c.TargetZ = -5;
  SB_UpdateCamera(&c, 0.5, 1.0);
  EXPECT_EQ(c.AngleY, 32u);
  EXPECT_EQ(std::pair(c.CurrentX, c.CurrentZ), std::pair(3, -2));  // floor(2.5 + 0.5), floor(-2.5 + 0.5)
  c.TargetX = 1000, c.TargetAngleX = 70000;
  SB_UpdateCamera(&c, 0.99995, 1.0);
  EXPECT_EQ(std::pair(c.CurrentX, c.AngleX), std::pair(1000, 70000u & 0xFFFF));
}

TEST_F(CameraTest, TheFramesFollowThePosition) {
  TCAMERA& c = SB_Var.Camera;
  SB_PlaceCamera(&c, 320, -640, 960, 1000, 70000, -3);
  EXPECT_EQ(std::tuple(c.TargetAngleX, c.TargetAngleY, c.TargetAngleZ), std::tuple(1000u, 4464u, 65533u));
  EXPECT_EQ(std::tuple(c.FloatFrame[9], c.FloatFrame[10], c.FloatFrame[11]),
            std::tuple(320 * 190.0f, -640 * 190.0f, 960 * 190.0f));
  TMATRIX m;
  E3D_MatFromAngles16(m, 1000, 4464, 65533);
  for (int k = 0; k < 9; ++k) EXPECT_EQ(c.FloatFrame[k], static_cast<float>(m[k])) << k;
  int32_t p[3] = {320, -640, 960};
  LS_TransformPoint(&c.Frame, p);
  EXPECT_EQ(std::tuple(c.RotatedX, c.RotatedY, c.RotatedZ), std::tuple(p[0], p[1], p[2]));
  EXPECT_EQ(std::tuple(c.PosX, c.PosY, c.PosZ), std::tuple(1.0, -2.0, 3.0));
  EXPECT_EQ(c.Matrix[1], c.Frame.Rotation[0][1] / 16384.0);
  const double below[3] = {1.0, 8.0, 3.0};
  SB_CameraLookAt(&c, below);
  EXPECT_EQ(std::pair(c.TargetAngleY, c.TargetAngleX), std::pair(0u, 16384u));
}

// Rear, chase and fixed angle: the angles of the mode and the distance.
TEST_F(CameraTest, ModesBehindTheCar) {
  struct Row {
    void (*mode)(TCAMERA*, int32_t);
    uint32_t pitch, heading;
    double distance;
  };
  const Row rows[] = {
      {SB_CameraRearView, 65536 - 8192, 32768, 2560},
      {SB_CameraChase, 2048, 65536 - 16384, 2560},
      {SB_CameraFixedAngle, 65536 - 983, 65536 - 26214, 1040},
  };
  Flat(1000.0);
  for (const Row& r : rows) {
    r.mode(&SB_Var.Camera, 0);
    EXPECT_EQ(std::pair(SB_Var.Camera.AngleX, SB_Var.Camera.AngleY), std::pair(r.pitch, r.heading));
    EXPECT_NEAR(DistanceToCar(), r.distance, 3.0);
  }
}

TEST_F(CameraTest, FollowInCarAndTheGroundClearance) {
  SB_CameraFollow(&SB_Var.Camera, 0);
  EXPECT_NEAR(DistanceToCar(), 1600, 3.0);
  car_.Position[0] = 1.001;
  SB_CameraInCar(&SB_Var.Camera, 0);
  EXPECT_EQ(std::tuple(SB_Var.Camera.CurrentX, SB_Var.Camera.CurrentY, SB_Var.Camera.CurrentZ),
            std::tuple(320, -480, 6400));  // floor((p + (0, -0.5, 0)) x 320 + 0.5)
  Flat(-600.0);  // the fixed-angle camera would be at about -490
  SB_CameraFixedAngle(&SB_Var.Camera, 0);
  EXPECT_EQ(SB_Var.Camera.CurrentY, -760);
}

// Behind the car, whichever way it heads: the camera lies back along the
// forward axis the car drives on, Orientation . (0, 0, 1).
TEST_F(CameraTest, FollowStaysBehindACarHeadingAcrossTheWorld) {
  Flat(1000.0);
  for (double heading : {0.0, M_PI / 2, -M_PI / 2, 2.5}) {
    E3D_MatFromAngles(car_.Orientation, 0.0, heading, 0.0);
    E3D_MatTranspose(car_.Orientation, car_.InsetMatrix);
    SB_Var.CameraSettled = 0;
    SB_CameraFollow(&SB_Var.Camera, 0);
    const TCAMERA& c = SB_Var.Camera;
    const double back = (car_.Position[0] * 320 - c.CurrentX) * car_.Orientation[6] +
                        (car_.Position[2] * 320 - c.CurrentZ) * car_.Orientation[8];
    EXPECT_GT(back, 1000.0) << heading;
  }
}

TEST_F(CameraTest, FreeCameraKeys) {
  struct Row {
    std::vector<int32_t> keys;
    int32_t dz, y;  // with heading 0 the camera moves along z
  };
  const Row rows[] = {{{38}, 40, -352},       {{38, 16}, 160, -352}, {{38, 17}, 10, -352},
                      {{40}, -40, -352},      {{38, 32}, 40, -992}};
  Flat(0.0);
  for (const Row& r : rows) {
    SB_PlaceCamera(&SB_Var.Camera, 0, 0, 0, 0, 0, 0);
    for (int32_t k : r.keys) plat::SetKeyState(k, true);
    SB_CameraFree(&SB_Var.Camera);
    plat::ReleaseAllKeys();
    EXPECT_EQ(std::pair(SB_Var.Camera.CurrentZ, SB_Var.Camera.CurrentY), std::pair(r.dz, r.y)) << r.keys[0];
  }
  ztest::Fakes3d().ground = nullptr;  // no ground and no smoothing: no move at all
  SB_PlaceCamera(&SB_Var.Camera, 0, 0, 0, 0, 0, 0);
  plat::SetKeyState(38, true);
  SB_CameraFree(&SB_Var.Camera);
  EXPECT_EQ(SB_Var.Camera.CurrentZ, 0);
}

TEST_F(CameraTest, TracksideHoldsItsSpotThenCuts) {
  Flat(0.0);
  car_.Velocity[0] = 3.0;  // the spot: x 10 + 6 = 16 rounds to the 20 m grid
  SB_CameraTrackside(&SB_Var.Camera, 0);
  EXPECT_EQ(SB_Var.Camera.CurrentX, 20 * 320);
  EXPECT_EQ(SB_Var.Camera.CurrentY, -960);  // the car's height raised by 2 m
  SB_Var.CameraSettled = 1;
  SB_Var.Camera.Cut = 0;
  car_.Position[0] = 100.0;
  for (int32_t t = 10; t <= 4000; t += 10) {
    SB_CameraTrackside(&SB_Var.Camera, 0);
    ASSERT_EQ(SB_Var.Camera.CurrentX, 20 * 320) << t;
  }
  SB_CameraTrackside(&SB_Var.Camera, 0);
  EXPECT_EQ(std::pair(SB_Var.Camera.CurrentX, SB_Var.Camera.Cut), std::pair(100 * 320, 1u));
  car_.Position[1] = -10.0;  // a car high above: the camera keeps within 5 m of the ground
  SB_Var.CameraSettled = 0;
  SB_CameraTrackside(&SB_Var.Camera, 0);
  EXPECT_EQ(SB_Var.Camera.CurrentY, -1600);
  SB_CameraFinish(&SB_Var.Camera, 0);  // no start slots: as trackside
  EXPECT_EQ(SB_Var.Camera.CurrentY, -1600);
}

TEST_F(CameraTest, TheReplayTour) {
  SB_Var.ReplayCar = 0;
  SB_Var.DrivenCar = -1;
  Flat(0.0);
  const std::pair<uint32_t, int32_t> rows[] = {{2000, 3}, {7000, 1}, {12000, 2}, {17000, 7}, {37000, 3}, {77000, 7}};
  for (const auto& [time, mode] : rows) {
    SB_Var.Time = time;
    SB_UpdateRaceCamera(&SB_Var.Camera);
    EXPECT_EQ(SB_Var.CameraMode, mode) << time;
  }
}

TEST_F(CameraTest, TheCameraControlAndTheEditorKeys) {
  struct Row {
    int32_t editor;
    std::vector<int32_t> keys;
    int32_t from, to;
  };
  const Row rows[] = {{0, {}, 2, 1},       {0, {}, 5, 2},       {1, {17, 16}, 7, 0},
                      {1, {17, 16}, 3, 4}, {1, {17}, 5, 0},     {0, {17}, 1, 2}};
  for (const Row& r : rows) {
    SB_Var.EditorMode = r.editor;
    SB_Var.CameraMode = SB_Var.PrevCameraMode = r.from;
    SB_Var.Controls.Camera = 1;
    SB_Var.PrevControls.Camera = 0;
    for (int32_t k : r.keys) plat::SetKeyState(k, true);
    SB_UpdateRaceCamera(&SB_Var.Camera);
    plat::ReleaseAllKeys();
    EXPECT_EQ(SB_Var.CameraMode, r.to) << r.from;
  }
  SB_Var.PrevControls.Camera = 1;  // held, not pressed
  SB_UpdateRaceCamera(&SB_Var.Camera);
  EXPECT_EQ(SB_Var.CameraMode, 2);
}

TEST_F(CameraTest, TheCarsStateForcesTheMode) {
  struct Row {
    int32_t car, finished, out, from, to;
  };
  const Row rows[] = {{5, 0, 0, 1, 0}, {0, 1, 0, 1, 8}, {0, 0, 1, 1, 6}, {0, 0, 1, 0, 0}};
  for (const Row& r : rows) {
    SB_Var.DrivenCar = r.car;
    car_.Finished = r.finished;
    car_.OutOfRace2 = r.out;
    SB_Var.CameraMode = SB_Var.PrevCameraMode = r.from;
    SB_UpdateRaceCamera(&SB_Var.Camera);
    EXPECT_EQ(SB_Var.CameraMode, r.to) << r.car << r.finished << r.out;
  }
  SB_Var.Cars[0] = nullptr;  // a missing record
  SB_Var.DrivenCar = 0;
  SB_Var.CameraMode = 1;
  SB_UpdateRaceCamera(&SB_Var.Camera);
  EXPECT_EQ(SB_Var.CameraMode, 0);
}

TEST_F(CameraTest, AModeChangeCutsAndTheEndPhaseStartsOnce) {
  SB_Var.CameraMode = SB_Var.PrevCameraMode = 1;
  SB_Var.CameraSettled = 1;
  SB_UpdateRaceCamera(&SB_Var.Camera);
  EXPECT_EQ(SB_Var.Camera.Cut, 0u);
  SB_Var.CameraMode = 3;
  SB_Var.Camera.HoldTimer = 500;
  SB_UpdateRaceCamera(&SB_Var.Camera);
  EXPECT_EQ(SB_Var.Camera.Cut, 1u);
  EXPECT_EQ(SB_Var.Camera.HoldTimer, 0);  // cleared, and no hold in the first frame
  EXPECT_EQ(SB_Var.CameraSettled, 1);
  step_ = 6;
  for (int i = 0; i < 3; ++i) SB_UpdateRaceCamera(&SB_Var.Camera);
  EXPECT_EQ(std::pair(ztest::Fakes3d().blueskyStarts, SB_Var.EndPhaseTime), std::pair(1, 30));
}

}  // namespace
