// The drawn wheels' clearance over a map of two road patches with a gap
// between them: the road under the wheel, then beside it in the order
// x - 1, z - 1, x + 1, z + 1, a hole that keeps the last value, and a
// tilted car.
#include <cmath>

#include "engine3d/matrix.h"
#include "tests/vehicles/wheelfx/wheelfx_fixture.h"
#include "vehicles/physics.h"

namespace {

class Clearance : public ztest::DriveTest {
 protected:
  void SetUp() override {
    DriveTest::SetUp();
    const int32_t road = map_.Texture("ROAD    C");
    // A: world x -6.4..-0.2 m, z -6.4..6.4 m, at height -6.4 m; B: x
    // 0.2..6.4 m, z -6.4..-0.2 m, at -7.4 m (map units of 0.1 m, 64 the origin).
    map_.CubeFace({{0, 0, 0}, {62, 0, 0}, {62, 0, 128}, {0, 0, 128}}, datagen::kCubeUp, road);
    map_.CubeFace({{66, -10, 0}, {128, -10, 0}, {128, -10, 62}, {66, -10, 62}}, datagen::kCubeUp, road);
    map_.Install();
    BuildXZYList();
    SB_Var.TexturePlaces[road].C = 1;
    for (TVECTOR& w : Car().WheelOffsets) w = {0.0, 0.3, 0.0};
  }
  // Wheel 0's clearance with the car's centre at x, y, z (the wheels' offsets
  // put them 0.3 m below it).
  double At(double x, double y, double z) {
    Car().Position[0] = x, Car().Position[1] = y, Car().Position[2] = z;
    SB_ComputeWheelClearance(0);
    return Car().Suspension[0];
  }
};

TEST_F(Clearance, TheRoadUnderOrBesideTheWheel) {
  constexpr double kA = -6.4, kB = -7.4;
  const struct {
    double x, z, road;
  } rows[] = {
      {-3.0, 0.0, kA},  // under the wheel
      {3.0, -3.0, kB},  // under the wheel, the other patch
      {0.3, 0.1, kA},   // x - 1 (A) before z - 1 (B)
      {3.0, 0.5, kB},   // z - 1
      {-7.0, 0.0, kA},  // x + 1
      {3.0, -6.9, kB},  // z + 1
  };
  for (const auto& r : rows) {
    const double y = -10.0;
    EXPECT_NEAR(At(r.x, y, r.z), r.road - y - 0.3, 1e-9) << r.x << " " << r.z;
  }
  EXPECT_GT(At(-3.0, -10.0, 0.0), 0.0);  // the road lies below the wheel
}

TEST_F(Clearance, OverAHoleTheLastValueStays) {
  const double before = At(-3.0, -10.0, 0.0);
  EXPECT_EQ(At(30.0, -9.0, 0.0), before);
  EXPECT_EQ(At(1e300, -9.0, std::nan("")), before);  // no undefined conversion either
  Car().TexturesReady = 0;  // not in the game: not simulated
  EXPECT_EQ(At(-3.0, -9.0, 0.0), before);
  SB_ComputeWheelClearance(5);  // no such car
}

TEST_F(Clearance, ATiltedCarMeasuresInItsOwnAxes) {
  // Over flat road the clearance is the vertical gap below the wheel seen
  // along the car's own down axis: that axis's world y times the gap.
  for (TVECTOR& w : Car().WheelOffsets) w = {0.0, 0.0, 1.0};
  E3D_MatRotX(Car().Orientation, 0.1);
  TVECTOR wheel = Car().WheelOffsets[0];
  E3D_MatMulVec(Car().Orientation, &wheel);
  ASSERT_GT(std::fabs(wheel.y), 0.09);  // the wheel is lifted or lowered by the tilt
  EXPECT_NEAR(At(-3.0, -10.0, 0.0), std::cos(0.1) * (-6.4 - (-10.0 + wheel.y)), 1e-9);
}

}  // namespace
