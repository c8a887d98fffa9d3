// The cars of both start grids settle on the default circuit.
#include <cmath>

#include "tests/vehicles/setup/circuit_fixture.h"

namespace ztest {
namespace {

constexpr double kNoRoad = 100000.0 / 320.0;

TEST_F(CircuitTest, EveryCarOfBothGridsSettles) {
  for (int32_t twoLanes : {0, 1}) {
    SB_Var.GridStart = twoLanes;
    MakeRace(8);
    SB_Var.PhysicsDt = 0.01;  // the race start leaves 0: real steps of 10 ms
    for (int32_t i = 0; i < 8; ++i) {
      TCAR& car = *SB_Var.Cars[i];
      SB_Var.DrivenCar = i;
      const double x0 = car.Position[0], z0 = car.Position[2];
      double worst = -1e9;  // the body's lowest point against the road
      for (int32_t step = 0; step < 200; ++step) {
        SB_PhysicsStep(i);
        for (const TVECTOR& point : car.WheelPoints) {
          double p[3];
          ToWorld(car, {point.x, point.y + car.WheelHeightOffset, point.z}, p);
          ASSERT_NE(RoadUnder(p), kNoRoad) << twoLanes << " car " << i << " step " << step;
        }
        for (const TVECTOR& point : car.GroundPoints) {
          double p[3];
          ToWorld(car, point, p);
          worst = std::fmax(worst, p[1] - RoadUnder(p));
        }
      }
      const double speed = std::sqrt(car.Velocity[0] * car.Velocity[0] + car.Velocity[1] * car.Velocity[1] +
                                     car.Velocity[2] * car.Velocity[2]);
      EXPECT_LT(speed, 0.01) << twoLanes << " car " << i;
      EXPECT_LT(std::hypot(car.Position[0] - x0, car.Position[2] - z0), 0.05) << twoLanes << " car " << i;
      EXPECT_LT(worst, 0.0) << twoLanes << " car " << i << " worst " << worst;  // the body never reaches the road
      EXPECT_EQ(car.Damaged, 0);
    }
    for (TCAR*& car : SB_Var.Cars) SB_FreeVehicle(car), car = nullptr;
  }
}

}  // namespace
}  // namespace ztest
